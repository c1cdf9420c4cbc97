// BarDocks: the tool window. Docked or floating is a matter of its parent; a
// floating bar sits in a TFloatingWindowParent of its own, owned by the form
// it floats over, and the showing rules below keep it in step with that form.
#include "toolbars/BarDocks.h"

#include "resources/StringIds.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"
#include "toolkit/MouseLoop.h"
#include "toolkit/Resources.h"
#include "toolkit/StrConv.h"
#include "toolkit/Streaming.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

namespace {

std::vector<TCustomToolWindow*>& FloatingBars() {
    static std::vector<TCustomToolWindow*> list;
    return list;
}

HWND OwnerOf(HWND wnd) { return reinterpret_cast<HWND>(::GetWindowLongPtrA(wnd, GWLP_HWNDPARENT)); }

}  // namespace

std::vector<TCustomToolWindow*> TCustomToolWindow::FloatingList() { return FloatingBars(); }

void FloatingHookHandler(THookEvent event, HWND wnd, WPARAM, LPARAM lParam) {
    // Showing, hiding and re-parenting change the list while this runs, and
    // a handler may free a bar: walk a snapshot and skip the bars that went.
    std::vector<std::pair<TCustomToolWindow*, tk::LifeToken>> snapshot;
    for (TCustomToolWindow* bar : FloatingBars()) snapshot.emplace_back(bar, bar->Token());
    for (auto& [bar, token] : snapshot) {
        if (!token.Alive() || std::find(FloatingBars().begin(), FloatingBars().end(), bar) == FloatingBars().end()) continue;
        switch (event) {
        case heActivateApp: bar->RefreshVisibility(); break;
        case heWindowPosChanged: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!pos || !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) return;
            if (bar->FloatingMode() != fmOnTopOfParentForm || !bar->HandleAllocated()) break;
            tk::Form* form = ParentFormOf(bar);
            if (!form || !form->HandleAllocated()) break;
            for (HWND w = form->HandleIfAllocated(); w; w = ::GetParent(w)) {
                if (w == wnd) {
                    bar->RefreshVisibility();
                    break;
                }
            }
            break;
        }
        case heDestroyingWindow:
            if (HWND h = bar->HandleIfAllocated(); h && OwnerOf(h) == wnd && bar->FloatParent() &&
                                                   bar->FloatParent()->HandleAllocated())
                ::SetWindowLongPtrA(h, GWLP_HWNDPARENT,
                                    reinterpret_cast<LONG_PTR>(bar->FloatParent()->HandleIfAllocated()));
            break;
        default: break;
        }
    }
}

TCustomToolWindow::TCustomToolWindow() {
    SetControlStyle((GetControlStyle() | tk::csAcceptsControls | tk::csClickEvents | tk::csDoubleClicks |
                     tk::csSetCaption) &
                    ~(tk::csCaptureMouse | tk::csOpaque));
    DockPosQuery = DockPositionOfControl;
    RegisterHookClient(FloatingHookHandler, HookEvents({heActivateApp, heWindowPosChanged, heDestroyingWindow}), false);
    InitSizingFlags();
    SetColor(tk::clBtnFace);
}

TCustomToolWindow::~TCustomToolWindow() {
    try {
        // A parent that is going away takes its children itself; anything else
        // is left properly, so that docks and lists forget this bar.
        if (Parent() && !Parent()->IsDestroying()) DoSetParent(nullptr);
    } catch (...) {
    }
    std::erase(FloatingBars(), this);
    if (floatParent_ && Parent() != floatParent_.get()) floatParent_.reset();
    UnregisterHookClient(FloatingHookHandler);
}

void TCustomToolWindow::GetSizingFlags(bool& standardAlign, bool& eightEdgeSizing, bool& clipCursor) {
    standardAlign = eightEdgeSizing = clipCursor = true;
}

void TCustomToolWindow::InitSizingFlags() { GetSizingFlags(standardAlign_, eightEdgeSizing_, clipCursorWhileSizing_); }

bool TCustomToolWindow::Floating() const { return dynamic_cast<TFloatingWindowParent*>(Parent()) != nullptr; }

// --- properties ----------------------------------------------------------------

void TCustomToolWindow::SetBorderStyle(tk::BorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (docked_) {
        UpdateNonClientSize(nullptr);
        RefreshNonClient(this);
    }
}

void TCustomToolWindow::SetCloseButton(bool on) {
    if (on == closeButton_) return;
    closeButton_ = on;
    RequestFloatingRedraw(rfCaption | rfCloseButton);
}

void TCustomToolWindow::SetCloseButtonWhenDocked(bool on) {
    if (on == closeButtonWhenDocked_) return;
    closeButtonWhenDocked_ = on;
    if (docked_) {
        UpdateNonClientSize(nullptr);
        RefreshNonClient(this);
    }
}

