// ExtCtrls: panel, splitter, bevel, image and radio group.
#include "toolkit/ExtCtrls.h"

#include "toolkit/Canvas.h"
#include "toolkit/Streaming.h"

#include <algorithm>
#include <memory>

namespace tk {

namespace {

void BevelColors(BevelCut cut, Color& topLeft, Color& bottomRight) {
    topLeft = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottomRight = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (cut == bvSpace) topLeft = bottomRight = clBtnFace;
}

}  // namespace

// ---------------------------------------------------------------------------
// Panel

Panel::Panel() {
    SetControlStyle(GetControlStyle() | csAcceptsControls | csOpaque);
    SetBounds(0, 0, 185, 41);
}

void Panel::CreateParams(WindowCreateParams& params) {
    CustomControl::CreateParams(params);
    params.style |= WS_CLIPCHILDREN;
    if (borderStyle_ == bsSingle) params.style |= WS_BORDER;
}

bool Panel::EraseBackground(HDC) {
    // Paint fills the whole face; erasing first would only flicker.
    return true;
}

void Panel::Paint(Canvas& canvas) {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    Color tl = clNone, br = clNone;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, tl, br);
        Frame3D(canvas, r, tl, br, bevelWidth_);
    }
    if (borderWidth_ > 0) {
        Frame3D(canvas, r, GetColor(), GetColor(), borderWidth_);
    }
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, tl, br);
        Frame3D(canvas, r, tl, br, bevelWidth_);
    }
    canvas.brush = Brush{GetColor(), BrushStyle::Solid};
    canvas.FillRect(r);
    const std::string caption = Caption();
    if (caption.empty()) return;
    canvas.font = GetFont();
    canvas.brush.style = BrushStyle::Clear;
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    flags |= alignment_ == taLeftJustify ? DT_LEFT : alignment_ == taRightJustify ? DT_RIGHT : DT_CENTER;
    if (!Enabled()) canvas.font.color = clGrayText;
    canvas.DrawText(r, caption, flags);
}

void Panel::AdjustClientRect(RECT& rect) {
    CustomControl::AdjustClientRect(rect);
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    ::InflateRect(&rect, -inset, -inset);
}

void Panel::BordersChanged() {
    Realign();
    Invalidate();
}

void Panel::SetBevelInner(BevelCut b) {
    if (b == bevelInner_) return;
    bevelInner_ = b;
    BordersChanged();
}

void Panel::SetBevelOuter(BevelCut b) {
    if (b == bevelOuter_) return;
    bevelOuter_ = b;
    BordersChanged();
}

void Panel::SetBevelWidth(int w) {
    w = std::max(1, w);
    if (w == bevelWidth_) return;
    bevelWidth_ = w;
    BordersChanged();
}

void Panel::SetBorderWidth(int w) {
    w = std::max(0, w);
    if (w == borderWidth_) return;
    borderWidth_ = w;
    BordersChanged();
}

void Panel::SetBorderStyle(BorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    if (HandleAllocated()) RecreateWnd();
}

void Panel::SetAlignment(Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void Panel::TextChanged() {
    CustomControl::TextChanged();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Splitter

Splitter::Splitter() {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetControlStyle(GetControlStyle() | csCaptureMouse);
}

Control* Splitter::FindControl() const {
    WinControl* parent = Parent();
    if (!parent) return nullptr;
    Control* best = nullptr;
    for (Control* c : parent->Children()) {
        if (c == this || !c->Visible() || c->GetAlign() != GetAlign()) continue;
        bool touches = false;
        switch (GetAlign()) {
        case alLeft: touches = c->Left() + c->Width() == Left(); break;
        case alRight: touches = c->Left() == Left() + Width(); break;
        case alTop: touches = c->Top() + c->Height() == Top(); break;
        case alBottom: touches = c->Top() == Top() + Height(); break;
        default: break;
        }
        if (touches) {
            best = c;
            break;
        }
    }
    return best;
}

int Splitter::MaxSize(Control* target) const {
    // The target may grow until the client-aligned rest shrinks to MinSize.
    WinControl* parent = Parent();
    if (!parent) return startSize_;
    const bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    int total = horizontal ? parent->ClientWidth() : parent->ClientHeight();
    for (Control* c : parent->Children()) {
        if (c == target || !c->Visible()) continue;
        const Align a = c->GetAlign();
        if (horizontal && (a == alLeft || a == alRight)) total -= c->Width();
        if (!horizontal && (a == alTop || a == alBottom)) total -= c->Height();
    }
    return std::max(minSize_, total - minSize_);
}

void Splitter::SetSplitterCursor() const {
    const bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    ::SetCursor(::LoadCursor(nullptr, horizontal ? IDC_SIZEWE : IDC_SIZENS));
}

void Splitter::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    Control::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    target_ = FindControl();
    if (!target_) return;
    targetToken_ = target_->Token();
    dragging_ = true;
    downScreen_ = ClientToScreen(POINT{x, y});
    const bool horizontal = GetAlign() == alLeft || GetAlign() == alRight;
    startSize_ = horizontal ? target_->Width() : target_->Height();
    SetSplitterCursor();
}

void Splitter::MouseMove(ShiftState shift, int x, int y) {
    Control::MouseMove(shift, x, y);
    SetSplitterCursor();
    if (dragging_) UpdateSize(ClientToScreen(POINT{x, y}));
}

void Splitter::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    const bool wasDragging = dragging_;
    if (dragging_) UpdateSize(ClientToScreen(POINT{x, y}));
    dragging_ = false;
    target_ = nullptr;
    Control::MouseUp(button, shift, x, y);
    if (wasDragging && OnMoved && CanFireEvents()) OnMoved(this);
}

