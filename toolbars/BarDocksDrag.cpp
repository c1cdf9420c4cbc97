// BarDocks: dragging a tool window between docks and out to float. The drag
// is measured once at the press (the bar's size in every dock it may go to),
// then each mouse step only tests rectangles and moves the outline; nothing
// changes on the bar before the release.
#include "toolbars/BarDocks.h"
#include "toolbars/BarDocksLoops.h"

#include "toolkit/MouseLoop.h"
#include "toolkit/Services.h"

#include <algorithm>

TDesktopOutline::TDesktopOutline(int floatingBorder)
    : pattern_(CreateHalftoneBitmap()), brush_(::CreatePatternBrush(pattern_.Get())), border_(floatingBorder) {
    HWND desktop = ::GetDesktopWindow();
    // Another program's drag may hold the lock; ours still draws.
    locked_ = ::LockWindowUpdate(desktop) != FALSE;
    dc_ = ::GetDCEx(desktop, nullptr, DCX_LOCKWINDOWUPDATE | DCX_CACHE | DCX_WINDOW);
}

TDesktopOutline::~TDesktopOutline() {
    HWND desktop = ::GetDesktopWindow();
    if (dc_) ::ReleaseDC(desktop, dc_);
    if (!::IsRectEmpty(&current_)) {
        // A fresh context: what ran in the loop may have changed the old one.
        if (HDC dc = ::GetDCEx(desktop, nullptr, DCX_LOCKWINDOWUPDATE | DCX_CACHE | DCX_WINDOW)) {
            try {
                DrawDraggingOutline(dc, nullptr, &current_, false, docked_, border_, brush_.Get());
            } catch (...) {
            }
            ::ReleaseDC(desktop, dc);
        }
    }
    if (locked_) ::LockWindowUpdate(nullptr);
}

void TDesktopOutline::Show(const RECT& rect, bool docked) {
    const bool hadOld = !::IsRectEmpty(&current_);
    const bool hasNew = !::IsRectEmpty(&rect);
    if (dc_ && (hadOld || hasNew))
        DrawDraggingOutline(dc_, hasNew ? &rect : nullptr, hadOld ? &current_ : nullptr, docked, docked_, border_,
                            brush_.Get());
    current_ = hasNew ? rect : RECT{};
    docked_ = docked;
}

namespace {

int Scale(int value, int numerator, int denominator) {
    return denominator == 0 ? 0 : ::MulDiv(value, numerator, denominator);
}

}  // namespace

struct TCustomToolWindow::DragState {
    struct Size {
        TDock* dock;
        int width;
        int height;
    };
    POINT grab{};
    POINT reference{};
    bool noDocking = false;
    bool floatingForbidden = false;
    std::vector<TDock*> docks;
    std::vector<tk::LifeToken> dockTokens;
    std::vector<RECT> dockRects;  // on screen; nothing moves them before the drop
    std::vector<Size> sizes;  // [0] floating, then one per dock
    TDock* under = nullptr;
    HCURSOR cursor = nullptr;
    TDesktopOutline* outline = nullptr;
    RECT dropRect{};
    // A press released where it was made, the mouse never having left that
    // point, is a click and moves nothing. A bar that floats over its dock
    // (where it first floats) would otherwise dock at a click on its
    // caption, and the second press of a double click would then land on
    // whichever of its buttons came under the mouse.
    POINT pressedAt{};
    bool moved = false;

    void NoteCursor(POINT cursor) { moved = moved || cursor.x != pressedAt.x || cursor.y != pressedAt.y; }

    RECT OutlineAt(std::size_t index, POINT p) const {
        const Size& s = sizes[index];
        const int left = p.x - Scale(s.width - 1, grab.x, reference.x);
        const int top = p.y - Scale(s.height - 1, grab.y, reference.y);
        return RECT{left, top, left + s.width, top + s.height};
    }
};

bool TCustomToolWindow::PointOnChild(POINT p) const {
    RECT client = ClientRect();
    if (!::PtInRect(&client, p)) return false;
    for (tk::Control* c : Children()) {
        if (!c->Visible() || LetsDragThrough(c)) continue;
        RECT b = c->BoundsRect();
        if (::PtInRect(&b, p)) return true;
    }
    return false;
}

void TCustomToolWindow::MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y) {
    const tk::LifeToken alive = Token();
    tk::CustomControl::MouseDown(button, shift, x, y);
    if (!alive.Alive() || button != tk::mbLeft || PointOnChild(POINT{x, y})) return;
    if (docked_ && dockedTo_ && !dockedTo_->AllowDrag()) return;
    if (!(shift & tk::ssDouble)) {
        DragLoop(x, y);
        if (alive.Alive()) MouseUp(tk::mbLeft, 0, -1, -1);
        return;
    }
    if (docked_) {
        if (tk::Form* form = ParentFormOf(this); form && dockMode_ == dmCanFloat) {
            SetParent(form);
            if (alive.Alive()) KeepOnScreen(true);
        }
    } else if (lastDock_) {
        SetParent(lastDock_);
    } else if (defaultDock_) {
        dockRow_ = 0;
        dockPos_ = -8;
        SetParent(defaultDock_);
    }
}

