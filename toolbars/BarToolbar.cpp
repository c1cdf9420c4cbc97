// BarToolbar: placement of a toolbar's controls, docked in one line or
// floating in lines that wrap at separators where they can and inside a
// group where they must, and the separator control.
#include "toolbars/BarToolbar.h"

#include "toolbars/ToolbarStringIds.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Resources.h"
#include "toolkit/Services.h"
#include "toolkit/Streaming.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

bool Shown(const tk::Control* c) { return c->Visible(); }

TToolbarSep* AsSep(tk::Control* c) { return dynamic_cast<TToolbarSep*>(c); }

// Positions add up in 64 bits (a separator may be 2147483647 long) and are
// clamped where they become coordinates, with room left for the frame and
// the offsets that callers add to them.
int Coordinate(long long v) {
    constexpr long long kFar = 1LL << 30;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

}  // namespace

TCustomToolbar::TCustomToolbar() { InitSizingFlags(); }

TCustomToolbar::~TCustomToolbar() = default;

void TCustomToolbar::GetSizingFlags(bool& standardAlign, bool& eightEdgeSizing, bool& clipCursor) {
    standardAlign = eightEdgeSizing = clipCursor = false;
}

int TCustomToolbar::MeasureBarSize(TDockOrientation orientation) {
    int size = 8;
    for (tk::Control* c : Children()) {
        if (AsSep(c) || !Shown(c)) continue;
        size = std::max(size, orientation == doVertical ? c->Width() : c->Height());
    }
    return size;
}

void TCustomToolbar::MeasureMinimumSize(int& clientWidth, int& clientHeight) { clientWidth = clientHeight = 0; }

bool TCustomToolbar::LetsDragThrough(tk::Control* control) const { return AsSep(control) != nullptr; }

namespace {
constexpr const char* kFloatRightX = "FloatRightX";
}  // namespace

void TCustomToolbar::LoadPositionData(const TPositionReadIntProc& readInt, const TPositionReadStringProc& readString,
                                      void* extraData) {
    TCustomToolWindow::LoadPositionData(readInt, readString, extraData);
    const int rightX = readInt(Name(), kFloatRightX, 0, extraData);
    if (rightX == floatingRightX_) return;
    floatingRightX_ = rightX;
    Rearrange();
}

void TCustomToolbar::SavePositionData(const TPositionWriteIntProc& writeInt, const TPositionWriteStringProc& writeString,
                                      void* extraData) {
    TCustomToolWindow::SavePositionData(writeInt, writeString, extraData);
    writeInt(Name(), kFloatRightX, floatingRightX_, extraData);
}

// The order list follows the children: a control that left is dropped, a new
// one goes to the end (children are kept in insertion order).
void TCustomToolbar::CleanOrderList() {
    std::erase_if(order_, [this](tk::Control* c) { return !ContainsControl(c) || c->Parent() != this; });
    for (tk::Control* c : Children()) {
        if (std::find(order_.begin(), order_.end(), c) == order_.end()) order_.push_back(c);
    }
}

// At once: a freed child's address may come back as another control.
void TCustomToolbar::ChildRemoved(tk::Control* child) { std::erase(order_, child); }

void TCustomToolbar::PrepareOrdering() {
    if (!sortAfterLoad_) return;
    CleanOrderList();
    const bool vertical = DockOrientationOf(DockedTo()) == doVertical;
    SortListWithData(
        order_,
        [](tk::Control* a, tk::Control* b, bool vert) {
            int pa = vert ? a->Top() : a->Left();
            int pb = vert ? b->Top() : b->Left();
            return pa < pb ? -1 : pa > pb ? 1 : 0;
        },
        vertical);
}

std::vector<tk::Control*> TCustomToolbar::ShownInOrder() {
    CleanOrderList();
    std::vector<tk::Control*> shown;
    for (tk::Control* c : Children()) {
        if (Shown(c)) shown.push_back(c);
    }
    SortListWithData(
        shown,
        [](tk::Control* a, tk::Control* b, const std::vector<tk::Control*>* order) {
            auto ia = std::find(order->begin(), order->end(), a) - order->begin();
            auto ib = std::find(order->begin(), order->end(), b) - order->begin();
            return ia < ib ? -1 : ia > ib ? 1 : 0;
        },
        &order_);
    return shown;
}