void Splitter::UpdateSize(POINT screen) {
    if (!target_ || !targetToken_.Alive()) {
        dragging_ = false;
        return;
    }
    int delta = 0;
    switch (GetAlign()) {
    case alLeft: delta = screen.x - downScreen_.x; break;
    case alRight: delta = downScreen_.x - screen.x; break;
    case alTop: delta = screen.y - downScreen_.y; break;
    case alBottom: delta = downScreen_.y - screen.y; break;
    default: return;
    }
    int size = std::clamp(startSize_ + delta, minSize_, std::max(minSize_, MaxSize(target_)));
    if (autoSnap_ && startSize_ + delta < minSize_ / 2) size = 0;
    if (GetAlign() == alLeft || GetAlign() == alRight) {
        if (size != target_->Width()) target_->SetWidth(size);
    } else {
        if (size != target_->Height()) target_->SetHeight(size);
    }
}

void Splitter::Paint(Canvas& canvas) {
    canvas.brush = Brush{GetColor(), BrushStyle::Solid};
    canvas.FillRect({0, 0, Width(), Height()});
}

// ---------------------------------------------------------------------------
// Bevel

Bevel::Bevel() { SetBounds(0, 0, 50, 50); }

void Bevel::SetShape(BevelShape s) {
    shape_ = s;
    Invalidate();
}

void Bevel::SetStyle(BevelStyle s) {
    style_ = s;
    Invalidate();
}

void Bevel::Paint(Canvas& canvas) {
    const Color c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    const Color c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    canvas.pen.width = 1;
    auto line = [&](Color c, int x1, int y1, int x2, int y2) {
        canvas.pen.color = c;
        canvas.Line(x1, y1, x2, y2);
    };
    switch (shape_) {
    case bsBox: {
        RECT r{0, 0, w, h};
        Frame3D(canvas, r, c1, c2, 1);
        break;
    }
    case bsFrame: {
        RECT outer{0, 0, w - 1, h - 1};
        Frame3D(canvas, outer, c1, c1, 1);
        RECT inner{1, 1, w, h};
        Frame3D(canvas, inner, c2, c2, 1);
        break;
    }
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------------------
// Image

Image::Image() {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this] { Invalidate(); };
}

void Image::SetStretch(bool on) {
    stretch_ = on;
    Invalidate();
}

void Image::SetCenter(bool on) {
    center_ = on;
    Invalidate();
}

void Image::SetTransparent(bool on) {
    transparent_ = on;
    Invalidate();
}

void Image::Paint(Canvas& canvas) {
    if (picture_.Empty()) return;
    if (stretch_) {
        canvas.StretchDraw({0, 0, Width(), Height()}, picture_);
        return;
    }
    int x = 0, y = 0;
    if (center_) {
        x = (Width() - picture_.Width()) / 2;
        y = (Height() - picture_.Height()) / 2;
    }
    if (transparent_)
        canvas.DrawTransparent(x, y, picture_, picture_.TransparentColor());
    else
        canvas.Draw(x, y, picture_);
}

// ---------------------------------------------------------------------------
// RadioGroup

RadioGroup::RadioGroup() = default;

void RadioGroup::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
    BuildButtons();
}

void RadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == index);
    updating_ = false;
    if (CanFireEvents() && !IsReadingDescription()) Click();
}

void RadioGroup::SetColumns(int n) {
    columns_ = std::clamp(n, 1, 16);
    PlaceButtons();
}

void RadioGroup::BuildButtons() {
    for (RadioButton* b : buttons_) Free(b);
    buttons_.clear();
    for (size_t i = 0; i < items_.size(); ++i) {
        auto* b = Create<RadioButton>(*this);
        b->SetCaption(items_[i]);
        b->SetChecked(static_cast<int>(i) == itemIndex_);
        b->OnClick = [this](Component* sender) { ButtonClicked(sender); };
        b->SetParent(this);
        buttons_.push_back(b);
    }
    PlaceButtons();
}

