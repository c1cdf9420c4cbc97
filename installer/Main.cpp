// Main: the installer's window, the install road with its file set and
// Start-menu links, and the uninstall road. See Main.h.
#include "installer/Main.h"

#include "components/OneInstance.h"
#include "components/ZeltoToken.h"
#include "installer/Associate.h"
#include "installer/Registry.h"
#include "installer/ShellObjects.h"
#include "installer/folderBrowse.h"
#include "resources/SetupStringIds.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>

const char kInstallRecordKey[] = "Software\\Zelto\\Raz-edezadu Divudavizu";
const char kProductTypeKey[] = "Zelto Raz-Edezadu Divudavizu";

namespace {

const tk::ClassRegistration<TMainForm> kMainFormReg("TMainForm", "TForm");

const char kMakerKey[] = "Software\\Zelto";
const char kAppLinkName[] = "Zelto Raz-Edezadu Divudavizu";
const char kHelpLinkName[] = "Online Help";

constexpr tk::Color kLime = RGB(0, 255, 0);
constexpr tk::Color kYellow = RGB(255, 255, 0);
constexpr tk::Color kRed = RGB(255, 0, 0);

// One plug-in's part of the file set and its schematic links.
struct SchematicLink {
    const char* name;
    const char* file;
};
struct PlugInFiles {
    tk::CheckBox* TMainForm::*box;
    std::vector<const char*> files;
    const char* languageStem;  // its .fra, .rom, .ita modules; null: none
    std::vector<const char*> schematics;
};

const std::vector<PlugInFiles>& PlugInTable()
{
    static const std::vector<PlugInFiles> table = {
        {&TMainForm::ZeltoAVRLoVSer,
         {"ZeltoAVRLoVSer.dll", "ZeltoAVRLoVSer.chm", "ZeltoAVRLoVSer.cfg", "ZeltoAVRLoVSer.dof",
          "ZeltoAVRLoVSer.dpr", "ZeltoAVRLoVSer.drc", "ZeltoAVRLoVSer.res", "ZeltoAVRLoVSerBmp.res"},
         "ZeltoAVRLoVSer",
         {"ZeltoAVRLoVSer1.sch", "ZeltoAVRLoVSer2.sch", "ZeltoAVRLoVSer1.brd", "ZeltoAVRLoVSer2.brd"}},
        {&TMainForm::ZeltoAVRHiVSer,
         {"ZeltoAVRHiVSer.dll", "ZeltoAVRHiVSer.chm"},
         "ZeltoAVRHiVSer",
         {"ZeltoAVRHiVSer1.sch", "ZeltoAVRHiVSer1.brd"}},
        {&TMainForm::ZeltoAVRPar,
         {"ZeltoAVRPar.dll", "ZeltoAVRPar.chm"},
         "ZeltoAVRPar",
         {"ZeltoAVRPar1.sch", "ZeltoAVRPar2.sch", "ZeltoAVRPar3.sch", "ZeltoAVRPar1.brd", "ZeltoAVRPar2.brd",
          "ZeltoAVRPar3.brd"}},
        {&TMainForm::DemoPlugin,
         {"DemoPlugin.dll", "DemoPlugin.chm", "DemoPlugin.dpr", "DemoPlugin.res", "DemoPluginBMP.res",
          "DemoPlugin.dof", "DemoPlugin.cfg", "DemoChoicefrm.pas", "DemoChoicefrm.dfm"},
         nullptr,
         {}},
        {&TMainForm::ZeltoI2CEEP,
         {"ZeltoI2C.dll", "ZeltoI2CEEP.dll", "ZeltoI2CEEP.chm"},
         "ZeltoI2CEEP",
         {"ZeltoI2CEEP.sch", "I2CGeneric.sch", "ZeltoI2CEEP.brd", "I2CGeneric.brd"}},
        {&TMainForm::ZeltoMicrowire,
         {"ZeltoI2C.dll", "ZeltoMicrowire.dll", "ZeltoMicrowire.chm"},
         "ZeltoMicrowire",
         {"ZeltoMicrowire.sch", "ZeltoMicrowire.brd"}},
    };
    return table;
}

struct SchematicLinks {
    tk::CheckBox* TMainForm::*box;
    std::vector<SchematicLink> links;
};

const std::vector<SchematicLinks>& SchematicLinkTable()
{
    static const std::vector<SchematicLinks> table = {
        {&TMainForm::ZeltoAVRHiVSer, {{"Zelto Atmel AVR Hi-Voltage Serial schematics ", "ZeltoAVRHiVSer1.sch"}}},
        {&TMainForm::ZeltoAVRLoVSer,
         {{"Zelto Atmel AVR Lo-Voltage Serial schematics #1", "ZeltoAVRLoVSer1.sch"},
          {"Zelto Atmel AVR Lo-Voltage Serial schematics #2", "ZeltoAVRLoVSer2.sch"}}},
        {&TMainForm::ZeltoAVRPar,
         {{"Zelto Atmel AVR Hi-Voltage Parallel schematics #1", "ZeltoAVRPar1.sch"},
          {"Zelto Atmel AVR Hi-Voltage Parallel schematics #2", "ZeltoAVRPar2.sch"},
          {"Zelto Atmel AVR Hi-Voltage Parallel schematics #3", "ZeltoAVRPar3.sch"}}},
        {&TMainForm::ZeltoI2CEEP,
         {{"Zelto I2C Generic Interface schematics", "ZeltoI2CEEP.sch"},
          {"Zelto I2C EEPROM specific Interface schematics", "I2CGeneric.sch"}}},
        {&TMainForm::ZeltoMicrowire, {{"Zelto Microwire EEproms schematics", "ZeltoMicrowire.sch"}}},
    };
    return table;
}

// The links the installer makes straight into the group, and those of its
// "Schematics" folder: the only files uninstall deletes in the Start menu.
std::vector<std::string> GroupLinkNames()
{
    return {std::string(kAppLinkName), std::string(kHelpLinkName)};
}

std::vector<std::string> SchematicLinkNames()
{
    std::vector<std::string> names;
    for (const SchematicLinks& entry : SchematicLinkTable())
        for (const SchematicLink& link : entry.links)
            names.emplace_back(link.name);
    return names;
}

bool SameText(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Joins folder parts with one "\" between non-empty parts.
std::string JoinPath(std::initializer_list<std::string> parts)
{
    std::string path;
    for (const std::string& text : parts) {
        std::string_view part = text;
        if (!path.empty())
            while (!part.empty() && part.front() == '\\')
                part.remove_prefix(1);
        if (part.empty())
            continue;
        if (!path.empty() && path.back() != '\\')
            path += '\\';
        path += part;
    }
    return path;
}

bool StartsWithText(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// A name the system keeps for a device ("CON", "nul.txt", "COM1"): a file or
// folder of that name cannot be made, and the name opens the device instead.
bool IsDeviceName(const std::string& part)
{
    std::string stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// A folder or group part that is a plain file name.
bool IsPlainName(const std::string& part)
{
    if (part.empty() || part == "." || part == ".." || part.front() == ' ' || part.back() == ' ' ||
        part.back() == '.' || IsDeviceName(part))
        return false;
    return std::none_of(part.begin(), part.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

bool AllPartsPlain(const std::string& text)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\\', start);
        if (!IsPlainName(text.substr(start, end == std::string::npos ? std::string::npos : end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (Valid())
            ::CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

// A folder the system names (GetSystemDirectoryA, GetWindowsDirectoryA),
// with a trailing "\".
std::string FolderOfSystem(UINT(WINAPI* name)(LPSTR, UINT))
{
    char buffer[MAX_PATH] = {};
    const UINT length = name(buffer, MAX_PATH);
    return WithTrailingSlash(std::string(buffer, std::min<UINT>(length, MAX_PATH)));
}

std::string SystemFolder() { return FolderOfSystem(::GetSystemDirectoryA); }
std::string WindowsFolder() { return FolderOfSystem(::GetWindowsDirectoryA); }

// The port driver's files, which go to the system folder.
const char* const kDriverFiles[] = {"varize.vxd", "varize.sys"};

bool IsDriverFile(const std::string& name)
{
    return std::any_of(std::begin(kDriverFiles), std::end(kDriverFiles),
                       [&](const char* driver) { return SameText(name, driver); });
}

// The longest path the system takes for a file, and for a folder (which
// must leave room for a short file name in it).
constexpr std::size_t kMaxFilePath = MAX_PATH - 1;
constexpr std::size_t kMaxFolderPath = MAX_PATH - 13;

// The system's own words for an error code, without the line end.
std::string SystemReason(DWORD error)
{
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length && text ? std::string(text, length) : std::string();
    if (text)
        ::LocalFree(text);
    while (!reason.empty() && std::isspace(static_cast<unsigned char>(reason.back())))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

// The package's stand-ins for files that come from outside the project
// begin with this line (installer/BuildPackage.cmake writes them).
const char kPlaceholderMark[] = "PLACEHOLDER - NOT THE REAL FILE";

bool IsPlaceholder(const std::string& path)
{
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char head[sizeof kPlaceholderMark - 1] = {};
    DWORD read = 0;
    return file.Valid() && ::ReadFile(file.handle, head, sizeof head, &read, nullptr) && read == sizeof head &&
           std::string_view(head, read) == std::string_view(kPlaceholderMark, sizeof head);
}

bool FolderIsEmpty(const std::string& folder)
{
    FindHandle find(JoinPath({folder, "*"}));
    if (!find.Valid())
        return true;
    bool empty = true;
    do {
        const std::string name = find.Entry().cFileName;
        empty = name == "." || name == "..";
    } while (empty && find.Next());
    return empty;
}

// Removes folders made by this run, deepest first (only while empty).
void RemoveFolders(const std::vector<std::string>& folders)
{
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        ::RemoveDirectoryA(folder->c_str());
}

bool Contains(const std::vector<std::string>& list, const std::string& text)
{
    return std::any_of(list.begin(), list.end(), [&](const std::string& entry) { return SameText(entry, text); });
}

// The hourglass while a road works; the normal cursor on every way out.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { Restore(); }
    void Restore()
    {
        if (active_)
            ::SetCursor(previous_ ? previous_ : ::LoadCursor(nullptr, IDC_ARROW));
        active_ = false;
    }

private:
    HCURSOR previous_;
    bool active_ = true;
};


const char kDisclaimer[] =
    "This software is provided \"as-is\".\r\n"
    "No warranties of any kind, expressed or implied\r\n"
    "are made as to it or any medium it may be on.\r\n"
    "Any remedy for indirect, consequential, punitive\r\n"
    "or incidental damages arising from it, including\r\n"
    "such from negligence, strict liability, or breach\r\n"
    "of warranty or contract, even after notice of the\r\n"
    "possibility of such damages will not be provided.\r\n"
    "If you are not happy with this, do not install this\r\n"
    "software on your computer.";

} // namespace

// --- names and paths --------------------------------------------------------------------

const std::vector<std::string>& InstalledFileNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list = {"ZELTOPRG.exe", "ZELTOPRG.enu", "ZeltoProgBasic.dll", "ZELTOPRG.fra",
                                         "ZELTOPRG.rom", "ZELTOPRG.ita", "ZELTOPRG.chm"};
        for (const PlugInFiles& plugIn : PlugInTable()) {
            list.insert(list.end(), plugIn.files.begin(), plugIn.files.end());
            if (plugIn.languageStem)
                for (const char* extension : {".fra", ".rom", ".ita"})
                    list.push_back(std::string(plugIn.languageStem) + extension);
            list.insert(list.end(), plugIn.schematics.begin(), plugIn.schematics.end());
        }
        list.push_back("ZeltoPrg.ini");
        return list;
    }();
    return names;
}

std::string WithTrailingSlash(const std::string& folder)
{
    std::string result = folder;
    if (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result + "\\";
}

bool IsInstallableFolder(const std::string& folder)
{
    if (folder.size() < 4 || !std::isalpha(static_cast<unsigned char>(folder[0])) || folder[1] != ':' ||
        folder[2] != '\\')
        return false;
    std::string rest = folder.substr(3);
    if (!rest.empty() && rest.back() == '\\')
        rest.pop_back();
    return AllPartsPlain(rest);
}

std::string InstallFolderRefusal(const std::string& folder, const std::string& packageFolder)
{
    const std::string T = WithTrailingSlash(folder);
    for (std::size_t start = 0, end; (end = T.find('\\', start)) != std::string::npos; start = end + 1)
        if (IsDeviceName(T.substr(start, end - start)))
            return tk::FmtLoadStr(S_RESERVED_INSTALL_FOLDER, {T, T.substr(start, end - start)});
    if (!IsInstallableFolder(T) || SameText(T, WithTrailingSlash(packageFolder)))
        return tk::FmtLoadStr(S_BAD_INSTALL_FOLDER, {T});
    const std::string windows = WindowsFolder();
    if (StartsWithText(T, windows))
        return tk::FmtLoadStr(S_WINDOWS_INSTALL_FOLDER, {T, windows});
    return std::string();
}

bool IsValidGroupName(const std::string& group)
{
    return group.empty() || AllPartsPlain(group);
}

// --- the installation record --------------------------------------------------------------

namespace {
const char kCreatedFolders[] = "CreatedFolders";
const char kCreatedFiles[] = "CreatedFiles";
} // namespace

bool LoadInstallRecord(InstallRecord& record)
{
    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kInstallRecordKey, false))
        return false;
    record.InstallPath = reg.ReadString("InstallPath");
    record.StartMenuGroup = reg.ReadString("StartMenuGroup");
    record.knowsFolders = reg.ValueExists(kCreatedFolders);
    record.createdFolders = reg.ReadStrings(kCreatedFolders);
    record.createdFiles = reg.ReadStrings(kCreatedFiles);
    return true;
}

void SaveInstallRecord(const InstallRecord& record)
{
    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kInstallRecordKey, true))
        throw ERegistryException("Installation Path could not be written in the registry.");
    reg.WriteString("InstallPath", record.InstallPath);
    reg.WriteString("StartMenuGroup", record.StartMenuGroup);
    if (record.knowsFolders)
        reg.WriteStrings(kCreatedFolders, record.createdFolders);
    reg.WriteStrings(kCreatedFiles, record.createdFiles);
}

// --- Start menu ---------------------------------------------------------------------------

std::string ShellFolder(const std::string& Which)
{
    const bool desktop = Which == "Desktop";
    std::string folder;
    {
        TRegistry reg(HKEY_CURRENT_USER);
        if (reg.OpenKey("Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer", true) &&
            reg.OpenKey("Shell Folders", false))
            folder = reg.ReadString(desktop ? "Desktop" : "Programs");
    }
    if (!folder.empty() && DirectoryExists(folder))
        return folder;
    // The values are only a cache of the shell's own answer.
    char path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, desktop ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS, nullptr,
                                     SHGFP_TYPE_CURRENT, path)) &&
        DirectoryExists(path))
        return path;
    return std::string();
}

