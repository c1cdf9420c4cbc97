// BarDocks: resizing a floating tool window by its border. The bar keeps its
// size during the loop; only the outline moves, and the bar (a toolbar
// snaps to the widths its lines wrap at) adjusts each proposed rectangle.
#include "toolbars/BarDocks.h"
#include "toolbars/BarDocksLoops.h"

#include "toolkit/MouseLoop.h"
#include "toolkit/Services.h"

struct TCustomToolWindow::SizeState {
    TSizingEdge edge = seLeft;
    int minWidth = 0;
    int minHeight = 0;
    RECT start{};
    RECT now{};
    POINT startCursor{};
    POINT lastCursor{};
    TDesktopOutline* outline = nullptr;
};

void TCustomToolWindow::TrackSize(SizeState& size) {
    const POINT p = tk::InputSeam()->CursorPos();
    if (p.x == size.lastCursor.x && p.y == size.lastCursor.y) return;
    size.lastCursor = p;
    RECT r = size.start;
    const bool leftEdge = MovesLeftSide(size.edge);
    const bool topEdge = MovesTopSide(size.edge);
    if (SizesWidth(size.edge)) (leftEdge ? r.left : r.right) += p.x - size.startCursor.x;
    if (SizesHeight(size.edge)) (topEdge ? r.top : r.bottom) += p.y - size.startCursor.y;
    if (r.right - r.left < size.minWidth) {
        if (leftEdge)
            r.left = r.right - size.minWidth;
        else
            r.right = r.left + size.minWidth;
    }
    if (r.bottom - r.top < size.minHeight) {
        if (topEdge)
            r.top = r.bottom - size.minHeight;
        else
            r.bottom = r.top + size.minHeight;
    }
    const tk::LifeToken alive = Token();
    SizingTracked(r, size.start);
    if (!alive.Alive()) return;
    size.now = r;
    size.outline->Show(r, false);
}

void TCustomToolWindow::SizeLoop(TSizingEdge edge) {
    HWND h = HandleIfAllocated();
    if (docked_ || !h || edge > seBottomRight) return;
    const tk::LifeToken alive = Token();
    SizeState size;
    size.edge = edge;
    MeasureMinimumSize(size.minWidth, size.minHeight);
    size.minWidth += Width() - ClientWidth();
    size.minHeight += Height() - ClientHeight();
    bool accepted = false;
    SizingStarted(edge);
    if (!alive.Alive()) return;
    try {
        // The loop takes a hint away; its place is painted before the outline.
        tk::MouseLoop loop(h, this);
        FlushPaintMessages();
        if (!alive.Alive()) return;
        TDesktopOutline outline(FloatingBorderSize().cx);
        size.outline = &outline;
        if (clipCursorWhileSizing_ && !MultipleMonitorsPresent()) {
            RECT work{};
            PrimaryWorkArea(work);
            loop.ClipCursor(work);
        }
        size.start = size.now = BoundsRect();
        outline.Show(size.now, false);
        size.startCursor = size.lastCursor = tk::InputSeam()->CursorPos();
        const auto outcome = loop.Run([&](const MSG& m) {
            switch (m.message) {
            case WM_KEYDOWN:
            case WM_KEYUP:
                return m.wParam == VK_ESCAPE ? tk::MouseLoop::Step::Cancel : tk::MouseLoop::Step::Continue;
            case WM_MOUSEMOVE: TrackSize(size); return tk::MouseLoop::Step::Continue;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: return tk::MouseLoop::Step::Cancel;
            case WM_LBUTTONUP: return tk::MouseLoop::Step::Finish;
            default: return tk::MouseLoop::Step::Continue;
            }
        });
        accepted = outcome == tk::MouseLoop::Outcome::Finished;
    } catch (...) {
        if (alive.Alive()) SizingEnded(accepted);
        throw;
    }
    if (!alive.Alive()) return;
    SizingEnded(accepted);
    if (!accepted || !alive.Alive()) return;
    SetBounds(size.now.left, size.now.top, size.now.right - size.now.left, size.now.bottom - size.now.top);
    if (!alive.Alive()) return;
    KeepOnScreen(true);
}
