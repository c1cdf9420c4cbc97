// Menus and actions driven by messages: WM_COMMAND and key presses reach the
// items, check marks and enabled states reach the system menu, and actions
// keep their linked items and buttons in step. Also timers on the manual
// clock, file dialogs through the seam and the image list.
#include "toolkit/ActnList.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"
#include "toolkit/Timer.h"

#include "controls_support.h"

#include <commdlg.h>

using namespace tk;

namespace {

std::string MenuText(HMENU menu, UINT id) {
    char buf[256] = {};
    ::GetMenuStringA(menu, id, buf, sizeof buf, MF_BYCOMMAND);
    return buf;
}

// Posts a key to the form and lets the application's loop dispatch it.
void PressKey(HWND wnd, WORD key) {
    ::PostMessageA(wnd, WM_KEYDOWN, key, 0);
    ::PostMessageA(wnd, WM_KEYUP, key, 0);
    ctltest::PumpUntil(nullptr, 0);
}

struct MenuFixture : ::testing::Test {
    void SetUp() override {
        menu = host.Own<MainMenu>();
        file = Item("&File");
        menu->Items().Add(file);
        open = Item("Read Hex File to &Flash buffer");
        open->SetShortCut(TextToShortCut("F2"));
        save = Item("Save Fl&ash buffer to Hex File ");
        save->SetShortCut(TextToShortCut("Ctrl+F2"));
        line = Item("-");
        exitItem = Item("E&xit");
        for (MenuItem* i : {open, save, line, exitItem}) file->Add(i);
        view = Item("&View");
        menu->Items().Add(view);
        hex = Item("&Hex");
        hex->SetChecked(true);
        view->Add(hex);
        host.form->SetMenu(menu);
        for (MenuItem* i : {file, open, save, exitItem, view, hex})
            i->OnClick = [this, i](Component* sender) {
                EXPECT_EQ(sender, i);
                clicked.push_back(i->Caption());
            };
    }
    MenuItem* Item(const std::string& caption) {
        auto* item = host.Own<MenuItem>();
        item->SetCaption(caption);
        return item;
    }
    HWND Wnd() { return host.form->Handle(); }

    ctltest::TestForm host;
    MainMenu* menu = nullptr;
    MenuItem *file = nullptr, *open = nullptr, *save = nullptr, *line = nullptr, *exitItem = nullptr;
    MenuItem *view = nullptr, *hex = nullptr;
    std::vector<std::string> clicked;
};

}  // namespace

TEST(ShortCuts, TextAndCodesRoundTrip) {
    EXPECT_EQ(TextToShortCut("F2"), VK_F2);
    EXPECT_EQ(TextToShortCut("Ctrl+F2"), scCtrl | VK_F2);
    EXPECT_EQ(TextToShortCut("ctrl+x"), scCtrl | 'X');
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+A"), scShift | scCtrl | 'A');
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+NoKey"), 0);
    for (const char* text : {"F5", "Ctrl+F9", "Ctrl+H", "Shift+Ctrl+Alt+Del", "Esc"})
        EXPECT_EQ(ShortCutToText(TextToShortCut(text)), text);
    EXPECT_EQ(MakeShortCut('W', ssCtrl), scCtrl | 'W');
}

