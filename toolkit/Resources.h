// Resources: the one active resource module (the program file, or one
// language module loaded as a data file) from which window descriptions and
// strings are read when they are used, and the string-table helpers.
#pragma once

#include <windows.h>

#include "toolkit/StrConv.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace tk {

// The program file's module.
HINSTANCE MainModule();
// Where descriptions and strings come from now.
HINSTANCE ResourceModule();
// Loads a resource-only library as a data file and makes it the active
// module, releasing the previous language module. nullptr (and no change)
// when the file cannot be loaded.
HINSTANCE LoadLanguageModule(const std::string& path);
// Back to the program file (the language module is released).
void UseMainResources();
// The code page of the active module's texts (its SCodePage string; the
// program file's when the module names none). Descriptions and strings hold
// bytes of this page; WideText.h converts them for the screen.
UINT CodePage();

// A string of the active module's string table; a string missing there is
// taken from the program file, then from the toolkit's built-in English
// texts; "" when none has it.
std::string LoadStr(UINT id);
// LoadStr with Format-style arguments ("%s", "%d").
std::string FmtLoadStr(UINT id, std::initializer_list<FormatArg> args);

// The bytes of an RCDATA resource of the active module (name matched
// without case), or an empty view.
std::string_view FindRcData(const std::string& name);

}  // namespace tk
