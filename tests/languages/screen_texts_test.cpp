// The modules' texts as this machine's screen shows them (its ANSI code page
// is 1252): read back through the wide-character calls Romanian keeps its
// letters and French its accents; a message box shows its whole text on the
// screen's own pixels and answers its buttons' underlined letters.
#include "resources/StringIds.h"
#include "tests/toolkit/controls_support.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// One language module active for a test, the program file afterwards.
struct ActiveLanguage {
    explicit ActiveLanguage(const std::string& extension) {
        char path[MAX_PATH];
        std::string s(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
        loaded = tk::LoadLanguageModule(s.substr(0, s.find_last_of("\\/") + 1) + "ZeltoPrg." + extension) != nullptr;
    }
    ~ActiveLanguage() { tk::UseMainResources(); }
    bool loaded = false;
};

std::wstring TextW(HWND wnd) {
    wchar_t text[512] = {};
    ::GetWindowTextW(wnd, text, 512);
    return text;
}

TEST(ScreenTexts, RomanianAndFrenchKeepTheirLetters) {
    ctltest::TestForm host;
    {
        ActiveLanguage rom("rom");
        ASSERT_TRUE(rom.loaded);
        auto* edit = host.Add<tk::Edit>();
        edit->SetText(tk::LoadStr(S_CANCEL_CURRENT_OPERATION));
        EXPECT_EQ(TextW(edit->Handle()), L"Anula\u0163i mai \u00eent\u00e2i opera\u0163ia \u00een curs!");
        EXPECT_EQ(edit->Text(), tk::LoadStr(S_CANCEL_CURRENT_OPERATION));
        // A typed letter reaches the handlers as its code-page byte.
        char pressed = 0;
        edit->OnKeyPress = [&](tk::Component*, char& key) { pressed = key; };
        edit->SetText("");
        ::SendMessageW(edit->Handle(), WM_CHAR, 0x0163, 1);
        EXPECT_EQ(pressed, '\xfe');
        EXPECT_EQ(TextW(edit->Handle()), L"\u0163");
        auto* button = host.Add<tk::Button>();
        button->SetCaption("\xaa" "terge");  // "Şterge" in code page 1250
        EXPECT_EQ(TextW(button->Handle()), L"\u015eterge");
        auto* cancel = host.Add<tk::BitBtn>();
        cancel->SetKind(tk::bkCancel);
        EXPECT_EQ(cancel->Caption(), "Anulare");

        auto* menu = host.Own<tk::MainMenu>();
        auto* item = host.Own<tk::MenuItem>();
        item->SetCaption(tk::LoadStr(S_MAIN_CAPTION_NO_LIBRARY));
        menu->Items().Add(item);
        host.form->SetMenu(menu);
        wchar_t text[64] = {};
        MENUITEMINFOW info{sizeof(info), MIIM_STRING};
        info.dwTypeData = text;
        info.cch = 63;
        ::GetMenuItemInfoW(::GetMenu(host.form->Handle()), item->Command(), FALSE, &info);
        EXPECT_STREQ(text, L"f\u0103r\u0103 bibliotec\u0103");
    }
    ActiveLanguage fra("fra");
    ASSERT_TRUE(fra.loaded);
    auto* edit = host.Add<tk::Edit>();
    edit->SetText(tk::LoadStr(S_CHECKING_LPT_PORTS));
    EXPECT_EQ(TextW(edit->Handle()), L"V\u00e9rification des ports LPT...");
}

// Shows a real message box (the message seam's own window) and runs `act`
// on it once it is on the screen; a box still open after a while is closed,
// which answers mrCancel.
std::function<void(HWND)> gAct;
DWORD gShownAt = 0;

void CALLBACK ActWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowW(L"TMessageForm", nullptr);
    if (!box || !::IsWindowVisible(box)) return;
    if (gShownAt == 0) {
        gShownAt = ::GetTickCount();
        try {
            gAct(box);
        } catch (...) {
        }
    } else if (::GetTickCount() - gShownAt > 400) {
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    }
}

