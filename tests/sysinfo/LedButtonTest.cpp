// TLedButton: painting on a 32-bit DIB section (face, caption, LED colour and
// place), the toggle on click and double click, the pressed look, a disabled
// LED ignoring the mouse, repainting only on real changes, and reading one
// from a window description.
#include "components/LedButton.h"
#include "tests/sysinfo/SysinfoTestSupport.h"

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/Streaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// DIB pixels are 0x00RRGGBB.
std::uint32_t Rgb(tk::Color color)
{
    const COLORREF c = tk::ColorToRGB(color);
    return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

class Picture {
public:
    explicit Picture(TLedButton& led) : bitmap_(tk::Bitmap::CreateDIB(led.Width(), led.Height()))
    {
        led.Paint(bitmap_.GetCanvas());
        ::GdiFlush();
    }
    std::uint32_t At(int x, int y) const { return bitmap_.Bits()[y * bitmap_.Width() + x] & 0xFFFFFF; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }

private:
    tk::Bitmap bitmap_;
};

class TestForm : public tk::Form {};

// A form that binds one handler for its LED buttons.
class HostForm : public tk::Form {
public:
    HostForm() { BindHandler("LedClick", &HostForm::LedClick); }
    void LedClick(tk::Component*) { ++clicks; }
    int clicks = 0;
};
const tk::ClassRegistration<HostForm> kHostFormReg("THostForm", "TForm");

class LedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TestForm>();
        form->SetBounds(100, 100, 200, 150);
        led = tk::Create<TLedButton>(*form);
        led->SetParent(form.get());
        led->SetBounds(10, 10, 40, 30);
        led->OnClick = [this](tk::Component*) { ++clicks; };
        led->OnDblClick = [this](tk::Component*) { ++doubleClicks; };
    }

    HWND ShowAndValidate()
    {
        form->Show();
        PumpMessages();
        HWND wnd = led->Handle();
        ::UpdateWindow(wnd);
        ::ValidateRect(wnd, nullptr);
        return wnd;
    }

    bool NeedsPaint(HWND wnd) const { return ::GetUpdateRect(wnd, nullptr, FALSE) != FALSE; }

    void Send(UINT msg, WPARAM keys, int x, int y) { ::SendMessageA(led->Handle(), msg, keys, MAKELPARAM(x, y)); }
    void LeftClick(int x = 5, int y = 5)
    {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Send(WM_LBUTTONUP, 0, x, y);
    }

    std::unique_ptr<TestForm> form;
    TLedButton* led = nullptr;
    int clicks = 0;
    int doubleClicks = 0;
};

TEST_F(LedButtonTest, StartsOffWithARedTenPixelLedTopLeft)
{
    TLedButton fresh;
    EXPECT_FALSE(fresh.State());
    EXPECT_EQ(fresh.TrueColor(), 255);
    EXPECT_EQ(fresh.FalseColor(), 0);
    EXPECT_EQ(fresh.LedRadius(), 10);
    EXPECT_EQ(fresh.FromBorder(), 5);
    EXPECT_EQ(fresh.Position(), poTopLeft);
    EXPECT_EQ(fresh.Caption(), "");
    EXPECT_EQ(fresh.PressState(), TLedButton::PressUp);
}

// The System Info window's LEDs: 13 x 13, FromBorder 1, LedRadius 9.
TEST_F(LedButtonTest, SmallLedIsANinePixelCircleOnePixelInsideTheFace)
{
    led->SetBounds(0, 0, 13, 13);
    led->SetFromBorder(1);
    led->SetLedRadius(9);
    led->SetColor(tk::clBlue);
    led->SetTrueColor(tk::clLime);
    led->SetState(true);
    Picture p(*led);
    const std::uint32_t face = Rgb(tk::clBlue);
    const std::uint32_t lit = Rgb(tk::clLime);
    const std::uint32_t pen = Rgb(tk::clBlack);
    // The face's inner rectangle starts at (2, 2); the circle one pixel further in.
    EXPECT_EQ(p.At(2, 7), face);
    EXPECT_EQ(p.At(7, 2), face);
    EXPECT_EQ(p.At(3, 7), pen);
    EXPECT_EQ(p.At(7, 3), pen);
    EXPECT_EQ(p.At(11, 7), pen);
    EXPECT_EQ(p.At(7, 11), pen);
    for (int x = 4; x <= 10; ++x) EXPECT_EQ(p.At(x, 7), lit) << "x " << x;
    // The corner of the bounding square lies outside the circle.
    EXPECT_EQ(p.At(3, 3), face);
}