void TCustomToolWindow::SetDragHandleStyle(TDragHandleStyle style) {
    if (style == dragHandleStyle_) return;
    dragHandleStyle_ = style;
    if (docked_) {
        UpdateNonClientSize(nullptr);
        RefreshNonClient(this);
        Rearrange();
    }
}

void TCustomToolWindow::SetShowCaption(bool on) {
    if (on == showCaption_) return;
    showCaption_ = on;
    if (!docked_ && Floating()) {
        UpdateNonClientSize(nullptr);
        RefreshNonClient(this);
        Rearrange();
    }
}

void TCustomToolWindow::SetDefaultDock(TDock* dock) {
    if (dock == defaultDock_) return;
    defaultDock_ = dock;
    if (dock) FreeNotification(dock);
}

void TCustomToolWindow::SetDockedTo(TDock* dock) {
    if (dock)
        SetParent(dock);
    else
        SetParent(RequireParentForm(this));
}

void TCustomToolWindow::SetDockPos(int pos) {
    dockPos_ = pos;
    if (docked_ && dockedTo_) dockedTo_->LayOutRows(false);
}

void TCustomToolWindow::SetDockRow(int row) {
    dockRow_ = row;
    if (docked_ && dockedTo_) dockedTo_->LayOutRows(false);
}

void TCustomToolWindow::SetFloatingMode(TToolWindowFloatingMode mode) {
    if (mode == floatingMode_) return;
    floatingMode_ = mode;
    if (HandleAllocated()) ShowingChanged();
}

void TCustomToolWindow::SetFullSize(bool on) {
    if (on == fullSize_) return;
    fullSize_ = on;
    Rearrange();
}

void TCustomToolWindow::SetHideWhenInactive(bool on) {
    if (on == hideWhenInactive_) return;
    hideWhenInactive_ = on;
    RefreshVisibility();
}

void TCustomToolWindow::SetLastDock(TDock* dock) {
    if (useLastDock_ && docked_) dock = dockedTo_;
    if (dock == lastDock_) return;
    if (lastDock_ && lastDock_ != Parent()) lastDock_->UpdateBarList(false, this);
    lastDock_ = dock;
    if (dock) {
        useLastDock_ = true;
        FreeNotification(dock);
        dock->UpdateBarList(true, this);
    }
}

void TCustomToolWindow::SetUseLastDock(bool on) {
    if (on == useLastDock_) return;
    useLastDock_ = on;
    SetLastDock(on ? dockedTo_ : nullptr);
}

// --- arranging -------------------------------------------------------------

void TCustomToolWindow::UnlockArrange() {
    --arrangeLock_;
    if (arrangeLock_ == 0 && arrangeNeeded_) Rearrange();
}

void TCustomToolWindow::Rearrange() { RearrangeFor(DockOrientationOf(dockedTo_), dockedTo_, true); }

void TCustomToolWindow::RearrangeFor(TDockOrientation previous, TDock* dock, bool resize) {
    if (arrangeLock_ > 0 || IsLoading() || IsDestroying() || !Parent() ||
        (Parent()->HandleAllocated() && Parent()->IsDestroying())) {
        arrangeNeeded_ = true;
        return;
    }
    arrangeNeeded_ = false;
    // Moving the children asks for another arrange; this one covers it.
    ++arrangeLock_;
    POINT size{};
    try {
        size = PlaceControls(true, previous, dock);
    } catch (...) {
        --arrangeLock_;
        throw;
    }
    --arrangeLock_;
    arrangeNeeded_ = false;
    if (!resize) return;
    int w = size.x;
    int h = size.y;
    if (docked_ && dockedTo_) {
        const bool vertical = DockOrientationOf(dockedTo_) == doVertical;
        int thickness = DockRowThickness();
        if (vertical)
            w = std::max(w, thickness);
        else
            h = std::max(h, thickness);
        if (fullSize_) {
            if (vertical)
                h = dockedTo_->Height() - dockedTo_->BoundLinesHeight() - ncHeight_;
            else
                w = dockedTo_->Width() - dockedTo_->BoundLinesWidth() - ncWidth_;
        }
    }
    w += ncWidth_;
    h += ncHeight_;
    if (w != Width() || h != Height()) {
        ++updatingBounds_;
        try {
            SetBounds(Left(), Top(), w, h);
        } catch (...) {
            --updatingBounds_;
            throw;
        }
        --updatingBounds_;
    }
}

int TCustomToolWindow::DockRowThickness() {
    if (!docked_ || !dockedTo_) return MeasureBarSize(doNotDocked);
    dockedTo_->BuildRowThickness();
    return dockedTo_->ThicknessOfRow(dockRow_);
}

void TCustomToolWindow::AlignControls(tk::Control* changed, RECT& rect) {
    if (standardAlign_) tk::CustomControl::AlignControls(changed, rect);
    Rearrange();
}

