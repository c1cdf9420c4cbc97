// PlugIns: the plug-in browser and the probes it runs on the libraries of
// the plug-in folder.
#include "programmer/PlugIns.h"

#include "components/VersionInfo.h"
#include "programmer/PlugInGuard.h"
#include "programmer/PlugInInterface.h"
#include "resources/StringIds.h"
#include "toolkit/Grids.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StrConv.h"
#include "toolkit/Streaming.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A library loaded for one question and freed again on every way out, so
// nothing of it is called or read after FreeLibrary.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path) {
        // A library that does not load is passed by silently: no system box
        // about a missing file or a broken image.
        const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        module_ = LoadLibraryA(path.c_str());
        SetErrorMode(previous);
    }
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    template <class Proc>
    Proc Find(const char* name) const {
        return module_ ? reinterpret_cast<Proc>(GetProcAddress(module_, name)) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

std::string WithBackslash(std::string directory) {
    if (!directory.empty() && directory.back() != '\\' && directory.back() != '/') directory += '\\';
    return directory;
}

// The grid's columns, left to right.
enum PlugInColumn { colNumber, colFileName, colDate, colVersion, colAuthor, colDevices, colDescription };

}  // namespace

// --- window-free probing --------------------------------------------------------

std::vector<std::string> ListLibraryFiles(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((WithBackslash(directory) + "*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool IsPlugInLibrary(const std::string& path) {
    LoadedLibrary library(path);
    auto isPlugIn = library.Find<IsZeltoPlugInProc>(IsZeltoPlugInExportName);
    if (!isPlugIn) return false;
    try {
        return GuardPlugInCall(path, IsZeltoPlugInExportName, [&] { return isPlugIn(); }) != 0;
    } catch (const EPlugInFault&) {
        return false;
    }
}

std::vector<std::string> ReadPlugInDeviceNames(const std::string& path) {
    LoadedLibrary library(path);
    auto getNames = library.Find<GetDevicesNamesProc>(GetDevicesNamesExportName);
    if (!getNames) return {};
    // Slots the plug-in leaves alone stay null, and a count it never sets
    // stays 0.
    std::vector<const char*> slots(PlugInDeviceNameSlots, nullptr);
    int32_t count = 0;
    GuardPlugInCall(path, GetDevicesNamesExportName,
                    [&] { getNames(&count, slots.data(), PlugInDeviceNameSlots - 1); });
    // Copied while the library is still loaded: the texts live in it.
    return CopyDeviceNames(count, slots.data(), slots.size(), path);
}

std::vector<std::string> CopyDeviceNames(int32_t count, const char* const* names, std::size_t slotCount,
                                         std::string_view plugIn) {
    const auto usable = static_cast<int64_t>(names ? slotCount : 0);
    const int64_t n = std::clamp<int64_t>(count, 0, usable);
    std::vector<std::string> copies;
    copies.reserve(static_cast<std::size_t>(n));
    for (int64_t i = 0; i < n; ++i) copies.push_back(CopyPlugInText(plugIn, GetDevicesNamesExportName, names[i]));
    return copies;
}

std::string ShortStringFrom(const char* text) {
    if (!text) return std::string();
    // strnlen: a name is never read past the length kept.
    return std::string(text, strnlen(text, PlugInShortStringLength));
}

std::string FileShortDate(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::string();
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return std::string();
    char text[128] = {};
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, sizeof text) == 0)
        return std::string();
    return text;
}

