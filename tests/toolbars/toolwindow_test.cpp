// Tool windows on a real form with a top and a bottom dock: re-parenting and
// its events, floating bars (owned by the form, out of the task bar, hidden
// while it is minimised, two at once), the owner form going away, misuse
// errors, frame sizes and rectangles, and the frames drawn through WM_PRINT.
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/Canvas.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Streaming.h"
#include "toolkit/TestSeams.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using bartest::Dib;
using bartest::Pump;
using bartest::Px;

namespace {

struct ToolWindowTest : bartest::DockFormTest {
    TToolbar* Bar(const std::string& name, TDock* dock, int buttons, int row = 0, int pos = 0) {
        return MakeBar(name, dock, buttons, row, pos);
    }
};

}  // namespace

TEST_F(ToolWindowTest, DockedBarsLieInTheirRowsWithHandleAndFrame) {
    TToolbar* a = Bar("A", top, 3, 0, 0);
    TToolbar* b = Bar("B", top, 2, 0, 200);
    TToolbar* c = Bar("C", top, 1, 1, 0);
    Pump();
    EXPECT_EQ(a->NonClientWidth(), 4 + 9);
    EXPECT_EQ(a->NonClientHeight(), 4);
    EXPECT_EQ(a->Height(), 26);
    EXPECT_EQ(a->Width(), 13 + 23 + 23 + 6 + 23);
    EXPECT_EQ(b->Left(), 200);
    EXPECT_EQ(c->Top(), 26);
    EXPECT_EQ(top->Height(), 52);
    EXPECT_EQ(bottom->Height(), 0);
    EXPECT_EQ(DockPositionOfControl(a->Controls(0)), dpTop);
    // Hiding a bar closes its row up.
    c->SetVisible(false);
    EXPECT_EQ(top->Height(), 26);
    c->SetVisible(true);
    EXPECT_EQ(top->Height(), 52);
}

TEST_F(ToolWindowTest, ReparentingFiresItsEventsInOrderAndOnlyOnARealChange) {
    TToolbar* bar = Bar("Bar", top, 3);
    std::vector<std::string> log;
    bar->OnDockChanging = [&](tk::Component*) { log.push_back("changing"); };
    bar->OnDockChangingEx = [&](tk::Component*, TDock* d) { log.push_back(d ? "ex " + d->Name() : "ex nil"); };
    bar->OnRecreating = [&](tk::Component*) { log.push_back("recreating"); };
    bar->OnDockChangingHidden = [&](tk::Component*, TDock* d) { log.push_back(d ? "hidden " + d->Name() : "hidden nil"); };
    bar->OnRecreated = [&](tk::Component*) { log.push_back("recreated"); };
    bar->OnDockChanged = [&](tk::Component*) { log.push_back("changed"); };

    bar->SetDockedTo(top);
    EXPECT_TRUE(log.empty());
    bar->SetDockedTo(bottom);
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "ex Bottom", "recreating", "hidden Bottom", "recreated", "changed"}));
    EXPECT_EQ(bottom->Height(), 26);
    EXPECT_EQ(top->Height(), 0);
    EXPECT_EQ(bar->LastDock(), bottom);
    log.clear();
    bar->SetDockedTo(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "ex nil", "recreating", "hidden nil", "recreated", "changed"}));
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(bottom->Height(), 0);
    // The floating bar is still in its last dock's list, not among its visible bars.
    EXPECT_EQ(bottom->Bars().size(), 1u);
    EXPECT_TRUE(bottom->VisibleBars().empty());
    log.clear();
    bar->SetParent(nullptr);  // no events, but the floating parent goes
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(bar->FloatParent(), nullptr);
    EXPECT_TRUE(TCustomToolWindow::FloatingList().empty());
    bar->SetDockedTo(top);
    EXPECT_EQ(top->Height(), 26);
    // Setting a row on a floating bar only stores it.
    bar->SetDockedTo(nullptr);
    bar->SetDockRow(3);
    EXPECT_EQ(bar->DockRow(), 3);
}