void TCustomToolWindow::SetBounds(int left, int top, int width, int height) {
    // A description re-read in place (a language switch) stores dock
    // coordinates: a floating bar stays where the user put it.
    if (Floating() && IsReading() && !IsLoading()) {
        left = Left();
        top = Top();
    }
    if ((width != Width() || height != Height()) && updatingBounds_ == 0) BeforeSizeChange(width, height);
    const bool resized = width != Width() || height != Height();
    tk::CustomControl::SetBounds(left, top, width, height);
    if (Floating() && !IsLoading() && updatingBounds_ == 0) RememberFloatingTopLeft(POINT{Left(), Top()});
    // The toolkit asks a parent to realign only for aligned children; a dock
    // must see every size change of its bars (its own moves are absorbed by
    // its layout lock).
    if (resized && docked_ && dockedTo_ && Parent() == dockedTo_) dockedTo_->LayOutRows(false);
}

RECT TCustomToolWindow::ClientRect() const {
    if (HandleAllocated()) return tk::CustomControl::ClientRect();
    return RECT{0, 0, std::max(0, Width() - ncWidth_), std::max(0, Height() - ncHeight_)};
}

void TCustomToolWindow::KeepOnScreen(bool onlyWhenFullyOff) {
    if (!Floating()) return;
    RECT r = BoundsRect();
    RECT area{};
    WorkAreaOfRect(r, area);
    RECT meet{};
    if (onlyWhenFullyOff && ::IntersectRect(&meet, &r, &area)) return;
    int x = r.left;
    int y = r.top;
    if (r.right > area.right) x -= r.right - area.right;
    if (r.bottom > area.bottom) y -= r.bottom - area.bottom;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetBounds(x, y, Width(), Height());
}

// --- showing ----------------------------------------------------------------

bool TCustomToolWindow::ComputeShowingState() const {
    bool base = Showing() && hideCount_ == 0;
    if (docked_) return base;
    bool hidden = false;
    if (floatingMode_ == fmOnTopOfParentForm) {
        tk::Form* form = ParentFormOf(this);
        tk::Form* frame = MdiFrameOf(form);
        if (form && frame) {
            HWND f = form->HandleIfAllocated();
            HWND m = frame->HandleIfAllocated();
            hidden = !f || !m || ::IsIconic(tk::App().Handle()) || !::IsWindowVisible(f) || ::IsIconic(f) ||
                     (form != frame && (!::IsWindowVisible(m) || ::IsIconic(m)));
        }
    }
    if (!base || hidden) return false;
    return !(hideWhenInactive_ && !AppHasActiveWindow());
}

void TCustomToolWindow::RefreshVisibility() {
    bool inactive = !docked_ && !hideWhenInactive_ && !AppHasActiveWindow();
    if (inactive != captionInactive_) {
        captionInactive_ = inactive;
        RequestFloatingRedraw(rfCaption);
    }
    if (HWND h = HandleIfAllocated()) {
        if ((::IsWindowVisible(h) != FALSE) != ComputeShowingState()) ShowingChanged();
    }
}