TEST_F(MenuFixture, BarShowsCaptionsShortcutsSeparatorsAndChecks) {
    HMENU bar = ::GetMenu(Wnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::GetMenuItemCount(bar), 2);
    HMENU fileMenu = ::GetSubMenu(bar, 0);
    EXPECT_EQ(::GetMenuItemCount(fileMenu), 4);
    EXPECT_EQ(MenuText(fileMenu, save->Command()), "Save Fl&ash buffer to Hex File \tCtrl+F2");
    EXPECT_EQ(MenuText(fileMenu, open->Command()), "Read Hex File to &Flash buffer\tF2");
    EXPECT_TRUE(::GetMenuState(fileMenu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(::GetMenuState(bar, hex->Command(), MF_BYCOMMAND) & MF_CHECKED);

    hex->SetChecked(false);
    exitItem->SetEnabled(false);
    EXPECT_FALSE(::GetMenuState(bar, hex->Command(), MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(::GetMenuState(bar, exitItem->Command(), MF_BYCOMMAND) & MF_GRAYED);
    save->SetVisible(false);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(::GetMenu(Wnd()), 0)), 3);
}

// A bar item is wide enough for its caption's ink, which passes the measured
// width in some fonts ("Affichage" in Wine's substitute for the menu font),
// plus the twelve pixels the system keeps beside the text.
TEST_F(MenuFixture, BarItemsHoldTheirCaptionsInk) {
    view->SetCaption("Affic&hage");
    ::DrawMenuBar(Wnd());
    ctltest::Pump();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    Bitmap shot = Bitmap::CreateDIB(200, 40);
    shot.GetCanvas().brush.color = clWhite;
    shot.GetCanvas().FillRect({0, 0, 200, 40});
    HGDIOBJ old = ::SelectObject(shot.DC(), font);
    ::SetBkMode(shot.DC(), TRANSPARENT);
    ::TextOutW(shot.DC(), 10, 10, L"Affichage", 9);
    ::SelectObject(shot.DC(), old);
    ::DeleteObject(font);
    ::GdiFlush();
    int left = 200, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if ((shot.Bits()[y * 200 + x] & 0xFFFFFF) != 0xFFFFFFu) left = std::min(left, x), right = std::max(right, x);
    ASSERT_GE(right, left);
    RECT item{};
    ASSERT_TRUE(::GetMenuItemRect(Wnd(), ::GetMenu(Wnd()), 1, &item));
    EXPECT_GE(item.right - item.left, right - left + 1 + 12);
}

TEST_F(MenuFixture, AttachingOrDroppingTheBarLaysTheFormOutAgain) {
    auto* status = host.Add<Panel>();
    status->SetHeight(20);
    status->SetAlign(alBottom);
    host.form->SetMenu(nullptr);
    ctltest::Pump();
    const int without = host.form->ClientHeight();
    EXPECT_EQ(host.host->Height(), without);

    // The bar takes client height without the window changing size.
    host.form->SetMenu(menu);
    ctltest::Pump();
    const int with = host.form->ClientHeight();
    EXPECT_LT(with, without);
    EXPECT_EQ(host.host->Height(), with);
    EXPECT_EQ(status->Top() + status->Height(), with) << "the bottom-aligned panel stays in sight";

    host.form->SetMenu(nullptr);
    ctltest::Pump();
    EXPECT_EQ(host.host->Height(), without);
    EXPECT_EQ(status->Top() + status->Height(), without);
}

TEST_F(MenuFixture, TheBarOutlivesTheFormsWindow) {
    HMENU bar = ::GetMenu(Wnd());
    HMENU fileMenu = ::GetSubMenu(bar, 0);
    ASSERT_NE(fileMenu, nullptr);
    host.form->RecreateWnd();
    EXPECT_TRUE(::IsMenu(bar));
    EXPECT_TRUE(::IsMenu(fileMenu));
    EXPECT_EQ(::GetMenu(Wnd()), bar) << "the same bar, not one built afresh";
    EXPECT_EQ(::GetSubMenu(bar, 0), fileMenu);
    ::SendMessageA(Wnd(), WM_COMMAND, MAKEWPARAM(hex->Command(), 0), 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Hex"}));
}

TEST_F(MenuFixture, CommandsAndShortcutKeysClickTheirItems) {
    ::SendMessageA(Wnd(), WM_COMMAND, MAKEWPARAM(hex->Command(), 0), 0);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], "&Hex");

    PressKey(Wnd(), VK_F2);
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked[1], open->Caption());
    {
        FakeInput ctrl;
        ctrl.keysDown = {VK_CONTROL};
        PressKey(Wnd(), VK_F2);
    }
    ASSERT_EQ(clicked.size(), 3u);
    EXPECT_EQ(clicked[2], save->Caption());

    // Disabled items (or items under a disabled parent) take no key.
    open->SetEnabled(false);
    PressKey(Wnd(), VK_F2);
    file->SetEnabled(false);
    open->SetEnabled(true);
    PressKey(Wnd(), VK_F2);
    EXPECT_EQ(clicked.size(), 3u) << ::testing::PrintToString(clicked);

    // Opening a submenu clicks its item.
    file->SetEnabled(true);
    ::SendMessageA(Wnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->Handle()), 0);
    EXPECT_EQ(clicked.back(), "&File");
}