TEST_F(LedButtonTest, LedColourShowsTheState)
{
    led->SetColor(tk::clBlue);
    led->SetTrueColor(tk::clRed);
    led->SetFalseColor(tk::clYellow);
    // Inner rectangle (2, 2, 38, 28); LED square (7, 7, 17, 17), centre (12, 12).
    EXPECT_EQ(Picture(*led).At(12, 12), Rgb(tk::clYellow));
    led->SetState(true);
    EXPECT_EQ(Picture(*led).At(12, 12), Rgb(tk::clRed));
    led->SetFalseColor(tk::clBtnText);
    led->SetState(false);
    EXPECT_EQ(Picture(*led).At(12, 12), Rgb(tk::clBtnText));
}

TEST_F(LedButtonTest, PositionPutsTheLedInItsCorner)
{
    struct Case {
        TLocation position;
        int x, y;
    };
    // Centres of the LED squares inside the inner rectangle (2, 2, 38, 28).
    const Case cases[] = {{poTopLeft, 12, 12}, {poTopRight, 28, 12}, {poBottonRight, 28, 18}, {poBottomLeft, 12, 18}};
    led->SetColor(tk::clBlue);
    led->SetState(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        led->SetPosition(c.position);
        Picture p(*led);
        for (const Case& other : cases) {
            const std::uint32_t expected = other.position == c.position ? Rgb(tk::clRed) : Rgb(tk::clBlue);
            EXPECT_EQ(p.At(other.x, other.y), expected) << "corner " << other.position;
        }
    }
}

TEST_F(LedButtonTest, FaceIsFilledWithColourInsideARaisedBevel)
{
    led->SetColor(tk::clGray);
    Picture up(*led);
    EXPECT_EQ(up.At(30, 20), Rgb(tk::clGray));
    EXPECT_EQ(up.At(0, 0), Rgb(tk::clBtnHighlight));
    EXPECT_EQ(up.At(2, 20), Rgb(tk::clGray));

    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressDown);
    Picture down(*led);
    EXPECT_EQ(down.At(0, 0), Rgb(tk::clBtnShadow));
    // The sunken face has a one-pixel bevel, so the fill reaches further out.
    EXPECT_EQ(down.At(1, 20), Rgb(tk::clGray));
    Send(WM_LBUTTONUP, 0, 5, 5);
}

TEST_F(LedButtonTest, CaptionIsDrawnCentredInTheFont)
{
    led->SetBounds(0, 0, 60, 24);
    led->SetLedRadius(4);
    led->SetFromBorder(1);
    led->SetColor(tk::clYellow);
    tk::Font font = led->GetFont();
    font.color = tk::clBlue;
    led->SetFont(font);

    auto textBox = [](const Picture& p, int& count) {
        RECT box{p.Width(), p.Height(), -1, -1};
        count = 0;
        for (int y = 2; y < p.Height() - 2; ++y) {
            for (int x = 10; x < p.Width() - 2; ++x) {
                if (p.At(x, y) != Rgb(tk::clBlue)) continue;
                ++count;
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
        }
        return box;
    };
    int count = 0;
    textBox(Picture(*led), count);
    EXPECT_EQ(count, 0);

    led->SetCaption("HH");
    const RECT box = textBox(Picture(*led), count);
    EXPECT_GT(count, 10);
    EXPECT_NEAR((box.left + box.right) / 2.0, 30.0, 2.5);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 12.0, 2.5);
}

TEST_F(LedButtonTest, ClickTogglesTheStateThenRaisesOnClick)
{
    bool stateSeenByHandler = false;
    led->OnClick = [&](tk::Component*) {
        ++clicks;
        stateSeenByHandler = led->State();
    };
    LeftClick();
    EXPECT_TRUE(led->State());
    EXPECT_TRUE(stateSeenByHandler);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    LeftClick();
    EXPECT_FALSE(led->State());
    EXPECT_EQ(clicks, 2);
}

TEST_F(LedButtonTest, DoubleClickTogglesTwiceInAll)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    Send(WM_LBUTTONUP, 0, 5, 5);
    EXPECT_TRUE(led->State());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 5);
    EXPECT_FALSE(led->State());
    Send(WM_LBUTTONUP, 0, 5, 5);
    EXPECT_FALSE(led->State());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(LedButtonTest, ReleaseOutsideIsNoClick)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    Send(WM_LBUTTONUP, 0, 100, 5);
    EXPECT_FALSE(led->State());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
}

TEST_F(LedButtonTest, PressedLookFollowsTheLeftButtonInAndOut)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    ASSERT_EQ(led->PressState(), TLedButton::PressDown);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 40, 5);  // x = width: outside
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 39, 30);  // the bottom edge counts as inside
    EXPECT_EQ(led->PressState(), TLedButton::PressDown);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 5, -1);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    // Only the left button alone drives the look.
    Send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressDown);
    Send(WM_LBUTTONUP, 0, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);

    // The right button never presses it.
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    Send(WM_RBUTTONUP, 0, 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(LedButtonTest, DisabledLedIgnoresTheMouseButStillShowsItsState)
{
    led->SetState(true);
    led->SetEnabled(false);
    EXPECT_FALSE(::IsWindowEnabled(led->Handle()));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 5, 5);
    EXPECT_EQ(led->PressState(), TLedButton::PressUp);
    Send(WM_LBUTTONUP, 0, 5, 5);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 5);
    Send(WM_LBUTTONUP, 0, 5, 5);
    EXPECT_TRUE(led->State());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_EQ(Picture(*led).At(12, 12), Rgb(tk::clRed));
    EXPECT_EQ(Picture(*led).At(0, 0), Rgb(tk::clBtnHighlight));

    led->SetEnabled(true);
    LeftClick();
    EXPECT_FALSE(led->State());
    EXPECT_EQ(clicks, 1);
}