TEST_F(ToolWindowTest, FloatingBarsAreOwnedToolWindowsThatFollowTheirForm) {
    TToolbar* a = Bar("FileBar", top, 4);
    TToolbar* b = Bar("ViewBar", top, 3);
    a->SetDockedTo(nullptr);
    b->SetDockedTo(nullptr);  // a second one over the same form floats too
    a->SetBounds(200, 420, a->Width(), a->Height());
    b->SetBounds(420, 420, b->Width(), b->Height());
    Pump();
    ASSERT_TRUE(a->Floating());
    ASSERT_TRUE(b->Floating());
    EXPECT_NE(a->FloatParent()->Name(), b->FloatParent()->Name());
    EXPECT_EQ(TCustomToolWindow::FloatingList().size(), 2u);
    for (TToolbar* bar : {a, b}) {
        HWND h = bar->HandleIfAllocated();
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(::IsWindowVisible(h));
        EXPECT_EQ(::GetWindow(h, GW_OWNER), form->HandleIfAllocated());
        EXPECT_TRUE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        EXPECT_TRUE(::GetWindowLongA(bar->FloatParent()->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    }
    // Client of a floating toolbar: 4 buttons and a separator wide, one line.
    EXPECT_EQ(a->ClientWidth(), 4 + 4 * 23 + 6 + 4);
    EXPECT_EQ(a->ClientHeight(), 2 + 22 + 1);
    EXPECT_EQ(DockPositionOfControl(a->Controls(0)), dpNotDocked);

    ::ShowWindow(form->Handle(), SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(a->HandleIfAllocated()));
    EXPECT_FALSE(::IsWindowVisible(b->HandleIfAllocated()));
    ::ShowWindow(form->Handle(), SW_RESTORE);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(a->HandleIfAllocated()));
    // Hidden through Visible, shown again.
    a->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(a->HandleIfAllocated()));
    a->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(a->HandleIfAllocated()));

    // Back into the dock: the floating parent goes, no window leaks.
    a->SetDockedTo(top);
    EXPECT_EQ(a->FloatParent(), nullptr);
    EXPECT_TRUE(a->Docked());
    EXPECT_EQ(::GetParent(a->HandleIfAllocated()), top->HandleIfAllocated());
}

TEST_F(ToolWindowTest, KeepOnScreenBringsAFullyHiddenBarBack) {
    TToolbar* bar = Bar("Bar", top, 2);
    bar->SetDockedTo(nullptr);
    RECT area{};
    WorkAreaOfRect(bar->BoundsRect(), area);
    bar->SetBounds(area.right - 10, area.top + 30, bar->Width(), bar->Height());
    bar->KeepOnScreen(true);  // partly visible: stays
    EXPECT_EQ(bar->Left(), area.right - 10);
    bar->KeepOnScreen(false);
    EXPECT_EQ(bar->Left(), area.right - bar->Width());
    bar->SetBounds(-500, -500, bar->Width(), bar->Height());
    bar->KeepOnScreen(true);
    EXPECT_EQ(bar->Left(), area.left);
    EXPECT_EQ(bar->Top(), area.top);
    EXPECT_EQ(bar->FloatingTopLeft().x, area.left);
}

TEST_F(ToolWindowTest, AFloatingParentForgetsAnOwnerFormThatGoes) {
    auto other = std::make_unique<tk::Form>();
    other->SetBounds(300, 300, 200, 100);
    other->Show();
    tk::Component keeper;
    auto* bar = tk::Create<TToolbar>(keeper);
    bar->SetName("Orphan");
    tk::Create<TToolbarButton>(keeper)->SetParent(bar);
    bar->SetParent(other.get());
    ASSERT_TRUE(bar->Floating());
    other.reset();
    Pump();
    EXPECT_EQ(bar->Parent(), nullptr);
    EXPECT_EQ(bar->FloatParent(), nullptr);

    // Floating over all forms, it keeps floating, without a form.
    auto third = std::make_unique<tk::Form>();
    third->Show();
    auto* stay = tk::Create<TToolbar>(keeper);
    stay->SetFloatingMode(fmOnTopOfAllForms);
    stay->SetParent(third.get());
    third.reset();
    Pump();
    ASSERT_TRUE(stay->Floating());
    EXPECT_EQ(stay->FloatParent()->OwnerForm(), nullptr);
    EXPECT_EQ(ParentFormOf(stay), nullptr);
    // Esc in the floating parent no longer reaches for the freed form.
    stay->FloatParent()->DialogKey(VK_ESCAPE, 0);
}

TEST_F(ToolWindowTest, MisuseRaisesTheDocumentedErrors) {
    auto expectError = [](auto action, const std::string& text) {
        try {
            action();
            ADD_FAILURE() << "no error: " << text;
        } catch (const tk::EInvalidOperation& e) {
            EXPECT_EQ(e.Message(), text);
        }
    };
    TToolbar* bar = Bar("Bar", top, 1);
    auto* panel = tk::Create<tk::Panel>(*form);
    panel->SetParent(form.get());
    expectError([&] { bar->SetParent(panel); }, "A tool window can only be placed on a TDock or directly on the form");
    EXPECT_EQ(bar->Parent(), top);
    auto* inner = tk::Create<TDock>(*form);
    expectError([&] { inner->SetParent(bar); }, "A TDock control cannot be placed inside a tool window or another TDock");
    expectError([&] { inner->SetParent(top); }, "A TDock control cannot be placed inside a tool window or another TDock");
    expectError([&] { top->SetPosition(dpLeft); }, "Cannot change Position of a TDock if it already contains controls");
    EXPECT_EQ(top->Position(), dpTop);
    expectError([&] { tk::Create<TToolbarSep>(*form)->SetParent(panel); }, "TToolbarSep can only be placed on a TToolbar");
    auto* lonelyDock = tk::Create<TDock>(*form);
    auto* lonely = tk::Create<TToolbar>(*form);
    lonely->SetName("Lonely");
    lonely->SetParent(lonelyDock);
    expectError([&] { lonely->SetDockedTo(nullptr); }, "Control 'Lonely' has no parent window");
    EXPECT_EQ(lonely->Parent(), lonelyDock);
}

