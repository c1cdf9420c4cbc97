// BarDocks: the tool window's non-client area. Docked, a thin raised frame
// with a drag-handle band on the side facing the row start; floating, a
// raised edge with a small caption and a close button. Redraws are posted
// and merged so that a burst of property changes draws once.
#include "toolbars/BarDocks.h"

#include "toolkit/Canvas.h"

#include <algorithm>

namespace {

// [closeButtonWhenDocked][dragHandleStyle]
constexpr int kBandWidth[2][3] = {{9, 0, 6}, {14, 14, 14}};
constexpr int kGripOffset[2][3] = {{2, 0, 1}, {3, 0, 5}};

bool GradientCaptions() {
    BOOL on = FALSE;
    return ::SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &on, 0) && on;
}

COLORREF CaptionColor(bool gradient, bool inactive) {
    static const int kIndex[2][2] = {{COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION},
                                     {COLOR_GRADIENTACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION}};
    return ::GetSysColor(kIndex[gradient][inactive]);
}

using DrawCaptionProc = BOOL(WINAPI*)(HWND, HDC, const RECT*, UINT);

DrawCaptionProc BoundDrawCaption() {
    HMODULE user = ::GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<DrawCaptionProc>(reinterpret_cast<void*>(::GetProcAddress(user, "DrawCaption")))
                : nullptr;
}

// Removes the queued requests of `msg` for `wnd`; returns the merged part
// bits. A quit message met on the way is posted again.
unsigned PurgeRedraws(HWND wnd, UINT msg) {
    unsigned parts = 0;
    MSG m;
    for (int i = 0; i < 64 && ::PeekMessageA(&m, wnd, msg, msg, PM_REMOVE); ++i) {
        parts |= static_cast<unsigned>(m.lParam);
    }
    if (::PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ::PostQuitMessage(static_cast<int>(m.wParam));
    return parts;
}

}  // namespace

std::string FitCaptionText(HDC dc, const std::string& text, int width) {
    auto wide = [dc](const std::string& s) {
        SIZE size{};
        ::GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return size.cx;
    };
    if (wide(text) <= width) return text;
    std::string shown = text + "...";
    while (wide(shown) > width && shown.size() > 4) shown.erase(shown.size() - 4, 1);
    return shown;
}

int TCustomToolWindow::DragHandleBandWidth() const {
    return kBandWidth[closeButtonWhenDocked_ ? 1 : 0][dragHandleStyle_];
}

void TCustomToolWindow::DockedFrame(RECT& frame, TDock* dock) const {
    frame = RECT{2, 2, 2, 2};
    if (dock && dock->AllowDrag()) {
        if (DockOrientationOf(dock) == doVertical)
            frame.top += DragHandleBandWidth();
        else
            frame.left += DragHandleBandWidth();
    }
}

SIZE TCustomToolWindow::FloatingBorderSize() const {
    if (resizable_) return SIZE{::GetSystemMetrics(SM_CXFRAME), ::GetSystemMetrics(SM_CYFRAME)};
    return SIZE{::GetSystemMetrics(SM_CXDLGFRAME), ::GetSystemMetrics(SM_CYDLGFRAME)};
}

void TCustomToolWindow::FloatingFrame(RECT& frame) const {
    SIZE b = FloatingBorderSize();
    frame = RECT{b.cx, b.cy + (showCaption_ ? CaptionBarHeight() : 0), b.cx, b.cy};
}

void TCustomToolWindow::UpdateNonClientSize(RECT* clientRect) {
    RECT frame{};
    if (docked_)
        DockedFrame(frame, dockedTo_);
    else
        FloatingFrame(frame);
    ncWidth_ = frame.left + frame.right;
    ncHeight_ = frame.top + frame.bottom;
    if (clientRect) {
        clientRect->left += frame.left;
        clientRect->top += frame.top;
        clientRect->right = std::max(clientRect->left, clientRect->right - frame.right);
        clientRect->bottom = std::max(clientRect->top, clientRect->bottom - frame.bottom);
    }
}

RECT TCustomToolWindow::CaptionRect(bool adjustForBorder, bool roomForCloseButton) const {
    RECT r{0, 0, ClientWidth(), CaptionBarHeight() - 1};
    if (roomForCloseButton) r.right -= r.bottom;
    if (adjustForBorder) {
        SIZE b = FloatingBorderSize();
        ::OffsetRect(&r, b.cx, b.cy);
    }
    return r;
}

RECT TCustomToolWindow::CloseButtonRect(bool adjustForBorder) const {
    RECT r = CaptionRect(adjustForBorder, false);
    r.left = r.right - CaptionBarHeight() + 1;
    return r;
}

RECT TCustomToolWindow::DockedCloseButtonRect(bool vertical) const {
    const int side = DragHandleBandWidth() - 3;
    if (vertical) {
        const int left = ClientWidth() - side + 2;
        return RECT{left, 3, left + side, 3 + side};
    }
    return RECT{3, 2, 3 + side, 2 + side};
}