void TCustomToolWindow::RefreshTopmost() {
    HWND h = HandleIfAllocated();
    if (!h) return;
    bool target;
    if (floatingMode_ == fmOnTopOfAllForms) {
        target = ::IsWindowEnabled(h) != FALSE;
    } else {
        HWND owner = OwnerOf(h);
        target = owner && (::GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    bool now = (::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (now != target)
        ::SetWindowPos(h, target ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomToolWindow::ShowingChanged() {
    if (HWND h = HandleIfAllocated()) {
        const bool show = ComputeShowingState();
        if (auto* fp = dynamic_cast<TFloatingWindowParent*>(Parent())) {
            if (show) {
                if (floatingMode_ == fmOnTopOfAllForms) {
                    ::SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(tk::App().Handle()));
                } else if (tk::Form* m = MdiFrameOf(ParentFormOf(this)); m && m->HandleAllocated()) {
                    HWND mw = m->HandleIfAllocated();
                    if (OwnerOf(h) != mw) ::SetWindowLongPtrA(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(mw));
                    // Above the form and whatever else it owns; at the very
                    // top when nothing else is above them.
                    HWND after = tk::PreviousUnownedWindow(mw);
                    ::SetWindowPos(h, after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                }
            }
            RefreshTopmost();
            fp->SetShowWanted(show);
            fp->ShowingChanged();
        }
        const bool visibleNow = ::IsWindowVisible(h) != FALSE || (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
        if (show != visibleNow) {
            const bool wasActive = ::GetActiveWindow() == h;
            ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                               (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
            if (!show && wasActive) {
                if (HWND next = FindActivatableWindow(h)) ::SetActiveWindow(next);
            }
        }
    }
    UpdateChildrenShowing();
}

void TCustomToolWindow::VisibleChanged() {
    if (docked_ && dockedTo_) dockedTo_->BarShownOrHidden(this, false);
    tk::CustomControl::VisibleChanged();
    if (OnVisibleChanged && CanFireEvents()) OnVisibleChanged(this);
}

void TCustomToolWindow::ColorChanged() {
    tk::CustomControl::ColorChanged();
    RequestDockedRedraw();
}

void TCustomToolWindow::TextChanged() {
    tk::CustomControl::TextChanged();
    RequestFloatingRedraw(rfCaption);
}

// --- window ----------------------------------------------------------------

void TCustomToolWindow::CreateParams(tk::WindowCreateParams& params) {
    tk::CustomControl::CreateParams(params);
    params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
    if (dynamic_cast<TDock*>(Parent())) return;
    params.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (resizable_ ? WS_THICKFRAME : 0);
    if (!Enabled()) params.style |= WS_DISABLED;
    params.exStyle = WS_EX_TOOLWINDOW;
    // Shown by the showing rules once it exists, never by its creation.
    if (auto* fp = dynamic_cast<TFloatingWindowParent*>(Parent())) params.parent = fp->Handle();
}

void TCustomToolWindow::CreateWnd() {
    tk::CustomControl::CreateWnd();
    UpdateNonClientSize(nullptr);
    RefreshNonClient(this);
    if (Floating()) ShowingChanged();
}

void TCustomToolWindow::Loaded() {
    // The toolkit's after-load aligns the children; they are placed once,
    // below, in the order their stored coordinates give.
    ++arrangeLock_;
    try {
        tk::CustomControl::Loaded();
    } catch (...) {
        --arrangeLock_;
        throw;
    }
    --arrangeLock_;
    if (!savedAtRunTime_ && Floating()) {
        if (tk::Form* form = ParentFormOf(this)) {
            POINT p = form->ClientToScreen(POINT{Left(), Top()});
            SetBounds(p.x, p.y, Width(), Height());
        }
        KeepOnScreen(false);
    }
    PrepareOrdering();
    Rearrange();
}

void TCustomToolWindow::Notification(tk::Component* component, tk::Operation operation) {
    tk::CustomControl::Notification(component, operation);
    if (operation != tk::Operation::Remove) return;
    if (component == defaultDock_) defaultDock_ = nullptr;
    if (component == lastDock_) lastDock_ = nullptr;
    if (component == dockedTo_) {
        dockedTo_ = nullptr;
        docked_ = false;
    }
    if (floatParent_ && component == floatForm_) {
        // The form is already gone as a window and a control: nothing may use it.
        floatForm_ = nullptr;
        floatParent_->SetOwnerForm(nullptr);
        if (Parent() != floatParent_.get()) {
            floatParent_.reset();
        } else if (floatingMode_ == fmOnTopOfParentForm) {
            SetParent(nullptr);
        }
    }
}

void TCustomToolWindow::NotifyDockChangingHidden(TDock* dock) {
    if (OnDockChangingHidden && !IsDestroying()) OnDockChangingHidden(this, dock);
}

void TCustomToolWindow::MoveNotify() {
    if (OnMove && CanFireEvents() && !IsLoading() && moveLock_ == 0) OnMove(this);
}

void TCustomToolWindow::UpdateFloatingList() {
    auto& list = FloatingBars();
    auto it = std::find(list.begin(), list.end(), this);
    if (Floating()) {
        if (it == list.end()) list.push_back(this);
        SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, Width(), Height());
    } else if (it != list.end()) {
        list.erase(it);
    }
}

void TCustomToolWindow::RememberFloatingTopLeft(POINT topLeft) {
    floatingTopLeft_ = topLeft;
    floatingPlaced_ = true;
}

void TCustomToolWindow::SetParent(tk::WinControl* parent) { DoSetParent(parent); }

void TCustomToolWindow::DoSetParent(tk::WinControl* newParent) {
    if (newParent && !dynamic_cast<TDock*>(newParent) && !dynamic_cast<tk::Form*>(newParent)) {
        std::string text = tk::LoadStr(S_TOOLWINDOW_PARENT_NOT_ALLOWED);
        throw tk::EInvalidOperation(text.empty() ? "A tool window can only be placed on a TDock or directly on the form"
                                                 : text);
    }
    tk::WinControl* effective = newParent;
    std::unique_ptr<TFloatingWindowParent> replaced;
    if (auto* form = dynamic_cast<tk::Form*>(newParent); form && !dynamic_cast<TFloatingWindowParent*>(form)) {
        if (!floatParent_ || floatForm_ != form) {
            // One floating parent per bar, named after the bar: two bars
            // floating over the same form must not clash.
            auto fp = std::make_unique<TFloatingWindowParent>();
            char name[40];
            std::snprintf(name, sizeof name, "BarFloatingParent_%.8x",
                          static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this)));
            fp->SetName(name);
            fp->SetBorderStyle(tk::bsNone);
            fp->SetBounds(0, 0, 0, 0);
            fp->SetShowHint(true);
            fp->SetOwnerForm(form);
            fp->SetVisible(true);
            // The old one (over another form) goes once the bar has left it.
            replaced = std::move(floatParent_);
            floatParent_ = std::move(fp);
            floatForm_ = form;
        }
        FreeNotification(form);
        effective = floatParent_.get();
    }
    tk::WinControl* oldParent = Parent();
    TDock* oldDock = dynamic_cast<TDock*>(oldParent);
    TDock* newDock = dynamic_cast<TDock*>(effective);
    if (effective == oldParent) {
        dockedTo_ = newDock;
        docked_ = newDock != nullptr;
        UpdateFloatingList();
        return;
    }
    // A bar that floats for the first time comes up where it was docked.
    const bool firstFloat = !floatingPlaced_ && oldDock && dynamic_cast<TFloatingWindowParent*>(effective);
    if (firstFloat) {
        const RECT docked = ScreenRectOf(this);
        RememberFloatingTopLeft(POINT{docked.left, docked.top});
    }
    const bool events = !IsDestroying() && newParent;
    if (events) {
        if (OnDockChanging) OnDockChanging(this);
        if (OnDockChangingEx) OnDockChangingEx(this, newDock);
        if (OnRecreating) OnRecreating(this);
    }
    ++hideCount_;
    ++moveLock_;
    bool locked = false;
    auto unwind = [&] {
        if (locked) --updatingBounds_;
        if (newDock && locked) newDock->UnlockLayout();
        if (oldDock && locked) oldDock->UnlockLayout();
        --moveLock_;
        --hideCount_;
        RefreshVisibility();
    };
    try {
        RefreshVisibility();
        if (newDock) newDock->LockLayout();
        if (oldDock) oldDock->LockLayout();
        ++updatingBounds_;
        locked = true;
        if (newParent) {
            NotifyDockChangingHidden(newDock);
            if (lastOrientationSet_) RearrangeFor(lastOrientation_, newDock, false);
        }
        arrangeNeeded_ = true;
        LockArrange();
        if (oldDock) {
            if (!useLastDock_) oldDock->UpdateBarList(false, this);
            oldDock->BarShownOrHidden(this, true);
        }
        const bool wasFloating = dynamic_cast<TFloatingWindowParent*>(oldParent) != nullptr;
        tk::CustomControl::SetParent(nullptr);
        // A popup owned by the old floating parent's window would go with it.
        if (wasFloating && HandleAllocated()) DestroyHandle();
        dockedTo_ = newDock;
        docked_ = newDock != nullptr;
        try {
            tk::CustomControl::SetParent(effective);
        } catch (...) {
            dockedTo_ = dynamic_cast<TDock*>(Parent());
            docked_ = dockedTo_ != nullptr;
            throw;
        }
        UpdateNonClientSize(nullptr);
        if (wasFloating) {
            if (oldParent == floatParent_.get()) {
                floatParent_.reset();
                floatForm_ = nullptr;
            }
        }
        replaced.reset();
        if (newDock) {
            if (useLastDock_) {
                SetLastDock(newDock);
                newDock->BarShownOrHidden(this, false);
            } else {
                newDock->UpdateBarList(true, this);
            }
        }
        UpdateFloatingList();
        if (Floating() && !HandleAllocated()) {
            if (tk::Form* form = ParentFormOf(this); form && form->HandleAllocated()) HandleNeeded();
        }
        --arrangeLock_;
        if (arrangeLock_ == 0 && arrangeNeeded_) Rearrange();
        if (firstFloat && Floating()) {
            // Measured with its floating frame now: kept whole on the screen.
            KeepOnScreen(false);
            RememberFloatingTopLeft(POINT{Left(), Top()});
        }
        if (newParent) {
            lastOrientation_ = DockOrientationOf(newDock);
            lastOrientationSet_ = true;
        }
    } catch (...) {
        if (arrangeLock_ > 0) --arrangeLock_;
        unwind();
        throw;
    }
    unwind();
    if (Parent()) MoveNotify();
    if (events) {
        if (OnRecreated) OnRecreated(this);
        if (OnDockChanged) OnDockChanged(this);
    }
}

// --- messages ----------------------------------------------------------------

LRESULT TCustomToolWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCALCSIZE: UpdateNonClientSize(reinterpret_cast<RECT*>(lParam)); return 0;
    case WM_NCPAINT:
        if (docked_)
            DrawDockedFrame(false, nullptr, reinterpret_cast<HRGN>(wParam));
        else
            DrawFloatingFrame(false, nullptr, reinterpret_cast<HRGN>(wParam), rfAll);
        return 0;
    case WM_NCACTIVATE:
        if (!docked_) RequestFloatingRedraw(rfCaption);
        return TRUE;
    case WM_NCHITTEST: {
        RECT wr{};
        ::GetWindowRect(HandleIfAllocated(), &wr);
        const POINT p{GET_X_LPARAM(lParam) - wr.left, GET_Y_LPARAM(lParam) - wr.top};
        return NcHitTest(p, tk::CustomControl::WndProc(msg, wParam, lParam));
    }
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCLOSE) {
            TrackCloseButton();
            return 0;
        }
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
            SizeLoop(static_cast<int>(wParam) - HTLEFT);
            return 0;
        }
        return tk::CustomControl::WndProc(msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // A press beside the buttons (or on a separator) is the bar's own:
        // it starts a drag instead of going to the child under it.
        if (!PointOnChild(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
            tk::Control::WndProc(msg, wParam, lParam);
            return 0;
        }
        return tk::CustomControl::WndProc(msg, wParam, lParam);
    case WM_PRINT: return PrintWindowWithFrame(HandleIfAllocated(), wParam, lParam, &TCustomToolWindow::PrintFrame,
                                               reinterpret_cast<LPARAM>(this));
    case WM_PRINTCLIENT: return PrintClientArea(*this, wParam);
    case RedrawDockedFrameMessage: DrawDockedFrame(false, nullptr, nullptr); return 0;
    case RedrawFloatingFrameMessage: DrawFloatingFrame(false, nullptr, nullptr, static_cast<unsigned>(lParam)); return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{1, 1};
        info->ptMaxTrackSize = POINT{32767, 32767};
        return 0;
    }
    case WM_MOVE: {
        LRESULT r = tk::CustomControl::WndProc(msg, wParam, lParam);
        if (ShowsDockBackground()) {
            RequestDockedRedraw();
            Invalidate();
        }
        MoveNotify();
        return r;
    }
    case WM_ENABLE: {
        LRESULT r = tk::CustomControl::WndProc(msg, wParam, lParam);
        if (floatingMode_ == fmOnTopOfAllForms) RefreshTopmost();
        return r;
    }
    case WM_ACTIVATE:
        if (!docked_ && Floating()) {
            tk::Form* m = MdiFrameOf(ParentFormOf(this));
            if (m && m->HandleAllocated())
                ::SendMessageA(m->HandleIfAllocated(), WM_NCACTIVATE, LOWORD(wParam) != WA_INACTIVE, 0);
            if (LOWORD(wParam) != WA_INACTIVE) {
                if (!Visible()) {
                    if (HWND next = FindActivatableWindow(HandleIfAllocated())) ::SetActiveWindow(next);
                } else if (m && m->HandleAllocated() && m->HandleIfAllocated() != reinterpret_cast<HWND>(lParam)) {
                    ::SetActiveWindow(m->HandleIfAllocated());
                }
            }
            return 0;
        }
        return tk::CustomControl::WndProc(msg, wParam, lParam);
    case WM_MOUSEACTIVATE:
        if (!docked_ && Floating()) {
            HWND h = HandleIfAllocated();
            ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            tk::Form* f = ParentFormOf(this);
            tk::Form* m = MdiFrameOf(f);
            if (floatingMode_ == fmOnTopOfParentForm && activateParent_ && m && ::GetActiveWindow() != h) {
                if (m->HandleAllocated()) ::SetActiveWindow(m->HandleIfAllocated());
                if (f != m && f && f->HandleAllocated())
                    ::SetWindowPos(f->HandleIfAllocated(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            return MA_NOACTIVATE;
        }
        return tk::CustomControl::WndProc(msg, wParam, lParam);
    case WM_CLOSE:
        if (tk::Form* m = MdiFrameOf(ParentFormOf(this)); m && m->HandleAllocated())
            ::PostMessageA(m->HandleIfAllocated(), WM_CLOSE, 0, 0);
        return 0;
    default: return tk::CustomControl::WndProc(msg, wParam, lParam);
    }
}

LRESULT TCustomToolWindow::NcHitTest(POINT p, LRESULT inherited) const {
    if (docked_) {
        if (inherited != HTNOWHERE) return inherited;
        if (closeButtonWhenDocked_ && dockedTo_ && dockedTo_->AllowDrag()) {
            RECT close = DockedCloseButtonRect(DockOrientationOf(dockedTo_) == doVertical);
            if (::PtInRect(&close, p)) return HTCLOSE;
        }
        return HTCLIENT;
    }
    if (inherited == HTCLIENT) return inherited;
    if (showCaption_) {
        RECT caption = CaptionRect(true, false);
        if (::PtInRect(&caption, p)) {
            RECT close = CloseButtonRect(true);
            return closeButton_ && ::PtInRect(&close, p) ? HTCLOSE : HTCLIENT;
        }
    }
    if (inherited >= HTLEFT && inherited <= HTBOTTOMRIGHT) inherited = HTNOWHERE;
    if (!resizable_) return inherited;
    const SIZE b = FloatingBorderSize();
    const int w = Width();
    const int ht = Height();
    // The right and bottom bands are one pixel wider than the left and top.
    if (eightEdgeSizing_) {
        const int c = CaptionBarHeight() + b.cx - 1;
        if (p.x >= 0 && p.x < b.cx) return p.y < c ? HTTOPLEFT : p.y >= ht - c ? HTBOTTOMLEFT : HTLEFT;
        if (p.x >= w - b.cx - 1 && p.x < w) return p.y < c ? HTTOPRIGHT : p.y >= ht - c ? HTBOTTOMRIGHT : HTRIGHT;
        if (p.y >= 0 && p.y < b.cy) return p.x < c ? HTTOPLEFT : p.x >= w - c ? HTTOPRIGHT : HTTOP;
        if (p.y >= ht - b.cy - 1 && p.y < ht) return p.x < c ? HTBOTTOMLEFT : p.x >= w - c ? HTBOTTOMRIGHT : HTBOTTOM;
        return inherited;
    }
    if (p.y >= 0 && p.y < b.cy) return HTTOP;
    if (p.y >= ht - b.cy - 1 && p.y < ht) return HTBOTTOM;
    if (p.x >= 0 && p.x < b.cx) return HTLEFT;
    if (p.x >= w - b.cx - 1 && p.x < w) return HTRIGHT;
    return inherited;
}

void TCustomToolWindow::TrackCloseButton() {
    HWND h = HandleIfAllocated();
    if (!h) return;
    // Drawn at once: the loop does not hand this window its posted redraws.
    auto refresh = [this] {
        if (docked_)
            DrawDockedFrame(false, nullptr, nullptr);
        else
            DrawFloatingFrame(false, nullptr, nullptr, rfCloseButton);
    };
    auto overButton = [this, h](LPARAM clientPoint) {
        POINT p{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
        ::ClientToScreen(h, &p);
        RECT wr{};
        ::GetWindowRect(h, &wr);
        p.x -= wr.left;
        p.y -= wr.top;
        RECT r = docked_ ? DockedCloseButtonRect(DockOrientationOf(dockedTo_) == doVertical) : CloseButtonRect(true);
        return ::PtInRect(&r, p) != FALSE;
    };
    closeButtonDown_ = true;
    refresh();
    bool close = false;
    const tk::LifeToken alive = Token();
    {
        tk::MouseLoop loop(h, this);
        loop.Watch(dockedTo_);
        loop.Watch(ParentFormOf(this));
        loop.Run([&](const MSG& m) {
            switch (m.message) {
            case WM_MOUSEMOVE: {
                const bool in = overButton(m.lParam);
                if (in != closeButtonDown_) {
                    closeButtonDown_ = in;
                    refresh();
                }
                return tk::MouseLoop::Step::Continue;
            }
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK: return tk::MouseLoop::Step::Cancel;
            case WM_LBUTTONUP:
                close = closeButtonDown_;
                return tk::MouseLoop::Step::Finish;
            default: return tk::MouseLoop::Step::Continue;  // keys, right and middle buttons
            }
        });
    }
    if (!alive.Alive()) return;
    if (closeButtonDown_) {
        closeButtonDown_ = false;
        refresh();
    }
    if (!close) return;
    bool canClose = true;
    if (OnCloseQuery && CanFireEvents()) OnCloseQuery(this, canClose);
    if (!canClose || !alive.Alive()) return;
    SetVisible(false);
    if (OnClose && CanFireEvents()) OnClose(this);
}

void TCustomToolWindow::Paint(tk::Canvas& canvas) {
    if (ShowsDockBackground()) {
        RECT client = ClientRect();
        POINT origin = ClientOrigin();
        POINT dockOrigin = dockedTo_->Parent() ? dockedTo_->Parent()->ClientOrigin() : dockedTo_->ClientOrigin();
        RECT draw{dockOrigin.x - origin.x, dockOrigin.y - origin.y, client.right, client.bottom};
        dockedTo_->DrawBackgroundTiles(canvas.Handle(), client, draw, nullptr);
        return;
    }
    RECT client = ClientRect();
    tk::BrushHandle fill = tk::CreateSolidBrush(GetColor());
    ::FillRect(canvas.Handle(), &client, fill.Get());
}

bool TCustomToolWindow::ShowsDockBackground() const {
    return docked_ && dockedTo_ && dockedTo_->HasBackground() && dockedTo_->BackgroundOnToolbars();
}

HPALETTE TCustomToolWindow::GetPalette() {
    return ShowsDockBackground() ? dockedTo_->GetPalette() : tk::CustomControl::GetPalette();
}

bool TCustomToolWindow::PaletteChanged(bool foreground) {
    const bool result = tk::CustomControl::PaletteChanged(foreground);
    if (result && !foreground) {
        RequestDockedRedraw();
        Invalidate();
    }
    return result;
}

// --- registration ------------------------------------------------------------

namespace {
const tk::IdentTable kDockableIdents = {{"dpTop", 1 << dpTop}, {"dpBottom", 1 << dpBottom}, {"dpLeft", 1 << dpLeft}, {"dpRight", 1 << dpRight}};
const tk::IdentTable kDockModeIdents = {{"dmCanFloat", dmCanFloat}, {"dmCannotFloat", dmCannotFloat}, {"dmCannotFloatOrChangeDocks", dmCannotFloatOrChangeDocks}};
const tk::IdentTable kDragHandleIdents = {{"dhDouble", dhDouble}, {"dhNone", dhNone}, {"dhSingle", dhSingle}};
const tk::IdentTable kFloatingModeIdents = {{"fmOnTopOfParentForm", fmOnTopOfParentForm}, {"fmOnTopOfAllForms", fmOnTopOfAllForms}};
const tk::IdentTable kBorderIdents = {{"bsNone", tk::bsNone}, {"bsSingle", tk::bsSingle}};

const tk::ClassRegistration<TCustomToolWindow> kToolWindowReg(
    "TCustomToolWindow", "TWinControl", [](tk::ClassBuilder<TCustomToolWindow>& c) {
        c.Property("ActivateParent", &TCustomToolWindow::ActivateParent, &TCustomToolWindow::SetActivateParent)
            .Property("BorderStyle", &TCustomToolWindow::GetBorderStyle, &TCustomToolWindow::SetBorderStyle, &kBorderIdents)
            .Property("CloseButton", &TCustomToolWindow::CloseButton, &TCustomToolWindow::SetCloseButton)
            .Property("CloseButtonWhenDocked", &TCustomToolWindow::CloseButtonWhenDocked,
                      &TCustomToolWindow::SetCloseButtonWhenDocked)
            .Property("DefaultDock", &TCustomToolWindow::DefaultDock, &TCustomToolWindow::SetDefaultDock)
            .Property("DockableTo", &TCustomToolWindow::DockableTo, &TCustomToolWindow::SetDockableTo, &kDockableIdents)
            .Property("DockedTo", &TCustomToolWindow::DockedTo, &TCustomToolWindow::SetDockedTo)
            .Property("DockMode", &TCustomToolWindow::DockMode, &TCustomToolWindow::SetDockMode, &kDockModeIdents)
            .Property("DockPos", &TCustomToolWindow::DockPos, &TCustomToolWindow::SetDockPos)
            .Property("DockRow", &TCustomToolWindow::DockRow, &TCustomToolWindow::SetDockRow)
            .Property("DragHandleStyle", &TCustomToolWindow::DragHandleStyle, &TCustomToolWindow::SetDragHandleStyle,
                      &kDragHandleIdents)
            .Property("FloatingMode", &TCustomToolWindow::FloatingMode, &TCustomToolWindow::SetFloatingMode,
                      &kFloatingModeIdents)
            .Property("FullSize", &TCustomToolWindow::FullSize, &TCustomToolWindow::SetFullSize)
            .Property("HideWhenInactive", &TCustomToolWindow::HideWhenInactive, &TCustomToolWindow::SetHideWhenInactive)
            .Property("LastDock", &TCustomToolWindow::LastDock, &TCustomToolWindow::SetLastDock)
            .Property("UseLastDock", &TCustomToolWindow::UseLastDock, &TCustomToolWindow::SetUseLastDock)
            .Property("ShowCaption", &TCustomToolWindow::ShowCaption, &TCustomToolWindow::SetShowCaption)
            .Property("SavedAtRunTime", &TCustomToolWindow::SavedAtRunTime, &TCustomToolWindow::SetSavedAtRunTime)
            .Property("Version", &TCustomToolWindow::Version, &TCustomToolWindow::SetVersion)
            .Event("OnClose", &TCustomToolWindow::OnClose)
            .Event("OnCloseQuery", &TCustomToolWindow::OnCloseQuery)
            .Event("OnDockChanged", &TCustomToolWindow::OnDockChanged)
            .Event("OnDockChanging", &TCustomToolWindow::OnDockChanging)
            .Event("OnDockChangingEx", &TCustomToolWindow::OnDockChangingEx)
            .Event("OnDockChangingHidden", &TCustomToolWindow::OnDockChangingHidden)
            .Event("OnMove", &TCustomToolWindow::OnMove)
            .Event("OnRecreated", &TCustomToolWindow::OnRecreated)
            .Event("OnRecreating", &TCustomToolWindow::OnRecreating)
            .Event("OnVisibleChanged", &TCustomToolWindow::OnVisibleChanged);
    });
}  // namespace