void RadioGroup::PlaceButtons() {
    if (buttons_.empty()) return;
    RECT area = ClientRect();
    AdjustClientRect(area);
    const int rows = static_cast<int>((buttons_.size() + static_cast<size_t>(columns_) - 1) / static_cast<size_t>(columns_));
    const int colWidth = std::max<int>(1, (area.right - area.left) / columns_);
    const int rowHeight = std::max<int>(1, (area.bottom - area.top) / std::max(1, rows));
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const int col = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(area.left + 4 + col * colWidth, area.top + row * rowHeight, colWidth - 8,
                               std::min(rowHeight, 17));
    }
}

void RadioGroup::Resize() {
    GroupBox::Resize();
    PlaceButtons();
}

void RadioGroup::ButtonClicked(Component* sender) {
    if (updating_) return;
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i] == sender) SetItemIndex(static_cast<int>(i));
}

// ---------------------------------------------------------------------------
// Registration

namespace {

const IdentTable kBevelCutIdents = {{"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised},
                                    {"bvSpace", bvSpace}};
const IdentTable kPanelBorderIdents = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};
const IdentTable kAlignIdents = {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify},
                                 {"taCenter", taCenter}};
const IdentTable kBevelShapeIdents = {{"bsBox", bsBox},           {"bsFrame", bsFrame},
                                      {"bsTopLine", bsTopLine},   {"bsBottomLine", bsBottomLine},
                                      {"bsLeftLine", bsLeftLine}, {"bsRightLine", bsRightLine},
                                      {"bsSpacer", bsSpacer}};
const IdentTable kBevelStyleIdents = {{"bsLowered", bsLowered}, {"bsRaised", bsRaised}};

const ClassRegistration<Panel> kPanelReg("TPanel", "TCustomControl", [](ClassBuilder<Panel>& c) {
    c.Property("BevelInner", &Panel::BevelInner, &Panel::SetBevelInner, &kBevelCutIdents)
        .Property("BevelOuter", &Panel::BevelOuter, &Panel::SetBevelOuter, &kBevelCutIdents)
        .Property("BevelWidth", &Panel::BevelWidth, &Panel::SetBevelWidth)
        .Property("BorderWidth", &Panel::BorderWidth, &Panel::SetBorderWidth)
        .Property("BorderStyle", &Panel::GetBorderStyle, &Panel::SetBorderStyle, &kPanelBorderIdents)
        .Property("Alignment", &Panel::GetAlignment, &Panel::SetAlignment, &kAlignIdents)
        .Property("FullRepaint", &Panel::FullRepaint, &Panel::SetFullRepaint);
});

const ClassRegistration<Splitter> kSplitterReg("TSplitter", "TControl", [](ClassBuilder<Splitter>& c) {
    c.Property("MinSize", &Splitter::MinSize, &Splitter::SetMinSize)
        .Property("AutoSnap", &Splitter::AutoSnap, &Splitter::SetAutoSnap)
        .Event("OnMoved", &Splitter::OnMoved)
        // Drawing-only options of the original bar; the live resize ignores them.
        .Custom("Beveled", [](Splitter&, const Value&, ReadContext&) {})
        .Custom("ResizeStyle", [](Splitter&, const Value&, ReadContext&) {});
});

const ClassRegistration<Bevel> kBevelReg("TBevel", "TControl", [](ClassBuilder<Bevel>& c) {
    c.Property("Shape", &Bevel::Shape, &Bevel::SetShape, &kBevelShapeIdents)
        .Property("Style", &Bevel::Style, &Bevel::SetStyle, &kBevelStyleIdents);
});

const ClassRegistration<Image> kImageReg("TImage", "TControl", [](ClassBuilder<Image>& c) {
    c.Property("Stretch", &Image::Stretch, &Image::SetStretch)
        .Property("Center", &Image::Center, &Image::SetCenter)
        .Property("Transparent", &Image::Transparent, &Image::SetTransparent);
});

const ClassRegistration<RadioGroup> kRadioGroupReg("TRadioGroup", "TGroupBox", [](ClassBuilder<RadioGroup>& c) {
    c.Property("Items.Strings", &RadioGroup::Items, &RadioGroup::SetItems)
        .Property("Items", &RadioGroup::Items, &RadioGroup::SetItems)
        .Property("ItemIndex", &RadioGroup::ItemIndex, &RadioGroup::SetItemIndex)
        .Property("Columns", &RadioGroup::Columns, &RadioGroup::SetColumns);
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitExtCtrls = 1;
}  // namespace tk
