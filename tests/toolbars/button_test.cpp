// The toolbar button on a real form: defaults, groups, auto-repeat on a fake
// clock, dropdown menus through the popup seam and DockPosQuery, handlers
// that free the button, hot tracking from real mouse input, and its faces.
#include "toolbars/BarButtons.h"
#include "toolkit/ActnList.h"
#include "toolkit/Canvas.h"
#include "toolkit/Menus.h"
#include "toolkit/Streaming.h"
#include "toolkit/TestSeams.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <memory>

using bartest::Dib;
using bartest::Pump;
using bartest::Px;

namespace {

struct ButtonTest : ::testing::Test {
    std::unique_ptr<tk::Form> form;

    void SetUp() override {
        form = std::make_unique<tk::Form>();
        form->SetBounds(200, 200, 300, 120);
        form->Show();
        Pump();
    }
    void TearDown() override {
        form.reset();
        DockPosQuery = nullptr;
        tk::App().Reset();
        Pump();
    }
    TToolbarButton* AddButton(int left, int top = 10) {
        auto* b = tk::Create<TToolbarButton>(*form);
        b->SetParent(form.get());
        b->SetLeft(left);
        b->SetTop(top);
        return b;
    }
    LPARAM At(const TToolbarButton* b, int x, int y) const {
        return MAKELPARAM(b->Left() + x, b->Top() + y);
    }
    POINT Screen(const TToolbarButton* b, int x, int y) const { return b->ClientToScreen(POINT{x, y}); }
};

}  // namespace

TEST_F(ButtonTest, ANewButtonHasTheDocumentedDefaults) {
    TToolbarButton* b = AddButton(0);
    EXPECT_EQ(b->Width(), 23);
    EXPECT_EQ(b->Height(), 22);
    EXPECT_TRUE(b->Flat());
    EXPECT_TRUE(b->Opaque());
    EXPECT_EQ(b->Spacing(), 4);
    EXPECT_EQ(b->Margin(), -1);
    EXPECT_EQ(b->DropdownArrowWidth(), 9);
    EXPECT_EQ(b->RepeatDelay(), 400);
    EXPECT_EQ(b->RepeatInterval(), 100);
    EXPECT_EQ(b->State(), bdsUp);
    EXPECT_EQ(b->Version(), "Toolbar controls version 1.0");
    b->SetDown(true);
    EXPECT_FALSE(b->Down());  // no group, no down state
    // Set by name, as a window description does.
    tk::Value v;
    v.kind = tk::Value::Kind::Ident;
    v.text = "dmTextOnly";
    tk::SetPropertyValue(*b, "DisplayMode", v);
    EXPECT_EQ(b->DisplayMode(), dmTextOnly);
    v.kind = tk::Value::Kind::Integer;
    v.integer = 3;
    tk::SetPropertyValue(*b, "DropdownArrowWidth", v);
    EXPECT_EQ(b->DropdownArrowWidth(), 7);
    // The caption's accelerator clicks, unless only the picture shows.
    int clicks = 0;
    b->OnClick = [&](tk::Component*) { ++clicks; };
    b->SetCaption("&Go");
    EXPECT_TRUE(b->DialogChar('g', 0));
    EXPECT_EQ(clicks, 1);
    b->SetDisplayMode(dmGlyphOnly);
    EXPECT_FALSE(b->DialogChar('g', 0));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, GroupsKeepOneButtonDownUnlessAllMayBeUp) {
    TToolbarButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = AddButton(10 + 25 * i);
        b[i]->SetGroupIndex(1);
    }
    b[0]->Click();
    EXPECT_TRUE(b[0]->Down());
    b[0]->Click();
    EXPECT_TRUE(b[0]->Down());  // the down one stays down
    b[1]->Click();
    EXPECT_TRUE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down());
    EXPECT_EQ(b[0]->State(), bdsUp);
    EXPECT_EQ(b[1]->State(), bdsExclusive);
    b[2]->SetAllowAllUp(true);  // spreads to the whole group
    b[1]->Click();
    EXPECT_FALSE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down() || b[2]->Down());
}