POINT TCustomToolbar::PlaceControls(bool mayMove, TDockOrientation, TDock* dock) {
    const TDockOrientation o = DockOrientationOf(dock);
    TToolbarLineRules rules;
    rules.floating = dock == nullptr;
    rules.vertical = o == doVertical;
    rules.limit = INT_MAX;
    if (rules.floating && floatingRightX_ != 0) {
        int widest = 0;
        for (tk::Control* c : Children()) {
            if (!AsSep(c)) widest = std::max(widest, c->Width());
        }
        rules.limit = std::max(floatingRightX_, widest + 8);
    }
    rules.lineThickness = MeasureBarSize(o);
    rules.cross = dock && dock == DockedTo() ? DockRowThickness() : rules.lineThickness;

    const std::vector<tk::Control*> shown = ShownInOrder();
    std::vector<TToolbarItem> items;
    items.reserve(shown.size());
    for (tk::Control* c : shown) {
        if (TToolbarSep* sep = AsSep(c))
            items.push_back(TToolbarItem{rules.vertical ? sep->SizeVert() : sep->SizeHorz(), 0, true, sep->Blank()});
        else
            items.push_back(TToolbarItem{rules.vertical ? c->Height() : c->Width(),
                                         rules.vertical ? c->Width() : c->Height(), false, false});
    }
    TToolbarLines lines = LayOutToolbarLines(items, rules);
    if (mayMove) {
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const TToolbarItemBounds& b = lines.bounds[i];
            shown[i]->SetBounds(b.left, b.top, b.width, b.height);
        }
        sepLines_ = std::move(lines.separatorLines);
    }
    return lines.size;
}

TToolbarLines LayOutToolbarLines(const std::vector<TToolbarItem>& items, const TToolbarLineRules& rules) {
    TToolbarLines out;
    out.bounds.assign(items.size(), TToolbarItemBounds{});
    const bool floating = rules.floating;
    const bool vertical = rules.vertical;
    const long long limit = rules.limit;
    const int t = rules.lineThickness;
    const int cross = rules.cross;
    const int topMargin = floating ? 2 : 0;
    const int leftMargin = floating ? 4 : 0;
    const int rightMargin = floating ? 4 : 0;
    const int bottomMargin = floating ? 1 : 0;
    long long y = topMargin;
    long long extent = leftMargin;
    long long x = leftMargin;
    bool previousBroken = false;
    std::size_t previousSep = items.size();  // none
    long long extentBeforeSep = extent;

    std::size_t groups = 0;
    for (std::size_t first = 0; first < items.size();) {
        std::size_t end = first;  // past the group's separator, if it has one
        long long total = 0;
        while (end < items.size() && !items[end].separator) total += items[end++].length;
        if (end < items.size()) ++end;
        if (floating && (previousBroken || limit < x + total + rightMargin)) {
            x = leftMargin;
            if (groups > 0) {
                y += t + 6;
                if (previousSep < items.size()) {
                    // The separator that ended the line shrinks to nothing; a line is drawn instead.
                    extent = extentBeforeSep;
                    out.bounds[previousSep].width = 0;
                    out.separatorLines.push_back(static_cast<std::uint32_t>(y & 0xFFFF) |
                                                 (static_cast<std::uint32_t>(items[previousSep].blank ? 1 : 0) << 16));
                }
            }
            extent = std::max(extent, x);
        }
        ++groups;
        previousBroken = false;
        previousSep = items.size();
        for (std::size_t i = first; i < end; ++i) {
            const TToolbarItem& item = items[i];
            if (floating && !item.separator && limit < x + item.length + rightMargin) {
                x = leftMargin;
                y += t;
                previousBroken = true;
            }
            const int at = Coordinate(x);
            const int line = Coordinate(y);
            const int length = static_cast<int>(std::min<long long>(item.length, INT_MAX));
            // A separator spans the row; a control is centred in it.
            const int across = item.separator ? line : line + (cross - item.thickness) / 2;
            const int thick = item.separator ? cross : item.thickness;
            out.bounds[i] = vertical ? TToolbarItemBounds{across, at, thick, length}
                                     : TToolbarItemBounds{at, across, length, thick};
            if (item.separator) {
                previousSep = i;
                extentBeforeSep = extent;
            }
            x += item.length;
            extent = std::max(extent, x);
        }
        first = end;
    }
    if (items.empty()) extent = leftMargin + 8;
    const int along = Coordinate(extent + rightMargin);
    const int across = Coordinate(y + t + bottomMargin);
    out.size = vertical ? POINT{across, along} : POINT{along, across};
    return out;
}

void TCustomToolbar::ListCandidateSizes(std::vector<POINT>& sizes) {
    sizes.clear();
    const int saved = floatingRightX_;
    try {
        floatingRightX_ = 0;
        POINT s = PlaceControls(false, doNotDocked, nullptr);
        sizes.push_back(s);
        for (int x = s.x - 1; x >= 8;) {
            floatingRightX_ = x;
            POINT m = PlaceControls(false, doNotDocked, nullptr);
            if (m.x > x) break;
            if (m.x < x) {
                x = m.x;
                continue;
            }
            if (m.y == sizes.back().y && sizes.size() > 1) sizes.pop_back();
            if (std::none_of(sizes.begin(), sizes.end(), [&](POINT p) { return p.x == m.x && p.y == m.y; }))
                sizes.push_back(m);
            --x;
        }
    } catch (...) {
        floatingRightX_ = saved;
        throw;
    }
    floatingRightX_ = saved;
}

