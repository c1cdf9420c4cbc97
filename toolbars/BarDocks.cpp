// BarDocks: the unit helpers, the dock and its row layout, and the floating
// parent form. The tool window lives in BarDocksWindow.cpp, its frames and
// captions in BarDocksFrame.cpp.
#include "toolbars/BarDocks.h"

#include "toolbars/ToolbarStringIds.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Resources.h"
#include "toolkit/StrConv.h"
#include "toolkit/Streaming.h"
#include "toolkit/ToolkitStringIds.h"

#include <algorithm>
#include <climits>

namespace {

// A text of the string table, or its English wording when the active module
// lacks it (a library used without the program's resources).
std::string BarText(UINT id, const char* english) {
    std::string text = tk::LoadStr(id);
    return text.empty() ? std::string(english) : text;
}

bool IsVertical(TDockPosition p) { return p == dpLeft || p == dpRight; }

}  // namespace

// --- unit helpers ------------------------------------------------------------

int CaptionBarHeight() { return ::GetSystemMetrics(SM_CYSMCAPTION); }

void PrimaryWorkArea(RECT& area) {
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

bool MultipleMonitorsPresent() {
    int n = ::GetSystemMetrics(SM_CMONITORS);
    return n != 0 && n != 1;
}

bool BindMonitorFunctions(TMonitorFunctions& f) {
    f = TMonitorFunctions{};
    HMODULE user = ::GetModuleHandleA("user32.dll");
    if (!user) return false;
    f.fromRect = reinterpret_cast<decltype(f.fromRect)>(reinterpret_cast<void*>(::GetProcAddress(user, "MonitorFromRect")));
    f.fromPoint =
        reinterpret_cast<decltype(f.fromPoint)>(reinterpret_cast<void*>(::GetProcAddress(user, "MonitorFromPoint")));
    f.getInfo = reinterpret_cast<decltype(f.getInfo)>(reinterpret_cast<void*>(::GetProcAddress(user, "GetMonitorInfoA")));
    return f.fromRect && f.fromPoint && f.getInfo;
}

namespace {
bool MonitorWorkArea(HMONITOR monitor, const TMonitorFunctions& f, RECT& area) {
    if (!monitor) return false;
    MONITORINFO info{};
    info.cbSize = 40;
    if (!f.getInfo(monitor, &info)) return false;
    area = info.rcWork;
    return true;
}
}  // namespace

void WorkAreaOfRect(const RECT& rect, RECT& area) {
    TMonitorFunctions f;
    if (MultipleMonitorsPresent() && BindMonitorFunctions(f) &&
        MonitorWorkArea(f.fromRect(&rect, MONITOR_DEFAULTTONEAREST), f, area))
        return;
    PrimaryWorkArea(area);
}

void WorkAreaOfPoint(POINT point, RECT& area) {
    TMonitorFunctions f;
    if (MultipleMonitorsPresent() && BindMonitorFunctions(f) &&
        MonitorWorkArea(f.fromPoint(point, MONITOR_DEFAULTTONEAREST), f, area))
        return;
    PrimaryWorkArea(area);
}

// The toolkit knows no MDI frames: every form is its own frame.
tk::Form* MdiFrameOf(tk::Form* form) { return form; }

TDockOrientation DockOrientationOf(const TDock* dock) {
    if (!dock) return doNotDocked;
    return IsVertical(dock->Position()) ? doVertical : doHorizontal;
}

tk::Form* ParentFormOf(const TCustomToolWindow* toolWindow) {
    tk::Form* result = nullptr;
    for (tk::WinControl* p = toolWindow->Parent(); p; p = p->Parent()) {
        if (auto* f = dynamic_cast<tk::Form*>(p)) result = f;
    }
    if (auto* floating = dynamic_cast<TFloatingWindowParent*>(result)) result = floating->OwnerForm();
    return result;
}

tk::Form* RequireParentForm(const TCustomToolWindow* toolWindow) {
    tk::Form* form = ParentFormOf(toolWindow);
    if (!form)
        throw tk::EInvalidOperation(tk::Format(BarText(S_TK_PARENT_REQUIRED, "Control '%s' has no parent window"),
                                               {toolWindow->Name()}));
    return form;
}

RECT ScreenRectOf(const tk::Control* control) {
    RECT r{};
    if (const auto* w = dynamic_cast<const tk::WinControl*>(control); w && w->HandleAllocated()) {
        ::GetWindowRect(w->HandleIfAllocated(), &r);
        return r;
    }
    r = control->BoundsRect();
    if (control->Parent()) {
        POINT o = control->Parent()->ClientOrigin();
        ::OffsetRect(&r, o.x, o.y);
    }
    return r;
}

void FlushPaintMessages() {
    // A paint handler that fails leaves its window invalid, and the system
    // would hand out the same WM_PAINT again: such a window is validated, and
    // the flush gives up after a bounded number of rounds in any case.
    MSG msg;
    for (int round = 0; round < 1000 && ::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE); ++round) {
        if (!::GetMessageA(&msg, nullptr, WM_PAINT, WM_PAINT)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::DispatchMessageA(&msg);
        if (msg.hwnd && ::GetUpdateRect(msg.hwnd, nullptr, FALSE)) ::ValidateRect(msg.hwnd, nullptr);
    }
}

namespace {
struct ActivatableSearch {
    HWND exclude;
    HWND appWindow;
    HWND found = nullptr;
    HWND foundTopmost = nullptr;
};
BOOL CALLBACK FindActivatableProc(HWND wnd, LPARAM param) {
    auto* s = reinterpret_cast<ActivatableSearch*>(param);
    if (wnd == s->exclude || wnd == s->appWindow || !::IsWindowVisible(wnd) || !::IsWindowEnabled(wnd)) return TRUE;
    if (::GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        if (!s->foundTopmost) s->foundTopmost = wnd;
        return TRUE;
    }
    s->found = wnd;
    return FALSE;
}
}  // namespace

HWND FindActivatableWindow(HWND exclude) {
    ActivatableSearch s{exclude, tk::App().Handle()};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindActivatableProc, reinterpret_cast<LPARAM>(&s));
    return s.found ? s.found : s.foundTopmost;
}

