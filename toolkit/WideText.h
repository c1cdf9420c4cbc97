// WideText: the one place where the toolkit's texts meet the platform's
// wide-character calls. Texts stay std::string holding bytes of the active
// resource module's code page (Resources.h: CodePage()); every text handed
// to a window, a menu, a DC or a common dialog goes through Wide(), every
// text read back from one through Narrow(). The system's ANSI code page
// never takes part, so a Romanian module (1250) shows its letters on a
// system whose ANSI page is 1252.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tk {

// Bytes of the active module's code page to UTF-16.
std::wstring Wide(std::string_view text);
// UTF-16 to the active module's code page; a character the page lacks
// becomes the page's default character.
std::string Narrow(std::wstring_view text);
// Whether every character of the text has a byte in that code page.
bool Converts(std::wstring_view text);
// The same for one character of a key press: 0 when the page has no byte
// for the character.
char NarrowChar(WPARAM wideChar);
WPARAM WideChar(char c);

// The same conversions with the system's ANSI code page, for file names
// (the file calls of the program use that page).
std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

// A window's text and setting it, through the wide calls.
std::string TextOf(HWND wnd);
// Whether the window's text reads back whole in the active code page.
bool TextConverts(HWND wnd);
// The window's text as it holds it.
std::wstring WideTextOf(HWND wnd);
void SetTextOf(HWND wnd, std::string_view text);

}  // namespace tk