void TCustomToolbar::Paint(tk::Canvas& canvas) {
    TCustomToolWindow::Paint(canvas);
    if (!Floating()) return;
    RECT client = ClientRect();
    tk::PenHandle shadow = tk::CreatePen(tk::Pen{tk::clBtnShadow});
    tk::PenHandle light = tk::CreatePen(tk::Pen{tk::clBtnHighlight});
    HDC dc = canvas.Handle();
    tk::SaveDCGuard saved(dc);
    for (std::uint32_t entry : sepLines_) {
        if ((entry >> 16) & 0xFF) continue;
        const int y = static_cast<int>(entry & 0xFFFF);
        DrawLineWith(dc, shadow.Get(), POINT{1, y - 4}, POINT{client.right - 1, y - 4});
        DrawLineWith(dc, light.Get(), POINT{1, y - 3}, POINT{client.right - 1, y - 3});
    }
}

LRESULT TCustomToolbar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_WINDOWPOSCHANGING: WindowPosChangingMessage(*reinterpret_cast<const WINDOWPOS*>(lParam)); break;
    default: break;
    }
    return TCustomToolWindow::WndProc(msg, wParam, lParam);
}

// A floating bar's separator lines span its width: a new size or frame
// paints the client area afresh.
void TCustomToolbar::WindowPosChangingMessage(const WINDOWPOS& pos) {
    if (!Floating() || !HandleAllocated()) return;
    if ((pos.flags & SWP_FRAMECHANGED) || (!(pos.flags & SWP_NOSIZE) && (pos.cx != Width() || pos.cy != Height())))
        ::InvalidateRect(HandleIfAllocated(), nullptr, TRUE);
}

// --- TToolbarSep -------------------------------------------------------------

TToolbarSep::TToolbarSep() {
    SetControlStyle(GetControlStyle() & ~(tk::csCaptureMouse | tk::csOpaque));
    SetBounds(0, 0, 6, 6);
}

void TToolbarSep::SetParent(tk::WinControl* parent) {
    if (parent && !dynamic_cast<TCustomToolbar*>(parent)) {
        std::string text = tk::LoadStr(S_TOOLBARSEP_PARENT_NOT_ALLOWED);
        throw tk::EInvalidOperation(text.empty() ? "TToolbarSep can only be placed on a TToolbar" : text);
    }
    tk::Control::SetParent(parent);
}

void TToolbarSep::SetBlank(bool blank) {
    if (blank == blank_) return;
    blank_ = blank;
    Invalidate();
}

void TToolbarSep::SetSizeHorz(int size) {
    size = std::max(1, size);
    if (size == sizeHorz_) return;
    sizeHorz_ = size;
    if (auto* bar = dynamic_cast<TCustomToolbar*>(Parent())) bar->Rearrange();
}

void TToolbarSep::SetSizeVert(int size) {
    size = std::max(1, size);
    if (size == sizeVert_) return;
    sizeVert_ = size;
    if (auto* bar = dynamic_cast<TCustomToolbar*>(Parent())) bar->Rearrange();
}

void TToolbarSep::Paint(tk::Canvas& canvas) {
    auto* bar = dynamic_cast<TCustomToolbar*>(Parent());
    if (!bar || blank_ || Width() == 0) return;
    HDC dc = canvas.Handle();
    tk::PenHandle shadow = tk::CreatePen(tk::Pen{tk::clBtnShadow});
    tk::PenHandle light = tk::CreatePen(tk::Pen{tk::clBtnHighlight});
    tk::SaveDCGuard saved(dc);
    if (bar->Docked() && DockOrientationOf(bar->DockedTo()) == doVertical) {
        const int y = Height() / 2;
        DrawLineWith(dc, shadow.Get(), POINT{0, y - 1}, POINT{Width(), y - 1});
        DrawLineWith(dc, light.Get(), POINT{0, y}, POINT{Width(), y});
    } else {
        const int x = Width() / 2;
        DrawLineWith(dc, shadow.Get(), POINT{x - 1, 0}, POINT{x - 1, Height()});
        DrawLineWith(dc, light.Get(), POINT{x, 0}, POINT{x, Height()});
    }
}

// --- registration ------------------------------------------------------------