void TCustomToolWindow::RequestDockedRedraw() {
    HWND h = HandleIfAllocated();
    if (!h) return;
    PurgeRedraws(h, RedrawDockedFrameMessage);
    if (::IsWindowVisible(h)) ::PostMessageA(h, RedrawDockedFrameMessage, 0, 0);
}

void TCustomToolWindow::RequestFloatingRedraw(unsigned parts) {
    HWND h = HandleIfAllocated();
    if (!h) return;
    parts |= PurgeRedraws(h, RedrawFloatingFrameMessage);
    if (::IsWindowVisible(h)) ::PostMessageA(h, RedrawFloatingFrameMessage, 0, static_cast<LPARAM>(parts));
}

void TCustomToolWindow::PrintFrame(HWND, HDC dc, LPARAM self) {
    auto* bar = reinterpret_cast<TCustomToolWindow*>(self);
    if (bar->docked_)
        bar->DrawDockedFrame(true, dc, nullptr);
    else
        bar->DrawFloatingFrame(true, dc, nullptr, rfAll);
}

void TCustomToolWindow::DrawFloatingFrame(bool toGivenDC, HDC dc, HRGN clip, unsigned parts) {
    HWND wnd = HandleIfAllocated();
    if (docked_ || !wnd || !Floating()) return;
    if (!toGivenDC) {
        parts |= PurgeRedraws(wnd, RedrawFloatingFrameMessage);
        dc = ::GetWindowDC(wnd);
        ClipToNCUpdateRegion(wnd, dc, clip);
    }
    {
        tk::SaveDCGuard saved(dc);
        RECT wr{};
        ::GetWindowRect(wnd, &wr);
        RECT whole{0, 0, wr.right - wr.left, wr.bottom - wr.top};
        RECT client{};
        ::GetClientRect(wnd, &client);
        POINT origin{0, 0};
        ::ClientToScreen(wnd, &origin);
        ::OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
        const bool gradient = GradientCaptions();
        if (parts & rfFrame) {
            ::DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
            tk::SaveDCGuard inner(dc);
            ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
            RECT ring = whole;
            ::InflateRect(&ring, -2, -2);
            ::FillRect(dc, &ring, ::GetSysColorBrush(COLOR_BTNFACE));
        }
        if (showCaption_) {
            RECT full = CaptionRect(true, false);
            RECT button = CloseButtonRect(true);
            {
                tk::SaveDCGuard captionClip(dc);
                if ((parts & rfCaption) && (parts & rfCloseButton) && closeButton_)
                    ::ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
                if (parts & rfCaption) {
                    RECT text = CaptionRect(true, closeButton_);
                    DrawCaptionProc drawCaption = BoundDrawCaption();
                    if (drawCaption) {
                        UINT flags = DC_SMALLCAP | DC_TEXT | (captionInactive_ ? 0 : DC_ACTIVE) | (gradient ? DC_GRADIENT : 0);
                        drawCaption(wnd, dc, &text, flags);
                    } else {
                        DrawOwnCaption(dc, text);
                    }
                    tk::BrushHandle face = tk::CreateSolidBrush(tk::clBtnFace);
                    RECT line{full.left, full.bottom, full.right, full.bottom + 1};
                    ::FillRect(dc, &line, face.Get());
                }
            }
            if (closeButton_) {
                if (parts & rfCloseButton) {
                    RECT face = button;
                    ::InflateRect(&face, -1, -1);
                    ::DrawFrameControl(dc, &face, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closeButtonDown_ ? DFCS_PUSHED : 0));
                }
                if (parts & rfCaption) {
                    tk::BrushHandle frame(::CreateSolidBrush(CaptionColor(gradient, captionInactive_)));
                    ::FrameRect(dc, &button, frame.Get());
                }
            }
        }
    }
    if (!toGivenDC) ::ReleaseDC(wnd, dc);
}

