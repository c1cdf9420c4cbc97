// The language modules' texts as the screen shows them on this machine,
// whose ANSI code page is 1252: read back through the wide-character calls,
// Romanian keeps its letters and French its accents; a message box shows its
// whole text on the screen's own pixels, and its buttons answer their
// underlined letters in every language.
#include "resources/StringIds.h"
#include "tests/toolkit/controls_support.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace {

std::string ModulePath(const std::string& extension) {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1) + "ZeltoPrg." + extension;
}

// Makes one language module active for a test, the program file afterwards.
struct ActiveLanguage {
    explicit ActiveLanguage(const std::string& extension) {
        loaded = tk::LoadLanguageModule(ModulePath(extension)) != nullptr;
    }
    ~ActiveLanguage() { tk::UseMainResources(); }
    bool loaded = false;
};

std::wstring WindowTextW(HWND wnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(wnd, text, 512);
    return text;
}

std::wstring MenuTextW(HMENU menu, UINT command) {
    wchar_t text[512] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 511;
    ::GetMenuItemInfoW(menu, command, FALSE, &info);
    return text;
}

TEST(ScreenTexts, RomanianKeepsItsLettersInWindowsAndMenus) {
    ActiveLanguage rom("rom");
    ASSERT_TRUE(rom.loaded);
    EXPECT_EQ(tk::CodePage(), 1250u);
    ctltest::TestForm host;
    auto* edit = host.Add<tk::Edit>();
    const std::string text = tk::LoadStr(S_CANCEL_CURRENT_OPERATION);
    edit->SetText(text);
    EXPECT_EQ(WindowTextW(edit->Handle()), L"Anula\u0163i mai \u00eent\u00e2i opera\u0163ia \u00een curs!");
    EXPECT_EQ(edit->Text(), text);
    // A typed letter reaches the handlers as its byte of the code page and
    // the edit as the letter.
    char pressed = 0;
    edit->OnKeyPress = [&](tk::Component*, char& key) { pressed = key; };
    edit->SetText("");
    ::SendMessageW(edit->Handle(), WM_CHAR, 0x0163, 1);
    EXPECT_EQ(pressed, '\xfe');
    EXPECT_EQ(WindowTextW(edit->Handle()), L"\u0163");

    auto* button = host.Add<tk::Button>();
    button->SetCaption("\xaa" "terge");  // "Şterge" in code page 1250
    EXPECT_EQ(WindowTextW(button->Handle()), L"\u015eterge");
    // A kind's caption is the language's.
    auto* cancel = host.Add<tk::BitBtn>();
    cancel->SetKind(tk::bkCancel);
    EXPECT_EQ(cancel->Caption(), "Anulare");

    auto* menu = host.Own<tk::MainMenu>();
    auto* item = host.Own<tk::MenuItem>();
    item->SetCaption(tk::LoadStr(S_MAIN_CAPTION_NO_LIBRARY));
    menu->Items().Add(item);
    host.form->SetMenu(menu);
    EXPECT_EQ(MenuTextW(::GetMenu(host.form->Handle()), item->Command()), L"f\u0103r\u0103 bibliotec\u0103");
}

TEST(ScreenTexts, FrenchKeepsItsAccents) {
    ActiveLanguage fra("fra");
    ASSERT_TRUE(fra.loaded);
    EXPECT_EQ(tk::CodePage(), 1252u);
    ctltest::TestForm host;
    auto* edit = host.Add<tk::Edit>();
    edit->SetText(tk::LoadStr(S_CHECKING_LPT_PORTS));
    EXPECT_EQ(WindowTextW(edit->Handle()), L"V\u00e9rification des ports LPT...");
    auto* cancel = host.Add<tk::BitBtn>();
    cancel->SetKind(tk::bkCancel);
    EXPECT_EQ(cancel->Caption(), "Annuler");
}

// Shows a real message box (the message seam's own window) and, once it is
// on the screen, posts the keys to its focused button. A box the keys leave
// open is closed after a while, which answers mrCancel.
std::function<void(HWND)> gPress;
DWORD gShownAt = 0;
bool gPressed = false;
int gButtonsInside = 0;  // buttons of the box wholly inside its client area

BOOL CALLBACK CountButtonInside(HWND child, LPARAM box) {
    RECT client{}, r{};
    ::GetClientRect(reinterpret_cast<HWND>(box), &client);
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, reinterpret_cast<HWND>(box), reinterpret_cast<POINT*>(&r), 2);
    if (::IsWindowVisible(child) && r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
        ++gButtonsInside;
    return TRUE;
}

void CALLBACK PressWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowW(L"TMessageForm", nullptr);
    if (!box || !::IsWindowVisible(box)) return;
    if (!gPressed) {
        gPressed = true;
        gShownAt = ::GetTickCount();
        gButtonsInside = 0;
        ::EnumChildWindows(box, CountButtonInside, reinterpret_cast<LPARAM>(box));
        HWND focus = ::GetFocus();
        try {
            gPress(focus ? focus : box);
        } catch (...) {
        }
    } else if (::GetTickCount() - gShownAt > 400) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

