// MouseLoop: the modal mouse loop behind dragging and sizing. It takes the
// mouse capture for a window, runs its own message loop that hands every
// mouse and key message to the caller, re-posts a WM_QUIT it meets, and
// releases the capture (and the cursor clip, if asked) on every way out,
// including an exception and the death of its control. From its
// construction to its end no hint shows, and while it runs no window
// paints: what a drag draws on the screen stays over an unchanged picture
// (the system's window-update lock does the same where it works).
#pragma once

#include <windows.h>

#include "toolkit/Component.h"

#include <functional>
#include <vector>

namespace tk {

class WinControl;

class MouseLoop {
public:
    enum class Step { Continue, Finish, Cancel };
    enum class Outcome { Finished, Cancelled, CaptureLost, Quit, ControlDied };

    // `captureWindow` receives the capture; `owner` is the control whose
    // death ends the loop (messages are not dispatched to it meanwhile).
    // A hint that shows goes now: its window's place is painted with the
    // next paint messages, before the loop holds them.
    MouseLoop(HWND captureWindow, const Component* owner);
    ~MouseLoop();
    MouseLoop(const MouseLoop&) = delete;
    MouseLoop& operator=(const MouseLoop&) = delete;

    // The loop also ends (ControlDied) when `other` is destroyed: a dock or
    // form whose pointer the caller holds across the loop.
    void Watch(const Component* other);

    // Keeps the cursor inside `screenRect` until the loop ends.
    void ClipCursor(const RECT& screenRect);

    // Runs until onMessage answers Finish or Cancel, Esc is pressed (Cancel
    // unless onMessage handles WM_KEYDOWN itself), the capture goes to
    // another window, WM_QUIT arrives or the owner dies. onMessage sees the
    // mouse messages (WM_MOUSEMOVE, button up/down) and key messages; other
    // messages are dispatched as usual, except paint messages, which wait
    // for the loop's end.
    Outcome Run(const std::function<Step(const MSG& msg)>& onMessage);

private:
    void Release();
    bool AllAlive() const;

    HWND window_;
    LifeToken owner_;
    bool hasOwner_;
    std::vector<LifeToken> watched_;
    bool captured_ = false;
    bool clipped_ = false;
};

}  // namespace tk
