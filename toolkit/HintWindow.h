// HintWindow: the small window the application shows a control's hint in.
// A top-level popup owned by the application window, painted by the toolkit
// in the info colours with a thin frame, never activated and transparent to
// the mouse, so the control under the cursor keeps the mouse.
#pragma once

#include "toolkit/Control.h"

#include <string>

namespace tk {

class HintWindow : public CustomControl {
public:
    HintWindow();

    // Window rectangle (at the origin) that holds `text` wrapped at maxWidth.
    RECT CalcHintRect(int maxWidth, const std::string& text);
    // Shows `text` in the window placed at `screen`, without activating it.
    void ActivateHint(const RECT& screen, const std::string& text);
    void ReleaseHint();
    // Shown on the screen now.
    bool Active() const;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(Canvas& canvas) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
};

}  // namespace tk