tk::ModalResult AnswerWithKeys(const std::function<void(HWND)>& press) {
    gPress = press;
    gPressed = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, PressWhenShown);
    tk::MessageRequest request;
    request.text = "Really abort operation?";
    request.caption = "Confirm";
    request.type = tk::mtConfirmation;
    request.buttons = tk::mbYesNoCancel;
    tk::DialogMessageService real;
    tk::ModalResult result = real.Show(request);
    ::KillTimer(nullptr, timer);
    return result;
}

void Key(HWND wnd, WORD key) {
    ::PostMessageW(wnd, WM_KEYDOWN, key, 1);
    ::PostMessageW(wnd, WM_KEYUP, key, 0xC0000001);
}

void AltKey(HWND wnd, WORD key) {
    ::PostMessageW(wnd, WM_SYSKEYDOWN, key, 1 | (1 << 29));
    ::PostMessageW(wnd, WM_SYSKEYUP, key, 0xE0000001);
}

// The ink width of rows [top, bottom) of a window's client area as the
// screen shows it (copied from the window's DC, which is what the display
// holds): columns from the first to the last pixel that differs from the
// one at (1, 1); 0 when the rows are empty.
int InkWidth(HWND wnd, int top, int bottom) {
    RECT client{};
    ::GetClientRect(wnd, &client);
    tk::Bitmap shot = tk::Bitmap::CreateDIB(std::max<LONG>(1, client.right), std::max<LONG>(2, client.bottom));
    HDC dc = ::GetDC(wnd);
    ::BitBlt(shot.DC(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ::ReleaseDC(wnd, dc);
    const std::uint32_t ground = ctltest::Px(shot, 1, 1);
    int left = -1, right = -1;
    for (int x = 0; x < shot.Width(); ++x)
        for (int y = top; y < bottom && y < shot.Height(); ++y)
            if (ctltest::Px(shot, x, y) != ground) {
                if (left < 0) left = x;
                right = x;
                break;
            }
    return left < 0 ? 0 : right - left + 1;
}

int gShownInk = 0, gWholeInk = 0;

// Compares the text's ink on the screen with the same text drawn unclipped
// in the same window, font and colours, then closes the box.
void CALLBACK MeasureWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowW(L"TMessageForm", nullptr);
    if (!box || !::IsWindowVisible(box)) return;
    ::KillTimer(nullptr, timer);
    try {
        ::UpdateWindow(box);
        HWND button = ::GetWindow(box, GW_CHILD);
        RECT b{};
        ::GetWindowRect(button, &b);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&b), 2);
        const int textBottom = b.top - 1;
        gShownInk = InkWidth(box, 0, textBottom);
        RECT client{};
        ::GetClientRect(box, &client);
        HDC dc = ::GetDC(box);
        const COLORREF ground = ::GetPixel(dc, 1, 1);
        RECT rows{0, 0, client.right, textBottom};
        HBRUSH brush = ::CreateSolidBrush(ground);
        ::FillRect(dc, &rows, brush);
        ::DeleteObject(brush);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
        ::SetBkMode(dc, TRANSPARENT);
        RECT at{4, 4, 4, 4};
        const std::wstring text = L"All pending operations will be canceled";
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at, DT_NOCLIP | DT_SINGLELINE);
        ::SelectObject(dc, old);
        ::ReleaseDC(box, dc);
        gWholeInk = InkWidth(box, 0, textBottom);
    } catch (...) {
    }
    ::PostMessageW(box, WM_CLOSE, 0, 0);
}

TEST(ScreenTexts, MessageBoxShowsItsWholeText) {
    gShownInk = gWholeInk = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, MeasureWhenShown);
    tk::MessageRequest request;
    request.text = "All pending operations will be canceled";
    request.caption = "Box";
    tk::DialogMessageService real;
    real.Show(request);
    ::KillTimer(nullptr, timer);
    ASSERT_GT(gWholeInk, 100);
    EXPECT_EQ(gShownInk, gWholeInk) << "the box cuts its text";
}

struct Mnemonics {
    const char* extension;
    WORD yes;
    WORD no;
};

class MessageBoxKeys : public ::testing::TestWithParam<Mnemonics> {};

TEST_P(MessageBoxKeys, UnderlinedLettersPressTheirButtons) {
    ActiveLanguage language(GetParam().extension);
    ASSERT_TRUE(language.loaded);
    const WORD yes = GetParam().yes, no = GetParam().no;
    EXPECT_EQ(AnswerWithKeys([yes](HWND w) { Key(w, yes); }), tk::mrYes);
    EXPECT_EQ(gButtonsInside, 3) << "every button shows inside the box";
    EXPECT_EQ(AnswerWithKeys([no](HWND w) { Key(w, no); }), tk::mrNo);
    EXPECT_EQ(AnswerWithKeys([yes](HWND w) { AltKey(w, yes); }), tk::mrYes);
    // Another letter presses nothing.
    EXPECT_EQ(AnswerWithKeys([](HWND w) { Key(w, 'Q'); }), tk::mrCancel);
}

INSTANTIATE_TEST_SUITE_P(All, MessageBoxKeys,
                         ::testing::Values(Mnemonics{"enu", 'Y', 'N'}, Mnemonics{"fra", 'O', 'N'},
                                           Mnemonics{"ita", 'S', 'N'}, Mnemonics{"rom", 'D', 'N'}),
                         [](const ::testing::TestParamInfo<Mnemonics>& info) {
                             return std::string(info.param.extension);
                         });

}  // namespace