bool CreateStartMenuFolder(const std::string& Name, const std::string& Which,
                           const std::function<void(const std::string&)>& beforeCreating)
{
    std::string path = ShellFolder(Which);
    if (path.empty())
        return false;
    for (std::size_t start = 0; start <= Name.size();) {
        std::size_t end = Name.find('\\', start);
        if (end == std::string::npos)
            end = Name.size();
        path = JoinPath({path, Name.substr(start, end - start)});
        start = end + 1;
        if (DirectoryExists(path))
            continue;
        if (beforeCreating)
            beforeCreating(WithTrailingSlash(path));
        if (!::CreateDirectoryA(path.c_str(), nullptr))
            return false;
    }
    return true;
}

bool CreateShellLink(const std::string& LinkName, const std::string& Group, const std::string& Target,
                     const std::string& WorkDir, const std::string& Which)
{
    ComPtr<IShellLinkA> link;
    HRESULT result = link.CreateInstance(CLSID_ShellLink, IID_IShellLinkA);
    if (FAILED(result))
        throw EInstallError(tk::FmtLoadStr(S_SHELL_LINK_FAILED, {LinkName}));
    ComPtr<IPersistFile> file;
    result = link.QueryInterface(IID_IPersistFile, file);
    if (FAILED(result))
        throw EInstallError(tk::FmtLoadStr(S_SHELL_LINK_FAILED, {LinkName}));
    link->SetArguments("");
    link->SetPath(Target.c_str());
    link->SetWorkingDirectory(WorkDir.c_str());

    const std::string folder = ShellFolder(Which);
    if (folder.empty())
        return false;
    const std::string name = JoinPath({folder, Group, LinkName + ".lnk"});
    std::wstring wide(name.size() + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return SUCCEEDED(file->Save(wide.c_str(), FALSE)) && FileExists(name);
}

FolderOutcome RemoveFolderIfEmpty(const std::string& folder, bool created)
{
    if (!DirectoryExists(folder))
        return FolderOutcome::Missing;
    if (!FolderIsEmpty(folder))
        return FolderOutcome::HoldsOthers;
    if (!created)
        return FolderOutcome::NotOurs;
    return ::RemoveDirectoryA(folder.c_str()) ? FolderOutcome::Removed : FolderOutcome::NotRemoved;
}

FolderOutcome DeleteStartMenuFolder(const std::string& Name, const std::string& Which,
                                    const std::vector<std::string>& links, bool created,
                                    std::vector<std::string>& undeletedLinks)
{
    const std::string folder = ShellFolder(Which);
    const std::string dir = JoinPath({folder, Name});
    if (folder.empty() || !DirectoryExists(dir))
        return FolderOutcome::Missing;
    for (const std::string& link : links) {
        const std::string path = JoinPath({dir, link + ".lnk"});
        if (FileExists(path) && !::DeleteFileA(path.c_str()))
            undeletedLinks.push_back(link);
    }
    // The shell folder itself is never removed, only a folder of the group.
    return RemoveFolderIfEmpty(dir, created && !SameText(WithTrailingSlash(dir), WithTrailingSlash(folder)));
}

// --- the window ---------------------------------------------------------------------------

TMainForm::TMainForm()
{
    const std::string exe = tk::App().ExeName();
    PackageFolder = exe.substr(0, exe.find_last_of('\\') + 1);

    BindHandler("FormCreate", &TMainForm::FormCreate);
    BindHandler("CheckSchematics", &TMainForm::CheckSchematics);
    BindHandler("SpeedButton3Click", &TMainForm::SpeedButton3Click);
    BindHandler("Button1Click", &TMainForm::Button1Click);
    BindHandler("CancelBtClick", &TMainForm::CancelBtClick);
    BindHandler("InstallBtClick", &TMainForm::InstallBtClick);
    BindHandler("UninstallButtonClick", &TMainForm::UninstallButtonClick);
    BindField("Panel2", Panel2);
    BindField("Panel3", Panel3);
    BindField("Button1", Button1);
    BindField("RadioGroup1", RadioGroup1);
    BindField("GroupBox1", GroupBox1);
    BindField("ProgrammerInterface", ProgrammerInterface);
    BindField("GroupBox6", GroupBox6);
    BindField("FrenchModules", FrenchModules);
    BindField("RomanianModules", RomanianModules);
    BindField("ItalianModules", ItalianModules);
    BindField("German", German);
    BindField("GroupBox3", GroupBox3);
    BindField("OnlineWinHelp", OnlineWinHelp);
    BindField("GroupBox2", GroupBox2);
    BindField("ZeltoAVRLoVSer", ZeltoAVRLoVSer);
    BindField("ZeltoAVRHiVSer", ZeltoAVRHiVSer);
    BindField("ZeltoAVRPar", ZeltoAVRPar);
    BindField("ZeltoI2CEEP", ZeltoI2CEEP);
    BindField("ZeltoMicrowire", ZeltoMicrowire);
    BindField("DemoPlugin", DemoPlugin);
    BindField("GroupBox5", GroupBox5);
    BindField("Schematics", Schematics);
    BindField("GroupBox4", GroupBox4);
    BindField("Label1", Label1);
    BindField("InstallationDirectory", InstallationDirectory);
    BindField("SpeedButton3", SpeedButton3);
    BindField("Label2", Label2);
    BindField("StartMenuGroup", StartMenuGroup);
    BindField("Messages", Messages);
    BindField("UninstallLabel", UninstallLabel);
    BindField("UninstallLabel1", UninstallLabel1);
    BindField("UninstallButton", UninstallButton);
    BindField("InstallBt", InstallBt);
    BindField("CancelBt", CancelBt);
    BindField("BFF1", BFF1);
    BindField("Associate", Associate);
    ReadDescription();
}

TMainForm::~TMainForm() = default;

void TMainForm::Log(const std::string& line)
{
    Messages->AddLine(line);
    // The log follows its newest line from that line's start: after a long
    // path the view would otherwise stay scrolled right and cut the next
    // lines' beginnings.
    if (HWND log = Messages->HandleIfAllocated()) {
        const int start = Messages->LineStart(static_cast<int>(Messages->LineCount()) - 1);
        ::SendMessageA(log, EM_SETSEL, start, start);
        ::SendMessageA(log, EM_SCROLLCARET, 0, 0);
    }
}

void TMainForm::LogIn(tk::Color color, const std::string& line)
{
    Messages->SetTextColor(color);
    Log(line);
}

void TMainForm::FormCreate(tk::Component*)
{
    // A second copy brings this one forward and ends.
    OneInstance1 = std::make_unique<TOneInstance>(PreviousInstance(), tk::App().Title(), std::string(),
                                                  [] { tk::App().Terminate(); });
    ShowInstallRecord();
}

void TMainForm::ShowInstallRecord()
{
    const bool found = LoadInstallRecord(Recorded);
    UninstallButton->SetVisible(found);
    UninstallLabel->SetVisible(found);
    UninstallLabel1->SetVisible(found);
    if (!found)
        return;
    UninstallDir = Recorded.InstallPath;
    UninstallLabel1->SetCaption(UninstallDir);
    UninstallGroup = Recorded.StartMenuGroup;
}

void TMainForm::CheckSchematics(tk::Component*)
{
    const bool any = ZeltoAVRLoVSer->Checked() || ZeltoAVRHiVSer->Checked() || ZeltoAVRPar->Checked() ||
                     ZeltoI2CEEP->Checked() || ZeltoMicrowire->Checked();
    Schematics->SetEnabled(any);
    Schematics->SetChecked(any);
}

void TMainForm::SpeedButton3Click(tk::Component*)
{
    if (BFF1->Execute())
        InstallationDirectory->SetText(BFF1->FolderName());
}

void TMainForm::Button1Click(tk::Component*)
{
    tk::ShowMessage(kDisclaimer);
}

void TMainForm::CancelBtClick(tk::Component*)
{
    Close();
}

// --- the install road ---------------------------------------------------------------------

void TMainForm::InstallBtClick(tk::Component*)
{
    CancelBt->SetEnabled(false);
    Messages->Clear();
    Messages->SetTextColor(kLime);
    Log("Installation results:");
    SourceDir = WithTrailingSlash(PackageFolder);
    TargetDir = WithTrailingSlash(InstallationDirectory->Text());
    const std::string T = TargetDir;
    Log(tk::FmtLoadStr(S_INSTALLING_FROM, {SourceDir}));
    Log(tk::FmtLoadStr(S_INSTALLING_TO, {TargetDir}));
    const auto abort = [this](const std::string& line) {
        LogIn(kRed, line);
        LogIn(kRed, "Installation aborted.");
    };

    // Nothing is created before both names are known to be usable.
    const std::string group = StartMenuGroup->Text();
    std::string refusal = InstallFolderRefusal(T, SourceDir);
    if (refusal.empty() && !IsValidGroupName(group))
        refusal = tk::FmtLoadStr(S_BAD_GROUP_NAME, {group});
    if (refusal.empty() && !SelectedPathsFit())
        refusal = tk::FmtLoadStr(S_LONG_INSTALL_FOLDER, {T, static_cast<int>(kMaxFilePath)});
    if (!refusal.empty()) {
        abort(refusal);
        return;
    }

    // Only one installation is recorded: another folder leaves the earlier
    // one to the user, who says so first.
    InstallRecord previous;
    const bool hadRecord = LoadInstallRecord(previous);
    if (hadRecord && !previous.InstallPath.empty() && !SameText(WithTrailingSlash(previous.InstallPath), T) &&
        tk::MessageDlg(tk::FmtLoadStr(S_OTHER_FOLDER_QUESTION, {previous.InstallPath, T}), tk::mtConfirmation,
                       tk::mbYesNo) != tk::mrYes) {
        abort(tk::FmtLoadStr(S_OTHER_FOLDER_DECLINED, {previous.InstallPath}));
        return;
    }

    std::vector<std::string> madeNow;
    if (DirectoryExists(T)) {
        Log("Installation directory [" + T + "] already exists.");
    } else {
        const tk::ModalResult answer = tk::MessageDlg("Installation directory [" + T + "] does not exist.\r\n" +
                                                          "Do you wish to create it?",
                                                      tk::mtConfirmation, tk::mbYesNo);
        if (answer == tk::mrNo) {
            abort("User did not allow the creation of the Installation directory [" + T + "].");
            return;
        }
        Log("Creating Installation directory [" + T + "] with the user permission.");
        if (!CreateInstallationFolder(madeNow)) {
            RemoveFolders(madeNow);
            abort("Installation directory [" + T + "] could not be created.");
            return;
        }
        ::SetCurrentDirectoryA(SourceDir.c_str());
    }

    // The record comes before the first copy: whatever follows, completed
    // or not, setup can remove again.
    Installing = RecordOfThisInstall(hadRecord ? &previous : nullptr, madeNow);
    try {
        SaveInstallRecord(Installing);
    } catch (const std::exception& e) {
        RemoveFolders(madeNow);
        abort(e.what());
        return;
    }
    Log("Writing Install Path in registry under HKEY_LOCAL_MACHINE\\Software\\Zelto\\Raz-edezadu Divudavizu");
    Log("Writing Start Menu Group Name in registry under HKEY_LOCAL_MACHINE\\Software\\Zelto\\Raz-edezadu Divudavizu");
    Log("Overwriting all files in [" + T + "];");

    WaitCursor wait;
    bool Partial = false;
    std::string failure;
    try {
        CopySelectedFiles();
        MakeStartMenuLinks(Partial);
        AssociateScripts();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    // The window offers to remove what the record now says was made.
    ShowInstallRecord();
    if (!failure.empty()) {
        abort(failure);
        return;
    }
    wait.Restore();
    if (Partial)
        LogIn(kYellow, tk::LoadStr(S_INSTALL_PARTIAL));
    else
        Log("INSTALLATION SUCCESSFUL!");
    CancelBt->SetEnabled(true);
}

InstallRecord TMainForm::RecordOfThisInstall(const InstallRecord* previous, const std::vector<std::string>& madeNow) const
{
    InstallRecord record;
    record.InstallPath = TargetDir;
    record.StartMenuGroup = StartMenuGroup->Text();
    if (previous && SameText(WithTrailingSlash(previous->InstallPath), TargetDir)) {
        record.knowsFolders = previous->knowsFolders;
        record.createdFolders = previous->createdFolders;
        record.createdFiles = previous->createdFiles;
    } else if (previous) {
        // The Start-menu group now belongs to this installation; the earlier
        // one keeps its folders and the driver files its program uses.
        const std::string earlier = WithTrailingSlash(previous->InstallPath);
        for (const std::string& folder : previous->createdFolders)
            if (!StartsWithText(earlier, WithTrailingSlash(folder)))
                record.createdFolders.push_back(folder);
    }
    for (const std::string& folder : madeNow)
        if (!Contains(record.createdFolders, folder))
            record.createdFolders.push_back(folder);
    return record;
}

bool TMainForm::CreateInstallationFolder(std::vector<std::string>& created)
{
    TZeltoToken token;
    token.Reset();
    token.Separator = '\\';
    token.SetText(TargetDir);
    PathParts.clear();
    for (int i = 0; i < token.Count() - 1; ++i)
        PathParts.push_back(token.GetToken(i));

    BuiltPath.clear();
    if (!::SetCurrentDirectoryA("C:\\"))
        return false;
    for (const std::string& part : PathParts) {
        BuiltPath += part + "\\";
        if (DirectoryExists(BuiltPath)) {
            if (!::SetCurrentDirectoryA(BuiltPath.c_str()))
                return false;
            Log("Changing path to directory [" + BuiltPath + "];");
        } else {
            if (!::CreateDirectoryA(BuiltPath.c_str(), nullptr))
                return false;
            created.push_back(BuiltPath);
            Log("Creating directory [" + BuiltPath + "];");
            if (!::SetCurrentDirectoryA(BuiltPath.c_str()))
                return false;
        }
    }
    return true;
}

void TMainForm::NoteCreated(std::vector<std::string>& list, const std::string& path)
{
    if (Contains(list, path))
        return;
    list.push_back(path);
    SaveInstallRecord(Installing);
}

void TMainForm::CopyPackageFile(const std::string& FileName, const std::string& FromDir, const std::string& ToDir)
{
    Log(tk::FmtLoadStr(S_COPYING_FILE, {FileName, FromDir, ToDir}));
    const std::string source = FromDir + FileName;
    const std::string destination = ToDir + FileName;
    if (!FileExists(source))
        throw EInstallError(tk::FmtLoadStr(S_SOURCE_MISSING, {source}));
    // A stand-in of the package replaces nothing but another stand-in.
    if (FileExists(destination) && IsPlaceholder(source) && !IsPlaceholder(destination)) {
        LogIn(kYellow, tk::FmtLoadStr(S_PLACEHOLDER_KEPT, {FileName, destination}));
        return;
    }
    const auto unreadable = [&source] { return EInstallError(tk::FmtLoadStr(S_SOURCE_UNREADABLE, {source})); };
    const auto unwritable = [&destination] {
        return EInstallError(tk::FmtLoadStr(S_DESTINATION_UNWRITABLE, {destination, SystemReason(::GetLastError())}));
    };

    FileHandle in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.Valid())
        throw unreadable();
    // The copy is written under a short fresh name beside the destination
    // (no longer a path than the destination's) and takes its place only
    // when complete, so a failed copy never leaves a truncated file there.
    char partial[MAX_PATH + 16] = {};
    if (!::GetTempFileNameA(ToDir.c_str(), "~zp", 0, partial))
        throw unwritable();
    FileHandle out(::CreateFileA(partial, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    bool complete = false;
    struct PartialFile {
        const char* path;
        FileHandle& out;
        bool& complete;
        ~PartialFile()
        {
            out.Close();
            if (!complete)
                ::DeleteFileA(path);
        }
    } cleanup{partial, out, complete};
    if (!out.Valid())
        throw unwritable();

    char buffer[2048];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(in.handle, buffer, sizeof(buffer), &read, nullptr))
            throw unreadable();
        if (read == 0)
            break;
        DWORD written = 0;
        if (!::WriteFile(out.handle, buffer, read, &written, nullptr) || written < read)
            throw unwritable();
    }
    in.Close();
    out.Close();
    if (!::MoveFileExA(partial, destination.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw unwritable();
    complete = true;
}

std::vector<TMainForm::PackageCopy> TMainForm::SelectedCopies() const
{
    std::vector<PackageCopy> copies;
    const auto copy = [&](const std::string& name) { copies.push_back({name, TargetDir}); };
    if (ProgrammerInterface->Checked()) {
        copy("ZELTOPRG.exe");
        for (const char* driver : kDriverFiles)
            copies.push_back({driver, SystemFolder()});
        copy("ZELTOPRG.enu");
        copy("ZeltoProgBasic.dll");
    }
    if (FrenchModules->Checked())
        copy("ZELTOPRG.fra");
    if (RomanianModules->Checked())
        copy("ZELTOPRG.rom");
    if (ItalianModules->Checked())
        copy("ZELTOPRG.ita");
    if (OnlineWinHelp->Checked())
        copy("ZELTOPRG.chm");
    for (const PlugInFiles& plugIn : PlugInTable()) {
        if (!(this->*plugIn.box)->Checked())
            continue;
        for (const char* file : plugIn.files)
            copy(file);
        if (plugIn.languageStem) {
            const std::string stem = plugIn.languageStem;
            if (FrenchModules->Checked())
                copy(stem + ".fra");
            if (RomanianModules->Checked())
                copy(stem + ".rom");
            if (ItalianModules->Checked())
                copy(stem + ".ita");
        }
        if (Schematics->Checked())
            for (const char* file : plugIn.schematics)
                copy(file);
    }
    return copies;
}

bool TMainForm::SelectedPathsFit() const
{
    if (TargetDir.size() - 1 > kMaxFolderPath)
        return false;
    const std::vector<PackageCopy> copies = SelectedCopies();
    return std::all_of(copies.begin(), copies.end(),
                       [](const PackageCopy& copy) { return copy.toDir.size() + copy.file.size() <= kMaxFilePath; });
}

void TMainForm::CopySelectedFiles()
{
    for (const PackageCopy& copy : SelectedCopies()) {
        // A driver file that was not there is the installation's own: the
        // record says so before it is made.
        const std::string destination = copy.toDir + copy.file;
        if (copy.toDir != TargetDir && !FileExists(destination))
            NoteCreated(Installing.createdFiles, destination);
        CopyPackageFile(copy.file, SourceDir, copy.toDir);
    }
}

void TMainForm::MakeStartMenuLinks(bool& Partial)
{
    const std::string G = StartMenuGroup->Text();
    const std::string& T = TargetDir;
    if (ShellFolder("Programs").empty()) {
        LogIn(kYellow, tk::LoadStr(S_NO_PROGRAMS_FOLDER));
        Partial = true;
        return;
    }
    const auto noteFolder = [this](const std::string& folder) { NoteCreated(Installing.createdFolders, folder); };
    const auto link = [&](const std::string& shownName, const std::string& name, const std::string& group,
                          const std::string& target) {
        Log("Adding link [" + shownName + "];");
        if (!CreateShellLink(name, group, target, T, "Programs")) {
            LogIn(kYellow, tk::FmtLoadStr(S_LINK_NOT_MADE, {name}));
            Partial = true;
        }
    };
    Log("Adding group [" + G + "] to the Start menu;");
    if (!CreateStartMenuFolder(G, "Programs", noteFolder)) {
        LogIn(kYellow, tk::FmtLoadStr(S_GROUP_NOT_MADE, {G}));
        Partial = true;
        return;
    }
    link(kAppLinkName, kAppLinkName, G, T + "ZeltoPrg.exe");
    if (OnlineWinHelp->Checked())
        link("Online Windows CHM Help", kHelpLinkName, G, T + "zeltoprg.chm");
    if (!Schematics->Checked())
        return;
    const std::string folder = G + "\\Schematics";
    Log("Adding folder [" + folder + "] to the Start menu;");
    if (!CreateStartMenuFolder(folder, "Programs", noteFolder)) {
        LogIn(kYellow, tk::FmtLoadStr(S_FOLDER_NOT_MADE, {folder}));
        Partial = true;
        return;
    }
    LogIn(kYellow, "Eagle does not make the association between [.sch] files and the application.");
    LogIn(kYellow, "In order for the following links to work, you will have to do this manually.");
    for (const SchematicLinks& entry : SchematicLinkTable()) {
        if (!(this->*entry.box)->Checked())
            continue;
        for (const SchematicLink& schematic : entry.links)
            link(schematic.name, schematic.name, folder, T + schematic.file);
    }
}

void TMainForm::AssociateScripts()
{
    const std::string& T = TargetDir;
    Log("Associating [.ZLT] script files with the application.");
    Associate->SetKeyName(kProductTypeKey);
    Associate->SetPathToApp(T + "ZeltoPrg.exe");
    Associate->SetIconPath(T + "ZeltoPrg.exe");
    Associate->SetIcon(0);
    Associate->SetShellCmd("Open");
    // The default folder holds blanks: the program's path is quoted too.
    Associate->SetShell("\"" + T + "ZeltoPrg.exe\" \"%1\"");
    Associate->SetTypeName("Zelto Raz-Edezadu Divudavizu script");
    Associate->SetShowInNew(true);
    Associate->SetQuickView(true);
    Associate->RegisterFileType();
    Associate->AssociateExtension(".ZLT");
    Associate->SetShellCmd("Edit");
    Associate->SetShell("Notepad.exe \"%1\"");
    Associate->AssociateExtension(".ZLT");
}

// --- the uninstall road -------------------------------------------------------------------

void TMainForm::UninstallButtonClick(tk::Component*)
{
    Messages->Clear();
    Messages->SetTextColor(kLime);
    Log("Uninstallation results:");
    const tk::ModalResult answer = tk::MessageDlg(
        "This procedure will erase all the files\r\nin the last directory found in the path \r\n" + UninstallDir +
            "," + "\r\n" + "then will delete the registry key holding" + "\r\n" +
            "the uninstall path and then will delete the" + "\r\n" + "Start Menu shorcuts." + "\r\n" + "\r\n" +
            "Press OK to continue or press Cancel to abort" + "\r\n" + "the uninstall procedure.",
        tk::mtConfirmation, tk::mbOKCancel);
    if (answer != tk::mrOk) {
        LogIn(kRed, "Uninstall process aborted at the user's request.");
        LogIn(kRed, "Uninstall procedure failed.");
        return;
    }

    try {
        bool Partial = false;
        // Set when a file the installation made stays: the record then
        // stays too, so that a later uninstall can finish the job.
        bool OwnFileLeft = false;
        UninstallDir = WithTrailingSlash(UninstallDir);
        RemoveInstalledFiles(Partial, OwnFileLeft);
        RemoveDriverFiles(Partial, OwnFileLeft);
        RemoveStartMenuFolders(Partial, OwnFileLeft);
        RemoveInstallRecord(Partial, OwnFileLeft);

        Log("Removing [.ZLT] association.");
        // A fresh run has not named the product's own type key yet.
        Associate->SetKeyName(kProductTypeKey);
        Associate->RemoveAssociation(".ZLT");

        if (Partial) {
            LogIn(kYellow, "Uninstall procedure succeeded partially.");
            LogIn(kYellow, "Look at the yellow lines and proceed accordingly to complete uninstall manually.");
        } else {
            Log("Uninstall process succeeded without errors.");
        }
    } catch (...) {
        ShowInstallRecord();
        throw;
    }
    ShowInstallRecord();
}

bool TMainForm::CreatedByInstall(const std::string& folder) const
{
    // A record from before folders were recorded: its folders count as made.
    return !Recorded.knowsFolders || Contains(Recorded.createdFolders, WithTrailingSlash(folder));
}

void TMainForm::RemoveCreatedParents(const std::string& folder, const std::string& floor,
                                     const std::function<void(const std::string&, bool)>& report, bool& Partial)
{
    std::vector<std::string> parents;
    const std::string below = WithTrailingSlash(folder);
    for (const std::string& entry : Recorded.createdFolders) {
        const std::string parent = WithTrailingSlash(entry);
        if (parent.size() < below.size() && parent.size() > floor.size() && StartsWithText(below, parent) &&
            StartsWithText(parent, floor))
            parents.push_back(parent);
    }
    std::sort(parents.begin(), parents.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& parent : parents) {
        const FolderOutcome outcome = RemoveFolderIfEmpty(parent, true);
        if (outcome == FolderOutcome::Missing)
            continue;
        report(parent, outcome == FolderOutcome::Removed);
        if (outcome != FolderOutcome::Removed) {
            Partial = true;
            return;
        }
    }
}

void TMainForm::RemoveInstalledFiles(bool& Partial, bool& OwnFileLeft)
{
    const std::string D = UninstallDir;
    // A recorded path that no installation could have used is not looked at.
    if (!InstallFolderRefusal(D, PackageFolder).empty()) {
        LogIn(kYellow, tk::FmtLoadStr(S_FOLDER_NOT_REMOVABLE, {D}));
        Partial = true;
        return;
    }
    const auto reportParent = [this](const std::string& parent, bool removed) {
        if (removed)
            Log("Directory [" + parent + "] was removed;");
        else
            LogIn(kYellow, "Directory [" + parent + "] could not be removed;");
    };
    if (!DirectoryExists(D)) {
        LogIn(kYellow, "Installation Directory [" + D + "] was not found.");
        Partial = true;
        RemoveCreatedParents(D, std::string(), reportParent, Partial);
        return;
    }
    Log("Installation Directory [" + D + "] was found;");
    std::vector<std::string> names;
    FindHandle find(D + "*.*");
    if (find.Valid()) {
        do {
            if (!(find.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(find.Entry().cFileName);
        } while (find.Next());
        find.Close();
    }
    const std::vector<std::string>& installed = InstalledFileNames();
    for (const std::string& name : names) {
        // Only what the installer put there; the user's own files stay.
        if (!Contains(installed, name))
            continue;
        DeleteOwnFile(D + name, name, Partial, OwnFileLeft);
    }
    const std::string stays = "Directory [" + D + "] could not be removed;";
    if (ReportFolder(RemoveFolderIfEmpty(D, CreatedByInstall(D)), D, "Directory [" + D + "] was removed;", stays, stays,
                     Partial))
        RemoveCreatedParents(D, std::string(), reportParent, Partial);
}

void TMainForm::RemoveDriverFiles(bool& Partial, bool& OwnFileLeft)
{
    const std::string system = SystemFolder();
    for (const std::string& path : Recorded.createdFiles) {
        // A record names nothing else that uninstall may delete there.
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        if (!IsDriverFile(name) || !SameText(path, system + name) || !FileExists(path))
            continue;
        DeleteOwnFile(path, path, Partial, OwnFileLeft);
    }
}

void TMainForm::DeleteOwnFile(const std::string& path, const std::string& shown, bool& Partial, bool& OwnFileLeft)
{
    if (::DeleteFileA(path.c_str())) {
        Log("File [" + shown + "] was deleted;");
    } else {
        Partial = true;
        OwnFileLeft = true;
        LogIn(kYellow, "File [" + shown + "] could not be deleted;");
    }
}

void TMainForm::RemoveStartMenuFolders(bool& Partial, bool& OwnFileLeft)
{
    const std::string& G = UninstallGroup;
    if (!IsValidGroupName(G)) {
        LogIn(kYellow, "Group [" + G + "] could not be deleted from the Start menu;");
        Partial = true;
        return;
    }
    const std::string programs = ShellFolder("Programs");
    if (programs.empty()) {
        LogIn(kYellow, tk::LoadStr(S_NO_PROGRAMS_FOLDER_UNINSTALL));
        Partial = true;
        return;
    }
    const std::string schematics = G + "\\Schematics";
    std::vector<std::string> undeleted;
    const FolderOutcome schematicsOutcome =
        DeleteStartMenuFolder(schematics, "Programs", SchematicLinkNames(),
                              CreatedByInstall(JoinPath({programs, schematics})), undeleted);
    const FolderOutcome groupOutcome =
        DeleteStartMenuFolder(G, "Programs", GroupLinkNames(), CreatedByInstall(JoinPath({programs, G})), undeleted);
    for (const std::string& link : undeleted) {
        LogIn(kYellow, tk::FmtLoadStr(S_LINK_NOT_DELETED, {link}));
        Partial = true;
        OwnFileLeft = true;
    }

    ReportFolder(schematicsOutcome, schematics, "Folder [" + schematics + "]was deleted from the Start menu;",
                 tk::FmtLoadStr(S_FOLDER_HOLDS_OTHERS, {schematics}),
                 "Folder [" + schematics + "]could not be deleted from the Start menu;", Partial);
    // Links straight into Programs leave no folder of their own.
    if (G.empty())
        return;
    const auto groupRemoved = [](const std::string& group) {
        return "Group [" + group + "] was deleted from the Start menu;";
    };
    if (ReportFolder(groupOutcome, G, groupRemoved(G), tk::FmtLoadStr(S_GROUP_HOLDS_OTHERS, {G}),
                     "Group [" + G + "] could not be deleted from the Start menu;", Partial)) {
        const std::string floor = WithTrailingSlash(programs);
        RemoveCreatedParents(
            JoinPath({programs, G}), floor,
            [&](const std::string& parent, bool removed) {
                const std::string name = parent.substr(floor.size(), parent.size() - floor.size() - 1);
                if (removed)
                    Log(groupRemoved(name));
                else
                    LogIn(kYellow, tk::FmtLoadStr(S_GROUP_HOLDS_OTHERS, {name}));
            },
            Partial);
    }
}

bool TMainForm::ReportFolder(FolderOutcome outcome, const std::string& name, const std::string& removed,
                             const std::string& holdsOthers, const std::string& notRemoved, bool& Partial)
{
    switch (outcome) {
    case FolderOutcome::Missing:
        return false;
    case FolderOutcome::Removed:
        Log(removed);
        return true;
    case FolderOutcome::NotOurs:
        Log(tk::FmtLoadStr(S_FOLDER_NOT_OURS, {name}));
        return false;
    case FolderOutcome::HoldsOthers:
        LogIn(kYellow, holdsOthers);
        break;
    case FolderOutcome::NotRemoved:
        LogIn(kYellow, notRemoved);
        break;
    }
    Partial = true;
    return false;
}

void TMainForm::RemoveInstallRecord(bool& Partial, bool OwnFileLeft)
{
    if (OwnFileLeft) {
        LogIn(kYellow, tk::LoadStr(S_RECORD_KEPT));
        Partial = true;
        return;
    }
    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (reg.KeyExists(kInstallRecordKey) && reg.DeleteKey(kInstallRecordKey)) {
        Log("Key [Software\\Zelto\\Raz-edezadu Divudavizu] was deleted from Registry;");
        // The maker's key goes too once nothing is left in it.
        if (reg.OpenKey(kMakerKey, false) && reg.SubKeyNames().empty() && reg.ValueNames().empty()) {
            reg.CloseKey();
            ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMakerKey);
        }
    } else {
        LogIn(kYellow, "Key [Software\\Zelto\\Raz-edezadu Divudavizu] could not be deleted from Registry;");
        Partial = true;
    }
}
