// ExtCtrls: panels (bevelled containers), splitters that resize the aligned
// neighbour they sit against, bevels, images and the radio-group frame.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"
#include "toolkit/StdCtrls.h"

#include <string>
#include <vector>

namespace tk {

enum BevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class Panel : public CustomControl {
public:
    Panel();

    BevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(BevelCut b);
    BevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(BevelCut b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle s);
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment a);
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool on) { fullRepaint_ = on; }

    void Paint(Canvas& canvas) override;
    void AdjustClientRect(RECT& rect) override;
    void TextChanged() override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    bool EraseBackground(HDC dc) override;

private:
    void BordersChanged();

    BevelCut bevelInner_ = bvNone;
    BevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    BorderStyle borderStyle_ = bsNone;
    Alignment alignment_ = taCenter;
    bool fullRepaint_ = true;
};

// A bar the user drags to resize the control aligned against it (the
// neighbour on its Align side). Windowless; parent-relative sizes.
class Splitter : public Control {
public:
    Splitter();

    int MinSize() const { return minSize_; }
    void SetMinSize(int size) { minSize_ = std::max(1, size); }
    bool AutoSnap() const { return autoSnap_; }
    void SetAutoSnap(bool on) { autoSnap_ = on; }
    // The control this splitter resizes now (nullptr when none fits).
    Control* FindControl() const;

    NotifyEvent OnMoved;

    void Paint(Canvas& canvas) override;

protected:
    void MouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void MouseMove(ShiftState shift, int x, int y) override;
    void MouseUp(MouseButton button, ShiftState shift, int x, int y) override;

private:
    void UpdateSize(POINT screen);
    int MaxSize(Control* target) const;
    void SetSplitterCursor() const;

    int minSize_ = 30;
    bool autoSnap_ = false;
    bool dragging_ = false;
    POINT downScreen_{};
    int startSize_ = 0;
    Control* target_ = nullptr;
    LifeToken targetToken_;
};

enum BevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum BevelStyle { bsLowered, bsRaised };

class Bevel : public Control {
public:
    Bevel();
    BevelShape Shape() const { return shape_; }
    void SetShape(BevelShape s);
    BevelStyle Style() const { return style_; }
    void SetStyle(BevelStyle s);
    void Paint(Canvas& canvas) override;

private:
    BevelShape shape_ = bsBox;
    BevelStyle style_ = bsLowered;
};

// A picture (bitmap) drawn as it is, centred or stretched.
class Image : public Control {
public:
    Image();
    Bitmap& Picture() { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    bool Center() const { return center_; }
    void SetCenter(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    void Paint(Canvas& canvas) override;

private:
    Bitmap picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
};

// A group frame whose Items are radio choices; ItemIndex is the chosen one
// (-1 for none). OnClick runs when the choice changes.
class RadioGroup : public GroupBox {
public:
    RadioGroup();
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int n);
    RadioButton* Buttons(std::size_t i) const { return buttons_[i]; }

protected:
    void Resize() override;

private:
    void BuildButtons();
    void PlaceButtons();
    void ButtonClicked(Component* sender);

    std::vector<std::string> items_;
    std::vector<RadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

}  // namespace tk
