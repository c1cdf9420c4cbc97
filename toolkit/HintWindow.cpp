// HintWindow: the application's tooltip window, painted by the toolkit.
#include "toolkit/HintWindow.h"

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/WideText.h"

#include <algorithm>

namespace tk {

namespace {

constexpr int kTextMarginX = 3;
constexpr int kTextMarginY = 1;
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_EXPANDTABS;

// The font the system uses for tooltips and status texts.
Font HintFont() {
    Font font;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font.name = metrics.lfStatusFont.lfFaceName;
        font.height = metrics.lfStatusFont.lfHeight;
        font.charset = metrics.lfStatusFont.lfCharSet;
    }
    font.color = clInfoText;
    return font;
}

}  // namespace

HintWindow::HintWindow() {
    SetVisible(false);
    SetColor(clInfoBk);
    SetFont(HintFont());
    // Paint covers every pixel: no erasing first, so no flicker.
    SetControlStyle(GetControlStyle() | csOpaque);
}

void HintWindow::CreateParams(WindowCreateParams& p) {
    CustomControl::CreateParams(p);
    p.style = WS_POPUP;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    p.parent = App().Handle();
    p.className = "THintWindow";
    // Save the pixels below: the hint comes and goes without repainting them.
    p.classStyle = CS_SAVEBITS;
}

RECT HintWindow::CalcHintRect(int maxWidth, const std::string& text) {
    RECT r{0, 0, std::max(1, maxWidth), 0};
    WindowDC screen(nullptr);
    {
        SelectGuard font(screen.Get(), FontObject());
        const std::wstring wide = Wide(text);
        ::DrawTextW(screen.Get(), wide.c_str(), static_cast<int>(wide.size()), &r, kTextFormat | DT_CALCRECT);
    }
    r.right += 2 * (kTextMarginX + 1);
    r.bottom += 2 * (kTextMarginY + 1);
    return r;
}

void HintWindow::ActivateHint(const RECT& screen, const std::string& text) {
    SetText(text);
    SetBounds(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
    HWND wnd = Handle();
    ::SetWindowPos(wnd, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                   screen.bottom - screen.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
    Update();
}

void HintWindow::ReleaseHint() {
    if (HWND wnd = HandleIfAllocated(); wnd && ::IsWindowVisible(wnd))
        ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HintWindow::Active() const {
    HWND wnd = HandleIfAllocated();
    return wnd && ::IsWindowVisible(wnd);
}

LRESULT HintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: break;
    }
    return CustomControl::WndProc(msg, wParam, lParam);
}

void HintWindow::Paint(Canvas& canvas) {
    RECT r = ClientRect();
    canvas.brush.style = BrushStyle::Solid;
    canvas.brush.color = clInfoBk;
    canvas.FillRect(r);
    canvas.brush.color = clWindowFrame;
    canvas.FrameRect(r);
    canvas.font = GetFont();
    canvas.brush.style = BrushStyle::Clear;
    RECT text{r.left + 1 + kTextMarginX, r.top + 1 + kTextMarginY, r.right - 1 - kTextMarginX,
              r.bottom - 1 - kTextMarginY};
    canvas.DrawText(text, Text(), kTextFormat);
}

}  // namespace tk