TEST_F(ToolWindowTest, FrameSizesAndRectangles) {
    TToolbar* bar = Bar("Bar", top, 2);
    struct Case {
        bool closeButton;
        TDragHandleStyle style;
        int band;
    } cases[] = {{false, dhDouble, 9}, {false, dhNone, 0}, {false, dhSingle, 6},
                 {true, dhDouble, 14}, {true, dhNone, 14}, {true, dhSingle, 14}};
    for (const Case& c : cases) {
        bar->SetCloseButtonWhenDocked(c.closeButton);
        bar->SetDragHandleStyle(c.style);
        EXPECT_EQ(bar->NonClientWidth(), 4 + c.band) << c.closeButton << " " << c.style;
        EXPECT_EQ(bar->NonClientHeight(), 4);
    }
    RECT close = bar->DockedCloseButtonRect(false);
    EXPECT_EQ(close.left, 3);
    EXPECT_EQ(close.top, 2);
    EXPECT_EQ(close.right - close.left, 11);
    top->SetAllowDrag(false);
    EXPECT_EQ(bar->NonClientWidth(), 4);
    top->SetAllowDrag(true);
    // Toggling the caption while docked changes nothing until it floats.
    bar->SetShowCaption(false);
    EXPECT_EQ(bar->NonClientHeight(), 4);
    bar->SetShowCaption(true);

    bar->SetDockedTo(nullptr);
    Pump();
    const SIZE b = bar->FloatingBorderSize();
    const int caption = CaptionBarHeight();
    EXPECT_EQ(bar->NonClientHeight(), 2 * b.cy + caption);
    EXPECT_EQ(bar->NonClientWidth(), 2 * b.cx);
    RECT cap = bar->CaptionRect(true, true);
    EXPECT_EQ(cap.left, b.cx);
    EXPECT_EQ(cap.top, b.cy);
    EXPECT_EQ(cap.bottom - cap.top, caption - 1);
    EXPECT_EQ(cap.right, b.cx + bar->ClientWidth() - (caption - 1));
    RECT btn = bar->CloseButtonRect(true);
    EXPECT_EQ(btn.right, b.cx + bar->ClientWidth());
    EXPECT_EQ(btn.right - btn.left, caption - 1);
    bar->SetShowCaption(false);
    EXPECT_EQ(bar->NonClientHeight(), 2 * b.cy);

    // A caption too narrow for one character keeps that one and the dots.
    HDC dc = ::GetDC(nullptr);
    EXPECT_EQ(FitCaptionText(dc, "Toolbar", 1), "T...");
    EXPECT_EQ(FitCaptionText(dc, "Toolbar", 1000), "Toolbar");
    ::ReleaseDC(nullptr, dc);
}

