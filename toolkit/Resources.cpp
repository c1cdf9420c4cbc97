// Resources: the active resource module and string-table access.
#include "toolkit/Resources.h"

#include "toolkit/Graphics.h"
#include "toolkit/ToolkitStrings.h"

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

// Reads a string straight from its RT_STRING block (exact length, any size),
// converted to the ANSI code page. False when the module lacks it.
bool ReadString(HINSTANCE module, UINT id, std::string& out) {
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
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, p, length, nullptr, 0, nullptr, nullptr);
    out.assign(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, p, length, out.data(), bytes, nullptr, nullptr);
    return true;
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
    return reinterpret_cast<HINSTANCE>(module);
}

void UseMainResources() { LanguageModule().Reset(); }

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