void TCustomToolWindow::CollectDocks(std::vector<TDock*>& docks) {
    docks.clear();
    tk::Form* form = ParentFormOf(this);
    if (!form) return;
    auto visit = [&](auto& self, tk::Control* c) -> void {
        if (c == this || ContainsControl(c) || !c->Showing()) return;
        auto* w = dynamic_cast<tk::WinControl*>(c);
        if (!w) return;
        for (TDockPosition pos : {dpTop, dpBottom, dpLeft, dpRight}) {
            for (tk::Control* child : w->Children()) {
                if (auto* d = dynamic_cast<TDock*>(child); d && d->Position() == pos) self(self, d);
            }
        }
        for (tk::Control* child : w->Children()) {
            if (!dynamic_cast<TDock*>(child) && dynamic_cast<tk::WinControl*>(child)) self(self, child);
        }
        if (auto* d = dynamic_cast<TDock*>(c); d && d->AllowDrag() && (dockableTo_ & (1u << d->Position())))
            docks.push_back(d);
    };
    visit(visit, form);
}

bool TCustomToolWindow::DockHitTest(const DragState& drag, std::size_t sizeIndex, POINT p) const {
    TDock* dock = drag.sizes[sizeIndex].dock;
    RECT r = drag.dockRects[sizeIndex - 1];
    const RECT s = drag.OutlineAt(sizeIndex, p);
    const bool vertical = DockOrientationOf(dock) == doVertical;
    if (r.right <= r.left || r.bottom <= r.top) {
        // An empty dock still catches a bar dragged along its edge.
        if (vertical) {
            --r.left;
            ++r.right;
        } else {
            --r.top;
            ++r.bottom;
        }
    }
    const int mx = Scale(32, drag.grab.x, drag.reference.x);
    if (p.x < r.left - 32 + mx || p.x > r.right - 1 + mx) return false;
    if (vertical && (p.y < r.top || p.y >= r.bottom)) return false;
    const int my = Scale(20, drag.grab.y, drag.reference.y);
    if (p.y < r.top - 20 + my || p.y > r.bottom - 1 + my) return false;
    RECT meet{};
    return ::IntersectRect(&meet, &r, &s) != FALSE;
}

void TCustomToolWindow::TrackDrag(DragState& drag) {
    const tk::LifeToken alive = Token();
    POINT p = tk::InputSeam()->CursorPos();
    drag.under = nullptr;
    std::size_t index = 0;
    if (!drag.noDocking) {
        for (std::size_t i = 0; i < drag.docks.size(); ++i) {
            if (!drag.dockTokens[i].Alive() || !DockHitTest(drag, i + 1, p)) continue;
            TDock* dock = drag.docks[i];
            bool accept = true;
            if (dock->OnRequestDock) dock->OnRequestDock(dock, this, accept);
            if (!alive.Alive()) return;
            if (accept && drag.dockTokens[i].Alive()) {
                drag.under = dock;
                index = i + 1;
                break;
            }
        }
    }
    RECT area{};
    if (!drag.under) {
        WorkAreaOfPoint(p, area);
        p.x = std::clamp(p.x, area.left, std::max(area.left, area.right));
        p.y = std::clamp(p.y, area.top, std::max(area.top, area.bottom));
    }
    RECT r = drag.OutlineAt(index, p);
    if (!drag.under) {
        const SIZE b = FloatingBorderSize();
        RECT a = area;
        ::InflateRect(&a, -(b.cx + 4), -(b.cy + 4));
        if (r.bottom < a.top) ::OffsetRect(&r, 0, a.top - r.bottom);
        if (r.top > a.bottom) ::OffsetRect(&r, 0, a.bottom - r.top);
        if (r.right < a.left) ::OffsetRect(&r, a.left - r.right, 0);
        if (r.left > a.right) ::OffsetRect(&r, a.right - r.left, 0);
        RECT frame{};
        FloatingFrame(frame);
        const int highest = area.top + 4 - frame.top;
        if (r.top < highest) ::OffsetRect(&r, 0, highest - r.top);
    }
    if (drag.floatingForbidden && !drag.under) {
        r = RECT{};
        ::SetCursor(::LoadCursor(nullptr, IDC_NO));
    } else {
        ::SetCursor(drag.cursor);
    }
    drag.dropRect = r;
    drag.outline->Show(r, drag.under != nullptr);
}

