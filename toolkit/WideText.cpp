// WideText: conversions between the active module's code page and UTF-16.
#include "toolkit/WideText.h"

#include "toolkit/Resources.h"

namespace tk {

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), length);
    return out;
}

// A character the page lacks becomes its default character, never a
// look-alike ("s" for the s with cedilla): a text is read as typed or
// visibly not.
std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring Wide(std::string_view text) { return ToWide(CodePage(), text); }

std::string Narrow(std::wstring_view text) { return FromWide(CodePage(), text); }

bool Converts(std::wstring_view text) {
    if (text.empty() || CodePage() == CP_UTF8) return true;
    BOOL lost = FALSE;
    ::WideCharToMultiByte(CodePage(), WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                          nullptr, &lost);
    return !lost;
}

char NarrowChar(WPARAM wideChar) {
    if (wideChar < 0x80) return static_cast<char>(wideChar);
    const wchar_t wc = static_cast<wchar_t>(wideChar);
    char c = 0;
    BOOL lost = FALSE;
    const UINT page = CodePage();
    if (page == CP_UTF8) return 0;  // every character past ASCII takes more than a byte
    const int n = ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, &wc, 1, &c, 1, nullptr, &lost);
    return n == 1 && !lost ? c : 0;
}

WPARAM WideChar(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) return byte;
    wchar_t wc = 0;
    return ::MultiByteToWideChar(CodePage(), 0, &c, 1, &wc, 1) == 1 ? static_cast<WPARAM>(wc) : byte;
}

std::wstring WideFromAnsi(std::string_view text) { return ToWide(CP_ACP, text); }

std::string AnsiFromWide(std::wstring_view text) { return FromWide(CP_ACP, text); }

std::wstring WideTextOf(HWND wnd) {
    const int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(wnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::string TextOf(HWND wnd) { return Narrow(WideTextOf(wnd)); }

bool TextConverts(HWND wnd) { return Converts(WideTextOf(wnd)); }

void SetTextOf(HWND wnd, std::string_view text) { ::SetWindowTextW(wnd, Wide(text).c_str()); }

}  // namespace tk
