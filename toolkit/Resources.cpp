// Resources: the active resource module and string-table access.
#include "toolkit/Resources.h"

#include "toolkit/Graphics.h"
#include "toolkit/ToolkitStrings.h"
#include "toolkit/WideText.h"

#include <utility>
#include <vector>

namespace tk {

namespace {

struct ModuleDeleter {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
using ModuleHandle = UniqueHandle<HMODULE, ModuleDeleter>;

// The language module, when one is loaded; descriptions and strings come
// from it instead of the program file.
ModuleHandle& LanguageModule() {
    static ModuleHandle module;
    return module;
}

// Built-in English texts of the toolkit's own strings.
const std::pair<UINT, const char*> kToolkitDefaults[] = {
    {SMsgDlgWarning, "Warning"}, {SMsgDlgError, "Error"}, {SMsgDlgInformation, "Information"},
    {SMsgDlgConfirm, "Confirm"}, {SMsgDlgYes, "&Yes"},    {SMsgDlgNo, "&No"},
    {SMsgDlgOK, "OK"},           {SMsgDlgCancel, "Cancel"},
};

UINT& ActiveCodePage() {
    static UINT codePage = 0;
    return codePage;
}

// The UTF-16 text of a string straight from its RT_STRING block (exact
// length, any size). False when the module lacks it.
bool ReadWideString(HINSTANCE module, UINT id, std::wstring& out) {
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!res) return false;
    HGLOBAL data = ::LoadResource(module, res);
    if (!data) return false;
    const WCHAR* p = static_cast<const WCHAR*>(::LockResource(data));
    DWORD size = ::SizeofResource(module, res) / sizeof(WCHAR);
    const WCHAR* end = p + size;
    for (UINT i = 0; i < (id & 15); ++i) {
        if (p >= end) return false;
        p += 1 + *p;
    }
    if (p >= end || *p == 0) return false;
    int length = *p++;
    out.assign(p, static_cast<std::size_t>(length));
    return true;
}

// A string in the active module's code page (never the system's ANSI page,
// which lacks the letters of other languages).
bool ReadString(HINSTANCE module, UINT id, std::string& out) {
    std::wstring text;
    if (!ReadWideString(module, id, text)) return false;
    out = Narrow(text);
    return true;
}

UINT CodePageOf(HINSTANCE module) {
    std::wstring digits;
    if (!ReadWideString(module, SCodePage, digits)) return 0;
    UINT page = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9' || page > 65535) return 0;
        page = page * 10 + static_cast<UINT>(c - L'0');
    }
    return ::IsValidCodePage(page) ? page : 0;
}

// Called whenever the active module changes.
void UpdateCodePage() {
    UINT page = CodePageOf(ResourceModule());
    if (!page && LanguageModule()) page = CodePageOf(MainModule());
    ActiveCodePage() = page ? page : 1252;
}

}  // namespace

HINSTANCE MainModule() { return ::GetModuleHandleA(nullptr); }

HINSTANCE ResourceModule() {
    return LanguageModule() ? reinterpret_cast<HINSTANCE>(LanguageModule().Get()) : MainModule();
}

HINSTANCE LoadLanguageModule(const std::string& path) {
    HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    LanguageModule().Reset(module);
    UpdateCodePage();
    return reinterpret_cast<HINSTANCE>(module);
}

void UseMainResources() {
    LanguageModule().Reset();
    UpdateCodePage();
}

UINT CodePage() {
    if (!ActiveCodePage()) UpdateCodePage();
    return ActiveCodePage();
}

std::string LoadStr(UINT id) {
    std::string text;
    if (ReadString(ResourceModule(), id, text)) return text;
    if (LanguageModule() && ReadString(MainModule(), id, text)) return text;
    for (const auto& [known, english] : kToolkitDefaults) {
        if (known == id) return english;
    }
    return {};
}

std::string FmtLoadStr(UINT id, std::initializer_list<FormatArg> args) { return Format(LoadStr(id), args); }

std::string_view FindRcData(const std::string& name) {
    HINSTANCE module = ResourceModule();
    HRSRC res = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!res) return {};
    HGLOBAL data = ::LoadResource(module, res);
    if (!data) return {};
    return std::string_view(static_cast<const char*>(::LockResource(data)), ::SizeofResource(module, res));
}

}  // namespace tk