TEST_F(LedButtonTest, OnlyRealChangesRepaint)
{
    HWND wnd = ShowAndValidate();
    ASSERT_FALSE(NeedsPaint(wnd));

    auto expectRepaint = [&](const char* what, auto change, bool expected) {
        ::ValidateRect(wnd, nullptr);
        change();
        EXPECT_EQ(NeedsPaint(wnd), expected) << what;
    };
    expectRepaint("same state", [&] { led->SetState(false); }, false);
    expectRepaint("new state", [&] { led->SetState(true); }, true);
    expectRepaint("same true colour", [&] { led->SetTrueColor(tk::clRed); }, false);
    expectRepaint("new true colour", [&] { led->SetTrueColor(tk::clLime); }, true);
    expectRepaint("same false colour", [&] { led->SetFalseColor(tk::clBlack); }, false);
    expectRepaint("new false colour", [&] { led->SetFalseColor(tk::clBtnText); }, true);
    expectRepaint("same position", [&] { led->SetPosition(poTopLeft); }, false);
    expectRepaint("new position", [&] { led->SetPosition(poBottomLeft); }, true);
    expectRepaint("same radius", [&] { led->SetLedRadius(10); }, false);
    expectRepaint("new radius", [&] { led->SetLedRadius(9); }, true);
    expectRepaint("same border", [&] { led->SetFromBorder(5); }, false);
    expectRepaint("new border", [&] { led->SetFromBorder(1); }, true);

    tk::Font font = led->GetFont();
    font.style = tk::fsBold;
    expectRepaint("bold font", [&] { led->SetFont(font); }, true);
    font.color = tk::clRed;
    expectRepaint("font colour", [&] { led->SetFont(font); }, true);
    font.height = -20;
    expectRepaint("font size", [&] { led->SetFont(font); }, true);
    form->Hide();
}

TEST_F(LedButtonTest, DescriptionSetsEveryOwnPropertyAndBindsTheEvents)
{
    auto host = std::make_unique<HostForm>();
    tk::ReadComponent(*host,
                      "object Host: TForm\n"
                      "  object L1: TLedButton\n"
                      "    Left = 90\n"
                      "    Top = 54\n"
                      "    Width = 13\n"
                      "    Height = 13\n"
                      "    Color = clBlue\n"
                      "    Position = poBottonRight\n"
                      "    TrueColor = clLime\n"
                      "    FalseColor = clBtnText\n"
                      "    FromBorder = 1\n"
                      "    LedRadius = 9\n"
                      "    State = True\n"
                      "    Enabled = False\n"
                      "    Caption = ''\n"
                      "    onClick = LedClick\n"
                      "  end\n"
                      "  object L2: TLedButton\n"
                      "    TrueColor = 65535\n"
                      "    Position = poTopRight\n"
                      "  end\n"
                      "end\n",
                      tk::ReadMode::Create);
    auto* l1 = host->Find<TLedButton>("L1");
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(l1->Parent(), host.get());
    EXPECT_EQ(l1->Left(), 90);
    EXPECT_EQ(l1->Width(), 13);
    EXPECT_EQ(l1->GetColor(), tk::clBlue);
    EXPECT_EQ(l1->Position(), poBottonRight);
    EXPECT_EQ(l1->TrueColor(), tk::clLime);
    EXPECT_EQ(l1->FalseColor(), tk::clBtnText);
    EXPECT_EQ(l1->FromBorder(), 1);
    EXPECT_EQ(l1->LedRadius(), 9);
    EXPECT_TRUE(l1->State());
    EXPECT_FALSE(l1->Enabled());
    EXPECT_EQ(l1->Caption(), "");
    l1->Click();
    EXPECT_EQ(host->clicks, 1);
    EXPECT_FALSE(l1->State());

    auto* l2 = host->Find<TLedButton>("L2");
    ASSERT_NE(l2, nullptr);
    EXPECT_EQ(l2->TrueColor(), tk::clYellow);
    EXPECT_EQ(l2->Position(), poTopRight);
    EXPECT_EQ(tk::GetPropertyValue(*l2, "Position").text, "poTopRight");
    // Named in a description, a button keeps its empty caption.
    EXPECT_EQ(l2->Caption(), "");
}

}  // namespace
