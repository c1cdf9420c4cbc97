// PlugIns: the plug-in browser. At creation it looks at every library in
// the plug-in folder (the program's folder unless told otherwise), keeps the
// ones that say they are device plug-ins and lists them with their file
// date, version fields and device count; the user picks the working library
// from the list. The host shows it modally and then reads Selected and
// SelectedName.
//
// The probing is window-free (PlugInProbe and friends below); whatever a
// plug-in hands back is copied and checked before its library is freed.
#pragma once

#include "toolkit/Forms.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {
class StringGrid;
class Label;
class BitBtn;
}  // namespace tk

// Longest file or device name the browser keeps; longer ones are cut.
inline constexpr std::size_t PlugInShortStringLength = 255;
// Name slots offered to GetDevicesNames (High = slots - 1).
inline constexpr int32_t PlugInDeviceNameSlots = 10000;

// --- window-free probing --------------------------------------------------------

// Bare names of the directory's "*.dll" entries, in the order the file
// system returns them. `directory` may end in a backslash or not.
std::vector<std::string> ListLibraryFiles(const std::string& directory);

// Loads the library, asks IsZeltoPlugIn and frees it again. False when it
// does not load, lacks the export, answers false or faults.
bool IsPlugInLibrary(const std::string& path);

// Loads the library, asks GetDevicesNames for at most PlugInDeviceNameSlots
// names and copies them before freeing it. Empty when it does not load or
// lacks the export; EPlugInFault (PlugInGuard.h) when the call or the copy
// of a name faults.
std::vector<std::string> ReadPlugInDeviceNames(const std::string& path);

// Turns one GetDevicesNames answer into owned names: the count is clamped to
// 0..slotCount, a null slot reads as an empty name, names are cut to
// PlugInShortStringLength characters. A name that cannot be read raises
// EPlugInFault naming `plugIn`.
std::vector<std::string> CopyDeviceNames(int32_t count, const char* const* names, std::size_t slotCount,
                                         std::string_view plugIn = {});

// A zero-terminated text of at most PlugInShortStringLength characters; null
// reads as empty.
std::string ShortStringFrom(const char* text);

// The file's last-write date in the user's short date format; empty when the
// file cannot be read.
std::string FileShortDate(const std::string& path);

// The program file's folder with its trailing backslash.
std::string ProgramDirectory();

// What the browser lists for one plug-in.
struct PlugInEntry {
    std::string fileName;                 // bare name, at most 255 characters
    std::string date;                     // last-write date, short format
    bool haveVersionInfo = false;
    std::string version;                  // "FileVersion"
    std::string author;                   // "CompanyName"
    std::string description;              // "FileDescription"
    std::vector<std::string> deviceNames; // its size is the device count
};

// --- the browser window ---------------------------------------------------------

class TPlugInForm : public tk::Form {
public:
    // `directory` is where plug-ins are looked for; empty = the program's
    // folder. The list is built here, once.
    explicit TPlugInForm(const std::string& directory = std::string());
    ~TPlugInForm() override;

    // A working library was chosen during the current showing, and its file
    // name (no folder). The host reads them after the modal loop ends,
    // whichever way the window was closed.
    bool Selected = false;
    std::string SelectedName;

    // The folder scanned, with its trailing backslash.
    const std::string& PlugInDirectory() const { return plugInDirectory_; }
    // The plug-ins found, row i + 1 of the grid being entry i.
    const std::vector<PlugInEntry>& PlugIns() const { return plugIns_; }

    tk::StringGrid* SG1 = nullptr;
    tk::Label* Label4 = nullptr;
    tk::BitBtn* BitBtn1 = nullptr;

    void FormCreate(tk::Component* sender);
    void FormShow(tk::Component* sender);
    void SG1SelectCell(tk::Component* sender, int col, int row, bool& canSelect);
    void SG1MouseDown(tk::Component* sender, tk::MouseButton button, tk::ShiftState shift, int x, int y);
    // Finds the plug-ins and fills the grid.
    void ScanPlugIns();

private:
    // The device list text for the Devices cell of plug-in row `row`.
    std::string DeviceListMessage(int row) const;

    std::string requestedDirectory_;
    std::string plugInDirectory_;
    std::vector<PlugInEntry> plugIns_;
};