std::string ProgramDirectory() {
    const std::string program = TVersionInfo::ProgramFileName();
    const std::size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

// --- the browser window ---------------------------------------------------------

namespace {
const tk::ClassRegistration<TPlugInForm> kPlugInFormReg("TPlugInForm", "TForm");
}  // namespace

TPlugInForm::TPlugInForm(const std::string& directory) : requestedDirectory_(directory) {
    BindHandler("FormCreate", &TPlugInForm::FormCreate);
    BindHandler("FormShow", &TPlugInForm::FormShow);
    BindHandler("SG1SelectCell", &TPlugInForm::SG1SelectCell);
    BindHandler("SG1MouseDown", &TPlugInForm::SG1MouseDown);
    BindField("SG1", SG1);
    BindField("Label4", Label4);
    BindField("BitBtn1", BitBtn1);
    ReadDescription();
}

TPlugInForm::~TPlugInForm() = default;

void TPlugInForm::FormCreate(tk::Component*) {
    static constexpr UINT headers[] = {S_PLUGINS_HEADER_FILE_NAME, S_PLUGINS_HEADER_DATE,
                                       S_PLUGINS_HEADER_VERSION,   S_PLUGINS_HEADER_AUTHOR,
                                       S_PLUGINS_HEADER_DEVICES,   S_PLUGINS_HEADER_DESCRIPTION};
    for (int col = colFileName; col <= colDescription; ++col) SG1->SetCells(col, 0, tk::LoadStr(headers[col - 1]));
    plugIns_.clear();
    Selected = false;
    SelectedName.clear();
    plugInDirectory_ = WithBackslash(requestedDirectory_.empty() ? ProgramDirectory() : requestedDirectory_);
    ScanPlugIns();
}

void TPlugInForm::FormShow(tk::Component*) {
    Selected = false;
    SelectedName.clear();
    Label4->SetCaption(tk::LoadStr(S_PLUGINS_NO_SELECTION));
}

void TPlugInForm::ScanPlugIns() {
    plugIns_.clear();
    for (const std::string& name : ListLibraryFiles(plugInDirectory_)) {
        if (!IsPlugInLibrary(plugInDirectory_ + name)) continue;
        PlugInEntry entry;
        entry.fileName = ShortStringFrom(name.c_str());
        plugIns_.push_back(std::move(entry));
    }
    // A library that faults while it is asked for its devices is left out,
    // as one that does not load is: it could not be worked with.
    std::vector<PlugInEntry> probed;
    for (PlugInEntry& entry : plugIns_) {
        try {
            entry.deviceNames = ReadPlugInDeviceNames(plugInDirectory_ + entry.fileName);
        } catch (const EPlugInFault&) {
            continue;
        }
        probed.push_back(std::move(entry));
    }
    plugIns_ = std::move(probed);
    SG1->SetRowCount(static_cast<int>(plugIns_.size()) + 1);
    if (plugIns_.empty()) {
        tk::ShowMessage(tk::LoadStr(S_PLUGINS_NONE_FOUND));
        return;
    }
    const std::string notAvailable = tk::LoadStr(S_PLUGINS_NOT_AVAILABLE);
    for (std::size_t i = 0; i < plugIns_.size(); ++i) {
        PlugInEntry& entry = plugIns_[i];
        const std::string path = plugInDirectory_ + entry.fileName;
        entry.date = FileShortDate(path);

        TVersionInfo version;
        version.SetAutoGetInfo(true);
        version.SetFileName(path);
        version.GetFileInfo(path);
        entry.haveVersionInfo = version.HaveVersionInfo();
        if (entry.haveVersionInfo) {
            entry.version = version.GetValue("FileVersion");
            entry.author = version.GetValue("CompanyName");
            entry.description = version.GetValue("FileDescription");
        }

        const int row = static_cast<int>(i) + 1;
        SG1->SetCells(colNumber, row, tk::IntToStr(row));
        SG1->SetCells(colFileName, row, entry.fileName);
        SG1->SetCells(colDate, row, entry.date);
        SG1->SetCells(colVersion, row, entry.haveVersionInfo ? entry.version : notAvailable);
        SG1->SetCells(colAuthor, row, entry.haveVersionInfo ? entry.author : notAvailable);
        SG1->SetCells(colDescription, row, entry.haveVersionInfo ? entry.description : notAvailable);
        SG1->SetCells(colDevices, row, tk::IntToStr(static_cast<int64_t>(entry.deviceNames.size())));
    }
}

std::string TPlugInForm::DeviceListMessage(int row) const {
    const PlugInEntry& entry = plugIns_[static_cast<std::size_t>(row - 1)];
    std::string list;
    for (const std::string& name : entry.deviceNames) list += "- " + name + "\r\n";
    return tk::FmtLoadStr(S_PLUGINS_DEVICE_LIST,
                          {tk::IntToStr(static_cast<int64_t>(entry.deviceNames.size())), list});
}

void TPlugInForm::SG1SelectCell(tk::Component*, int col, int row, bool& canSelect) {
    canSelect = true;
    if (row < 1 || row > static_cast<int>(plugIns_.size())) return;
    if (col == colDevices) {
        tk::ShowMessage(DeviceListMessage(row));
    } else if (col == colFileName) {
        const std::string name = SG1->Cells(col, row);
        Label4->SetCaption(name);
        Selected = true;
        SelectedName = ShortStringFrom(name.c_str());
    }
}

void TPlugInForm::SG1MouseDown(tk::Component*, tk::MouseButton button, tk::ShiftState, int x, int y) {
    // The grid asks about a cell only when the current cell moves; a click
    // on the cell that is already current is a choice all the same (the
    // first plug-in's name is current from the start).
    if (button != tk::mbLeft) return;
    int col = 0;
    int row = 0;
    if (!SG1->MouseToCell(x, y, col, row)) return;
    if (col < SG1->FixedCols() || row < SG1->FixedRows()) return;
    if (col != SG1->Col() || row != SG1->Row()) return;
    bool canSelect = true;
    SG1SelectCell(SG1, col, row, canSelect);
}