TEST_F(ToolWindowTest, DockedAndFloatingFramesPrintIntoADib) {
    TToolbar* bar = Bar("Bar", top, 2);
    Pump();
    auto print = [](TToolbar* t) {
        tk::Bitmap dib = tk::Bitmap::CreateDIB(t->Width(), t->Height());
        tk::MemoryDCHandle dc = tk::CreateMemoryDC();
        tk::SelectGuard sel(dc.Get(), dib.Handle());
        ::SendMessageA(t->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc.Get()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        return dib;
    };
    tk::Bitmap docked = print(bar);
    const std::uint32_t light = Dib(tk::clBtnHighlight);
    const std::uint32_t shadow = Dib(tk::clBtnShadow);
    const std::uint32_t face = Dib(tk::clBtnFace);
    EXPECT_EQ(Px(docked, 0, 0), light);
    EXPECT_EQ(Px(docked, bar->Width() - 1, bar->Height() - 1), shadow);
    // Two grip lines of the double handle: raised edges at x = 4 and 7.
    EXPECT_EQ(Px(docked, 4, 10), light);
    EXPECT_EQ(Px(docked, 6, 10), shadow);
    EXPECT_EQ(Px(docked, 7, 10), light);
    EXPECT_EQ(Px(docked, 10, 10), face);  // band filled past the grips

    bar->SetDockedTo(nullptr);
    bar->SetBounds(300, 450, bar->Width(), bar->Height());
    Pump();
    tk::Bitmap floating = print(bar);
    const SIZE b = bar->FloatingBorderSize();
    auto sys = [](int index) {
        const COLORREF c = ::GetSysColor(index);
        return static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    };
    EXPECT_EQ(Px(floating, 0, 0), sys(COLOR_3DLIGHT));  // raised window edge
    const COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_EQ(Px(floating, bar->Width() - 1, bar->Height() - 1),
              static_cast<std::uint32_t>((GetRValue(dark) << 16) | (GetGValue(dark) << 8) | GetBValue(dark)));
    RECT btn = bar->CloseButtonRect(true);
    BOOL gradient = FALSE;
    ::SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    const COLORREF frame = ::GetSysColor(gradient ? COLOR_GRADIENTACTIVECAPTION : COLOR_ACTIVECAPTION);
    EXPECT_EQ(Px(floating, btn.left, btn.top),
              static_cast<std::uint32_t>((GetRValue(frame) << 16) | (GetGValue(frame) << 8) | GetBValue(frame)));
    // The caption band is painted (not left in the face colour) and the
    // line under it is face-coloured.
    EXPECT_NE(Px(floating, b.cx + 1, b.cy + 1), face);
    EXPECT_EQ(Px(floating, b.cx + 1, b.cy + CaptionBarHeight() - 1), face);
}

namespace {

const char* const kDockedForm = R"(object DockForm: TForm
  Left = 150
  Top = 150
  Width = 500
  Height = 260
  object Dock1: TDock
    Left = 0
    Top = 0
    Width = 492
    Height = 52
    BoundLines = [blTop]
    object FileBar: TToolbar
      Left = 0
      Top = 0
      Caption = 'File Operations'
      CloseButton = False
      DockPos = 0
      TabOrder = 0
      object BtOpen: TToolbarButton
        Left = 0
        Top = 0
        Width = 23
        Height = 22
      end
      object Sep1: TToolbarSep
        Left = 46
        Top = 0
      end
      object BtSave: TToolbarButton
        Left = 23
        Top = 0
        Width = 23
        Height = 22
      end
    end
    object ViewBar: TToolbar
      Left = 0
      Top = 26
      Caption = 'View Operations'
      CloseButton = False
      DockPos = 0
      DockRow = 1
      object BtHex: TToolbarButton
        Left = 0
        Top = 0
        Width = 23
        Height = 22
      end
    end
  end
  object Dock4: TDock
    Position = dpBottom
  end
end
)";

}  // namespace

TEST_F(ToolWindowTest, AWindowDescriptionDeclaresDocksBarsButtonsAndSeparators) {
    auto host = std::make_unique<tk::Form>();
    tk::ReadComponent(*host, kDockedForm, tk::ReadMode::Create);
    host->Show();
    Pump();
    auto* dock1 = host->Find<TDock>("Dock1");
    auto* dock4 = host->Find<TDock>("Dock4");
    auto* file = host->Find<TToolbar>("FileBar");
    auto* view = host->Find<TToolbar>("ViewBar");
    ASSERT_TRUE(dock1 && dock4 && file && view);
    EXPECT_EQ(dock4->Position(), dpBottom);
    EXPECT_EQ(dock4->Height(), 0);
    EXPECT_EQ(dock1->Height(), 1 + 26 + 26);
    EXPECT_FALSE(file->CloseButton());
    EXPECT_EQ(file->Caption(), "File Operations");
    EXPECT_EQ(view->DockRow(), 1);
    EXPECT_EQ(view->Top(), 26);
    // The stored coordinates, not the creation order, give the order.
    auto* open = host->Find<TToolbarButton>("BtOpen");
    auto* save = host->Find<TToolbarButton>("BtSave");
    auto* sep = host->Find<TToolbarSep>("Sep1");
    EXPECT_EQ(open->Left(), 0);
    EXPECT_EQ(save->Left(), 23);
    EXPECT_EQ(sep->Left(), 46);
    EXPECT_EQ(file->Width(), 13 + 23 + 23 + 6);

    // A re-read in place (a language switch) while a bar floats: it keeps
    // floating where it is; the docked ones return to their stored places.
    view->SetDockedTo(nullptr);
    view->SetBounds(260, 470, view->Width(), view->Height());
    file->SetDockPos(100);
    tk::ReadComponent(*host, kDockedForm, tk::ReadMode::Update);
    Pump();
    EXPECT_TRUE(view->Floating());
    EXPECT_EQ(view->Left(), 260);
    EXPECT_EQ(view->Top(), 470);
    EXPECT_TRUE(::IsWindowVisible(view->HandleIfAllocated()));
    EXPECT_EQ(file->DockPos(), 0);
    EXPECT_EQ(file->Left(), 0);
    host.reset();
    Pump();
    EXPECT_TRUE(TCustomToolWindow::FloatingList().empty());
}