void TCustomToolWindow::DrawOwnCaption(HDC dc, const RECT& rect) {
    tk::SaveDCGuard saved(dc);
    const COLORREF back = ::GetSysColor(captionInactive_ ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
    tk::BrushHandle fill(::CreateSolidBrush(back));
    ::FillRect(dc, &rect, fill.Get());
    RECT r = rect;
    ::InflateRect(&r, -1, 0);
    tk::FontHandle font(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
    ::SelectObject(dc, font.Get());
    std::string text = FitCaptionText(dc, Caption(), r.right - r.left);
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, ::GetSysColor(captionInactive_ ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT));
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomToolWindow::DrawDockedFrame(bool toGivenDC, HDC dc, HRGN clip) {
    HWND wnd = HandleIfAllocated();
    if (!docked_ || !dockedTo_ || !wnd) return;
    if (!toGivenDC) {
        PurgeRedraws(wnd, RedrawDockedFrameMessage);
        dc = ::GetWindowDC(wnd);
        ClipToNCUpdateRegion(wnd, dc, clip);
    }
    {
        tk::SaveDCGuard saved(dc);
        RECT wr{};
        ::GetWindowRect(wnd, &wr);
        RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
        tk::BrushHandle brush = tk::CreateSolidBrush(GetColor());
        const bool background = ShowsDockBackground();
        RECT inner = r;
        if (borderStyle_ == tk::bsSingle)
            ::DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_RECT);
        else
            ::FrameRect(dc, &inner, brush.Get());
        ::InflateRect(&inner, -1, -1);
        RECT client{};
        ::GetClientRect(wnd, &client);
        POINT origin{0, 0};
        ::ClientToScreen(wnd, &origin);
        ::OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
        if (!background) {
            ::FrameRect(dc, &inner, brush.Get());
        } else {
            POINT dockOrigin = dockedTo_->Parent() ? dockedTo_->Parent()->ClientOrigin() : POINT{wr.left, wr.top};
            RECT draw{dockOrigin.x - wr.left, dockOrigin.y - wr.top, inner.right, inner.bottom};
            dockedTo_->DrawBackgroundTiles(dc, inner, draw, &client);
        }
        if (dockedTo_->AllowDrag()) {
            tk::SaveDCGuard band(dc);
            const bool vertical = DockOrientationOf(dockedTo_) == doVertical;
            const int cw = client.right - client.left;
            const int ch = client.bottom - client.top;
            const int bandWidth = DragHandleBandWidth();
            const int l = (vertical ? cw : ch) + 2;
            const int idx = closeButtonWhenDocked_ ? 1 : 0;
            if (dragHandleStyle_ != dhNone) {
                const int lines = dragHandleStyle_ == dhDouble ? 2 : 1;
                for (int i = 0; i < lines; ++i) {
                    const int at = kGripOffset[idx][dragHandleStyle_] + 2 + i * 3;
                    RECT g = vertical ? RECT{2, at, closeButtonWhenDocked_ ? cw + 4 - bandWidth : l, at + 3}
                                      : RECT{at, closeButtonWhenDocked_ ? bandWidth : 2, at + 3, l};
                    RECT edge = g;
                    ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
                    if (vertical)
                        ::SetPixel(dc, g.right - 1, g.top, ::GetSysColor(COLOR_BTNHIGHLIGHT));
                    else
                        ::SetPixel(dc, g.left, g.bottom - 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
                    ::ExcludeClipRect(dc, g.left, g.top, g.right, g.bottom);
                }
            }
            if (closeButtonWhenDocked_) {
                RECT b = DockedCloseButtonRect(vertical);
                ::DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (closeButtonDown_ ? DFCS_PUSHED : 0));
                ::ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
            }
            if (!background) {
                RECT rest = vertical ? RECT{2, 2, l, bandWidth + 2} : RECT{2, 2, bandWidth + 2, l};
                ::FillRect(dc, &rest, brush.Get());
            }
        }
    }
    if (!toGivenDC) ::ReleaseDC(wnd, dc);
}

// --- dragging outline --------------------------------------------------------

HBITMAP CreateHalftoneBitmap() {
    static const WORD kPattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    return ::CreateBitmap(8, 8, 1, 1, kPattern);
}

void DrawDraggingOutline(HDC dc, const RECT* newRect, const RECT* oldRect, bool newDocked, bool oldDocked,
                         int floatingBorder, HBRUSH givenBrush) {
    auto ring = [floatingBorder](const RECT* r, bool docked) {
        tk::RegionHandle outer(::CreateRectRgnIndirect(r));
        RECT in = *r;
        const int t = docked ? 1 : floatingBorder;
        ::InflateRect(&in, -t, -t);
        if (in.right < in.left) in.right = in.left;
        if (in.bottom < in.top) in.bottom = in.top;
        tk::RegionHandle inner(::CreateRectRgnIndirect(&in));
        ::CombineRgn(outer.Get(), outer.Get(), inner.Get(), RGN_XOR);
        return outer;
    };
    tk::RegionHandle region(::CreateRectRgn(0, 0, 0, 0));
    if (newRect) {
        tk::RegionHandle n = ring(newRect, newDocked);
        ::CombineRgn(region.Get(), region.Get(), n.Get(), RGN_XOR);
    }
    if (oldRect) {
        tk::RegionHandle o = ring(oldRect, oldDocked);
        ::CombineRgn(region.Get(), region.Get(), o.Get(), RGN_XOR);
    }
    tk::BitmapHandle pattern;
    tk::BrushHandle brush;
    if (!givenBrush) {
        pattern = tk::BitmapHandle(CreateHalftoneBitmap());
        brush = tk::BrushHandle(::CreatePatternBrush(pattern.Get()));
        givenBrush = brush.Get();
    }
    tk::SaveDCGuard saved(dc);
    ::SelectClipRgn(dc, region.Get());
    RECT box{};
    ::GetClipBox(dc, &box);
    ::SelectObject(dc, givenBrush);
    ::PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
}