TEST_F(ButtonTest, HoldingARepeatingButtonClicksOnTheClock) {
    tk::ManualClock clock;
    tk::FakeInput input;
    TToolbarButton* b = AddButton(20);
    b->SetRepeating(true);
    int clicks = 0;
    b->OnClick = [&](tk::Component*) { ++clicks; };
    input.cursor = Screen(b, 5, 5);
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 5, 5));
    EXPECT_EQ(clicks, 1);
    clock.Advance(399);
    EXPECT_EQ(clicks, 1);
    clock.Advance(1);
    EXPECT_EQ(clicks, 2);
    clock.Advance(200);
    EXPECT_EQ(clicks, 4);
    // Out: the clicks pause and the face comes up; back in: they go on.
    input.cursor = Screen(b, 40, 5);
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(b, 40, 5));
    EXPECT_EQ(b->State(), bdsUp);
    clock.Advance(500);
    EXPECT_EQ(clicks, 4);
    input.cursor = Screen(b, 5, 5);
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(b, 5, 5));
    EXPECT_EQ(b->State(), bdsDown);
    clock.Advance(100);
    EXPECT_EQ(clicks, 5);
    form->Perform(WM_LBUTTONUP, 0, At(b, 5, 5));
    EXPECT_EQ(clicks, 5);  // releasing adds no click
    EXPECT_FALSE(b->RepeatTimerExists());
    clock.Advance(1000);
    EXPECT_EQ(clicks, 5);
}

TEST_F(ButtonTest, AComboButtonOpensItsMenuOnlyFromTheArrowPart) {
    tk::ScriptedPopupMenus menus;
    auto* menu = tk::Create<tk::PopupMenu>(*form);
    TToolbarButton* b = AddButton(20);
    b->SetDropdownMenu(menu);
    b->SetDropdownCombo(true);
    EXPECT_EQ(b->Width(), 34);
    int clicks = 0;
    b->OnClick = [&](tk::Component*) { ++clicks; };
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 22, 5));
    form->Perform(WM_LBUTTONUP, 0, At(b, 22, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menus.requests.empty());
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 23, 5));
    ASSERT_EQ(menus.requests.size(), 1u);  // opened on the press
    EXPECT_EQ(clicks, 1);
    form->Perform(WM_LBUTTONUP, 0, At(b, 23, 5));
    EXPECT_EQ(b->State(), bdsUp);
    EXPECT_EQ(menu->GetAlignment(), tk::paLeft);
    EXPECT_EQ(menu->GetTrackButton(), tk::tbRightButton);  // restored after the menu
}

namespace {
TDockPosition g_side = dpTop;
TDockPosition AskedSide(tk::Control*) { return g_side; }
}  // namespace

TEST_F(ButtonTest, TheDropdownMenuOpensAwayFromTheDockEdge) {
    tk::ScriptedPopupMenus menus;
    auto* menu = tk::Create<tk::PopupMenu>(*form);
    TToolbarButton* b = AddButton(40, 20);
    b->SetDropdownMenu(menu);
    const POINT topLeft = Screen(b, 0, 0);
    b->Click();  // no DockPosQuery: below the button
    DockPosQuery = AskedSide;
    for (TDockPosition side : {dpTop, dpLeft, dpRight, dpNotDocked}) {
        g_side = side;
        b->Click();
    }
    ASSERT_EQ(menus.requests.size(), 5u);
    auto at = [&](std::size_t i) { return POINT{menus.requests[i].x, menus.requests[i].y}; };
    EXPECT_EQ(at(0).x, topLeft.x);
    EXPECT_EQ(at(0).y, topLeft.y + 22);
    EXPECT_EQ(at(1).y, topLeft.y + 22);
    EXPECT_EQ(at(2).x, topLeft.x + 23);  // docked left: to the right of the button
    EXPECT_EQ(at(2).y, topLeft.y);
    EXPECT_EQ(at(3).x, topLeft.x);  // docked right: right-aligned at its top-left
    EXPECT_EQ(at(3).y, topLeft.y);
    EXPECT_TRUE(menus.requests[3].flags & TPM_RIGHTALIGN);
    EXPECT_FALSE(menus.requests[2].flags & TPM_RIGHTALIGN);
    EXPECT_EQ(at(4).y, topLeft.y + 22);  // floating: below
    EXPECT_FALSE(menus.requests[0].flags & TPM_RIGHTBUTTON);  // tracks the left button
}