namespace {
// A control whose painting always fails.
struct FailingPaint : tk::CustomControl {
    int paints = 0;
    void Paint(tk::Canvas&) override {
        ++paints;
        throw tk::EInvalidOperation("paint failed");
    }
};
}  // namespace

TEST_F(ToolWindowTest, FlushingPaintMessagesEndsEvenWhenPaintingFails) {
    tk::ScriptedMessages messages;
    auto* failing = tk::Create<FailingPaint>(*form);
    failing->SetBounds(10, 60, 50, 50);
    failing->SetParent(form.get());
    failing->HandleNeeded();
    ::InvalidateRect(failing->Handle(), nullptr, TRUE);
    FlushPaintMessages();
    EXPECT_GE(failing->paints, 1);
    EXPECT_LE(failing->paints, 2);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, failing->Handle(), WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

namespace {
// Another thread's window takes the foreground, so this program has no active window.
struct ForeignWindow {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    ForeignWindow() {
        thread = ::CreateThread(nullptr, 0, &ForeignWindow::Run, this, 0, nullptr);
        ::WaitForSingleObject(ready, 5000);
    }
    ~ForeignWindow() {
        ::SetEvent(done);
        ::WaitForSingleObject(thread, 5000);
        ::CloseHandle(thread);
        ::CloseHandle(ready);
        ::CloseHandle(done);
    }
    static DWORD WINAPI Run(void* p) {
        auto* self = static_cast<ForeignWindow*>(p);
        HWND w = ::CreateWindowExA(0, "STATIC", "elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500, 120, 80,
                                   nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(w);
        ::SetActiveWindow(w);
        ::SetEvent(self->ready);
        while (::MsgWaitForMultipleObjects(1, &self->done, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        }
        ::DestroyWindow(w);
        return 0;
    }
};
}  // namespace

TEST_F(ToolWindowTest, AnInactiveProgramHidesFloatingBarsOrGreysTheirCaptions) {
    TToolbar* hides = Bar("Hides", top, 2);
    TToolbar* stays = Bar("Stays", top, 2);
    stays->SetHideWhenInactive(false);
    hides->SetDockedTo(nullptr);
    stays->SetDockedTo(nullptr);
    Pump();
    ASSERT_TRUE(::IsWindowVisible(hides->HandleIfAllocated()));
    {
        ForeignWindow other;
        for (int i = 0; i < 50 && ::GetActiveWindow(); ++i) {
            Pump();
            ::Sleep(10);
        }
        if (::GetActiveWindow()) GTEST_SKIP() << "the display gives no foreground to another thread";
        Pump();
        EXPECT_FALSE(::IsWindowVisible(hides->HandleIfAllocated()));
        EXPECT_TRUE(::IsWindowVisible(stays->HandleIfAllocated()));
        EXPECT_TRUE(stays->CaptionInactive());
    }
    form->BringToFront();
    for (int i = 0; i < 50 && !::IsWindowVisible(hides->HandleIfAllocated()); ++i) {
        Pump();
        ::Sleep(10);
    }
    EXPECT_TRUE(::IsWindowVisible(hides->HandleIfAllocated()));
    EXPECT_FALSE(stays->CaptionInactive());
}

TEST_F(ToolWindowTest, RedrawRequestsAreMergedAndWrappedLinesShowTheirSeparator) {
    TToolbar* bar = Bar("Bar", top, 4);  // two groups: 2 buttons | 2 buttons
    Pump();
    auto pending = [](HWND h, UINT msg, LPARAM* last) {
        int n = 0;
        MSG m;
        while (::PeekMessageA(&m, h, msg, msg, PM_REMOVE)) {
            ++n;
            if (last) *last = m.lParam;
        }
        return n;
    };
    bar->RequestDockedRedraw();
    bar->RequestDockedRedraw();
    EXPECT_EQ(pending(bar->Handle(), RedrawDockedFrameMessage, nullptr), 1);

    bar->SetDockedTo(nullptr);
    bar->SetBounds(300, 450, bar->Width(), bar->Height());
    Pump();
    bar->RequestFloatingRedraw(rfCaption);
    bar->RequestFloatingRedraw(rfCloseButton);
    LPARAM parts = 0;
    EXPECT_EQ(pending(bar->Handle(), RedrawFloatingFrameMessage, &parts), 1);
    EXPECT_EQ(parts, static_cast<LPARAM>(rfCaption | rfCloseButton));

    // Wrapped at the separator: an etched line in the 6-pixel gap.
    bar->SetFloatingRightX(54);
    bar->Rearrange();
    Pump();
    ASSERT_EQ(bar->SeparatorLines().size(), 1u);
    const int y = static_cast<int>(bar->SeparatorLines()[0]);
    tk::Bitmap dib = tk::Bitmap::CreateDIB(bar->ClientWidth(), bar->ClientHeight());
    tk::MemoryDCHandle dc = tk::CreateMemoryDC();
    tk::SelectGuard sel(dc.Get(), dib.Handle());
    ::SendMessageA(bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(Px(dib, 10, y - 4), Dib(tk::clBtnShadow));
    EXPECT_EQ(Px(dib, 10, y - 3), Dib(tk::clBtnHighlight));
    EXPECT_EQ(Px(dib, 10, y - 5), Dib(tk::clBtnFace));
}

TEST_F(ToolWindowTest, AFloatingBarHidesWithItsHiddenForm) {
    TToolbar* bar = Bar("Bar", top, 2);
    bar->SetDockedTo(nullptr);
    Pump();
    ASSERT_TRUE(::IsWindowVisible(bar->HandleIfAllocated()));
    form->Hide();
    Pump();
    EXPECT_FALSE(::IsWindowVisible(bar->HandleIfAllocated()));
    form->Show();
    Pump();
    EXPECT_TRUE(::IsWindowVisible(bar->HandleIfAllocated()));
}

TEST_F(ToolWindowTest, TheCloseButtonClosesOnlyWhenReleasedOverIt) {
    TToolbar* bar = Bar("Bar", top, 3);
    bar->SetDockedTo(nullptr);
    bar->SetBounds(300, 450, bar->Width(), bar->Height());
    Pump();
    HWND h = bar->Handle();
    RECT wr{};
    ::GetWindowRect(h, &wr);
    const RECT close = bar->CloseButtonRect(true);
    const POINT centre{wr.left + (close.left + close.right) / 2, wr.top + (close.top + close.bottom) / 2};
    EXPECT_EQ(::SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLOSE);
    EXPECT_EQ(::SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + close.left - 20, centre.y)), HTCLIENT);
    bar->SetCloseButton(false);
    EXPECT_EQ(::SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLIENT);
    bar->SetCloseButton(true);

    POINT inside = centre;
    ::ScreenToClient(h, &inside);
    const LPARAM over = MAKELPARAM(inside.x, inside.y);
    const LPARAM away = MAKELPARAM(inside.x - 40, inside.y + 30);
    int closed = 0;
    bool allow = false;
    bar->OnClose = [&](tk::Component*) { ++closed; };
    bar->OnCloseQuery = [&](tk::Component*, bool& canClose) { canClose = allow; };
    auto press = [&](LPARAM last) {
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, away);
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, last);
        ::PostMessageA(h, WM_LBUTTONUP, 0, last);
        ::SendMessageA(h, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(centre.x, centre.y));
        EXPECT_FALSE(bar->CloseButtonDown());
    };
    press(away);  // released elsewhere
    EXPECT_TRUE(bar->Visible());
    press(over);  // refused by OnCloseQuery
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(closed, 0);
    allow = true;
    press(over);
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(::IsWindowVisible(h));
    EXPECT_EQ(closed, 1);
}