tk::ModalResult ShowBox(const std::string& text, tk::MsgDlgButtons buttons, const std::function<void(HWND)>& act) {
    gAct = act;
    gShownAt = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ActWhenShown);
    tk::MessageRequest request{text, "Box", tk::mtCustom, buttons};
    tk::DialogMessageService real;
    const tk::ModalResult result = real.Show(request);
    ::KillTimer(nullptr, timer);
    return result;
}

// Ink width of the rows above a box's buttons, copied from its window DC:
// from the first to the last column that differs from the pixel at (1, 1).
int InkWidth(HWND box) {
    RECT client{}, button{};
    ::GetClientRect(box, &client);
    ::GetWindowRect(::GetWindow(box, GW_CHILD), &button);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&button), 2);
    tk::Bitmap shot = tk::Bitmap::CreateDIB(std::max<LONG>(2, client.right), std::max<LONG>(2, button.top));
    HDC dc = ::GetDC(box);
    ::BitBlt(shot.DC(), 0, 0, shot.Width(), shot.Height(), dc, 0, 0, SRCCOPY);
    ::ReleaseDC(box, dc);
    int left = -1, right = -1;
    for (int x = 0; x < shot.Width(); ++x)
        for (int y = 0; y + 1 < shot.Height(); ++y)
            if (ctltest::Px(shot, x, y) != ctltest::Px(shot, 1, 1)) {
                left = left < 0 ? x : left;
                right = x;
                break;
            }
    return left < 0 ? 0 : right - left + 1;
}

TEST(ScreenTexts, MessageBoxShowsItsWholeTextAndItsButtons) {
    const std::wstring text = L"All pending operations will be canceled";
    int shown = 0, whole = 0;
    bool buttonInside = false;
    ShowBox("All pending operations will be canceled", tk::mbOK, [&](HWND box) {
        ::UpdateWindow(box);
        shown = InkWidth(box);
        RECT client{}, b{};
        ::GetClientRect(box, &client);
        HWND button = ::GetWindow(box, GW_CHILD);
        ::GetWindowRect(button, &b);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&b), 2);
        buttonInside = b.left >= 0 && b.top >= 0 && b.right <= client.right && b.bottom <= client.bottom;
        // The same text drawn unclipped over it, in the box's own font.
        HDC dc = ::GetDC(box);
        RECT rows{0, 0, client.right, b.top - 1};
        HBRUSH ground = ::CreateSolidBrush(::GetPixel(dc, 1, 1));
        ::FillRect(dc, &rows, ground);
        ::DeleteObject(ground);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
        ::SetBkMode(dc, TRANSPARENT);
        RECT at{4, 4, 4, 4};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at, DT_NOCLIP | DT_SINGLELINE);
        ::SelectObject(dc, old);
        ::ReleaseDC(box, dc);
        whole = InkWidth(box);
        ::PostMessageW(box, WM_CLOSE, 0, 0);
    });
    ASSERT_GT(whole, 100);
    EXPECT_EQ(shown, whole) << "the box cuts its text";
    EXPECT_TRUE(buttonInside);
}

void Keys(HWND box, UINT down, WORD key, LPARAM flags) {
    HWND focus = ::GetFocus();
    ::PostMessageW(focus ? focus : box, down, key, 1 | flags);
    ::PostMessageW(focus ? focus : box, down + 1, key, 0xC0000001 | flags);  // the matching key-up
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
    const char* text = "Really abort operation?";
    EXPECT_EQ(ShowBox(text, tk::mbYesNoCancel, [yes](HWND b) { Keys(b, WM_KEYDOWN, yes, 0); }), tk::mrYes);
    EXPECT_EQ(ShowBox(text, tk::mbYesNoCancel, [no](HWND b) { Keys(b, WM_KEYDOWN, no, 0); }), tk::mrNo);
    EXPECT_EQ(ShowBox(text, tk::mbYesNoCancel, [yes](HWND b) { Keys(b, WM_SYSKEYDOWN, yes, 1 << 29); }), tk::mrYes);
}

INSTANTIATE_TEST_SUITE_P(All, MessageBoxKeys,
                         ::testing::Values(Mnemonics{"enu", 'Y', 'N'}, Mnemonics{"fra", 'O', 'N'},
                                           Mnemonics{"ita", 'S', 'N'}, Mnemonics{"rom", 'D', 'N'}),
                         [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