namespace {
const tk::ClassRegistration<TToolbar> kToolbarReg("TToolbar", "TCustomToolWindow");
const tk::ClassRegistration<TToolbarSep> kToolbarSepReg("TToolbarSep", "TControl", [](tk::ClassBuilder<TToolbarSep>& c) {
    c.Property("Blank", &TToolbarSep::Blank, &TToolbarSep::SetBlank)
        .Property("SizeHorz", &TToolbarSep::SizeHorz, &TToolbarSep::SetSizeHorz)
        .Property("SizeVert", &TToolbarSep::SizeVert, &TToolbarSep::SetSizeVert);
});
}  // namespace

// --- resizing ------------------------------------------------------------------

namespace {
// Sized by the top or the bottom alone: the candidate sizes go by height.
bool ByHeight(TSizingEdge edge) { return !SizesWidth(edge); }
int Along(POINT size, TSizingEdge edge) { return ByHeight(edge) ? size.y : size.x; }
}  // namespace

int TCustomToolbar::SnapDistance() const { return resize_ ? resize_->snap : -1; }

void TCustomToolbar::SizingStarted(TSizingEdge edge) {
    TCustomToolWindow::SizingStarted(edge);
    auto rec = std::make_unique<ResizeRecord>();
    rec->edge = edge;
    rec->rightX = FloatingRightX();
    ListCandidateSizes(rec->sizes);
    RECT frame{};
    FloatingFrame(frame);
    for (POINT& s : rec->sizes) {
        s.x += frame.left + frame.right;
        s.y += frame.top + frame.bottom;
    }
    const POINT oneLine = rec->sizes.empty() ? POINT{} : rec->sizes.front();
    std::stable_sort(rec->sizes.begin(), rec->sizes.end(),
                     [edge](POINT a, POINT b) { return Along(a, edge) > Along(b, edge); });
    for (std::size_t i = 0; i < rec->sizes.size(); ++i) {
        if (rec->sizes[i].x == oneLine.x && rec->sizes[i].y == oneLine.y) rec->oneLine = i;
    }
    // The snap holds the size until the cursor is nearer a neighbour than
    // this one, whichever side the neighbour lies on.
    const POINT current{Width(), Height()};
    for (std::size_t i = 0; i < rec->sizes.size(); ++i) {
        if (rec->sizes[i].x != current.x || rec->sizes[i].y != current.y) continue;
        for (std::size_t n : {i - 1, i + 1}) {
            if (n >= rec->sizes.size()) continue;
            rec->snap = std::min(rec->snap, std::abs(Along(rec->sizes[n], edge) - Along(current, edge)) - 1);
        }
    }
    rec->snap = std::max(rec->snap, 0);
    resize_ = std::move(rec);
}

void TCustomToolbar::SizingTracked(RECT& rect, const RECT& start) {
    TCustomToolWindow::SizingTracked(rect, start);
    if (!resize_ || resize_->sizes.empty()) return;
    ResizeRecord& rec = *resize_;
    const TSizingEdge edge = rec.edge;
    const POINT cursor = tk::InputSeam()->CursorPos();
    const bool leftEdge = MovesLeftSide(edge);
    int p;
    if (edge == seTop)
        p = start.bottom - cursor.y;
    else if (edge == seBottom)
        p = cursor.y - start.top;
    else if (leftEdge)
        p = start.right - cursor.x;
    else
        p = cursor.x - start.left;
    const int current = ByHeight(edge) ? Height() : Width();
    const bool shrinking = p < current;
    if ((!rec.moved || shrinking != rec.shrinking) && p >= current - rec.snap && p < current + rec.snap) p = current;
    rec.shrinking = shrinking;
    const bool growing = p > current;
    rect = start;
    RECT frame{};
    FloatingFrame(frame);
    auto take = [&](std::size_t i) {
        const POINT s = rec.sizes[i];
        rec.rightX = i == rec.oneLine ? 0 : s.x - 2 * frame.left;
        if (edge == seTop) {
            rect.top = rect.bottom - s.y;
            rect.right = rect.left + s.x;
        } else if (edge == seBottom) {
            rect.bottom = rect.top + s.y;
            rect.right = rect.left + s.x;
        } else {
            if (leftEdge)
                rect.left = rect.right - s.x;
            else
                rect.right = rect.left + s.x;
            rect.bottom = rect.top + s.y;
        }
    };
    const std::size_t n = rec.sizes.size();
    if (growing) {
        for (std::size_t i = 0; i < n; ++i) {
            if (i == 0 || Along(rec.sizes[i], edge) > p) take(i);
        }
    } else {
        for (std::size_t i = n; i-- > 0;) {
            if (i == n - 1 || Along(rec.sizes[i], edge) <= p) take(i);
        }
    }
    if (!::EqualRect(&rect, &start)) rec.moved = true;
}

void TCustomToolbar::SizingEnded(bool accepted) {
    TCustomToolWindow::SizingEnded(accepted);
    if (resize_ && accepted) floatingRightX_ = resize_->rightX;
    resize_.reset();
}
