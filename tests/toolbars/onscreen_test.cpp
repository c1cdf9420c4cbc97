// What a user sees, through the system's mouse and read back from the
// screen: a drag held over a hinted form shows no hint and leaves the picture
// it crossed as it was; a bar floats first where it was docked and keeps its
// caption; floating bars stay in front of their form.
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/HintWindow.h"
#include "toolkit/StdCtrls.h"
#include "tests/support/ScreenPixels.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <string>

using bartest::PlayOut;
using bartest::Pump;
using bartest::SendMouse;

namespace {

struct OnScreenTest : bartest::DockFormTest {
    static screen::Pixels Shot(const RECT& r) {
        screen::PumpPaints();
        return screen::Read(r);
    }
    // Moves the system's mouse to `p`, clicks there `times` times and lets it all arrive.
    static void Click(POINT p, int times = 1) {
        SendMouse(p, 0);
        for (int i = 0; i < times; ++i) SendMouse(p, MOUSEEVENTF_LEFTDOWN), SendMouse(p, MOUSEEVENTF_LEFTUP);
        for (int i = 0; i < 10; ++i) Pump(), ::Sleep(10);
    }
    static POINT Grip(TCustomToolWindow* bar) {
        const POINT p = bar->ClientOrigin();
        return bar->Docked() ? POINT{p.x - 6, p.y + 10} : POINT{p.x + 10, p.y - 5};
    }
};

}  // namespace

TEST_F(OnScreenTest, ADragHeldOverAHintedFormShowsNoHintAndLeavesWhatItCrossed) {
    tk::ManualClock clock;
    form->SetHint("Docks");
    form->SetShowHint(true);
    MakeBar("Kept", top, 2, 0, 0);
    TToolbar* bar = MakeBar("Dragged", top, 3, 0, 120);
    const POINT rest = form->ClientToScreen(POINT{150, 120});
    Click(rest, 0);  // hint tracking runs when the drag starts
    const RECT crossed{rest.x - 60, rest.y - 40, rest.x + 160, rest.y + 90};
    const screen::Pixels before = Shot(crossed);
    bool hint = false;
    auto look = [&] { hint = hint || (tk::App().GetHintWindow() && tk::App().GetHintWindow()->Active()); };
    // Held past the time a hint comes, moved over it, held past the time it goes.
    bartest::Script s(bar->Handle(), nullptr, true);
    s.Do([&] { SendMouse(rest, 0); })
        .Do([&] { clock.Advance(800), look(); })
        .Do([&] { SendMouse(POINT{rest.x + 6, rest.y + 4}, 0); })
        .Do([&] { clock.Advance(3000), look(); })
        .Do([&] { SendMouse(POINT{rest.x + 12, rest.y + 8}, 0); })
        .Do([&] { SendMouse(POINT{900, 700}, MOUSEEVENTF_LEFTUP); });
    Click(Grip(bar), 0);
    s.Start();
    SendMouse(Grip(bar), MOUSEEVENTF_LEFTDOWN);
    PlayOut(s, 6);
    EXPECT_FALSE(hint);
    ASSERT_TRUE(bar->Floating());
    EXPECT_TRUE(Shot(crossed).rgb == before.rgb);
}

TEST_F(OnScreenTest, ABarFloatsFirstWhereItWasDockedAndKeepsItsCaption) {
    TToolbar* bar = MakeBar("File Operations", top, 3, 0, 40);
    Pump();
    const RECT docked = ScreenRectOf(bar);
    Click(Grip(bar), 2);
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->Left(), docked.left);
    EXPECT_EQ(bar->Top(), docked.top);
    auto captionInk = [&] {
        RECT r = bar->CaptionRect(true, true);
        ::OffsetRect(&r, bar->Left(), bar->Top());
        const screen::Pixels p = Shot(r);
        return screen::InkIn(p, RECT{0, 0, p.width, p.height});
    };
    const int ink = captionInk();
    EXPECT_GT(ink, 0);
    Click(Grip(bar), 2);
    ASSERT_EQ(bar->DockedTo(), top);
    Click(Grip(bar), 2);
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(captionInk(), ink);
}

// A bar first floats over its own dock: a click on its caption must not
// dock it, and the double click that docks it must not press the button
// that comes to lie under the mouse.
TEST_F(OnScreenTest, ACaptionClickMovesNothingAndADockingDoubleClickPressesNoButton) {
    MakeBar("Kept", top, 3, 1, 0);  // the dock keeps its depth when the bar leaves
    TToolbar* bar = MakeBar("File Operations", top, 3, 0, 40);
    Pump();
    int clicks = 0;
    for (tk::Control* c : bar->Children()) c->OnClick = [&](tk::Component*) { ++clicks; };
    // The first button: the last one ends under the floating close button.
    const tk::Control* first = bar->Children().front();
    const POINT firstCentre = bar->ClientToScreen(POINT{first->Left() + first->Width() / 2, 0});
    Click(Grip(bar), 2);
    ASSERT_TRUE(bar->Floating());
    const RECT floating = bar->BoundsRect();
    const POINT caption{firstCentre.x, Grip(bar).y};
    Click(caption);
    EXPECT_TRUE(bar->Floating());
    const RECT after = bar->BoundsRect();
    EXPECT_TRUE(::EqualRect(&floating, &after));
    ::Sleep(::GetDoubleClickTime() + 100);  // what follows is a double click of its own
    Click(caption, 2);
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(clicks, 0);
}

TEST_F(OnScreenTest, FloatingBarsStayInFrontOfTheirFormThroughMinimiseRestoreAndClicks) {
    auto* edit = tk::Create<tk::Edit>(*form);
    edit->SetParent(form.get());
    edit->SetBounds(300, 150, 100, 22);
    RECT shown{};
    for (int i = 0; i < 2; ++i) {
        TToolbar* bar = MakeBar("Bar" + std::to_string(i), top, 3 - i, i, 0);
        bar->SetDockedTo(nullptr);
        bar->SetBounds(form->Left() + 60, form->Top() + 100 + 70 * i, bar->Width(), bar->Height());
        const RECT r = bar->BoundsRect();
        if (i == 0) shown = r;
        ::UnionRect(&shown, &shown, &r);
    }
    Click(form->ClientToScreen(POINT{100, 220}));
    const screen::Pixels before = Shot(shown);
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Click(form->ClientToScreen(POINT{100, 220}));
    EXPECT_TRUE(Shot(shown).rgb == before.rgb) << "restored";
    // The focus moving to a control raises the form on Wine.
    Click(edit->ClientToScreen(POINT{10, 10}));
    EXPECT_TRUE(Shot(shown).rgb == before.rgb) << "clicked";
}