TEST_F(ButtonTest, TheClickThatClosesTheMenuOnTheButtonDoesNotReopenIt) {
    tk::ScriptedPopupMenus menus;
    auto* menu = tk::Create<tk::PopupMenu>(*form);
    TToolbarButton* b = AddButton(40, 20);
    b->SetDropdownMenu(menu);
    HWND wnd = form->Handle();
    menus.onTrack = [&](const tk::PopupMenuRequest&) {
        ::PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, At(b, 5, 5));    // on the button
        ::PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 90));  // elsewhere
        return 0u;
    };
    b->Click();
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, wnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.lParam, MAKELPARAM(250, 90));
    EXPECT_FALSE(::PeekMessageA(&msg, wnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}

TEST_F(ButtonTest, HandlersMayFreeTheButtonItsParentOrItsForm) {
    tk::ScriptedPopupMenus menus;
    auto* menu = tk::Create<tk::PopupMenu>(*form);
    // The click's handler frees the button.
    TToolbarButton* b = AddButton(10);
    tk::LifeToken alive = b->Token();
    b->OnClick = [&](tk::Component* sender) { tk::Free(sender); };
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 5, 5));
    form->Perform(WM_LBUTTONUP, 0, At(b, 5, 5));
    EXPECT_FALSE(alive.Alive());
    // The menu's "user" frees the button while its menu is open.
    b = AddButton(40);
    b->SetDropdownMenu(menu);
    alive = b->Token();
    menus.onTrack = [&](const tk::PopupMenuRequest&) {
        tk::Free(b);
        return 0u;
    };
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 5, 5));
    EXPECT_FALSE(alive.Alive());
    EXPECT_EQ(menu->GetTrackButton(), tk::tbRightButton);
    // OnDropdown frees the whole form.
    b = AddButton(70);
    b->SetDropdownAlways(true);
    tk::LifeToken formAlive = form->Token();
    b->OnDropdown = [&](tk::Component*, bool&, bool&) { form.reset(); };
    b->Click();
    EXPECT_FALSE(formAlive.Alive());
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), nullptr);
}

TEST_F(ButtonTest, ALinkedActionCarriesItsCheckAndItsImageIndex) {
    auto* action = tk::Create<tk::Action>(*form);
    TToolbarButton* b = AddButton(10);
    b->SetGroupIndex(3);
    action->SetChecked(true);
    action->SetImageIndex(4);
    b->SetAction(action);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->ImageIndex(), 4);
    EXPECT_TRUE(b->ActionLink().IsCheckedLinked());
    action->SetEnabled(false);
    EXPECT_EQ(b->State(), bdsDisabled);
}

namespace {

void MoveMouseTo(POINT screen) {
    bartest::SendMouse(screen, 0);
    // The move reaches the queue as posted WM_MOUSEMOVE and runs the hooks.
    for (int i = 0; i < 20; ++i) {
        Pump();
        ::Sleep(5);
    }
}

}  // namespace

TEST_F(ButtonTest, TheHotBorderFollowsTheRealMouseAndGoesWithTheApplication) {
    ::SetForegroundWindow(form->Handle());
    Pump();
    ASSERT_TRUE(AppHasActiveWindow());
    TToolbarButton* first = AddButton(20);
    TToolbarButton* second = AddButton(43);
    MoveMouseTo(Screen(first, 10, 10));
    EXPECT_TRUE(first->MouseInControl());
    EXPECT_EQ(first->State(), bdsHot);
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), first);
    MoveMouseTo(Screen(second, 10, 10));
    EXPECT_FALSE(first->MouseInControl());
    EXPECT_EQ(first->State(), bdsUp);
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), second);
    MoveMouseTo(Screen(second, 60, 60));  // onto the bare form
    EXPECT_FALSE(second->MouseInControl());
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), nullptr);
    // Deactivating the application takes the border away unless asked to keep it.
    MoveMouseTo(Screen(first, 10, 10));
    ASSERT_TRUE(first->MouseInControl());
    ::SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(first->MouseInControl());
    second->SetShowBorderWhenInactive(true);
    MoveMouseTo(Screen(second, 10, 10));
    ASSERT_TRUE(second->MouseInControl());
    ::SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(second->MouseInControl());
}