namespace {

// A 16 x 16 picture with a colour table of two entries: `back` around a
// square of `square` at (4, 4)-(11, 11).
tk::Bitmap TwoColourPicture(COLORREF back, COLORREF square) {
    tk::Bitmap picture(16, 16, tk::PixelFormat::Bit8);
    const RGBQUAD table[2] = {{GetBValue(back), GetGValue(back), GetRValue(back), 0},
                              {GetBValue(square), GetGValue(square), GetRValue(square), 0}};
    ::SetDIBColorTable(picture.DC(), 0, 2, table);
    tk::Canvas& c = picture.GetCanvas();
    c.brush = tk::Brush{static_cast<tk::Color>(back)};
    c.FillRect(RECT{0, 0, 16, 16});
    c.brush = tk::Brush{static_cast<tk::Color>(square)};
    c.FillRect(RECT{4, 4, 12, 12});
    picture.Dormant();
    return picture;
}

// The button at a child index (a bar made here holds b0 b1 | b2 b3).
TToolbarButton* At(TToolbar* bar, std::size_t index) { return static_cast<TToolbarButton*>(bar->Controls(index)); }

// The colour at the middle of a button's picture, painted alone on a DIB.
std::uint32_t PictureColour(TToolbarButton& b) {
    tk::Bitmap out = tk::Bitmap::CreateDIB(b.Width(), b.Height());
    b.Paint(out.GetCanvas());
    return Px(out, 4 + 6, 3 + 6);
}

}  // namespace

