// BarDocks: what the drag and size loops share: the locked desktop they draw
// their half-tone outline on, given back on every way out of a loop.
#pragma once

#include <windows.h>

#include "toolbars/BarDocks.h"

// Locks window updates of the desktop (when no one else holds the lock: the
// outline is drawn all the same then) and holds a device context that draws
// through the lock. The destructor erases the last outline on a fresh
// context and unlocks only what it locked.
class TDesktopOutline {
public:
    explicit TDesktopOutline(int floatingBorder);
    ~TDesktopOutline();
    TDesktopOutline(const TDesktopOutline&) = delete;
    TDesktopOutline& operator=(const TDesktopOutline&) = delete;

    // Moves the outline to `rect` (empty = none); docked outlines are thin.
    void Show(const RECT& rect, bool docked);
    const RECT& Current() const { return current_; }
    bool Locked() const { return locked_; }

private:
    HDC dc_ = nullptr;
    tk::BitmapHandle pattern_;
    tk::BrushHandle brush_;
    bool locked_ = false;
    int border_;
    RECT current_{};
    bool docked_ = false;
};