namespace {

// Paints the button alone on a 32-bit DIB the size of the button.
tk::Bitmap Face(TToolbarButton& b) {
    tk::Bitmap out = tk::Bitmap::CreateDIB(b.Width(), b.Height());
    b.Paint(out.GetCanvas());
    return out;
}

tk::Bitmap RedSquare() {
    tk::Bitmap g = tk::Bitmap::CreateDIB(16, 16);
    tk::Canvas& c = g.GetCanvas();
    c.brush = tk::Brush{tk::clOlive};
    c.FillRect(RECT{0, 0, 16, 16});
    c.brush = tk::Brush{tk::clRed};
    c.FillRect(RECT{2, 2, 14, 14});
    g.Dormant();
    return g;
}

}  // namespace

TEST_F(ButtonTest, FacesShowBorderPictureAndPushOffsetPerState) {
    tk::FakeInput input;
    TToolbarButton* b = AddButton(20);
    b->SetShowBorderWhenInactive(true);  // hot whether or not the test window is in front
    b->SetGlyph(RedSquare());
    const std::uint32_t face = Dib(tk::clBtnFace);
    // Up and flat: no border, the picture centred at (4, 3).
    tk::Bitmap up = Face(*b);
    EXPECT_EQ(Px(up, 0, 0), face);
    EXPECT_EQ(Px(up, 22, 21), face);
    EXPECT_EQ(Px(up, 6, 5), 0xFF0000u);
    EXPECT_EQ(Px(up, 5, 4), face);  // olive ground is transparent
    // Hot: a raised one-pixel border.
    input.cursor = Screen(b, 5, 5);
    form->Perform(WM_MOUSEMOVE, 0, At(b, 5, 5));
    ASSERT_TRUE(b->MouseInControl());
    tk::Bitmap hot = Face(*b);
    EXPECT_EQ(Px(hot, 0, 0), Dib(tk::clBtnHighlight));
    EXPECT_EQ(Px(hot, 22, 21), Dib(tk::clBtnShadow));
    // Pressed: sunken, the picture one pixel lower right.
    form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(b, 5, 5));
    ASSERT_EQ(b->State(), bdsDown);
    tk::Bitmap down = Face(*b);
    EXPECT_EQ(Px(down, 0, 0), Dib(tk::clBtnShadow));
    EXPECT_EQ(Px(down, 22, 21), Dib(tk::clBtnHighlight));
    EXPECT_EQ(Px(down, 6, 5), face);
    EXPECT_EQ(Px(down, 7, 6), 0xFF0000u);
    form->Perform(WM_LBUTTONUP, 0, At(b, 60, 60));  // released outside: no click
    // Disabled: no border, the embossed shape.
    b->SetEnabled(false);
    EXPECT_EQ(b->State(), bdsDisabled);
    EXPECT_FALSE(b->MouseInControl());
    tk::Bitmap off = Face(*b);
    EXPECT_EQ(Px(off, 0, 0), face);
    EXPECT_EQ(Px(off, 6, 5), Dib(tk::clBtnShadow));
    EXPECT_EQ(Px(off, 18, 17), Dib(tk::clBtnHighlight));
    // Text only: the caption instead of the picture.
    b->SetEnabled(true);
    b->SetCaption("SB1");
    b->SetDisplayMode(dmTextOnly);
    tk::Bitmap text = Face(*b);
    EXPECT_NE(Px(text, 7, 6), 0xFF0000u);
    int dark = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 23; ++x)
            if (Px(text, x, y) == Dib(tk::clBtnText)) ++dark;
    EXPECT_GT(dark, 10);
}

TEST_F(ButtonTest, AWindowDescriptionDeclaresButtonsWithTheirProperties) {
    tk::ReadComponent(*form, R"(object Form1: TForm
  object BtHex: TToolbarButton
    Left = 10
    Top = 5
    Hint = 'Hex view'
    ShowHint = True
    GlyphResource = 'GLYPH_HEX'
    GroupIndex = 2
    Down = True
    Layout = blGlyphTop
    DisplayMode = dmGlyphOnly
  end
end
)",
                      tk::ReadMode::Create);
    auto* b = form->Find<TToolbarButton>("BtHex");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Parent(), form.get());
    EXPECT_EQ(b->Left(), 10);
    EXPECT_EQ(b->Hint(), "Hex view");
    EXPECT_EQ(b->Glyph().Width(), 16);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->State(), bdsExclusive);
    EXPECT_EQ(b->Layout(), blGlyphTop);
    EXPECT_EQ(b->DisplayMode(), dmGlyphOnly);
    EXPECT_NE(b->ButtonGlyph().Indexes(1, bdsUp), -1);  // rendered ahead after loading
}

