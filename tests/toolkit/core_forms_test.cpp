// A form built from its description, shown under Xvfb and driven with
// messages: alignment, handlers bound by name, keys, re-reading from a
// language module, message dialogs, windowless mouse input, re-creation,
// printing, the exception box, modal forms and the modal mouse loop.
#include "core_support.h"

#include "toolkit/Exceptions.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/MouseLoop.h"
#include "toolkit/Resources.h"
#include "toolkit/TestSeams.h"
#include "toolkit/ToolkitStrings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tk;
using coretest::Pump;
using coretest::TestButton;
using coretest::TestPanel;
using coretest::TTestForm;

std::string LanguageModulePath() {
    std::string exe = App().ExeName();
    return exe.substr(0, exe.find_last_of("\\/") + 1) + "toolkit_tests.fra";
}

std::string WindowText(HWND wnd) {
    char buf[256] = {};
    ::GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

bool Has(const std::vector<std::string>& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

std::string Bounds(const Control* c) {
    return std::to_string(c->Left()) + "," + std::to_string(c->Top()) + "," + std::to_string(c->Width()) + "," +
           std::to_string(c->Height());
}

// Ends a Run that a broken test would leave waiting.
void CALLBACK TerminateTimer(HWND, UINT, UINT_PTR, DWORD) { App().Terminate(); }

struct FormTest : ::testing::Test {
    ScriptedMessages messages{[](const MessageRequest& r) { ADD_FAILURE() << "unanswered message box: " << r.text; }};
    std::unique_ptr<TTestForm> form;

    void SetUp() override {
        form = std::make_unique<TTestForm>();
        form->Show();
        Pump();
    }
    void TearDown() override {
        form.reset();
        App().Reset();
        UseMainResources();
        Pump();
    }
};

TEST_F(FormTest, BuildsFromItsDescriptionAndAlignsNestedPanels) {
    EXPECT_EQ(form->log, (std::vector<std::string>{"create"}));
    EXPECT_EQ(form->ClientWidth(), 400);
    EXPECT_EQ(form->ClientHeight(), 300);
    EXPECT_EQ(Bounds(form->TopPanel), "0,0,400,40");
    EXPECT_EQ(Bounds(form->BottomPanel), "0,270,400,30");
    EXPECT_EQ(Bounds(form->LeftPanel), "0,40,100,230");
    EXPECT_EQ(Bounds(form->ClientPanel), "100,40,300,230");
    EXPECT_EQ(::GetParent(form->OkButton->Handle()), form->TopPanel->Handle());
    EXPECT_EQ(WindowText(form->OkButton->Handle()), "OK");
    EXPECT_TRUE(::IsWindowVisible(form->OkButton->Handle()));
    EXPECT_EQ(form->ClientPanel->Hint(), "Client \xE9rea\r\nsecond line");
    EXPECT_EQ(form->ClientPanel->GetFont().name, "Arial");
    EXPECT_EQ(form->ClientPanel->GetFont().style, static_cast<unsigned>(fsBold | fsItalic));
    EXPECT_FALSE(form->ClientPanel->ParentFont());
    EXPECT_EQ(form->Marker->GetFont().name, form->LeftPanel->GetFont().name);

    form->SetClientSize(500, 400);
    Pump();
    EXPECT_EQ(Bounds(form->ClientPanel), "100,40,400,330");
    EXPECT_EQ(Bounds(form->BottomPanel), "0,370,500,30");

    form->TopPanel->Hide();
    EXPECT_EQ(Bounds(form->LeftPanel), "0,0,100,370");
    EXPECT_EQ(Bounds(form->ClientPanel), "100,0,400,370");
    form->LeftPanel->SetWidth(150);
    EXPECT_EQ(Bounds(form->ClientPanel), "150,0,350,370");
}

TEST_F(FormTest, HandlersBoundByNameRunOnClick) {
    ::SendMessageA(form->OkButton->Handle(), BM_CLICK, 0, 0);
    ::SendMessageA(form->CancelButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->log, (std::vector<std::string>{"create", "ok", "cancel"}));
}

TEST_F(FormTest, DialogKeysPreviewAndShortcuts) {
    FakeInput input;
    auto key = [&](HWND wnd, WORD vk) {
        MSG msg{wnd, WM_KEYDOWN, vk, 0, 0, {}};
        App().ProcessMessage(msg);
    };
    std::vector<std::string> panelKeys;
    form->ClientPanel->OnKeyDown = [&](Component*, WORD& k, ShiftState) { panelKeys.push_back(std::to_string(k)); };

    key(form->ClientPanel->Handle(), VK_RETURN);
    key(form->ClientPanel->Handle(), VK_ESCAPE);
    EXPECT_TRUE(Has(form->log, "ok"));
    EXPECT_TRUE(Has(form->log, "cancel"));

    key(form->ClientPanel->Handle(), VK_F9);  // the form swallows it
    key(form->ClientPanel->Handle(), VK_F8);  // seen by the form first, then the panel
    EXPECT_TRUE(Has(form->log, "key 120"));
    EXPECT_TRUE(Has(form->log, "key 119"));
    EXPECT_EQ(panelKeys, (std::vector<std::string>{"119"}));

    auto* shortcuts = Create<coretest::TestShortCuts>(*form);
    input.keysDown = {VK_CONTROL};
    form->log.clear();
    key(form->ClientPanel->Handle(), VK_F2);
    EXPECT_EQ(shortcuts->runs, 1);
    EXPECT_TRUE(form->log.empty());  // a shortcut never reaches the key events

    input.keysDown.clear();
    form->CancelButton->SetCancel(false);
    form->log.clear();
    key(form->ClientPanel->Handle(), VK_ESCAPE);  // no cancel button: the form sees Esc
    EXPECT_EQ(form->log, (std::vector<std::string>{"key 27"}));
}

TEST_F(FormTest, ReReadsFromALanguageModuleInPlace) {
    form->ClientPanel->SetTag(42);
    form->OkButton->SetHint("set at run time");
    Control* ok = form->OkButton;
    const std::size_t count = form->ComponentCount();
    form->log.clear();

    ASSERT_TRUE(LoadLanguageModule(LanguageModulePath())) << LanguageModulePath();
    ReloadAllForms();
    Pump();
    EXPECT_EQ(form->Text(), "Fen\xEAtre de test");
    EXPECT_EQ(WindowText(form->Handle()), "Fen\xEAtre de test");
    EXPECT_EQ(WindowText(form->OkButton->Handle()), "Valider");
    EXPECT_EQ(form->CancelButton->Caption(), "Annuler");
    EXPECT_TRUE(form->Option->Checked());
    EXPECT_EQ(form->ClientPanel->Hint(), "Zone client");
    EXPECT_TRUE(form->log.empty()) << "a re-read ran a handler";
    EXPECT_EQ(form->ComponentCount(), count);
    EXPECT_EQ(form->OkButton, ok);
    EXPECT_EQ(form->ClientPanel->Tag(), 42);
    EXPECT_EQ(form->OkButton->Hint(), "set at run time");
    EXPECT_EQ(Bounds(form->ClientPanel), "100,40,300,230");

    UseMainResources();
    ReloadAllForms();
    EXPECT_EQ(form->Text(), "Test form");
    EXPECT_TRUE(form->Option->Checked());  // not stored in the English description
    EXPECT_TRUE(form->log.empty());
}

TEST_F(FormTest, MessageDialogsTakeTheirTextsFromTheActiveModule) {
    EXPECT_EQ(LoadStr(SMsgDlgYes), "&Yes");
    EXPECT_EQ(FmtLoadStr(1000, {"378", "ok"}), "Port $378 is ok");
    ASSERT_TRUE(LoadLanguageModule(LanguageModulePath()));
    EXPECT_EQ(FmtLoadStr(1000, {"378", "ok"}), "Le port $378 est ok");

    messages.Answer(mrNo);
    EXPECT_EQ(MessageDlg("Sure?", mtWarning, mbYesNo), mrNo);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Avertissement");
    EXPECT_EQ(messages.Shown()[0].buttons, mbYesNo);
    messages.Answer(mrOk);
    ShowMessage("plain");
    EXPECT_EQ(messages.Shown()[1].caption, App().Title());

    // The real dialog, operated through the modal-form seam.
    ScriptedModalForms modal([](Form&) { ADD_FAILURE() << "unexpected modal form"; });
    std::vector<std::string> buttons;
    std::string caption;
    modal.Expect([&](Form& dialog) {
        caption = WindowText(dialog.Handle());
        HWND no = nullptr;
        for (HWND b = ::GetWindow(dialog.Handle(), GW_CHILD); b; b = ::GetWindow(b, GW_HWNDNEXT)) {
            buttons.push_back(WindowText(b));
            if (WindowText(b) == "&Non") no = b;
        }
        ::SendMessageA(no, BM_CLICK, 0, 0);
        return dialog.GetModalResult();
    });
    modal.Expect([&](Form& dialog) {
        MSG esc{dialog.Handle(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
        App().ProcessMessage(esc);
        return dialog.GetModalResult();
    });
    DialogMessageService real;
    MessageRequest request{"Continue?", MessageCaption(mtConfirmation), mtConfirmation, mbYesNo};
    EXPECT_EQ(real.Show(request), mrNo);
    EXPECT_EQ(caption, "Confirmation");
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Oui", "&Non"}));
    request.buttons = mbOKCancel;
    EXPECT_EQ(real.Show(request), mrCancel);
    EXPECT_EQ(modal.PendingSteps(), 0u);
}

// Width of a caption in the system's caption font.
int CaptionTextWidth(const std::string& text) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    HFONT font = ::CreateFontIndirectA(&metrics.lfCaptionFont);
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE size{};
    ::GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(font);
    return size.cx;
}

TEST_F(FormTest, MessageBoxIsWideEnoughForItsCaption) {
    ScriptedModalForms modal([](Form&) { ADD_FAILURE() << "unexpected modal form"; });
    std::vector<int> widths;
    for (int i = 0; i < 3; ++i) {
        modal.Expect([&](Form& dialog) {
            RECT r{};
            ::GetWindowRect(dialog.Handle(), &r);
            widths.push_back(r.right - r.left);
            return mrOk;
        });
    }
    DialogMessageService real;
    const std::string text = "The port currently used\r\nis the standard bidirectional port at $378";
    const std::string caption = "ZELTO All-Purpose LPT-Based Programmer";
    real.Show(MessageRequest{text, "Short", mtCustom, mbOK});
    real.Show(MessageRequest{text, caption, mtCustom, mbOK});
    real.Show(MessageRequest{text, std::string(400, 'W'), mtCustom, mbOK});
    ASSERT_EQ(widths.size(), 3u);
    // Room for the caption beside the close box.
    EXPECT_GE(widths[1], CaptionTextWidth(caption) + ::GetSystemMetrics(SM_CXSIZE) + 2 * ::GetSystemMetrics(SM_CXFIXEDFRAME));
    EXPECT_GT(widths[1], widths[0]) << "a short caption leaves the box as its text makes it";
    RECT area = TheScreen().WorkArea();
    EXPECT_LE(widths[2], area.right - area.left) << "but never wider than the screen";
}

// However long its text, a box lies on the work area with its title and
// buttons: a long word wraps, and lines beyond the screen's height scroll.
TEST_F(FormTest, AMessageBoxLiesOnTheScreenWhateverItsText) {
    std::string lines;
    for (int i = 0; i < 10000; ++i) lines += "ATDEMO" + std::to_string(i) + "\r\n";
    const std::string texts[] = {lines, "MESSAGE " + std::string(303, 'W') + " end"};
    ScriptedModalForms modal([](Form&) { ADD_FAILURE() << "unexpected modal form"; });
    for (const std::string& text : texts) {
        modal.Expect([&](Form& box) {
            RECT window{}, button{};
            ::GetWindowRect(box.Handle(), &window);
            const RECT area = TheScreen().WorkArea();
            EXPECT_GE(window.left, area.left);
            EXPECT_GE(window.top, area.top);
            EXPECT_LE(window.right, area.right);
            EXPECT_LE(window.bottom, area.bottom);
            HWND ok = ::FindWindowExW(box.Handle(), nullptr, L"BUTTON", nullptr);
            ::GetWindowRect(ok, &button);
            EXPECT_TRUE(button.top >= window.top && button.bottom <= window.bottom) << "the OK button off the box";
            HWND field = ::FindWindowExW(box.Handle(), nullptr, L"EDIT", nullptr);
            if (text.size() > 1000) {
                EXPECT_NE(field, nullptr) << "no scrolling text";
                SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE};
                EXPECT_TRUE(field && ::GetScrollInfo(field, SB_VERT, &bar) && bar.nMax >= static_cast<int>(bar.nPage));
            } else {
                EXPECT_EQ(field, nullptr) << "a text that fits does not scroll";
            }
            return mrOk;
        });
        DialogMessageService real;
        real.Show(MessageRequest{text, "Box", mtCustom, mbOK});
    }
    EXPECT_EQ(modal.PendingSteps(), 0u);
}

TEST_F(FormTest, ANewBorderKeepsAShownFormShown) {
    HWND before = form->Handle();
    form->SetBorderStyle(bsSingle);  // a new window
    EXPECT_NE(form->Handle(), before);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
    EXPECT_TRUE(form->Showing());
    form->Hide();
    form->SetBorderStyle(bsSizeable);
    EXPECT_FALSE(::IsWindowVisible(form->Handle()));
}

TEST_F(FormTest, WindowlessControlGetsMouseInputAndCapture) {
    HWND left = form->LeftPanel->Handle();
    auto& events = form->Marker->events;
    ::SendMessageA(left, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 17));
    EXPECT_EQ(events, (std::vector<std::string>{"down 5,7"}));
    EXPECT_TRUE(form->Marker->MouseCapture());
    EXPECT_EQ(::GetCapture(), left);

    ::SendMessageA(left, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 70));  // outside, but captured
    ::SendMessageA(left, WM_LBUTTONUP, 0, MAKELPARAM(14, 14));
    EXPECT_EQ(events, (std::vector<std::string>{"down 5,7", "move 50,60", "click", "up 4,4"}));
    EXPECT_FALSE(form->Marker->MouseCapture());
    EXPECT_NE(::GetCapture(), left);

    events.clear();
    ::SendMessageA(left, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 70));  // beside the marker
    ::SendMessageA(left, WM_LBUTTONUP, 0, MAKELPARAM(60, 70));
    EXPECT_TRUE(events.empty());

    ::SendMessageA(left, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    ::SendMessageA(left, WM_LBUTTONUP, 0, MAKELPARAM(80, 80));  // released outside: no click
    EXPECT_EQ(events, (std::vector<std::string>{"down 5,5", "up 70,70"}));
}

