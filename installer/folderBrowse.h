// folderBrowse: runs the shell's folder-selection dialog. It starts in a
// given folder with a status text, lets the user pick a folder below a
// chosen root, and hands back the folder's path and display name.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "toolkit/Component.h"

#include <string>

// Each flag's value is the shell's bit for it.
enum TBrowseFlag : unsigned {
    bf_BrowseForComputer = BIF_BROWSEFORCOMPUTER,
    bf_BrowseForPrinter = BIF_BROWSEFORPRINTER,
    bf_DontGoBelowDomain = BIF_DONTGOBELOWDOMAIN,
    bf_statustext = BIF_STATUSTEXT,
    bf_ReturnFSanceStors = BIF_RETURNFSANCESTORS,
    bf_ReturnOnlyFSDIRS = BIF_RETURNONLYFSDIRS,
    bf_EditBox = BIF_EDITBOX,
};
using TBrowseFlags = unsigned;
constexpr TBrowseFlags kAllBrowseFlags = bf_BrowseForComputer | bf_BrowseForPrinter | bf_DontGoBelowDomain |
                                         bf_statustext | bf_ReturnFSanceStors | bf_ReturnOnlyFSDIRS | bf_EditBox;

enum TBrowseLocation {
    bl_STANDART, bl_CUSTOM, bl_DESKTOP, bl_PROGRAMS, bl_CONTROLS, bl_PRINTERS, bl_PERSONAL, bl_FAVORITES,
    bl_STARTUP, bl_RECENT, bl_SENDTO, bl_BITBUCKET, bl_STARTMENU, bl_DESKTOPDIRECTORY, bl_DRIVES, bl_NETWORK,
    bl_NETHOOD, bl_FONTS, bl_TEMPLATES, bl_COMMON_STARTMENU, bl_COMMON_PROGRAMS, bl_COMMON_STARTUP,
    bl_COMMON_DESKTOPDIRECTORY, bl_APPDATA, bl_PRINTHOOD
};

// The special folder a location names (CSIDL_*); -1 for bl_STANDART and bl_CUSTOM.
int SpecialFolderOf(TBrowseLocation location);

// The texts the dialog starts with, handed to BrowseCallback.
struct TBrowseCallbackData {
    std::string FolderName;
    std::string StatusText;
};

int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data);

class TBrowseForFolder : public tk::Component {
public:
    TBrowseForFolder();
    ~TBrowseForFolder() override;

    const std::string& DisplayName() const { return FDisplayName; }
    const std::string& StatusText() const { return FStatusText; }
    void SetStatusText(const std::string& value) { FStatusText = value; }
    const std::string& FolderName() const { return FFolderName; }
    void SetFolderName(const std::string& value) { FFolderName = value; }
    TBrowseFlags Flags() const { return FBrowseInfo.ulFlags & kAllBrowseFlags; }
    void SetFlags(TBrowseFlags value);
    TBrowseLocation Root() const { return FRoot; }
    void SetRoot(TBrowseLocation value) { FRoot = value; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }

    // The root for bl_CUSTOM; owned by whoever sets it.
    LPITEMIDLIST RootItem = nullptr;

    // Runs the dialog modally. True when the user chose a folder that has a
    // file-system path: FolderName and DisplayName then hold it. Otherwise
    // false, and both stay as they were.
    bool Execute();

    // The record handed to the shell (for inspection).
    const BROWSEINFOA& BrowseInfo() const { return FBrowseInfo; }

private:
    BROWSEINFOA FBrowseInfo{};
    TBrowseCallbackData FCallbackData;
    std::string FDisplayName;
    std::string FStatusText = "Please select folder";
    std::string FFolderName = "C:\\";
    TBrowseLocation FRoot = bl_STANDART;
    std::string FCaption = "Select Folder";
};