void TCustomToolWindow::DragLoop(int x, int y) {
    HWND h = HandleIfAllocated();
    if (!h) return;
    const tk::LifeToken alive = Token();
    DragState drag;
    RECT wr{};
    ::GetWindowRect(h, &wr);
    const POINT origin = ClientOrigin();
    drag.grab = POINT{x + origin.x - wr.left, y + origin.y - wr.top};
    drag.reference = POINT{Width() - 1, Height() - 1};
    drag.noDocking = tk::InputSeam()->KeyState(VK_CONTROL) < 0;
    drag.floatingForbidden = dockMode_ != dmCanFloat;
    if (dockMode_ == dmCannotFloatOrChangeDocks) {
        if (docked_ && dockedTo_) drag.docks.push_back(dockedTo_);
    } else {
        CollectDocks(drag.docks);
    }
    for (TDock* d : drag.docks) {
        drag.dockTokens.push_back(d->Token());
        drag.dockRects.push_back(ScreenRectOf(d));
    }

    const TDockOrientation current = DockOrientationOf(dockedTo_);
    RECT frame{};
    FloatingFrame(frame);
    POINT s = PlaceControls(false, current, nullptr);
    drag.sizes.push_back({nullptr, s.x + frame.left + frame.right, s.y + frame.top + frame.bottom});
    for (TDock* d : drag.docks) {
        s = (docked_ && d == dockedTo_) ? POINT{ClientWidth(), ClientHeight()} : PlaceControls(false, current, d);
        DockedFrame(frame, d);
        drag.sizes.push_back({d, s.x + frame.left + frame.right, s.y + frame.top + frame.bottom});
    }
    if (!alive.Alive()) return;

    bool accepted = false;
    {
        // The loop takes a hint away; its place is painted before the outline.
        tk::MouseLoop loop(h, this);
        FlushPaintMessages();
        if (!alive.Alive()) return;
        drag.cursor = ::GetCursor();
        TDesktopOutline outline(FloatingBorderSize().cx);
        drag.outline = &outline;
        for (TDock* d : drag.docks) loop.Watch(d);
        loop.Watch(ParentFormOf(this));
        drag.pressedAt = tk::InputSeam()->CursorPos();
        TrackDrag(drag);
        if (!alive.Alive()) return;
        const auto outcome = loop.Run([&](const MSG& m) {
            switch (m.message) {
            case WM_KEYDOWN:
            case WM_KEYUP:
                if (m.wParam == VK_CONTROL) {
                    const bool press = m.message == WM_KEYDOWN;
                    if (press != drag.noDocking) {
                        drag.noDocking = press;
                        TrackDrag(drag);
                    }
                } else if (m.wParam == VK_ESCAPE) {
                    return tk::MouseLoop::Step::Cancel;
                }
                return tk::MouseLoop::Step::Continue;
            case WM_MOUSEMOVE:
                drag.NoteCursor(tk::InputSeam()->CursorPos());
                TrackDrag(drag);
                return tk::MouseLoop::Step::Continue;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: return tk::MouseLoop::Step::Cancel;
            case WM_LBUTTONUP: drag.NoteCursor(tk::InputSeam()->CursorPos()); return tk::MouseLoop::Step::Finish;
            default: return tk::MouseLoop::Step::Continue;  // other keys, right and middle buttons
            }
        });
        accepted = outcome == tk::MouseLoop::Outcome::Finished && drag.moved;
        drag.outline = nullptr;
        if (alive.Alive()) ::SetCursor(drag.cursor);
    }
    if (!accepted || !alive.Alive() || ::IsRectEmpty(&drag.dropRect)) return;
    if (drag.under) {
        for (std::size_t i = 0; i < drag.docks.size(); ++i) {
            if (drag.docks[i] == drag.under && !drag.dockTokens[i].Alive()) return;
        }
    }
    DropAt(drag);
}

void TCustomToolWindow::DropAt(const DragState& drag) {
    RECT r = drag.dropRect;
    if (TDock* dock = drag.under) {
        const POINT o = dock->ClientOrigin();
        ::OffsetRect(&r, -o.x, -o.y);
        const bool vertical = DockOrientationOf(dock) == doVertical;
        const int xy = vertical ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2;
        bool before = false;
        int row = dock->RowOfPoint(xy, before);
        if (before) {
            dock->OpenRowAt(row);
        } else if (fullSize_ && dock->BarsInRow(row, this) > 0) {
            ++row;
            dock->OpenRowAt(row);
        }
        dockRow_ = row;
        dockPos_ = vertical ? r.top : r.left;
        SetParent(dock);
        if (dockedTo_) dockedTo_->LayOutRows(true);
    } else {
        RememberFloatingTopLeft(POINT{r.left, r.top});
        if (docked_)
            SetParent(RequireParentForm(this));
        else
            SetBounds(r.left, r.top, Width(), Height());
    }
    KeepOnScreen(true);
}