TEST_F(FormTest, RecreatingFromChildToPopupKeepsObjectChildrenAndState) {
    TestPanel* panel = form->ClientPanel;
    auto* inner = Create<TestButton>(*form);
    inner->SetName("Inner");
    inner->SetParent(panel);
    HWND before = panel->Handle();
    ::SetWindowTextA(inner->Handle(), "typed");  // state only the window holds

    panel->popup = true;
    panel->RecreateWnd();
    HWND popup = panel->HandleIfAllocated();
    ASSERT_TRUE(popup);
    EXPECT_NE(popup, before);
    EXPECT_FALSE(::IsWindow(before));
    EXPECT_TRUE(::GetWindowLongA(popup, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(::GetWindow(popup, GW_OWNER), form->Handle());
    EXPECT_EQ(WinControl::FromHandle(popup), panel);
    EXPECT_EQ(::GetParent(inner->Handle()), popup);
    EXPECT_EQ(WindowText(inner->Handle()), "typed");
    EXPECT_EQ(panel->Parent(), form.get());

    panel->popup = false;
    panel->RecreateWnd();
    EXPECT_TRUE(::GetWindowLongA(panel->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(::GetParent(panel->Handle()), form->Handle());
    EXPECT_EQ(inner->Text(), "typed");
}

TEST_F(FormTest, PrintsItselfWithChildrenIntoADibSection) {
    const int w = form->ClientWidth();
    const int h = form->ClientHeight();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dib);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, dib);
    ::SendMessageA(form->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    ::GdiFlush();
    auto pixel = [&](int x, int y) { return static_cast<const std::uint32_t*>(bits)[y * w + x] & 0xFFFFFF; };
    EXPECT_EQ(pixel(250, 150), 0xFFFFFFu);  // ClientPanel, white
    EXPECT_EQ(pixel(300, 20), 0x0000FFu);   // TopPanel, blue
    EXPECT_EQ(pixel(200, 290), 0x008000u);  // BottomPanel, green
    EXPECT_EQ(pixel(60, 150), 0xFFFF00u);   // LeftPanel, yellow
    EXPECT_EQ(pixel(20, 60), 0xFF0000u);    // the windowless marker on it, red
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(dib);
}

TEST_F(FormTest, ExceptionInAHandlerShowsTheErrorBoxAndTheLoopGoesOn) {
    messages.Answer(mrOk);
    form->onOk = [] { throw Exception("Handler failed"); };
    form->CancelButton->OnClick = [](Component*) { App().Terminate(); };
    App().showMainForm = false;
    ::PostMessageA(form->OkButton->Handle(), BM_CLICK, 0, 0);
    ::PostMessageA(form->CancelButton->Handle(), BM_CLICK, 0, 0);
    UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, TerminateTimer);
    App().Run();
    ::KillTimer(nullptr, guard);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, App().Title());
    EXPECT_EQ(messages.Shown()[0].text, "Handler failed");
    EXPECT_EQ(messages.Shown()[0].type, mtError);
    EXPECT_TRUE(App().Terminated());
}

TEST_F(FormTest, ExitThroughTheSeamIsInterceptedWithoutAnErrorBox) {
    InterceptedExit exit;
    form->onOk = [] { ExitSeam()->Exit(200); };
    ::SendMessageA(form->OkButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(exit.codes, (std::vector<int>{200}));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(FormTest, ProcessMessagesIfDueRunsOnlyAfterAFewMilliseconds) {
    ManualClock clock;
    App().ProcessMessages();
    form->log.clear();
    ::PostMessageA(form->ClientPanel->Handle(), WM_KEYDOWN, VK_F8, 0);
    App().ProcessMessagesIfDue();
    EXPECT_TRUE(form->log.empty());
    clock.Advance(10);
    App().ProcessMessagesIfDue();
    EXPECT_EQ(form->log, (std::vector<std::string>{"key 119"}));
}

TEST_F(FormTest, TerminateFromANestedLoopEndsRun) {
    form->onOk = [] {
        App().Terminate();
        App().ProcessMessages();  // a long operation pumping messages
    };
    ::SendMessageA(form->OkButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(App().Terminated());
    App().showMainForm = false;
    App().Run();  // returns at once
    SUCCEED();
}

TEST_F(FormTest, ShowModalDisablesOtherWindowsAndRunsCloseQuery) {
    auto dialog = std::make_unique<TTestForm>();
    dialog->OkButton->modalResult = mrOk;
    int closeQueries = 0;
    dialog->OnCloseQuery = [&](Component*, bool&) { ++closeQueries; };
    bool mainEnabledInside = true;
    {
        ScriptedModalForms modal([](Form&) { ADD_FAILURE() << "unexpected modal form"; });
        modal.Expect([&](Form& f) {
            mainEnabledInside = ::IsWindowEnabled(form->Handle()) != 0;
            EXPECT_TRUE(::IsWindowVisible(f.Handle()));
            EXPECT_TRUE(f.IsModal());
            ::SendMessageA(dialog->OkButton->Handle(), BM_CLICK, 0, 0);
            return f.GetModalResult();
        });
        EXPECT_EQ(dialog->ShowModal(), mrOk);
    }
    EXPECT_FALSE(mainEnabledInside);
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(closeQueries, 1);
    EXPECT_TRUE(Has(dialog->log, "ok"));

    // The real modal loop ends on the modal result set by a posted click.
    dialog->HandleNeeded();
    ::PostMessageA(dialog->OkButton->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(closeQueries, 2);
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
}

TEST_F(FormTest, MouseLoopReleasesEverythingOnEveryWayOut) {
    HWND w = form->ClientPanel->Handle();
    std::vector<UINT> seen;
    {
        ::PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        ::PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
        MouseLoop loop(w, form->ClientPanel);
        auto outcome = loop.Run([&](const MSG& m) {
            EXPECT_EQ(::GetCapture(), w);
            seen.push_back(m.message);
            return m.message == WM_LBUTTONUP ? MouseLoop::Step::Finish : MouseLoop::Step::Continue;
        });
        EXPECT_EQ(outcome, MouseLoop::Outcome::Finished);
        EXPECT_NE(::GetCapture(), w);
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP}));

    {
        ::PostQuitMessage(3);
        MouseLoop loop(w, form->ClientPanel);
        EXPECT_EQ(loop.Run([](const MSG&) { return MouseLoop::Step::Continue; }), MouseLoop::Outcome::Quit);
        EXPECT_NE(::GetCapture(), w);
        MSG quit;
        ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // re-posted
        EXPECT_EQ(quit.wParam, 3u);
    }

    {
        auto* doomed = Create<TestPanel>(*form);
        doomed->SetParent(form.get());
        HWND dw = doomed->Handle();
        ::PostMessageA(dw, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        MouseLoop loop(dw, doomed);
        auto outcome = loop.Run([&](const MSG&) {
            Free(doomed);
            return MouseLoop::Step::Continue;
        });
        EXPECT_EQ(outcome, MouseLoop::Outcome::ControlDied);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}

TEST_F(FormTest, ScreenListsOpenFormsAndTheHintFollowsTheMouse) {
    auto second = std::make_unique<TTestForm>();
    second->Show();
    Pump();
    std::vector<Form*> forms = TheScreen().Forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0], second.get());  // topmost first
    RECT area = TheScreen().WorkArea();
    EXPECT_GT(area.right - area.left, 0);

    std::vector<std::string> hints;
    App().OnHint = [&](Component*) { hints.push_back(App().CurrentHint()); };
    App().MouseOver(form->Marker, POINT{0, 0});
    App().MouseOver(form->ClientPanel, POINT{0, 0});
    App().MouseOver(nullptr, POINT{0, 0});
    App().OnHint = nullptr;
    EXPECT_EQ(hints, (std::vector<std::string>{"The marker of the left panel", "Client \xE9rea\r\nsecond line", ""}));
}

}  // namespace

namespace {

BOOL CALLBACK FindHintWindow(HWND wnd, LPARAM param) {
    if (!::IsWindowVisible(wnd) || wnd == App().Handle()) return TRUE;
    if (dynamic_cast<Form*>(WinControl::FromHandle(wnd))) return TRUE;
    *reinterpret_cast<HWND*>(param) = wnd;
    return FALSE;
}

// The thread's visible top-level window that is neither a form nor the
// application window: the hint on show.
HWND VisibleHintWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindHintWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::uint32_t DibColor(Color c) {
    COLORREF rgb = ColorToRGB(c);
    return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}

struct HintTest : FormTest {
    ManualClock clock;
    FakeInput input;

    void SetUp() override {
        FormTest::SetUp();
        App().hintPause = 500;
        App().hintHidePause = 2500;
    }
    void TearDown() override {
        App().CancelHint();
        FormTest::TearDown();
    }
    // A mouse move over `control` at a point of its client area, with the
    // cursor there too.
    void RestOn(Control* control, POINT local) {
        input.cursor = control->ClientToScreen(local);
        auto* windowed = dynamic_cast<WinControl*>(control);
        WinControl* target = windowed ? windowed : control->Parent();
        POINT p = target->ScreenToClient(input.cursor);
        ::SendMessageA(target->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    }
};

TEST_F(HintTest, RestingMouseShowsAPaintedHintThatAKeyOrButtonOrLeavingHides) {
    // The form's ShowHint reaches the client panel, which follows its parent.
    form->SetShowHint(true);
    RestOn(form->ClientPanel, POINT{30, 20});
    clock.Advance(300);
    EXPECT_EQ(VisibleHintWindow(), nullptr) << "before the pause";
    clock.Advance(300);
    HWND hint = VisibleHintWindow();
    ASSERT_NE(hint, nullptr) << "after the pause";
    EXPECT_EQ(WindowText(hint), "Client \xE9rea\r\nsecond line");
    RECT r{};
    ::GetWindowRect(hint, &r);
    EXPECT_GT(r.top, input.cursor.y) << "below the cursor, not under it";
    EXPECT_GT(r.bottom - r.top, 20) << "two lines";

    // Painted: the info background with a frame and text in the info colour.
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    Bitmap dib = Bitmap::CreateDIB(w, h);
    ::SendMessageA(hint, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    int background = 0;
    int text = 0;
    for (int i = 0; i < w * h; ++i) {
        std::uint32_t px = dib.Bits()[i] & 0xFFFFFF;
        if (px == DibColor(clInfoBk)) ++background;
        if (px == DibColor(clInfoText)) ++text;
    }
    EXPECT_GT(background, w * h / 2);
    EXPECT_GT(text, 10);
    EXPECT_EQ(dib.Bits()[0] & 0xFFFFFF, DibColor(clWindowFrame));
    EXPECT_EQ(dib.Bits()[w * h - 1] & 0xFFFFFF, DibColor(clWindowFrame));

    // A key hides it, and resting on longer does not bring it back.
    MSG key{form->ClientPanel->Handle(), WM_KEYDOWN, 'A', 0, 0, {}};
    App().ProcessMessage(key);
    EXPECT_EQ(VisibleHintWindow(), nullptr) << "after a key";
    clock.Advance(1000);
    EXPECT_EQ(VisibleHintWindow(), nullptr);

    // Another control: its own short hint; a button press hides it.
    RestOn(form->Marker, POINT{5, 5});
    clock.Advance(600);
    hint = VisibleHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(WindowText(hint), "Marker");
    POINT p = form->LeftPanel->ScreenToClient(input.cursor);
    MSG click{form->LeftPanel->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y), 0, {}};
    App().ProcessMessage(click);
    EXPECT_EQ(VisibleHintWindow(), nullptr) << "after a button";

    // Back on the panel: shown again, and gone on its own after a while.
    RestOn(form->ClientPanel, POINT{40, 20});
    clock.Advance(600);
    EXPECT_NE(VisibleHintWindow(), nullptr);
    clock.Advance(2500);
    EXPECT_EQ(VisibleHintWindow(), nullptr) << "after the hide pause";

    // Leaving the program's windows hides it and ends the tracking.
    RestOn(form->Marker, POINT{6, 6});
    clock.Advance(600);
    ASSERT_NE(VisibleHintWindow(), nullptr);
    RECT formRect{};
    ::GetWindowRect(form->Handle(), &formRect);
    input.cursor = POINT{formRect.left - 30, formRect.top - 30};
    clock.Advance(100);
    EXPECT_EQ(VisibleHintWindow(), nullptr) << "after leaving";
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

TEST_F(HintTest, NoHintWithoutShowHint) {
    // The client panel follows the form, whose ShowHint is off.
    RestOn(form->ClientPanel, POINT{30, 20});
    clock.Advance(1000);
    EXPECT_EQ(VisibleHintWindow(), nullptr);
    form->ClientPanel->SetShowHint(true);
    App().showHint = false;
    RestOn(form->Marker, POINT{5, 5});
    RestOn(form->ClientPanel, POINT{30, 20});
    clock.Advance(1000);
    App().showHint = true;
    EXPECT_EQ(VisibleHintWindow(), nullptr);
}

}  // namespace
