// The drag and size loops of tool windows, driven inside their real modal
// loops: a script posts each step (fake cursor, then the mouse or key
// message) when the loop dispatches the step before it. Every loop must give
// back the capture, the cursor clip, the desktop lock and its GDI objects.
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/TestSeams.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using bartest::PlayOut;
using bartest::Pump;
using bartest::Script;
using bartest::SendMouse;

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindows() {
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

struct Recorder : TToolbar {
    int started = 0;
    int tracked = 0;
    int ended = 0;
    bool eight = false;
    explicit Recorder(bool eightEdge = false) : eight(eightEdge) { InitSizingFlags(); }
    void SizingStarted(int edge) override { ++started, TToolbar::SizingStarted(edge); }
    void SizingTracked(RECT& r, const RECT& s) override { ++tracked, TToolbar::SizingTracked(r, s); }
    void SizingEnded(bool a) override { ++ended, TToolbar::SizingEnded(a); }
    void GetSizingFlags(bool& a, bool& e, bool& c) override {
        TToolbar::GetSizingFlags(a, e, c);
        e = eight;
    }
};

struct DragTest : bartest::DockFormTest {
    std::optional<tk::FakeInput> input{std::in_place};
    long gdi = 0;
    int windows = 0;

    long gdiBefore = 0;

    void SetUp() override {
        gdiBefore = tk::LiveGdiHandles();
        DockFormTest::SetUp();
    }
    void TearDown() override {
        DockFormTest::TearDown();
        EXPECT_EQ(tk::LiveGdiHandles(), gdiBefore);
    }
    Recorder* Bar(const std::string& name, TDock* dock, int buttons, int row = 0, int pos = 0, bool eight = false) {
        Recorder* bar = MakeBar<Recorder>(name, dock, buttons, row, pos, eight);
        Pump();
        return bar;
    }
    // Where a press on the drag handle (docked) or caption (floating) lands.
    static POINT Handle(TCustomToolWindow* bar) {
        POINT p = bar->ClientOrigin();
        if (bar->Docked()) return POINT{p.x - 6, p.y + 10};
        return POINT{p.x + 10, p.y - 5};
    }
    static POINT Screen(tk::WinControl* c, int x, int y) {
        POINT o = c->ClientOrigin();
        return POINT{o.x + x, o.y + y};
    }
    // Presses at `screen` and runs the loop with `script` to its end.
    bool countsChange = false;  // the script destroys something
    void Press(TCustomToolWindow* bar, Script& script, POINT screen, UINT msg = WM_LBUTTONDOWN, WPARAM hit = 0) {
        gdi = tk::LiveGdiHandles();
        windows = ThreadWindows();
        if (input) input->cursor = screen;
        HWND h = bar->Handle();
        const tk::LifeToken alive = bar->Token();
        tk::WinControl* parent = bar->Parent();
        script.Start();
        if (msg == WM_NCLBUTTONDOWN) {
            ::SendMessageA(h, msg, hit, MAKELPARAM(screen.x, screen.y));
        } else {
            POINT c = screen;
            ::ScreenToClient(h, &c);
            ::SendMessageA(h, msg, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        }
        // A bar that went elsewhere holds other windows and objects there.
        ExpectCleanDesktop(!countsChange && alive.Alive() && bar->Parent() == parent);
    }
    void ExpectCleanDesktop(bool sameCounts = true) {
        EXPECT_EQ(::GetCapture(), nullptr);
        RECT clip{};
        ::GetClipCursor(&clip);
        EXPECT_EQ(clip.right - clip.left, ::GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(clip.bottom - clip.top, ::GetSystemMetrics(SM_CYSCREEN));
        EXPECT_TRUE(::LockWindowUpdate(::GetDesktopWindow())) << "the desktop lock is still held";
        ::LockWindowUpdate(nullptr);
        if (!sameCounts) return;
        EXPECT_EQ(tk::LiveGdiHandles(), gdi);
        EXPECT_EQ(ThreadWindows(), windows);
    }
    POINT BottomDockPoint(int x = 100) { return Screen(form.get(), x, form->ClientHeight() - 4); }
};

}  // namespace

TEST_F(DragTest, ABarDraggedFromTheTopDockDocksAtTheBottom) {
    Recorder* bar = Bar("A", top, 3);
    Script s(bar->Handle(), &*input);
    s.Mouse(Screen(form.get(), 150, 100)).Mouse(BottomDockPoint(150)).Mouse(BottomDockPoint(150), WM_LBUTTONUP);
    Press(bar, s, Handle(bar));
    EXPECT_EQ(bar->DockedTo(), bottom);
    EXPECT_EQ(top->Height(), 0);
    EXPECT_EQ(bottom->Height(), 26);
    EXPECT_GT(bar->DockPos(), 100);
}

TEST_F(DragTest, ReleasedAtARowsLeadingEdgeTheBarOpensANewRow) {
    Recorder* a = Bar("A", top, 3);
    Recorder* b = Bar("B", top, 2, 0, 200);
    Script s(b->Handle(), &*input);
    const POINT at = Screen(top, 260, 2);
    s.Mouse(at).Mouse(at, WM_LBUTTONUP);
    Press(b, s, Handle(b));
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(a->DockRow(), 1);
    EXPECT_EQ(top->Height(), 52);
}

TEST_F(DragTest, AwayFromDocksTheBarFloatsAtTheCursorLessTheScaledGrabPoint) {
    Recorder* bar = Bar("A", top, 3);
    RECT wr{};
    ::GetWindowRect(bar->Handle(), &wr);
    const POINT press = Handle(bar);
    const POINT grab{press.x - wr.left, press.y - wr.top};
    const POINT ref{bar->Width() - 1, bar->Height() - 1};
    const POINT to{800, 700};
    Script s(bar->Handle(), &*input);
    s.Mouse(to).Mouse(to, WM_LBUTTONUP);
    Press(bar, s, press);
    ASSERT_TRUE(bar->Floating());
    ::GetWindowRect(bar->Handle(), &wr);
    EXPECT_EQ(wr.left, to.x - ::MulDiv(bar->Width() - 1, grab.x, ref.x));
    EXPECT_EQ(wr.top, to.y - ::MulDiv(bar->Height() - 1, grab.y, ref.y));
    EXPECT_EQ(bar->FloatingTopLeft().x, wr.left);
    // Dragged high up, the lowest 4 pixels of its caption band stay on screen.
    Recorder* high = Bar("B", top, 3);
    Script up(high->Handle(), &*input);
    up.Mouse(POINT{600, 0}).Mouse(POINT{600, 0}, WM_LBUTTONUP);
    Press(high, up, Handle(high));
    RECT area{};
    WorkAreaOfPoint(POINT{600, 0}, area);
    RECT frame{};
    high->FloatingFrame(frame);
    EXPECT_EQ(high->Top(), area.top + 4 - frame.top);
}

TEST_F(DragTest, CtrlFloatsOverADockAndLettingGoDocksAgain) {
    Recorder* bar = Bar("A", top, 3);
    Script s(bar->Handle(), &*input);
    s.Mouse(BottomDockPoint()).Key(WM_KEYDOWN, VK_CONTROL).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    Press(bar, s, Handle(bar));
    EXPECT_TRUE(bar->Floating());
    bar->SetDockedTo(top);
    Pump();
    Script again(bar->Handle(), &*input);
    again.Mouse(BottomDockPoint()).Key(WM_KEYDOWN, VK_CONTROL).Key(WM_KEYUP, VK_CONTROL)
        .Mouse(BottomDockPoint(), WM_LBUTTONUP);
    Press(bar, again, Handle(bar));
    EXPECT_EQ(bar->DockedTo(), bottom);
}

TEST_F(DragTest, EscASecondPressOrTheBarsDeathCancelARightClickDoesNot) {
    Recorder* bar = Bar("A", top, 3, 0, 40);
    auto run = [&](std::function<void(Script&)> middle) {
        Script s(bar->Handle(), &*input);
        s.Mouse(BottomDockPoint());
        middle(s);
        s.Mouse(BottomDockPoint(), WM_LBUTTONUP);
        Press(bar, s, Handle(bar));
    };
    run([](Script& s) { s.Key(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(bar->Left(), 40);
    run([&](Script& s) { s.Mouse(BottomDockPoint(), WM_LBUTTONDOWN); });
    EXPECT_EQ(bar->DockedTo(), top);
    run([&](Script& s) { s.Key(WM_KEYDOWN, 'A').Mouse(BottomDockPoint(), WM_RBUTTONDOWN).Mouse(BottomDockPoint(), WM_RBUTTONUP); });
    EXPECT_EQ(bar->DockedTo(), bottom);
    // A dock going away under the drag ends it; nothing is dropped.
    countsChange = true;
    run([&](Script& s) { s.Do([&] { tk::Free(top); }); });
    EXPECT_EQ(bar->DockedTo(), bottom);
    const tk::LifeToken alive = bar->Token();
    run([&](Script& s) { s.Do([&] { tk::Free(bar); }); });
    EXPECT_FALSE(alive.Alive());
}

TEST_F(DragTest, ABarThatCannotFloatShowsNoEntryAwayFromDocksAndStays) {
    Recorder* bar = Bar("A", top, 3, 0, 40);
    bar->SetDockMode(dmCannotFloat);
    HCURSOR seen = nullptr;
    Script s(bar->Handle(), &*input);
    s.Mouse(POINT{800, 700}).Do([&] { seen = ::GetCursor(); }).Mouse(POINT{800, 700}, WM_LBUTTONUP);
    Press(bar, s, Handle(bar));
    EXPECT_EQ(seen, ::LoadCursor(nullptr, IDC_NO));
    EXPECT_EQ(bar->DockedTo(), top);
    EXPECT_EQ(bar->Left(), 40);
    // Kept to its dock, it cannot reach the bottom one either.
    bar->SetDockMode(dmCannotFloatOrChangeDocks);
    Script t(bar->Handle(), &*input);
    t.Mouse(BottomDockPoint()).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    Press(bar, t, Handle(bar));
    EXPECT_EQ(bar->DockedTo(), top);
}

TEST_F(DragTest, ARefusingDockHandsTheDropToTheNextCandidate) {
    auto* second = tk::Create<TDock>(*form);
    second->SetName("Second");
    second->SetPosition(dpBottom);
    second->SetParent(form.get());
    Pump();
    Recorder* bar = Bar("A", top, 3);
    int asked = 0;
    bottom->OnRequestDock = [&](tk::Component*, TCustomToolWindow* b, bool& accept) {
        ++asked;
        EXPECT_EQ(b, bar);
        accept = false;
    };
    Script s(bar->Handle(), &*input);
    s.Mouse(BottomDockPoint()).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    Press(bar, s, Handle(bar));
    EXPECT_GT(asked, 0);
    EXPECT_EQ(bar->DockedTo(), second);
}

TEST_F(DragTest, AnEmptyTopDockCatchesADragWithinItsZone) {
    Recorder* bar = Bar("A", bottom, 3);
    ASSERT_EQ(top->Height(), 0);
    Script away(bar->Handle(), &*input);
    away.Mouse(Screen(form.get(), 100, 20)).Mouse(Screen(form.get(), 100, 20), WM_LBUTTONUP);
    Press(bar, away, Handle(bar));
    EXPECT_TRUE(bar->Floating());
    bar->SetDockedTo(bottom);
    Pump();
    Script close(bar->Handle(), &*input);
    close.Mouse(Screen(form.get(), 100, 5)).Mouse(Screen(form.get(), 100, 5), WM_LBUTTONUP);
    Press(bar, close, Handle(bar));
    EXPECT_EQ(bar->DockedTo(), top);
}

TEST_F(DragTest, APressOnAButtonStartsNoDragButOneOnASeparatorDoes) {
    Recorder* bar = Bar("A", top, 3);
    tk::Control* button = bar->Controls(0);
    Script s(bar->Handle(), &*input);
    s.Mouse(BottomDockPoint()).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    const POINT onButton = Screen(bar, button->Left() + 5, button->Top() + 5);
    input->cursor = onButton;
    s.Start();
    POINT c = onButton;
    ::ScreenToClient(bar->Handle(), &c);
    ::SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    EXPECT_EQ(s.Played(), 0u);  // no loop ran the script
    ::SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    Pump();
    EXPECT_EQ(bar->DockedTo(), top);
    Pump();
    tk::Control* sep = nullptr;
    for (tk::Control* child : bar->Children()) {
        if (dynamic_cast<TToolbarSep*>(child)) sep = child;
    }
    ASSERT_NE(sep, nullptr);
    Script t(bar->Handle(), &*input);
    t.Mouse(BottomDockPoint()).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    Press(bar, t, Screen(bar, sep->Left() + 2, 5));
    EXPECT_EQ(bar->DockedTo(), bottom);
}

TEST_F(DragTest, ADoubleClickFloatsADockedBarAndDocksAFloatingOne) {
    Recorder* bar = Bar("A", top, 3);
    Script none(bar->Handle(), &*input);
    Press(bar, none, Handle(bar), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(bar->Floating());
    Pump();
    Press(bar, none, Handle(bar), WM_LBUTTONDBLCLK);
    EXPECT_EQ(bar->DockedTo(), top);
}

TEST_F(DragTest, APressReleasedWhereItWasMadeMovesNothingEvenOverADock) {
    Bar("Kept", top, 3, 1);  // the dock keeps its depth when A leaves
    Recorder* bar = Bar("A", top, 3);
    Script none(bar->Handle(), &*input);
    Press(bar, none, Handle(bar), WM_LBUTTONDBLCLK);
    ASSERT_TRUE(bar->Floating());
    Pump();
    // The bar floats where it was docked: its caption lies in the dock's zone.
    const POINT at{Handle(bar).x, Screen(top, 0, 2).y};
    const RECT floating = bar->BoundsRect();
    Script click(bar->Handle(), &*input);
    click.Mouse(at, WM_LBUTTONUP);
    Press(bar, click, at);
    EXPECT_TRUE(bar->Floating());
    const RECT after = bar->BoundsRect();
    EXPECT_TRUE(::EqualRect(&floating, &after));
}

TEST_F(DragTest, TheHitTestAnswersCaptionCloseAndSizingBands) {
    for (bool eight : {false, true}) {
        Recorder* bar = Bar(eight ? "E" : "F", top, 3, 0, 0, eight);
        bar->SetDockedTo(nullptr);
        bar->SetBounds(500, 500, bar->Width(), bar->Height());
        Pump();
        const SIZE b = bar->FloatingBorderSize();
        const int w = bar->Width();
        const int h = bar->Height();
        const RECT close = bar->CloseButtonRect(true);
        const int c = CaptionBarHeight() + b.cx - 1;
        struct Case {
            int x, y;
            LRESULT plain, eightEdge;
        };
        const Case cases[] = {
            {0, h / 2, HTLEFT, HTLEFT},
            {b.cx - 1, h / 2, HTLEFT, HTLEFT},
            {w - b.cx, h / 2, HTRIGHT, HTRIGHT},
            {w / 2, 0, HTTOP, HTTOP},
            {w / 2, h - b.cy, HTBOTTOM, HTBOTTOM},
            {0, 0, HTTOP, HTTOPLEFT},
            {w - 1, h - 1, HTBOTTOM, HTBOTTOMRIGHT},
            {1, c - 1, HTLEFT, HTTOPLEFT},
            {c, h - 1, HTBOTTOM, HTBOTTOM},
            {b.cx + 3, b.cy + 3, HTCLIENT, HTCLIENT},
            {(close.left + close.right) / 2, (close.top + close.bottom) / 2, HTCLOSE, HTCLOSE},
            {w / 2, h - b.cy - 3, HTCLIENT, HTCLIENT},
        };
        for (const Case& k : cases) {
            const LRESULT got =
                ::SendMessageA(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(500 + k.x, 500 + k.y));
            EXPECT_EQ(got, eight ? k.eightEdge : k.plain) << k.x << "," << k.y << " eight " << eight;
        }
        tk::Free(bar);
        Pump();
    }
}

TEST_F(DragTest, TheRightEdgeSnapsToTheNextCandidateAndStoresTheWrapWidth) {
    Recorder* bar = Bar("A", top, 6);
    bar->SetDockedTo(nullptr);
    bar->SetBounds(400, 500, bar->Width(), bar->Height());
    Pump();
    std::vector<POINT> sizes;
    bar->ListCandidateSizes(sizes);
    ASSERT_GE(sizes.size(), 3u);
    RECT f{};
    bar->FloatingFrame(f);
    const int fw = f.left + f.right;
    const RECT start = bar->BoundsRect();
    const POINT edge{start.right - 2, start.top + 20};
    // A bit narrower snaps back; past the next width it takes that width.
    int snap = -1;
    Script s(bar->Handle(), &*input);
    s.Do([&] { snap = bar->SnapDistance(); })
        .Mouse(POINT{edge.x - 3, edge.y})
        .Mouse(POINT{edge.x - 3, edge.y})
        .Mouse(POINT{start.left + sizes[1].x + fw, edge.y})
        .Mouse(POINT{start.left + sizes[1].x + fw, edge.y}, WM_LBUTTONUP);
    Press(bar, s, edge, WM_NCLBUTTONDOWN, HTRIGHT);
    EXPECT_EQ(snap, std::min(12, static_cast<int>(sizes[0].x - sizes[1].x - 1)));
    EXPECT_EQ(bar->tracked, 2);  // the repeated position is not tracked
    EXPECT_EQ(bar->started, 1);
    EXPECT_EQ(bar->ended, 1);
    EXPECT_EQ(bar->FloatingRightX(), sizes[1].x);
    EXPECT_EQ(bar->Width(), sizes[1].x + fw);
    EXPECT_EQ(bar->Left(), start.left);

    // The left edge moves with the right edge fixed; Esc leaves all as it was.
    const RECT before = bar->BoundsRect();
    Script l(bar->Handle(), &*input);
    l.Mouse(POINT{before.right - (sizes.back().x + fw) + 1, edge.y}).Mouse(POINT{0, 0}, WM_LBUTTONUP);
    Press(bar, l, POINT{before.left + 1, edge.y}, WM_NCLBUTTONDOWN, HTLEFT);
    EXPECT_EQ(bar->BoundsRect().right, before.right);
    EXPECT_EQ(bar->Width(), sizes.back().x + fw);
    const RECT now = bar->BoundsRect();
    const int wrap = bar->FloatingRightX();
    Script e(bar->Handle(), &*input);
    e.Mouse(POINT{now.right + 200, edge.y}).Key(WM_KEYDOWN, VK_ESCAPE);
    Press(bar, e, POINT{now.right - 1, edge.y}, WM_NCLBUTTONDOWN, HTRIGHT);
    const RECT after = bar->BoundsRect();
    EXPECT_TRUE(::EqualRect(&now, &after));
    EXPECT_EQ(bar->FloatingRightX(), wrap);
    EXPECT_EQ(bar->ended, 3);

    bar->SetDockedTo(top);
    Pump();
    Script d(bar->Handle(), &*input);
    d.Mouse(POINT{900, 500});
    Press(bar, d, Screen(bar, bar->ClientWidth(), 2), WM_NCLBUTTONDOWN, HTRIGHT);
    EXPECT_EQ(d.Played(), 0u);
    EXPECT_EQ(bar->started, 3);
}

TEST_F(DragTest, AFailedDesktopLockOrAFailingHandlerStillEndCleanly) {
    Recorder* bar = Bar("A", top, 3);
    ASSERT_TRUE(::LockWindowUpdate(form->Handle()));
    Script s(bar->Handle(), &*input);
    s.Mouse(BottomDockPoint()).Mouse(BottomDockPoint(), WM_LBUTTONUP);
    gdi = tk::LiveGdiHandles();
    input->cursor = Handle(bar);
    s.Start();
    POINT c = Handle(bar);
    ::ScreenToClient(bar->Handle(), &c);
    ::SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    EXPECT_FALSE(::LockWindowUpdate(::GetDesktopWindow())) << "the drag freed a lock it did not take";
    ::LockWindowUpdate(nullptr);
    EXPECT_EQ(bar->DockedTo(), bottom);

    tk::ScriptedMessages messages;
    messages.Answer(tk::mrOk);
    top->OnRequestDock = [](tk::Component*, TCustomToolWindow*, bool&) { throw std::runtime_error("refused"); };
    Script t(bar->Handle(), &*input);
    t.Mouse(Screen(top, 100, 2)).Mouse(Screen(top, 100, 2), WM_LBUTTONUP);
    Press(bar, t, Handle(bar));
    EXPECT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(bar->DockedTo(), bottom);
}


TEST_F(DragTest, RealInputDragsABarAndResizesAFloatingOne) {
    input.reset();  // the system's cursor and keys from here on
    Recorder* bar = Bar("A", top, 6);
    ::SetForegroundWindow(form->Handle());
    const POINT from = Handle(bar);
    SendMouse(from, 0);
    Pump();
    Script s(bar->Handle(), nullptr, true);
    s.Do([&] { SendMouse(Screen(form.get(), 200, 100), 0); })
        .Do([&] { SendMouse(BottomDockPoint(200), 0); })
        .Do([&] { SendMouse(BottomDockPoint(200), MOUSEEVENTF_LEFTUP); });
    gdi = tk::LiveGdiHandles();
    windows = ThreadWindows();
    s.Start();
    SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    PlayOut(s, 3);
    EXPECT_EQ(bar->DockedTo(), bottom);
    ExpectCleanDesktop(false);

    bar->SetDockedTo(nullptr);
    bar->SetBounds(400, 500, bar->Width(), bar->Height());
    Pump();
    std::vector<POINT> sizes;
    bar->ListCandidateSizes(sizes);
    ASSERT_GE(sizes.size(), 2u);
    RECT f{};
    bar->FloatingFrame(f);
    const RECT start = bar->BoundsRect();
    const POINT edge{start.right - 2, start.top + 20};
    SendMouse(edge, 0);
    Pump();
    ASSERT_EQ(::SendMessageA(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    Script r(bar->Handle(), nullptr, true);
    const POINT to{start.left + sizes[1].x + f.left + f.right, edge.y};
    r.Do([&] { SendMouse(POINT{edge.x - 20, edge.y}, 0); })
        .Do([&] { SendMouse(to, 0); })
        .Do([&] { SendMouse(to, MOUSEEVENTF_LEFTUP); });
    r.Start();
    SendMouse(edge, MOUSEEVENTF_LEFTDOWN);
    PlayOut(r, 3);
    EXPECT_EQ(bar->ended, 1);
    EXPECT_EQ(bar->Width(), sizes[1].x + f.left + f.right);
    EXPECT_EQ(bar->FloatingRightX(), sizes[1].x);
    ExpectCleanDesktop(false);
}
