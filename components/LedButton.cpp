// LedButton: painting, the toggle on click and double click, and the pressed
// look that follows the left button.
#include "components/LedButton.h"

#include "toolkit/Canvas.h"
#include "toolkit/Streaming.h"

TLedButton::TLedButton()
{
    // The name is still empty here; a description names the button later
    // without touching the caption.
    SetCaption(Name());
}

void TLedButton::SetPosition(TLocation position)
{
    if (position == position_) return;
    position_ = position;
    Invalidate();
}

void TLedButton::SetState(bool state)
{
    if (state == state_) return;
    state_ = state;
    Invalidate();
}

void TLedButton::SetTrueColor(tk::Color color)
{
    if (color == trueColor_) return;
    trueColor_ = color;
    Invalidate();
}

void TLedButton::SetFalseColor(tk::Color color)
{
    if (color == falseColor_) return;
    falseColor_ = color;
    Invalidate();
}

void TLedButton::SetFromBorder(std::uint16_t pixels)
{
    if (pixels == fromBorder_) return;
    fromBorder_ = pixels;
    Invalidate();
}

void TLedButton::SetLedRadius(std::uint16_t pixels)
{
    if (pixels == ledRadius_) return;
    ledRadius_ = pixels;
    Invalidate();
}

void TLedButton::SetPressState(std::uint8_t state)
{
    if (state == pressState_) return;
    pressState_ = state;
    Invalidate();
}

RECT TLedButton::LedRect(const RECT& inner) const
{
    const int d = ledRadius_ + fromBorder_;
    const int f = fromBorder_;
    switch (position_) {
    case poTopRight: return RECT{inner.right - d, inner.top + f, inner.right - f, inner.top + d};
    case poBottonRight: return RECT{inner.right - d, inner.bottom - d, inner.right - f, inner.bottom - f};
    case poBottomLeft: return RECT{inner.left + f, inner.bottom - d, inner.left + d, inner.bottom - f};
    case poTopLeft: break;
    }
    return RECT{inner.left + f, inner.top + f, inner.left + d, inner.top + d};
}

void TLedButton::Paint(tk::Canvas& canvas)
{
    const RECT client{0, 0, Width(), Height()};
    const RECT inner = tk::DrawButtonFace(canvas, client, 2, tk::ButtonStyle::New, false, pressState_ == PressDown, false);

    canvas.brush = tk::Brush{GetColor(), tk::BrushStyle::Solid};
    canvas.FillRect(inner);

    const std::string caption = Caption();
    if (!caption.empty()) {
        canvas.font = GetFont();
        canvas.brush.style = tk::BrushStyle::Clear;
        RECT textRect = inner;
        canvas.DrawText(textRect, caption, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }

    canvas.brush = tk::Brush{state_ ? trueColor_ : falseColor_, tk::BrushStyle::Solid};
    canvas.Ellipse(LedRect(inner));
}

void TLedButton::Click()
{
    SetState(!state_);
    tk::CustomControl::Click();
}

void TLedButton::DblClick()
{
    SetState(!state_);
    tk::CustomControl::DblClick();
}

void TLedButton::FontChanged()
{
    tk::CustomControl::FontChanged();
    Invalidate();
}

LRESULT TLedButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A disabled LED shows its state but takes no part in the mouse, even
    // when a mouse message reaches it by other roads than the system's.
    if (!Enabled() && msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) return 0;
    return tk::CustomControl::WndProc(msg, wParam, lParam);
}

void TLedButton::MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y)
{
    if (button == tk::mbLeft && Enabled()) SetPressState(PressDown);
    tk::CustomControl::MouseDown(button, shift, x, y);
}

void TLedButton::MouseMove(tk::ShiftState shift, int x, int y)
{
    if (shift == tk::ssLeft) {
        // The bottom edge counts as inside, as it always has for this control.
        const bool inside = x >= 0 && x <= Width() - 1 && y >= 0 && y <= Height();
        SetPressState(inside ? PressDown : PressUp);
    }
    tk::CustomControl::MouseMove(shift, x, y);
}

void TLedButton::MouseUp(tk::MouseButton button, tk::ShiftState shift, int x, int y)
{
    pressState_ = PressUp;
    Invalidate();
    tk::CustomControl::MouseUp(button, shift, x, y);
}

namespace {

const tk::IdentTable kLocationIdents = {
    {"poTopLeft", poTopLeft}, {"poTopRight", poTopRight}, {"poBottonRight", poBottonRight}, {"poBottomLeft", poBottomLeft}};

// Colours come as names (clRed, clBtnText) or numbers.
void ReadColor(TLedButton& button, void (TLedButton::*setter)(tk::Color), const tk::Value& value,
               tk::ReadContext& ctx)
{
    tk::Color color = 0;
    if (value.kind == tk::Value::Kind::Integer) {
        color = static_cast<tk::Color>(value.integer);
    } else if (value.kind != tk::Value::Kind::Ident || !tk::IdentToColor(value.text, color)) {
        ctx.Fail("'" + value.Describe() + "' is not a colour");
    }
    (button.*setter)(color);
}

const tk::ClassRegistration<TLedButton> kLedButtonReg("TLedButton", "TCustomControl", [](tk::ClassBuilder<TLedButton>& c) {
    c.Property("Position", &TLedButton::Position, &TLedButton::SetPosition, &kLocationIdents)
        .Property("State", &TLedButton::State, &TLedButton::SetState)
        .Custom("TrueColor",
                [](TLedButton& b, const tk::Value& v, tk::ReadContext& ctx) {
                    ReadColor(b, &TLedButton::SetTrueColor, v, ctx);
                })
        .Custom("FalseColor",
                [](TLedButton& b, const tk::Value& v, tk::ReadContext& ctx) {
                    ReadColor(b, &TLedButton::SetFalseColor, v, ctx);
                })
        .Property("FromBorder", &TLedButton::FromBorder, &TLedButton::SetFromBorder)
        .Property("LedRadius", &TLedButton::LedRadius, &TLedButton::SetLedRadius);
});

}  // namespace
