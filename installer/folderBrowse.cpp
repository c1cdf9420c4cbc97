// folderBrowse: the shell's folder dialog behind a component. See folderBrowse.h.
#include "installer/folderBrowse.h"

#include "installer/ShellObjects.h"
#include "toolkit/Control.h"
#include "toolkit/Streaming.h"

namespace {

const tk::IdentTable kBrowseFlagIdents = {
    {"bf_BrowseForComputer", bf_BrowseForComputer}, {"bf_BrowseForPrinter", bf_BrowseForPrinter},
    {"bf_DontGoBelowDomain", bf_DontGoBelowDomain}, {"bf_statustext", bf_statustext},
    {"bf_ReturnFSanceStors", bf_ReturnFSanceStors}, {"bf_ReturnOnlyFSDIRS", bf_ReturnOnlyFSDIRS},
    {"bf_EditBox", bf_EditBox}};

const tk::IdentTable kBrowseLocationIdents = {
    {"bl_STANDART", bl_STANDART}, {"bl_CUSTOM", bl_CUSTOM}, {"bl_DESKTOP", bl_DESKTOP},
    {"bl_PROGRAMS", bl_PROGRAMS}, {"bl_CONTROLS", bl_CONTROLS}, {"bl_PRINTERS", bl_PRINTERS},
    {"bl_PERSONAL", bl_PERSONAL}, {"bl_FAVORITES", bl_FAVORITES}, {"bl_STARTUP", bl_STARTUP},
    {"bl_RECENT", bl_RECENT}, {"bl_SENDTO", bl_SENDTO}, {"bl_BITBUCKET", bl_BITBUCKET},
    {"bl_STARTMENU", bl_STARTMENU}, {"bl_DESKTOPDIRECTORY", bl_DESKTOPDIRECTORY}, {"bl_DRIVES", bl_DRIVES},
    {"bl_NETWORK", bl_NETWORK}, {"bl_NETHOOD", bl_NETHOOD}, {"bl_FONTS", bl_FONTS},
    {"bl_TEMPLATES", bl_TEMPLATES}, {"bl_COMMON_STARTMENU", bl_COMMON_STARTMENU},
    {"bl_COMMON_PROGRAMS", bl_COMMON_PROGRAMS}, {"bl_COMMON_STARTUP", bl_COMMON_STARTUP},
    {"bl_COMMON_DESKTOPDIRECTORY", bl_COMMON_DESKTOPDIRECTORY}, {"bl_APPDATA", bl_APPDATA},
    {"bl_PRINTHOOD", bl_PRINTHOOD}};

const tk::ClassRegistration<TBrowseForFolder> kBrowseForFolderReg("TBrowseForFolder", "TComponent", [](auto& c) {
    c.Property("StatusText", &TBrowseForFolder::StatusText, &TBrowseForFolder::SetStatusText)
        .Property("FolderName", &TBrowseForFolder::FolderName, &TBrowseForFolder::SetFolderName)
        .Property("Flags", &TBrowseForFolder::Flags, &TBrowseForFolder::SetFlags, &kBrowseFlagIdents)
        .Property("Root", &TBrowseForFolder::Root, &TBrowseForFolder::SetRoot, &kBrowseLocationIdents)
        .Property("Caption", &TBrowseForFolder::Caption, &TBrowseForFolder::SetCaption);
});

constexpr int kSpecialFolders[] = {
    -1, -1, CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_CONTROLS, CSIDL_PRINTERS, CSIDL_PERSONAL, CSIDL_FAVORITES,
    CSIDL_STARTUP, CSIDL_RECENT, CSIDL_SENDTO, CSIDL_BITBUCKET, CSIDL_STARTMENU, CSIDL_DESKTOPDIRECTORY,
    CSIDL_DRIVES, CSIDL_NETWORK, CSIDL_NETHOOD, CSIDL_FONTS, CSIDL_TEMPLATES, CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_APPDATA, CSIDL_PRINTHOOD};

} // namespace

int SpecialFolderOf(TBrowseLocation location)
{
    const int index = static_cast<int>(location);
    if (index < 0 || index >= static_cast<int>(std::size(kSpecialFolders)))
        return -1;
    return kSpecialFolders[index];
}

int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data)
{
    const auto* data = reinterpret_cast<const TBrowseCallbackData*>(Data);
    switch (Msg) {
    case BFFM_INITIALIZED:
        if (data && !data->FolderName.empty())
            ::SendMessageA(Wnd, BFFM_SETSELECTIONA, 1, reinterpret_cast<LPARAM>(data->FolderName.c_str()));
        if (data && !data->StatusText.empty())
            ::SendMessageA(Wnd, BFFM_SETSTATUSTEXTA, 1, reinterpret_cast<LPARAM>(data->StatusText.c_str()));
        return 0;
    case BFFM_VALIDATEFAILEDA:
        return 1;
    default:
        return 0;
    }
}

TBrowseForFolder::TBrowseForFolder() = default;

TBrowseForFolder::~TBrowseForFolder() = default;

void TBrowseForFolder::SetFlags(TBrowseFlags value)
{
    FBrowseInfo.ulFlags = (FBrowseInfo.ulFlags & ~kAllBrowseFlags) | (value & kAllBrowseFlags);
}

bool TBrowseForFolder::Execute()
{
    FBrowseInfo.lpszTitle = FCaption.c_str();

    ItemList specialRoot;
    if (FRoot == bl_CUSTOM) {
        FBrowseInfo.pidlRoot = RootItem;
    } else if (FRoot != bl_STANDART) {
        LPITEMIDLIST item = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, SpecialFolderOf(FRoot), &item)))
            specialRoot.reset(item);
        FBrowseInfo.pidlRoot = specialRoot.get();
    }

    auto* owner = dynamic_cast<tk::WinControl*>(Owner());
    FBrowseInfo.hwndOwner = owner ? owner->Handle() : nullptr;
    FCallbackData = TBrowseCallbackData{FFolderName, FStatusText};
    FBrowseInfo.lpfn = BrowseCallback;
    FBrowseInfo.lParam = reinterpret_cast<LPARAM>(&FCallbackData);
    FBrowseInfo.ulFlags |= BIF_VALIDATE;

    char displayName[MAX_PATH + 1] = {};
    FBrowseInfo.pszDisplayName = displayName;
    ItemList chosen(::SHBrowseForFolderA(&FBrowseInfo));
    FBrowseInfo.pszDisplayName = nullptr;
    FBrowseInfo.pidlRoot = FRoot == bl_STANDART ? FBrowseInfo.pidlRoot : nullptr;
    if (!chosen)
        return false;
    char path[MAX_PATH + 1] = {};
    // A folder outside the file system (a printer, the network) has no path.
    if (!::SHGetPathFromIDListA(chosen.get(), path) || path[0] == '\0')
        return false;
    FFolderName = path;
    FDisplayName = displayName;
    return true;
}