TEST_F(MenuFixture, ActionsKeepLinkedItemsAndButtonsInStep) {
    auto* list = host.Own<ActionList>();
    auto* action = host.Own<Action>();
    action->SetActionList(list);
    action->SetCaption("&Write Flash buffer to device");
    action->SetShortCut(TextToShortCut("Ctrl+F4"));
    int runs = 0;
    action->OnExecute = [&](Component*) { ++runs; };
    auto* item = Item("");
    file->Add(item);
    item->SetAction(action);
    auto* button = host.Add<Button>();
    button->SetAction(action);
    EXPECT_EQ(item->Caption(), "&Write Flash buffer to device");
    EXPECT_EQ(button->Caption(), "&Write Flash buffer to device");
    HMENU bar = ::GetMenu(Wnd());
    EXPECT_EQ(MenuText(bar, item->Command()), "&Write Flash buffer to device\tCtrl+F4");

    action->SetCaption("Write");
    action->SetEnabled(false);
    action->SetChecked(true);
    EXPECT_EQ(item->Caption(), "Write");
    EXPECT_EQ(button->Caption(), "Write");
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(::IsWindowEnabled(button->Handle()));
    EXPECT_TRUE(::GetMenuState(bar, item->Command(), MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(bar, item->Command(), MF_BYCOMMAND) & MF_CHECKED);

    action->SetEnabled(true);
    ::SendMessageA(Wnd(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    ::SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(runs, 2);
    {
        FakeInput ctrl;
        ctrl.keysDown = {VK_CONTROL};
        PressKey(Wnd(), VK_F4);
    }
    EXPECT_EQ(runs, 3);
    // A disabled action's shortcut runs nothing.
    action->SetEnabled(false);
    {
        FakeInput ctrl;
        ctrl.keysDown = {VK_CONTROL};
        PressKey(Wnd(), VK_F4);
    }
    EXPECT_EQ(runs, 3);
    // Freeing the action unlinks its clients.
    Free(action);
    EXPECT_EQ(item->GetAction(), nullptr);
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(list->ActionCount(), 0u);
}

TEST(TimerComponent, TicksOnTheClockSeamWhileEnabled) {
    ManualClock clock;
    Component owner;
    auto* timer = Create<Timer>(owner);
    int ticks = 0;
    timer->SetInterval(100);
    timer->SetOnTimer([&](Component*) { ++ticks; });
    clock.Advance(250);
    EXPECT_EQ(ticks, 2);
    timer->SetEnabled(false);
    clock.Advance(500);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(clock.ActiveTimers(), 0u);
    timer->SetEnabled(true);
    timer->SetInterval(50);
    clock.Advance(100);
    EXPECT_EQ(ticks, 4);
    Free(timer);
    EXPECT_EQ(clock.ActiveTimers(), 0u);
}

TEST(FileDialogs, ExecuteGoesThroughTheSeamWithEveryOption) {
    ScriptedFileDialogs answers(FileDialogSeam(), [](const FileDialogRequest&) { ADD_FAILURE() << "unexpected dialog"; });
    Component owner;
    auto* dlg = Create<SaveDialog>(owner);
    dlg->SetFilter("Hex files (*.hex)|*.hex|All files (*.*)|*.*");
    dlg->SetFilterIndex(1);
    dlg->SetTitle("Save Flash buffer");
    dlg->SetInitialDir("C:\\work");
    dlg->SetDefaultExt("hex");
    dlg->SetFileName("old.hex");
    dlg->SetOptions(ofOverwritePrompt | ofHideReadOnly);
    answers.Answer("C:\\work\\new.hex");
    answers.Answer("");
    ASSERT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), "C:\\work\\new.hex");
    ASSERT_EQ(answers.Requests().size(), 1u);
    const FileDialogRequest& r = answers.Requests()[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, "Save Flash buffer");
    EXPECT_EQ(r.initialDir, "C:\\work");
    EXPECT_EQ(r.defaultExt, "hex");
    EXPECT_EQ(r.fileName, "old.hex");
    EXPECT_TRUE(r.options & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(r.options & OFN_HIDEREADONLY);
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), "C:\\work\\new.hex");
    EXPECT_EQ(SplitMultiSelect("C:\\d\0a.hex\0b.hex\0"), (std::vector<std::string>{"C:\\d\\a.hex", "C:\\d\\b.hex"}));
}