void RefreshNonClient(tk::WinControl* control) {
    if (control && control->HandleAllocated())
        ::SetWindowPos(control->HandleIfAllocated(), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

TDockPosition DockPositionOfControl(tk::Control* control) {
    for (tk::Control* c = control; c; c = c->Parent()) {
        if (auto* bar = dynamic_cast<TCustomToolWindow*>(c)) {
            return bar->DockedTo() ? bar->DockedTo()->Position() : dpNotDocked;
        }
    }
    return dpNotDocked;
}

// --- TDock -------------------------------------------------------------------

TDock::TDock() {
    SetControlStyle((GetControlStyle() | tk::csAcceptsControls) & ~(tk::csCaptureMouse | tk::csClickEvents | tk::csOpaque));
    SetColor(tk::clBtnFace);
    SetAlign(tk::alTop);
}

TDock::~TDock() {
    // The bars forget this dock before it goes (they are not destroyed with it
    // unless they are its child controls, which the toolkit frees itself).
    for (TCustomToolWindow* bar : std::vector<TCustomToolWindow*>(bars_)) {
        if (bar->lastDock_ == this) bar->lastDock_ = nullptr;
        if (bar->defaultDock_ == this) bar->defaultDock_ = nullptr;
    }
}

void TDock::SetPosition(TDockPosition position) {
    if (position == position_) return;
    if (ControlCount() > 0)
        throw tk::EInvalidOperation(
            BarText(S_DOCK_POSITION_HAS_CONTROLS, "Cannot change Position of a TDock if it already contains controls"));
    position_ = position;
    static const tk::Align kAlign[] = {tk::alTop, tk::alBottom, tk::alLeft, tk::alRight};
    SetAlign(kAlign[position]);
}

void TDock::SetAllowDrag(bool allow) {
    if (allow == allowDrag_) return;
    allowDrag_ = allow;
    for (tk::Control* c : std::vector<tk::Control*>(Children())) {
        if (auto* bar = dynamic_cast<TCustomToolWindow*>(c)) {
            bar->UpdateNonClientSize(nullptr);
            RefreshNonClient(bar);
            bar->Rearrange();
        }
    }
}

void TDock::SetBoundLines(TDockBoundLines lines) {
    if (lines == boundLines_) return;
    boundLines_ = lines;
    boundLinesWidth_ = ((lines >> blLeft) & 1) + ((lines >> blRight) & 1);
    boundLinesHeight_ = ((lines >> blTop) & 1) + ((lines >> blBottom) & 1);
    RefreshNonClient(this);
}

void TDock::SetBackground(const tk::Bitmap& bitmap) {
    background_ = bitmap;
    DropBackgroundCache();
}

void TDock::SetBackgroundOnToolbars(bool on) {
    if (on == backgroundOnToolbars_) return;
    backgroundOnToolbars_ = on;
    RepaintBackgrounds();
}

void TDock::SetBackgroundTransparent(bool on) {
    if (on == backgroundTransparent_) return;
    backgroundTransparent_ = on;
    if (HasBackground()) DropBackgroundCache();
}

void TDock::SetFixAlign(bool on) {
    if (on == fixAlign_) return;
    fixAlign_ = on;
    LayOutRows(false);
}

void TDock::CreateParams(tk::WindowCreateParams& params) {
    tk::CustomControl::CreateParams(params);
    params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TDock::Loaded() {
    tk::CustomControl::Loaded();
    LayOutRows(false);
}

void TDock::Notification(tk::Component* component, tk::Operation operation) {
    tk::CustomControl::Notification(component, operation);
    if (operation != tk::Operation::Remove) return;
    auto* bar = dynamic_cast<TCustomToolWindow*>(component);
    if (!bar) return;
    std::erase(bars_, bar);
    std::erase(visibleBars_, bar);
}

void TDock::SetParent(tk::WinControl* parent) {
    for (tk::WinControl* p = parent; p; p = p->Parent()) {
        if (dynamic_cast<TCustomToolWindow*>(p) || dynamic_cast<TDock*>(p))
            throw tk::EInvalidOperation(BarText(S_DOCK_INSIDE_TOOLWINDOW,
                                                "A TDock control cannot be placed inside a tool window or another TDock"));
    }
    tk::CustomControl::SetParent(parent);
}

void TDock::AlignControls(tk::Control*, RECT&) { LayOutRows(false); }

void TDock::UnlockLayout() {
    --layoutLock_;
    if (layoutLock_ == 0 && layoutPending_) LayOutRows(commitPositions_);
}

void TDock::UpdateBarList(bool insert, TCustomToolWindow* bar) {
    auto it = std::find(bars_.begin(), bars_.end(), bar);
    if (insert) {
        if (it == bars_.end()) {
            bars_.push_back(bar);
            bar->FreeNotification(this);
        }
    } else if (it != bars_.end()) {
        bars_.erase(it);
    }
    BarShownOrHidden(bar, false);
}

void TDock::BarShownOrHidden(TCustomToolWindow* bar, bool forceRemove) {
    bool visible = !forceRemove && BarVisibleHere(bar);
    auto it = std::find(visibleBars_.begin(), visibleBars_.end(), bar);
    bool changed = false;
    if (visible && it == visibleBars_.end()) {
        visibleBars_.push_back(bar);
        changed = true;
    } else if (!visible && it != visibleBars_.end()) {
        visibleBars_.erase(it);
        changed = true;
    }
    if (!changed) return;
    LayOutRows(false);
    FireEvent(OnInsertRemoveBar, visible, bar);
}

bool TDock::BarVisibleHere(const TCustomToolWindow* bar) const { return bar->Parent() == this && bar->Visible(); }

bool TDock::HasVisibleBars() const {
    return std::any_of(bars_.begin(), bars_.end(), [this](const TCustomToolWindow* b) { return BarVisibleHere(b); });
}

int TDock::LastRow() const {
    int last = -1;
    for (const TCustomToolWindow* b : bars_) last = std::max(last, b->dockRow_);
    return last;
}

int TDock::BarsInRow(int row, const TCustomToolWindow* excluded) const {
    return static_cast<int>(
        std::count_if(bars_.begin(), bars_.end(), [&](const TCustomToolWindow* b) { return b != excluded && b->dockRow_ == row; }));
}

void TDock::OpenRowAt(int beforeRow) {
    for (TCustomToolWindow* b : bars_) {
        if (b->dockRow_ >= beforeRow) ++b->dockRow_;
    }
}

int TDock::ThicknessOfRow(int row, TCustomToolWindow* defaultBar) const {
    int size = row >= 0 && row < static_cast<int>(rowThickness_.size()) ? rowThickness_[static_cast<std::size_t>(row)] : 0;
    if (size == 0 && defaultBar) size = defaultBar->MeasureBarSize(DockOrientationOf(this));
    return size;
}

int TDock::RowOfPoint(int xy, bool& before) const {
    before = false;
    const int last = LastRow();
    int start = 0;
    for (int r = 0; r <= last + 1; ++r) {
        int next;
        if (r <= last) {
            int size = ThicknessOfRow(r);
            if (size == 0) continue;
            next = start + size + 4;
        } else {
            next = INT_MAX;
        }
        if (xy < start + 5) {
            before = true;
            return r;
        }
        if (xy < next - 5) return r;
        start = next;
    }
    return 0;
}

int TDock::DesignRowOfPoint(int xy) const {
    const int last = LastRow();
    int sum = 0;
    for (int r = 0; r <= last; ++r) {
        int size = ThicknessOfRow(r);
        if (size == 0) continue;
        sum += size + 4;
        if (sum > xy) return r;
    }
    return last + 1;
}

void TDock::RemoveEmptyRows() {
    int last = LastRow();
    for (int r = 0; r <= last;) {
        if (std::none_of(bars_.begin(), bars_.end(), [r](const TCustomToolWindow* b) { return b->dockRow_ == r; })) {
            for (TCustomToolWindow* b : bars_) {
                if (b->dockRow_ > r) --b->dockRow_;
            }
            --last;
        } else {
            ++r;
        }
    }
}

void TDock::BuildRowThickness() {
    const TDockOrientation orientation = DockOrientationOf(this);
    const int last = LastRow();
    rowThickness_.assign(static_cast<std::size_t>(last + 1), 0);
    for (int r = 0; r <= last; ++r) {
        int thickness = 0;
        bool any = false;
        for (TCustomToolWindow* b : bars_) {
            if (b->dockRow_ != r || !BarVisibleHere(b)) continue;
            any = true;
            thickness = std::max(thickness, b->MeasureBarSize(orientation));
        }
        if (any) thickness = std::max(thickness, 8);
        rowThickness_[static_cast<std::size_t>(r)] = thickness;
    }
}

void TDock::LayOutRows(bool commitPositions) {
    if (commitPositions) commitPositions_ = true;
    if (layoutLock_ > 0 || IsLoading()) {
        layoutPending_ = true;
        return;
    }
    struct Run {
        TDock& d;
        explicit Run(TDock& dock) : d(dock) { ++d.layoutLock_; }
        ~Run() {
            --d.layoutLock_;
            d.layoutPending_ = false;
            d.commitPositions_ = false;
        }
    } run(*this);

    // Above its siblings, so that bars dragged over a neighbour stay visible
    // (asking the window server only when it is not there already).
    if (HWND h = HandleIfAllocated(); h && ::GetWindow(h, GW_HWNDFIRST) != h)
        ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool vertical = IsVertical(position_);
    if (!HasVisibleBars()) {
        int thickness = fixAlign_ ? 1 : 0;
        if (vertical)
            ResizeDock(thickness, Height());
        else
            ResizeDock(Width(), thickness);
        return;
    }
    const int dockLength =
        vertical ? std::max(0, Height() - boundLinesHeight_) : std::max(0, Width() - boundLinesWidth_);

    if (limitToOneRow_) {
        for (TCustomToolWindow* b : bars_) b->dockRow_ = 0;
    }
    RemoveEmptyRows();
    auto byRowPos = [](TCustomToolWindow* a, TCustomToolWindow* b, int) {
        if (a->dockRow_ != b->dockRow_) return a->dockRow_ < b->dockRow_ ? -1 : 1;
        if (a->dockPos_ != b->dockPos_) return a->dockPos_ < b->dockPos_ ? -1 : 1;
        return 0;
    };
    SortListWithData(bars_, byRowPos, 0);
    SortListWithData(visibleBars_, byRowPos, 0);

    // A full-size bar gets a row of its own, before the bars that shared it.
    for (int r = 0; r <= LastRow(); ++r) {
        for (TCustomToolWindow* b : bars_) {
            if (b->dockRow_ != r || !b->fullSize_) continue;
            if (BarsInRow(r, b) > 0) {
                for (TCustomToolWindow* o : bars_) {
                    if (o != b && o->dockRow_ >= r) ++o->dockRow_;
                }
            }
        }
    }

    BuildRowThickness();
    std::vector<TDockBarSlot> slots;
    slots.reserve(bars_.size());
    for (const TCustomToolWindow* b : bars_)
        slots.push_back(TDockBarSlot{b->dockRow_, b->dockPos_, vertical ? b->Height() : b->Width(), b->fullSize_,
                                     BarVisibleHere(b)});
    const TDockRowsLayout layout = LayOutDockRows(slots, rowThickness_, dockLength, vertical);
    for (std::size_t i = 0; i < bars_.size(); ++i)
        bars_[i]->dockPos_ = commitPositions_ ? layout.places[i] : layout.positions[i];
    // One pass moves the bars; their own size changes wait for the lock.
    for (std::size_t i = 0; i < bars_.size() && i < layout.bounds.size(); ++i) {
        if (!slots[i].shown) continue;
        TCustomToolWindow* b = bars_[i];
        const RECT& r = layout.bounds[i];
        const CounterHold placing(b->updatingBounds_);
        b->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    if (!vertical)
        ResizeDock(Width(), layout.thickness + boundLinesHeight_);
    else
        ResizeDock(layout.thickness + boundLinesWidth_, Height());
}

TDockRowsLayout LayOutDockRows(const std::vector<TDockBarSlot>& bars, const std::vector<int>& rowThickness,
                               int dockLength, bool vertical) {
    TDockRowsLayout out;
    const std::size_t n = bars.size();
    const int rows = static_cast<int>(rowThickness.size());
    out.positions.resize(n);
    for (std::size_t i = 0; i < n; ++i) out.positions[i] = bars[i].pos;
    // The shown bars of a row queue up behind one another; a full-size one starts it.
    for (int r = 0; r < rows; ++r) {
        int pos = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (bars[i].row != r || !bars[i].shown) continue;
            if (bars[i].fullSize) {
                out.positions[i] = 0;
                continue;
            }
            if (out.positions[i] > pos)
                pos = out.positions[i];
            else
                out.positions[i] = pos;
            pos += bars[i].length;
        }
    }
    // Bars past the end are pulled back (from the far end), then pushed on
    // again where that took them past the dock's start.
    out.places = out.positions;
    for (int r = 0; r < rows; ++r) {
        auto fits = [&](std::size_t i) { return bars[i].row == r && bars[i].shown && !bars[i].fullSize; };
        int pos = dockLength;
        for (std::size_t i = n; i-- > 0;) {
            if (!fits(i)) continue;
            pos -= bars[i].length;
            if (out.places[i] > pos) out.places[i] = pos;
            pos = out.places[i];
        }
        pos = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (!fits(i)) continue;
            if (out.places[i] <= pos)
                out.places[i] = pos;
            else
                pos = out.places[i];
            pos += bars[i].length;
        }
    }
    // Each row as thick as its thickest bar and a margin.
    out.bounds.assign(n, RECT{});
    int offset = 0;
    for (int r = 0; r < rows; ++r) {
        int t = rowThickness[static_cast<std::size_t>(r)];
        if (t != 0) t += 4;
        for (std::size_t i = 0; i < n; ++i) {
            if (bars[i].row != r || !bars[i].shown) continue;
            const int along = out.places[i];
            const int length = bars[i].fullSize ? dockLength : bars[i].length;
            out.bounds[i] = vertical ? RECT{offset, along, offset + t, along + length}
                                     : RECT{along, offset, along + length, offset + t};
        }
        offset += t;
    }
    out.thickness = offset;
    return out;
}

void TDock::ResizeDock(int newWidth, int newHeight) {
    switch (GetAlign()) {
    case tk::alTop:
    case tk::alLeft: SetBounds(Left(), Top(), newWidth, newHeight); break;
    case tk::alBottom: SetBounds(Left(), Top() + Height() - newHeight, newWidth, newHeight); break;
    case tk::alRight: SetBounds(Left() + Width() - newWidth, Top(), newWidth, newHeight); break;
    default: break;
    }
}

// Not the toolkit's Resize: OnResize fires once, with the rows laid out.
void TDock::Resize() {
    LayOutRows(false);
    if (!IsLoading()) FireEvent(OnResize);
}

void TDock::DrawBackgroundTiles(HDC dc, const RECT& clipRect, const RECT& drawRect, const RECT* excludeRect) {
    const tk::Bitmap* tiles = &background_;
    if (backgroundTransparent_) {
        if (!backgroundCache_) {
            backgroundCache_ = std::make_unique<tk::Bitmap>(background_.Width(), background_.Height());
            tk::MemoryDCHandle to = tk::CreateMemoryDC();
            tk::MemoryDCHandle from = tk::CreateMemoryDC();
            tk::SelectGuard toBitmap(to.Get(), backgroundCache_->Handle());
            tk::SelectGuard fromBitmap(from.Get(), background_.Handle());
            tk::BrushHandle fill = tk::CreateSolidBrush(GetColor());
            RECT all{0, 0, background_.Width(), background_.Height()};
            ::FillRect(to.Get(), &all, fill.Get());
            COLORREF key = ::GetPixel(from.Get(), 0, background_.Height() - 1);
            ::TransparentBlt(to.Get(), 0, 0, all.right, all.bottom, from.Get(), 0, 0, all.right, all.bottom, key);
        }
        tiles = backgroundCache_.get();
    }
    const int w = tiles->Width();
    const int h = tiles->Height();
    if (w <= 0 || h <= 0) return;
    tk::SaveDCGuard saved(dc);
    ::IntersectClipRect(dc, clipRect.left, clipRect.top, clipRect.right, clipRect.bottom);
    if (excludeRect) ::ExcludeClipRect(dc, excludeRect->left, excludeRect->top, excludeRect->right, excludeRect->bottom);
    if (HPALETTE palette = background_.Palette()) {
        ::SelectPalette(dc, palette, TRUE);
        ::RealizePalette(dc);
    }
    tk::MemoryDCHandle source = tk::CreateMemoryDC(dc);
    tk::SelectGuard sourceBitmap(source.Get(), tiles->Handle());
    for (int x = drawRect.left; x < drawRect.right; x += w) {
        for (int y = drawRect.top; y < drawRect.bottom; y += h) ::BitBlt(dc, x, y, w, h, source.Get(), 0, 0, SRCCOPY);
    }
}

HPALETTE TDock::GetPalette() { return background_.Palette(); }

void TDock::RepaintBackgrounds() {
    Invalidate();
    for (TCustomToolWindow* bar : visibleBars_) {
        bar->RequestDockedRedraw();
        bar->Invalidate();
    }
}

void TDock::DropBackgroundCache() {
    backgroundCache_.reset();
    RepaintBackgrounds();
}

void TDock::ColorChanged() {
    if (HasBackground()) DropBackgroundCache();
    tk::CustomControl::ColorChanged();
}

void TDock::Paint(tk::Canvas& canvas) {
    RECT r = ClientRect();
    tk::BrushHandle fill = tk::CreateSolidBrush(GetColor());
    ::FillRect(canvas.Handle(), &r, fill.Get());
    if (!HasBackground() || !Parent()) return;
    RECT draw = r;
    POINT origin = ClientOrigin();
    POINT parentOrigin = Parent()->ClientOrigin();
    ::OffsetRect(&draw, parentOrigin.x - origin.x, parentOrigin.y - origin.y);
    draw.right = std::max(draw.right, r.right);
    draw.bottom = std::max(draw.bottom, r.bottom);
    DrawBackgroundTiles(canvas.Handle(), r, draw, nullptr);
}

void TDock::NCPaint(HRGN updateRegion) {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return;
    const tk::WindowDC dc(wnd, nullptr, kWholeWindowDC);
    ClipToNCUpdateRegion(wnd, dc.Get(), updateRegion);
    DrawBoundLines(dc.Get());
}

void TDock::PrintFrame(HWND, HDC dc, LPARAM self) { reinterpret_cast<TDock*>(self)->DrawBoundLines(dc); }

// The one frame painter: WM_NCPAINT and WM_PRINT hand it their device context.
void TDock::DrawBoundLines(HDC use) {
    HWND wnd = HandleIfAllocated();
    if (!wnd) return;
    RECT wr{};
    ::GetWindowRect(wnd, &wr);
    RECT r{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    {
        tk::SaveDCGuard saved(use);
        if (boundLines_ != 0 && HasVisibleBars()) {
            tk::PenHandle shadow = tk::CreatePen(tk::Pen{tk::clBtnShadow});
            tk::PenHandle light = tk::CreatePen(tk::Pen{tk::clBtnHighlight});
            RECT rest = r;
            if (boundLines_ & (1 << blTop)) {
                DrawLineWith(use, shadow.Get(), POINT{r.left, r.top}, POINT{r.right, r.top});
                ++rest.top;
            }
            if (boundLines_ & (1 << blLeft)) {
                DrawLineWith(use, shadow.Get(), POINT{r.left, r.top}, POINT{r.left, r.bottom});
                ++rest.left;
            }
            if (boundLines_ & (1 << blBottom)) {
                DrawLineWith(use, light.Get(), POINT{r.left, r.bottom - 1}, POINT{r.right, r.bottom - 1});
                --rest.bottom;
            }
            if (boundLines_ & (1 << blRight)) {
                DrawLineWith(use, light.Get(), POINT{r.right - 1, r.top}, POINT{r.right - 1, r.bottom});
                --rest.right;
            }
            RECT client{};
            ::GetClientRect(wnd, &client);
            POINT o{0, 0};
            ::ClientToScreen(wnd, &o);
            ::OffsetRect(&client, o.x - wr.left, o.y - wr.top);
            if (!::IsRectEmpty(&client)) {
                ::ExcludeClipRect(use, client.left, client.top, client.right, client.bottom);
                if (!::EqualRect(&client, &rest)) {
                    tk::BrushHandle fill = tk::CreateSolidBrush(GetColor());
                    ::FillRect(use, &rest, fill.Get());
                }
            }
        }
    }
}

LRESULT TDock::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCALCSIZE: return NcCalcSizeMessage(wParam, *reinterpret_cast<RECT*>(lParam));
    case WM_NCPAINT: NCPaint(reinterpret_cast<HRGN>(wParam)); return 0;
    case WM_PRINT: return PrintWindowWithFrame(HandleIfAllocated(), wParam, lParam, &TDock::PrintFrame, reinterpret_cast<LPARAM>(this));
    case WM_PRINTCLIENT: return PrintClientArea(*this, wParam);
    case WM_MOVE: return MoveMessage(wParam, lParam);
    case WM_SYSCOLORCHANGE: return SysColorChangeMessage(wParam, lParam);
    default: return tk::CustomControl::WndProc(msg, wParam, lParam);
    }
}

LRESULT TDock::NcCalcSizeMessage(WPARAM calcValidRects, RECT& client) {
    const LRESULT r = tk::CustomControl::WndProc(WM_NCCALCSIZE, calcValidRects, reinterpret_cast<LPARAM>(&client));
    if (boundLines_ & (1 << blTop)) ++client.top;
    if (boundLines_ & (1 << blBottom)) --client.bottom;
    if (boundLines_ & (1 << blLeft)) ++client.left;
    if (boundLines_ & (1 << blRight)) --client.right;
    // An empty dock is 0 pixels thick: its client area is empty, not negative.
    client.right = std::max(client.left, client.right);
    client.bottom = std::max(client.top, client.bottom);
    return r;
}

LRESULT TDock::MoveMessage(WPARAM wParam, LPARAM lParam) {
    const LRESULT r = tk::CustomControl::WndProc(WM_MOVE, wParam, lParam);
    if (HasBackground()) RepaintBackgrounds();
    return r;
}

LRESULT TDock::SysColorChangeMessage(WPARAM wParam, LPARAM lParam) {
    const LRESULT r = tk::CustomControl::WndProc(WM_SYSCOLORCHANGE, wParam, lParam);
    if (HasBackground()) DropBackgroundCache();
    return r;
}

// --- TFloatingWindowParent -------------------------------------------------

TFloatingWindowParent::TFloatingWindowParent() {}

TFloatingWindowParent::~TFloatingWindowParent() { SetOwnerForm(nullptr); }

void TFloatingWindowParent::SetOwnerForm(tk::Form* form) {
    if (form == ownerForm_) return;
    if (ownerForm_) ownerForm_->RemoveFreeNotification(this);
    ownerForm_ = form;
    if (ownerForm_) ownerForm_->FreeNotification(this);
}

void TFloatingWindowParent::Notification(tk::Component* component, tk::Operation operation) {
    tk::Form::Notification(component, operation);
    if (operation == tk::Operation::Remove && component == ownerForm_) ownerForm_ = nullptr;
}

void TFloatingWindowParent::CreateParams(tk::WindowCreateParams& params) {
    tk::Form::CreateParams(params);
    params.exStyle |= WS_EX_TOOLWINDOW;
}

void TFloatingWindowParent::ShowingChanged() {
    if (HWND h = HandleIfAllocated()) {
        bool show = Showing() && showWanted_;
        ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

bool TFloatingWindowParent::DialogKey(WORD key, tk::ShiftState shift) {
    if (key == VK_ESCAPE && (shift & (tk::ssShift | tk::ssAlt | tk::ssCtrl)) == 0 && ownerForm_) {
        if (ownerForm_->HandleAllocated()) ::SetFocus(ownerForm_->HandleIfAllocated());
        return true;
    }
    return tk::Form::DialogKey(key, shift);
}

// --- registration ------------------------------------------------------------

namespace {
const tk::IdentTable kDockPositionIdents = {{"dpTop", dpTop}, {"dpBottom", dpBottom}, {"dpLeft", dpLeft}, {"dpRight", dpRight}};
const tk::IdentTable kBoundLineIdents = {{"blTop", 1 << blTop}, {"blBottom", 1 << blBottom}, {"blLeft", 1 << blLeft}, {"blRight", 1 << blRight}};

const tk::ClassRegistration<TDock> kDockReg("TDock", "TWinControl", [](tk::ClassBuilder<TDock>& c) {
    c.Property("AllowDrag", &TDock::AllowDrag, &TDock::SetAllowDrag)
        .Property("BackgroundOnToolbars", &TDock::BackgroundOnToolbars, &TDock::SetBackgroundOnToolbars)
        .Property("BackgroundTransparent", &TDock::BackgroundTransparent, &TDock::SetBackgroundTransparent)
        .Property("BoundLines", &TDock::BoundLines, &TDock::SetBoundLines, &kBoundLineIdents)
        .Property("FixAlign", &TDock::FixAlign, &TDock::SetFixAlign)
        .Property("LimitToOneRow", &TDock::LimitToOneRow, &TDock::SetLimitToOneRow)
        .Property("Position", &TDock::Position, &TDock::SetPosition, &kDockPositionIdents)
        .Property("Version", &TDock::Version, &TDock::SetVersion)
        .Event("OnInsertRemoveBar", &TDock::OnInsertRemoveBar)
        .Event("OnRequestDock", &TDock::OnRequestDock)
        .Custom("Background.Data", [](TDock& d, const tk::Value& v, tk::ReadContext&) {
            tk::Bitmap b;
            if (b.LoadFromData(v.binary.data(), v.binary.size())) d.SetBackground(b);
        });
});
}  // namespace
