// Toolbars as a user sees them, driven by the system's mouse and read back
// from the screen: a drag held over a hinted form shows no hint and leaves
// the picture it crossed as it was; a bar floats first where it was docked
// and keeps its caption when it floats again; floating bars stay in front of
// their form through minimising, restoring and clicks into it.
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/HintWindow.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"
#include "tests/support/ScreenPixels.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using bartest::PlayOut;
using bartest::Pump;
using bartest::Script;
using bartest::SendMouse;

namespace {

struct OnScreenTest : bartest::DockFormTest {
    void SetUp() override {
        DockFormTest::SetUp();
        ::SetForegroundWindow(form->Handle());
        Pump();
    }
    POINT Screen(int x, int y) const { return form->ClientToScreen(POINT{x, y}); }
    // Where a press on the drag handle (docked) or the caption (floating) lands.
    static POINT Grip(TCustomToolWindow* bar) {
        const POINT p = bar->ClientOrigin();
        return bar->Docked() ? POINT{p.x - 6, p.y + 10} : POINT{p.x + 10, p.y - 5};
    }
    static void Settle() {
        for (int i = 0; i < 20; ++i) {
            Pump();
            ::Sleep(5);
        }
    }
    static void DoubleClick(POINT p) {
        SendMouse(p, 0);
        Settle();
        for (int i = 0; i < 2; ++i) {
            SendMouse(p, MOUSEEVENTF_LEFTDOWN);
            SendMouse(p, MOUSEEVENTF_LEFTUP);
        }
        Settle();
    }
    static screen::Pixels Shot(const RECT& r) {
        screen::PumpPaints();
        return screen::Read(r);
    }
    static int Differing(const screen::Pixels& a, const screen::Pixels& b) {
        int n = 0;
        for (std::size_t i = 0; i < a.rgb.size(); ++i) n += a.rgb[i] != b.rgb[i];
        return n;
    }
    // Ink in the caption band of a floating bar, text and close button left out.
    static int CaptionInk(TCustomToolWindow* bar) {
        RECT wr{};
        ::GetWindowRect(bar->Handle(), &wr);
        RECT caption = bar->CaptionRect(true, true);
        ::OffsetRect(&caption, wr.left, wr.top);
        const screen::Pixels p = Shot(caption);
        return screen::InkIn(p, RECT{0, 0, p.width, p.height});
    }
    // True when `above` lies in front of `below` in the z-order.
    static bool InFrontOf(HWND above, HWND below) {
        for (HWND w = ::GetWindow(below, GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV)) {
            if (w == above) return true;
        }
        return false;
    }
};

}  // namespace

TEST_F(OnScreenTest, ADragHeldOverAHintedFormShowsNoHintAndLeavesWhatItCrossed) {
    tk::ManualClock clock;
    form->SetHint("Docks");
    form->SetShowHint(true);
    MakeBar("Kept", top, 2, 0, 0);
    TToolbar* bar = MakeBar("Dragged", top, 3, 0, 120);
    Pump();
    // The mouse rests on the form first, so hint tracking runs at the press.
    const POINT rest = Screen(150, 120);
    SendMouse(rest, 0);
    Settle();
    const RECT crossed{rest.x - 60, rest.y - 40, rest.x + 160, rest.y + 90};
    const screen::Pixels before = Shot(crossed);
    const POINT away{900, 700};
    bool hintShown = false;
    auto look = [&] {
        const tk::HintWindow* hint = tk::App().GetHintWindow();
        hintShown = hintShown || (hint && hint->Active());
    };
    // Held still past the hint delay, and again past the time a hint would
    // go: the outline is drawn over whatever a hint would change.
    Script s(bar->Handle(), nullptr, true);
    s.Do([&] { SendMouse(rest, 0); })
        .Do([&] { clock.Advance(800), look(); })
        .Do([&] { SendMouse(POINT{rest.x + 6, rest.y + 4}, 0); })
        .Do([&] { clock.Advance(3000), look(); })
        .Do([&] { SendMouse(POINT{rest.x + 12, rest.y + 8}, 0); })
        .Do([&] { SendMouse(away, 0); })
        .Do([&] { SendMouse(away, MOUSEEVENTF_LEFTUP); });
    const POINT grip = Grip(bar);
    SendMouse(grip, 0);
    Settle();
    s.Start();
    SendMouse(grip, MOUSEEVENTF_LEFTDOWN);
    PlayOut(s, 7);
    EXPECT_FALSE(hintShown);
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(Differing(Shot(crossed), before), 0);
}

TEST_F(OnScreenTest, ABarFloatsFirstWhereItWasDockedAndKeepsItsCaption) {
    TToolbar* bar = MakeBar("File Operations", top, 3, 0, 40);
    Pump();
    RECT docked{};
    ::GetWindowRect(bar->Handle(), &docked);
    DoubleClick(Grip(bar));
    ASSERT_TRUE(bar->Floating());
    RECT floated{};
    ::GetWindowRect(bar->Handle(), &floated);
    EXPECT_EQ(floated.left, docked.left);
    EXPECT_EQ(floated.top, docked.top);
    const int ink = CaptionInk(bar);
    EXPECT_GT(ink, 0);
    DoubleClick(Grip(bar));
    ASSERT_EQ(bar->DockedTo(), top);
    DoubleClick(Grip(bar));
    ASSERT_TRUE(bar->Floating());
    EXPECT_EQ(bar->Caption(), "File Operations");
    EXPECT_EQ(CaptionInk(bar), ink);
}

TEST_F(OnScreenTest, FloatingBarsStayInFrontOfTheirFormThroughMinimiseRestoreAndClicks) {
    TToolbar* a = MakeBar("A", top, 3, 0, 0);
    TToolbar* b = MakeBar("B", top, 2, 1, 0);
    auto* edit = tk::Create<tk::Edit>(*form);
    edit->SetParent(form.get());
    edit->SetBounds(300, 150, 100, 22);
    Pump();
    for (TToolbar* bar : {a, b}) {
        bar->SetDockedTo(nullptr);
        bar->SetBounds(form->Left() + 60, form->Top() + 100 + 70 * (bar == b), bar->Width(), bar->Height());
    }
    ::SetFocus(form->Handle());
    Settle();
    const RECT ra = a->BoundsRect();
    const RECT rb = b->BoundsRect();
    RECT shown{};
    ::UnionRect(&shown, &ra, &rb);
    const screen::Pixels before = Shot(shown);
    auto expectInFront = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_TRUE(InFrontOf(a->Handle(), form->Handle()));
        EXPECT_TRUE(InFrontOf(b->Handle(), form->Handle()));
        EXPECT_EQ(Differing(Shot(shown), before), 0);
    };
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Settle();
    EXPECT_FALSE(::IsWindowVisible(a->Handle()));
    ::SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Settle();
    expectInFront("restored");
    // A click that moves the focus to a control raises the form on Wine.
    const POINT inside = edit->ClientToScreen(POINT{10, 10});
    SendMouse(inside, MOUSEEVENTF_LEFTDOWN);
    SendMouse(inside, MOUSEEVENTF_LEFTUP);
    Settle();
    expectInFront("clicked");
}