TEST(ImageListComponent, MaskedStripsAddOneImagePerWidthAndDrawTransparently) {
    Component owner;
    auto* images = Create<ImageList>(owner);
    int changes = 0;
    const int link = images->RegisterChanges([&] { ++changes; });
    Bitmap strip = Bitmap::CreateDIB(32, 16);
    Canvas& c = strip.GetCanvas();
    c.brush.color = clFuchsia;
    c.FillRect({0, 0, 32, 16});
    c.brush.color = clRed;
    c.FillRect({2, 2, 14, 14});
    c.brush.color = clBlue;
    c.FillRect({18, 2, 30, 14});
    EXPECT_EQ(images->AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(images->Count(), 2);
    EXPECT_EQ(changes, 1);

    Bitmap target = Bitmap::CreateDIB(16, 16);
    target.GetCanvas().brush.color = clWhite;
    target.GetCanvas().FillRect({0, 0, 16, 16});
    images->Draw(target.GetCanvas(), 0, 0, 1);
    EXPECT_EQ(ctltest::Px(target, 8, 8), 0x0000FFu);
    EXPECT_EQ(ctltest::Px(target, 0, 0), 0xFFFFFFu);
    EXPECT_THROW(images->Replace(5, strip), EInvalidOperation);
    images->UnRegisterChanges(link);
    images->Clear();
    EXPECT_EQ(images->Count(), 0);
    EXPECT_EQ(changes, 1);
}

namespace {

// The open menu as the display shows it, read from inside the menu's loop.
std::vector<std::uint32_t> g_openMenu;
int g_openMenuWidth = 0;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (HWND popup = ::FindWindowA("#32768", nullptr)) {
        ::UpdateWindow(popup);
        RECT r{};
        ::GetWindowRect(popup, &r);
        Bitmap shot = Bitmap::CreateDIB(r.right - r.left, r.bottom - r.top);
        g_openMenuWidth = shot.Width();
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(shot.DC(), 0, 0, shot.Width(), shot.Height(), screen, r.left, r.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        ::GdiFlush();
        for (int i = 0; i < shot.Width() * shot.Height(); ++i) g_openMenu.push_back(shot.Bits()[i] & 0xFFFFFF);
    }
    ::EndMenu();
}

}  // namespace

// A plug-in's pictures on a green or magenta ground (the bottom-left pixel,
// the transparent colour): the open menu shows the picture, enabled or
// greyed, and none of the ground.
TEST(MenuPictures, OpenMenuDrawsTheBitmapWithoutItsTransparentColour) {
    ctltest::TestForm host;
    for (Color ground : {static_cast<Color>(RGB(0, 255, 0)), clFuchsia}) {
        Bitmap picture = Bitmap::CreateDIB(16, 16);
        picture.GetCanvas().brush.color = ground;
        picture.GetCanvas().FillRect({0, 0, 16, 16});
        picture.GetCanvas().brush.color = clBlue;
        picture.GetCanvas().FillRect({4, 4, 12, 12});
        auto* popup = host.Own<PopupMenu>();
        for (bool enabled : {true, false}) {
            auto* item = host.Own<MenuItem>();
            item->SetCaption("Program Special Bits");
            item->SetBitmap(picture);
            item->SetEnabled(enabled);
            popup->Items().Add(item);
        }
        g_openMenu.clear();
        ::SetTimer(nullptr, 0, 300, ReadOpenMenu);
        popup->Popup(100, 100, host.form);
        ASSERT_FALSE(g_openMenu.empty()) << "the menu did not open";
        EXPECT_EQ(std::count(g_openMenu.begin(), g_openMenu.end(), ctltest::Dib(ground)), 0);
        EXPECT_EQ(std::count(g_openMenu.begin(), g_openMenu.end(), 0x0000FFu), 64) << "the enabled picture alone is blue";
    }
}

// Room between the open menu's last dark (text) pixel and its right edge.
int RoomRightOfText(PopupMenu& popup, Form* form) {
    g_openMenu.clear();
    ::SetTimer(nullptr, 0, 300, ReadOpenMenu);
    popup.Popup(100, 100, form);
    int rightmost = -1;
    for (std::size_t i = 0; i < g_openMenu.size(); ++i) {
        const std::uint32_t c = g_openMenu[i];
        const bool dark = (c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60;
        // The menu's own border is dark too: only the inside counts.
        const int x = static_cast<int>(i % static_cast<std::size_t>(g_openMenuWidth));
        if (dark && x < g_openMenuWidth - 3) rightmost = std::max(rightmost, x);
    }
    return g_openMenuWidth - rightmost;
}

// A caption without a picture beside items with pictures keeps the room a
// menu without pictures gives it: the text is neither cut nor run into.
TEST(MenuPictures, ACaptionWithoutAPictureIsShownWholeBesidePictures) {
    ctltest::TestForm host;
    Bitmap picture = Bitmap::CreateDIB(16, 16);
    picture.GetCanvas().brush.color = clWhite;
    picture.GetCanvas().FillRect({0, 0, 16, 16});
    int room[2] = {};
    for (bool pictures : {false, true}) {
        auto* popup = host.Own<PopupMenu>();
        auto* pictured = host.Own<MenuItem>();
        pictured->SetCaption("Fuse");
        if (pictures) pictured->SetBitmap(picture);
        popup->Items().Add(pictured);
        auto* plain = host.Own<MenuItem>();
        plain->SetCaption("Cloner le composant");
        popup->Items().Add(plain);
        room[pictures] = RoomRightOfText(*popup, host.form);
        ASSERT_FALSE(g_openMenu.empty()) << "the menu did not open";
    }
    EXPECT_GE(room[true], room[false] - 1) << "the caption beside pictures lost its end";
}