TEST_F(ToolWindowTest, AButtonShownHiddenOrResizedRearrangesItsBar) {
    TToolbar* bar = Bar("Bar", top, 4);  // 2 buttons | 2 buttons
    EXPECT_EQ(At(bar, 4)->Left(), 75);
    EXPECT_EQ(bar->Width(), 111);
    At(bar, 1)->SetVisible(false);
    EXPECT_EQ(At(bar, 4)->Left(), 52);
    EXPECT_EQ(bar->Width(), 88);
    At(bar, 1)->SetVisible(true);
    At(bar, 1)->SetWidth(30);
    EXPECT_EQ(At(bar, 4)->Left(), 82);
    EXPECT_EQ(bar->Width(), 118);
}

TEST_F(ToolWindowTest, AColourSchemeChangeReachesTheDisabledPicturesOfDockedBars) {
    TToolbarButton* button = At(Bar("Bar", top, 2), 0);
    button->SetGlyph(TwoColourPicture(RGB(128, 128, 0), RGB(0, 0, 0)));
    button->SetEnabled(false);
    ASSERT_EQ(PictureColour(*button), Dib(tk::clBtnShadow));  // rendered and kept
    const int element = COLOR_BTNSHADOW;
    const COLORREF old = ::GetSysColor(element);
    const COLORREF changed = old == RGB(0, 0, 200) ? RGB(0, 200, 0) : RGB(0, 0, 200);
    ::SetSysColors(1, &element, &changed);
    Pump();
    const std::uint32_t seen = PictureColour(*button);
    ::SetSysColors(1, &element, &old);
    EXPECT_EQ(seen, Dib(static_cast<tk::Color>(changed)));
}

TEST_F(ToolWindowTest, APictureOfFewColoursKeepsItsColoursAndLendsItsPalette) {
    TToolbarButton* button = At(Bar("Bar", top, 2), 0);
    button->SetGlyph(TwoColourPicture(RGB(128, 128, 0), RGB(255, 0, 0)));
    EXPECT_EQ(PictureColour(*button), 0xFF0000u);
    PALETTEENTRY red{};
    ASSERT_EQ(::GetPaletteEntries(button->GetPalette(), 1, 1, &red), 1u);
    EXPECT_EQ(RGB(red.peRed, red.peGreen, red.peBlue), RGB(255, 0, 0));
}

TEST_F(ToolWindowTest, PositionDataGoesThroughTheHostAndBringsBackAFloatingBarsWrapping) {
    TToolbar* bar = Bar("Wrapped", top, 6);
    bar->SetDockedTo(nullptr);
    std::vector<POINT> sizes;
    bar->ListCandidateSizes(sizes);
    ASSERT_GE(sizes.size(), 2u);
    std::map<std::string, int> stored;  // the host: values by bar and value name
    int extra = 0;
    std::vector<void*> seen;
    const auto writeInt = [&](const std::string& b, const std::string& name, int value, void* x) {
        stored[b + "." + name] = value, seen.push_back(x);
    };
    const auto readInt = [&](const std::string& b, const std::string& name, int fallback, void* x) {
        seen.push_back(x);
        const auto it = stored.find(b + "." + name);
        return it == stored.end() ? fallback : it->second;
    };
    bar->SetFloatingRightX(sizes[1].x);
    bar->SavePositionData(writeInt, nullptr, &extra);
    EXPECT_EQ(stored, (std::map<std::string, int>{{"Wrapped.FloatRightX", static_cast<int>(sizes[1].x)}}));
    bar->SetFloatingRightX(0);
    bar->Rearrange();
    bar->LoadPositionData(readInt, nullptr, &extra);
    EXPECT_EQ(bar->ClientWidth(), sizes[1].x);
    EXPECT_EQ(bar->ClientHeight(), sizes[1].y);
    EXPECT_EQ(seen, std::vector<void*>(2, &extra));
    stored.clear();  // nothing stored: one line
    bar->LoadPositionData(readInt, nullptr, &extra);
    EXPECT_EQ(bar->ClientHeight(), sizes[0].y);
}