TEST_F(ButtonTest, TheSharedLeaveTimerRunsOnlyWhileAButtonIsHot) {
    tk::ManualClock clock;
    tk::FakeInput input;
    TToolbarButton* first = AddButton(20);
    TToolbarButton* second = AddButton(43);
    for (auto* b : {first, second}) b->SetShowBorderWhenInactive(true);
    auto moveTo = [&](int x, int y) {
        input.cursor = form->ClientToScreen(POINT{x, y});
        ButtonHookProc(heMouseMovePosted, form->Handle(), 0, MAKELPARAM(x, y));  // as the hook sees it
        form->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    moveTo(30, 20);
    ASSERT_EQ(TToolbarButton::ButtonWithMouse(), first);
    EXPECT_EQ(clock.ActiveTimers(), 1u);
    moveTo(50, 20);  // straight onto the next button
    ASSERT_EQ(TToolbarButton::ButtonWithMouse(), second);
    EXPECT_EQ(clock.ActiveTimers(), 1u);
    // The mouse leaves without a move reaching the program: the tick notices.
    input.cursor = form->ClientToScreen(POINT{250, 90});
    clock.Advance(125);
    EXPECT_FALSE(second->MouseInControl());
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), nullptr);
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

TEST_F(ButtonTest, APictureFromAnImageListFollowsTheListAndOutlivesIt) {
    auto* images = tk::Create<tk::ImageList>(*form, 16, 16);
    images->AddMasked(RedSquare(), tk::clOlive);
    TToolbarButton* b = AddButton(20);
    b->SetImages(images);
    const std::uint32_t face = Dib(tk::clBtnFace);
    EXPECT_EQ(Px(Face(*b), 9, 8), face);  // no image index yet: no picture
    b->SetImageIndex(0);
    EXPECT_EQ(Px(Face(*b), 9, 8), 0xFF0000u);
    EXPECT_EQ(Px(Face(*b), 5, 4), face);
    b->SetEnabled(false);
    EXPECT_EQ(Px(Face(*b), 6, 5), Dib(tk::clBtnShadow));
    b->SetEnabled(true);
    // A changed list redraws; a destroyed one leaves the button without picture.
    tk::Bitmap blue = RedSquare();
    {
        tk::Canvas& c = blue.GetCanvas();
        c.brush = tk::Brush{tk::clBlue};
        c.FillRect(RECT{2, 2, 14, 14});
        blue.Dormant();
    }
    images->Replace(0, blue);
    EXPECT_EQ(Px(Face(*b), 9, 8), 0x0000FFu);
    tk::Free(images);
    EXPECT_EQ(b->Images(), nullptr);
    EXPECT_EQ(Px(Face(*b), 9, 8), face);
}

TEST_F(ButtonTest, EnterAndExitHandlersMayFreeTheButtons) {
    TToolbarButton* first = AddButton(20);
    TToolbarButton* second = AddButton(43);
    for (auto* b : {first, second}) b->SetShowBorderWhenInactive(true);
    const tk::LifeToken firstAlive = first->Token();
    const tk::LifeToken secondAlive = second->Token();
    first->OnMouseEnter = [](tk::Component* c) { tk::Free(c); };
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(first, 5, 5));
    EXPECT_FALSE(firstAlive.Alive());
    // Leaving one button for the next: the exit handler frees both.
    first = AddButton(20);
    first->SetShowBorderWhenInactive(true);
    form->Perform(WM_MOUSEMOVE, 0, At(first, 5, 5));
    ASSERT_EQ(TToolbarButton::ButtonWithMouse(), first);
    first->OnMouseExit = [&](tk::Component* c) {
        tk::Free(second);
        tk::Free(c);
    };
    form->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(second, 5, 5));
    EXPECT_FALSE(secondAlive.Alive());
    EXPECT_EQ(TToolbarButton::ButtonWithMouse(), nullptr);
}
