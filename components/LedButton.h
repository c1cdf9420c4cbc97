// LedButton: a small push-button face with an optional centred caption and a
// round LED in one corner whose colour shows a Boolean State. A click or a
// double click toggles State; the System Info window shows register bits on
// rows of them.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <cstdint>

// Corner of the LED.
enum TLocation { poTopLeft, poTopRight, poBottonRight, poBottomLeft };

class TLedButton : public tk::CustomControl {
public:
    // Pressed look of the face.
    static constexpr std::uint8_t PressUp = 0;
    static constexpr std::uint8_t PressDown = 2;

    TLedButton();

    TLocation Position() const { return position_; }
    void SetPosition(TLocation position);
    bool State() const { return state_; }
    void SetState(bool state);
    tk::Color TrueColor() const { return trueColor_; }
    void SetTrueColor(tk::Color color);
    tk::Color FalseColor() const { return falseColor_; }
    void SetFalseColor(tk::Color color);
    // Distance of the LED from the face's inner border, in pixels.
    std::uint16_t FromBorder() const { return fromBorder_; }
    void SetFromBorder(std::uint16_t pixels);
    // Side of the LED's bounding square (its diameter), in pixels.
    std::uint16_t LedRadius() const { return ledRadius_; }
    void SetLedRadius(std::uint16_t pixels);

    std::uint8_t PressState() const { return pressState_; }
    // Where the LED is drawn inside a face whose inner rectangle is `inner`.
    RECT LedRect(const RECT& inner) const;

    void Paint(tk::Canvas& canvas) override;
    // Toggle State, then raise OnClick / OnDblClick.
    void Click() override;
    void DblClick() override;
    void FontChanged() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y) override;
    void MouseMove(tk::ShiftState shift, int x, int y) override;
    void MouseUp(tk::MouseButton button, tk::ShiftState shift, int x, int y) override;

private:
    void SetPressState(std::uint8_t state);

    tk::Color trueColor_ = tk::clRed;
    tk::Color falseColor_ = tk::clBlack;
    bool state_ = false;
    std::uint8_t pressState_ = PressUp;
    TLocation position_ = poTopLeft;
    std::uint16_t ledRadius_ = 10;
    std::uint16_t fromBorder_ = 5;
};
