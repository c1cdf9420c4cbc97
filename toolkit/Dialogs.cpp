// Dialogs: file dialog components and the real file-dialog service.
#include "toolkit/Dialogs.h"

#include "toolkit/Forms.h"
#include "toolkit/Streaming.h"
#include "toolkit/WideText.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace tk {

DWORD OpenOptionsToFlags(OpenOptions o) {
    static const std::pair<OpenOption, DWORD> kMap[] = {
        {ofReadOnly, OFN_READONLY},
        {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
        {ofHideReadOnly, OFN_HIDEREADONLY},
        {ofNoChangeDir, OFN_NOCHANGEDIR},
        {ofShowHelp, OFN_SHOWHELP},
        {ofNoValidate, OFN_NOVALIDATE},
        {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
        {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
        {ofPathMustExist, OFN_PATHMUSTEXIST},
        {ofFileMustExist, OFN_FILEMUSTEXIST},
        {ofCreatePrompt, OFN_CREATEPROMPT},
        {ofShareAware, OFN_SHAREAWARE},
        {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
        {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
        {ofNoNetworkButton, OFN_NONETWORKBUTTON},
        {ofNoLongNames, OFN_NOLONGNAMES},
        {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
        {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
        {ofEnableSizing, OFN_ENABLESIZING},
    };
    DWORD flags = 0;
    for (const auto& [option, flag] : kMap)
        if (o & option) flags |= flag;
    if (!(o & ofOldStyleDialog)) flags |= OFN_EXPLORER;
    return flags;
}

OpenDialog::OpenDialog() = default;

bool OpenDialog::Execute() {
    FileDialogRequest request;
    request.save = IsSave();
    request.title = title_;
    request.filter = filter_;
    request.filterIndex = filterIndex_;
    request.initialDir = initialDir_;
    request.defaultExt = defaultExt_;
    request.fileName = fileName_;
    request.options = OpenOptionsToFlags(options_);
    if (Form* active = TheScreen().ActiveForm(); active && active->HandleAllocated())
        request.owner = active->HandleIfAllocated();
    else
        request.owner = App().Handle();
    if (!FileDialogSeam()->Execute(request)) return false;
    fileName_ = request.fileName;
    filterIndex_ = request.filterIndex;
    files_.clear();
    if ((options_ & ofAllowMultiSelect) && !fileName_.empty()) {
        // The service hands several files back separated by '\0'.
        std::string buffer = request.fileName;
        buffer.push_back('\0');
        files_ = SplitMultiSelect(buffer.c_str());
        if (!files_.empty()) fileName_ = files_.front();
    } else {
        files_.push_back(fileName_);
    }
    return true;
}

std::vector<std::string> SplitMultiSelect(const char* buffer) {
    std::vector<std::string> parts;
    for (const char* p = buffer; *p; p += std::strlen(p) + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::string dir = parts.front();
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    std::vector<std::string> files;
    for (size_t i = 1; i < parts.size(); ++i) files.push_back(dir + parts[i]);
    return files;
}

bool CommonFileDialogService::Execute(FileDialogRequest& request) {
    // Title and filter are texts of the language module; file names are in
    // the system's ANSI code page, which the program's file calls use.
    std::wstring filter = Wide(request.filter);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.append(2, L'\0');
    std::vector<wchar_t> buffer(32768, L'\0');
    const std::wstring initialName = WideFromAnsi(request.fileName);
    std::copy_n(initialName.begin(), std::min(initialName.size(), buffer.size() - 1), buffer.begin());
    const std::wstring initialDir = WideFromAnsi(request.initialDir);
    const std::wstring title = Wide(request.title);
    const std::wstring defaultExt = WideFromAnsi(request.defaultExt);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = request.options;

    App().ModalStarted();
    BOOL ok = request.save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    App().ModalFinished();
    if (!ok) return false;
    size_t end = std::wcslen(buffer.data());
    if (request.options & OFN_ALLOWMULTISELECT) {
        // Keep the zero-separated list: the component splits it.
        end = 0;
        while (end + 1 < buffer.size() && !(buffer[end] == L'\0' && buffer[end + 1] == L'\0')) ++end;
    }
    request.fileName = AnsiFromWide(std::wstring_view(buffer.data(), end));
    request.filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

Seam<FileDialogService>& FileDialogSeam() {
    static CommonFileDialogService real;
    static Seam<FileDialogService> seam(real);
    return seam;
}

namespace {

const IdentTable kOpenOptionIdents = {
    {"ofReadOnly", ofReadOnly},
    {"ofOverwritePrompt", ofOverwritePrompt},
    {"ofHideReadOnly", ofHideReadOnly},
    {"ofNoChangeDir", ofNoChangeDir},
    {"ofShowHelp", ofShowHelp},
    {"ofNoValidate", ofNoValidate},
    {"ofAllowMultiSelect", ofAllowMultiSelect},
    {"ofExtensionDifferent", ofExtensionDifferent},
    {"ofPathMustExist", ofPathMustExist},
    {"ofFileMustExist", ofFileMustExist},
    {"ofCreatePrompt", ofCreatePrompt},
    {"ofShareAware", ofShareAware},
    {"ofNoReadOnlyReturn", ofNoReadOnlyReturn},
    {"ofNoTestFileCreate", ofNoTestFileCreate},
    {"ofNoNetworkButton", ofNoNetworkButton},
    {"ofNoLongNames", ofNoLongNames},
    {"ofOldStyleDialog", ofOldStyleDialog},
    {"ofNoDereferenceLinks", ofNoDereferenceLinks},
    {"ofEnableIncludeNotify", ofEnableIncludeNotify},
    {"ofEnableSizing", ofEnableSizing},
};

template <class T>
void DescribeFileDialog(ClassBuilder<T>& c) {
    c.Property("FileName", &T::FileName, &T::SetFileName)
        .Property("Filter", &T::Filter, &T::SetFilter)
        .Property("FilterIndex", &T::FilterIndex, &T::SetFilterIndex)
        .Property("InitialDir", &T::InitialDir, &T::SetInitialDir)
        .Property("DefaultExt", &T::DefaultExt, &T::SetDefaultExt)
        .Property("Title", &T::Title, &T::SetTitle)
        .Property("Options", &T::Options, &T::SetOptions, &kOpenOptionIdents);
}

const ClassRegistration<OpenDialog> kOpenDialogReg("TOpenDialog", "TComponent",
                                                   [](ClassBuilder<OpenDialog>& c) { DescribeFileDialog(c); });
const ClassRegistration<SaveDialog> kSaveDialogReg("TSaveDialog", "TOpenDialog");

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitDialogs = 1;
}  // namespace tk