TEST_F(ToolWindowTest, AHandlerThatFreesItsBarEndsTheDockChangeAndTheDocksGoOn) {
    const auto freeIt = [](tk::Component* sender) { tk::Free(sender); };
    const auto freeItEx = [](tk::Component* sender, TDock*) { tk::Free(sender); };
    const std::vector<std::pair<std::string, std::function<void(TToolbar*)>>> events = {
        {"OnDockChanging", [&](TToolbar* b) { b->OnDockChanging = freeIt; }},
        {"OnDockChangingEx", [&](TToolbar* b) { b->OnDockChangingEx = freeItEx; }},
        {"OnRecreating", [&](TToolbar* b) { b->OnRecreating = freeIt; }},
        {"OnDockChangingHidden", [&](TToolbar* b) { b->OnDockChangingHidden = freeItEx; }},
        {"OnMove", [&](TToolbar* b) { b->OnMove = freeIt; }},
        {"OnRecreated", [&](TToolbar* b) { b->OnRecreated = freeIt; }},
        {"OnDockChanged", [&](TToolbar* b) { b->OnDockChanged = freeIt; }},
    };
    int n = 0;
    for (TDock* target : {bottom, static_cast<TDock*>(nullptr)}) {
        for (const auto& [name, arm] : events) {
            const std::string where = name + (target ? " docking" : " floating");
            TToolbar* bar = Bar("Bar" + std::to_string(++n), top, 3);
            arm(bar);
            const tk::LifeToken alive = bar->Token();
            bar->SetDockedTo(target);
            EXPECT_FALSE(alive.Alive()) << where;
            Pump();
            // Neither dock stays locked: both lay a new bar out.
            TToolbar* next = Bar("Next" + std::to_string(n), bottom, 1);
            EXPECT_EQ(bottom->Height(), 26) << where;
            EXPECT_EQ(top->Height(), 0) << where;
            tk::Free(next);
        }
    }
}

TEST_F(ToolWindowTest, AQuitPostedBeforeARedrawRequestStillEndsTheLoop) {
    TToolbar* docked = Bar("Docked", top, 2);
    TToolbar* floating = Bar("Floating", bottom, 2);
    floating->SetDockedTo(nullptr);
    Pump();
    // What the application's loop sees next: the quit and its code, or nothing.
    auto quitCode = [] {
        MSG m;
        for (int i = 0; i < 500 && ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (m.message == WM_QUIT) return static_cast<int>(m.wParam);
            tk::App().ProcessMessage(m);
        }
        return -1;
    };
    const std::vector<std::pair<std::string, std::function<void()>>> requests = {
        {"docked request", [&] { docked->RequestDockedRedraw(); }},
        {"floating request", [&] { floating->RequestFloatingRedraw(rfCaption); }},
        {"docked message", [&] { ::SendMessageA(docked->Handle(), RedrawDockedFrameMessage, 0, 0); }},
        {"floating message", [&] { ::SendMessageA(floating->Handle(), RedrawFloatingFrameMessage, 0, rfAll); }},
    };
    for (const auto& [name, request] : requests) {
        ::PostQuitMessage(7);
        request();
        EXPECT_EQ(quitCode(), 7) << name;
    }
}

TEST_F(ToolWindowTest, AHandlerThatThrowsInADockChangeLeavesNoLockBehind) {
    struct Refused : std::runtime_error {
        Refused() : std::runtime_error("refused") {}
    };
    TToolbar* bar = Bar("Thrower", top, 3);
    // Thrown while both docks and the bar are held.
    bar->OnDockChangingHidden = [](tk::Component*, TDock*) { throw Refused(); };
    EXPECT_THROW(bar->SetDockedTo(bottom), Refused);
    bar->OnDockChangingHidden = nullptr;
    // Shown, moved with its OnMove, and laid out by a dock that is not locked.
    int moves = 0;
    bar->OnMove = [&](tk::Component*) { ++moves; };
    bar->SetDockedTo(top);
    bar->SetDockedTo(bottom);
    Pump();
    EXPECT_TRUE(bar->HandleAllocated() && ::IsWindowVisible(bar->Handle()));
    EXPECT_GE(moves, 1);
    EXPECT_EQ(bottom->Height(), 26);
    EXPECT_EQ(top->Height(), 0);
    tk::Free(bar);
    Pump();
}

// The dock's OnResize runs inside the window's WM_SIZE, so its exception
// cannot travel back to the caller: it is shown, and the bar and both docks
// carry on as if the handler had returned.
TEST_F(ToolWindowTest, ADockWhoseOnResizeThrowsDuringADockChangeShowsTheErrorAndStaysUsable) {
    tk::ScriptedMessages boxes;
    TToolbar* bar = Bar("Thrower", top, 3);
    bottom->OnResize = [](tk::Component*) { throw std::runtime_error("resize refused"); };
    bar->SetDockedTo(bottom);
    bottom->OnResize = nullptr;
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"resize refused"});
    EXPECT_EQ(bar->DockedTo(), bottom);
    EXPECT_EQ(bottom->Height(), 26);
    EXPECT_EQ(top->Height(), 0);
    bar->SetDockedTo(top);
    Pump();
    EXPECT_EQ(top->Height(), 26);
    EXPECT_EQ(bottom->Height(), 0);
    EXPECT_TRUE(::IsWindowVisible(bar->Handle()));
    tk::Free(bar);
}
