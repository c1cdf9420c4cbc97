// Main: the installer's window, the install road with its file set and
// Start-menu links, and the uninstall road. See Main.h.
#include "installer/Main.h"

#include "components/OneInstance.h"
#include "components/ZeltoToken.h"
#include "installer/Associate.h"
#include "installer/Registry.h"
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

// Every link name the installer makes, for removal from a shared folder.
std::vector<std::string> OwnLinkFileNames()
{
    std::vector<std::string> names = {std::string(kAppLinkName) + ".lnk", std::string(kHelpLinkName) + ".lnk"};
    for (const SchematicLinks& entry : SchematicLinkTable())
        for (const SchematicLink& link : entry.links)
            names.push_back(std::string(link.name) + ".lnk");
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

// A folder or group part that is a plain file name.
bool IsPlainName(const std::string& part)
{
    if (part.empty() || part == "." || part == ".." || part.front() == ' ' || part.back() == ' ' ||
        part.back() == '.')
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

std::string SystemFolder()
{
    char buffer[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, std::min<UINT>(length, MAX_PATH)) + "\\";
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

template <class I>
struct ComPtr {
    I* p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
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

bool IsValidGroupName(const std::string& group)
{
    return group.empty() || AllPartsPlain(group);
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

void CreateStartMenuFolder(const std::string& Name, const std::string& Which)
{
    const std::string folder = ShellFolder(Which);
    if (!folder.empty() && !Name.empty())
        ::CreateDirectoryA(JoinPath({folder, Name}).c_str(), nullptr);
}

void CreateShellLink(const std::string& LinkName, const std::string& Group, const std::string& Target,
                     const std::string& WorkDir, const std::string& Which)
{
    ComPtr<IShellLinkA> link;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                        reinterpret_cast<void**>(&link.p));
    if (FAILED(result))
        throw EInstallError(tk::FmtLoadStr(S_SHELL_LINK_FAILED, {LinkName}));
    ComPtr<IPersistFile> file;
    result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (FAILED(result))
        throw EInstallError(tk::FmtLoadStr(S_SHELL_LINK_FAILED, {LinkName}));
    link.p->SetArguments("");
    link.p->SetPath(Target.c_str());
    link.p->SetWorkingDirectory(WorkDir.c_str());

    const std::string folder = ShellFolder(Which);
    if (folder.empty())
        return;
    const std::string name = JoinPath({folder, Group, LinkName + ".lnk"});
    std::wstring wide(name.size() + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    file.p->Save(wide.c_str(), FALSE);
}

bool DeleteStartMenuFolder(const std::string& Name, const std::string& Which, bool ownLinksOnly)
{
    const std::string folder = ShellFolder(Which);
    if (folder.empty())
        return true;
    bool Failed = false;
    const std::string dir = JoinPath({folder, Name});
    std::vector<std::string> files;
    if (ownLinksOnly) {
        files = OwnLinkFileNames();
    } else {
        WIN32_FIND_DATAA entry;
        HANDLE find = ::FindFirstFileA((dir + "\\*.*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    files.emplace_back(entry.cFileName);
            } while (::FindNextFileA(find, &entry));
            ::FindClose(find);
        }
    }
    for (const std::string& name : files) {
        const std::string path = dir + "\\" + name;
        if ((!ownLinksOnly || FileExists(path)) && !::DeleteFileA(path.c_str()))
            Failed = true;
    }
    // The shell folder itself is never removed, only a folder of the group.
    if (!SameText(dir, folder) && !::RemoveDirectoryA(dir.c_str()))
        Failed = true;
    return Failed;
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

    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kInstallRecordKey, false))
        return;
    UninstallButton->SetVisible(true);
    UninstallLabel->SetVisible(true);
    UninstallLabel1->SetVisible(true);
    UninstallDir = reg.ReadString("InstallPath");
    UninstallLabel1->SetCaption(UninstallDir);
    UninstallGroup = reg.ReadString("StartMenuGroup");
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

    // Nothing is created before both names are known to be usable.
    const std::string group = StartMenuGroup->Text();
    std::string refusal;
    if (!IsInstallableFolder(T) || SameText(T, SourceDir))
        refusal = tk::FmtLoadStr(S_BAD_INSTALL_FOLDER, {T});
    else if (!IsValidGroupName(group))
        refusal = tk::FmtLoadStr(S_BAD_GROUP_NAME, {group});
    if (!refusal.empty()) {
        LogIn(kRed, refusal);
        LogIn(kRed, "Installation aborted.");
        return;
    }

    if (DirectoryExists(T)) {
        Log("Installation directory [" + T + "] already exists.");
    } else {
        const tk::ModalResult answer = tk::MessageDlg("Installation directory [" + T + "] does not exist.\r\n" +
                                                          "Do you wish to create it?",
                                                      tk::mtConfirmation, tk::mbYesNo);
        if (answer == tk::mrNo) {
            LogIn(kRed, "User did not allow the creation of the Installation directory [" + T + "].");
            LogIn(kRed, "Installation aborted.");
            return;
        }
        Log("Creating Installation directory [" + T + "] with the user permission.");
        if (!CreateInstallationFolder()) {
            LogIn(kRed, "Installation directory [" + T + "] could not be created.");
            LogIn(kRed, "Installation aborted.");
            return;
        }
        ::SetCurrentDirectoryA(SourceDir.c_str());
    }
    Log("Overwriting all files in [" + T + "];");

    WaitCursor wait;
    try {
        CopySelectedFiles();
        MakeStartMenuLinks();
        WriteInstallRecord();
        AssociateScripts();
    } catch (const std::exception& e) {
        LogIn(kRed, e.what());
        LogIn(kRed, "Installation aborted.");
        return;
    }
    wait.Restore();
    Log("INSTALLATION SUCCESSFUL!");
    CancelBt->SetEnabled(true);
}

bool TMainForm::CreateInstallationFolder()
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
            Log("Creating directory [" + BuiltPath + "];");
            if (!::SetCurrentDirectoryA(BuiltPath.c_str()))
                return false;
        }
    }
    return true;
}

void TMainForm::CopyPackageFile(const std::string& FileName, const std::string& FromDir, const std::string& ToDir)
{
    Log(tk::FmtLoadStr(S_COPYING_FILE, {FileName, FromDir, ToDir}));
    const std::string source = FromDir + FileName;
    const std::string destination = ToDir + FileName;
    if (!FileExists(source))
        throw EInstallError(tk::FmtLoadStr(S_SOURCE_MISSING, {source}));
    const auto unreadable = [](const std::string& path) {
        return EInstallError(tk::FmtLoadStr(S_SOURCE_UNREADABLE, {path}));
    };

    FileHandle in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in.Valid())
        throw unreadable(source);
    // The copy is written beside the destination and takes its place only
    // when complete, so a failed copy never leaves a truncated file there.
    const std::string partial = destination + ".partial";
    FileHandle out(::CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!out.Valid())
        throw unreadable(destination);
    bool complete = false;
    struct PartialFile {
        const std::string& path;
        FileHandle& out;
        bool& complete;
        ~PartialFile()
        {
            out.Close();
            if (!complete)
                ::DeleteFileA(path.c_str());
        }
    } cleanup{partial, out, complete};

    char buffer[2048];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(in.handle, buffer, sizeof(buffer), &read, nullptr))
            throw unreadable(source);
        if (read == 0)
            break;
        DWORD written = 0;
        if (!::WriteFile(out.handle, buffer, read, &written, nullptr) || written < read)
            throw unreadable(destination);
    }
    in.Close();
    out.Close();
    if (!::MoveFileExA(partial.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw unreadable(destination);
    complete = true;
}

void TMainForm::CopySelectedFiles()
{
    const auto copy = [this](const std::string& name) { CopyPackageFile(name, SourceDir, TargetDir); };
    if (ProgrammerInterface->Checked()) {
        const std::string system = SystemFolder();
        copy("ZELTOPRG.exe");
        CopyPackageFile("varize.vxd", SourceDir, system);
        CopyPackageFile("varize.sys", SourceDir, system);
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
}

void TMainForm::MakeStartMenuLinks()
{
    const std::string G = StartMenuGroup->Text();
    const std::string& T = TargetDir;
    if (ShellFolder("Programs").empty()) {
        LogIn(kYellow, tk::LoadStr(S_NO_PROGRAMS_FOLDER));
        return;
    }
    Log("Adding group [" + G + "] to the Start menu;");
    CreateStartMenuFolder(G, "Programs");
    Log(std::string("Adding link [") + kAppLinkName + "];");
    CreateShellLink(kAppLinkName, G, T + "ZeltoPrg.exe", T, "Programs");
    if (OnlineWinHelp->Checked()) {
        Log("Adding link [Online Windows CHM Help];");
        CreateShellLink(kHelpLinkName, G, T + "zeltoprg.chm", T, "Programs");
    }
    if (!Schematics->Checked())
        return;
    const std::string folder = G + "\\Schematics";
    Log("Adding folder [" + folder + "] to the Start menu;");
    CreateStartMenuFolder(folder, "Programs");
    LogIn(kYellow, "Eagle does not make the association between [.sch] files and the application.");
    LogIn(kYellow, "In order for the following links to work, you will have to do this manually.");
    for (const SchematicLinks& entry : SchematicLinkTable()) {
        if (!(this->*entry.box)->Checked())
            continue;
        for (const SchematicLink& link : entry.links) {
            Log(std::string("Adding link [") + link.name + "];");
            CreateShellLink(link.name, folder, T + link.file, T, "Programs");
        }
    }
}

void TMainForm::WriteInstallRecord()
{
    TRegistry reg(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey(kInstallRecordKey, true)) {
        Log("Writing Install Path in registry under HKEY_LOCAL_MACHINE\\Software\\Zelto\\Raz-edezadu Divudavizu");
        reg.WriteString("InstallPath", TargetDir);
        Log("Writing Start Menu Group Name in registry under "
            "HKEY_LOCAL_MACHINE\\Software\\Zelto\\Raz-edezadu Divudavizu");
        reg.WriteString("StartMenuGroup", StartMenuGroup->Text());
    } else {
        LogIn(kYellow, "Installation Path could not be written in the registry.");
        LogIn(kYellow, "Start Menu Group Name could not be written in the registry.");
        LogIn(kYellow, "A later uninstallation will not be possible.");
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

    const auto hideControls = [this] {
        UninstallButton->SetVisible(false);
        UninstallLabel->SetVisible(false);
        UninstallLabel1->SetVisible(false);
    };
    try {
        bool Partial = false;
        UninstallDir = WithTrailingSlash(UninstallDir);
        RemoveInstalledFiles(Partial);

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

        RemoveStartMenuFolders(Partial);

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
        hideControls();
        throw;
    }
    hideControls();
}

void TMainForm::RemoveInstalledFiles(bool& Partial)
{
    const std::string D = UninstallDir;
    // A recorded path that no installation could have used is not looked at.
    const bool usable = IsInstallableFolder(D) && !SameText(D, WithTrailingSlash(PackageFolder));
    if (!usable || !DirectoryExists(D)) {
        LogIn(kYellow, "Installation Directory [" + D + "] was not found.");
        Partial = true;
        return;
    }
    Log("Installation Directory [" + D + "] was found;");
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((D + "*.*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(entry.cFileName);
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    const std::vector<std::string>& installed = InstalledFileNames();
    for (const std::string& name : names) {
        // Only what the installer put there; the user's own files stay.
        if (std::none_of(installed.begin(), installed.end(), [&](const std::string& n) { return SameText(n, name); }))
            continue;
        if (::DeleteFileA((D + name).c_str())) {
            Log("File [" + name + "] was deleted;");
        } else {
            Partial = true;
            LogIn(kYellow, "File [" + name + "] could not be deleted;");
        }
    }
    if (::RemoveDirectoryA(D.c_str())) {
        Log("Directory [" + D + "] was removed;");
    } else {
        Partial = true;
        LogIn(kYellow, "Directory [" + D + "] could not be removed;");
    }
}

void TMainForm::RemoveStartMenuFolders(bool& Partial)
{
    const std::string folder = UninstallGroup + "\\Schematics";
    if (!IsValidGroupName(UninstallGroup)) {
        LogIn(kYellow, "Group [" + UninstallGroup + "] could not be deleted from the Start menu;");
        Partial = true;
        return;
    }
    if (ShellFolder("Programs").empty()) {
        LogIn(kYellow, tk::LoadStr(S_NO_PROGRAMS_FOLDER_UNINSTALL));
        return;
    }
    // Links made straight into Programs share it with other programs.
    const bool shared = UninstallGroup.empty();
    if (DeleteStartMenuFolder(folder, "Programs", shared)) {
        LogIn(kYellow, "Folder [" + folder + "]could not be deleted from the Start menu;");
        Partial = true;
    } else {
        Log("Folder [" + folder + "]was deleted from the Start menu;");
    }
    if (DeleteStartMenuFolder(UninstallGroup, "Programs", shared)) {
        LogIn(kYellow, "Group [" + UninstallGroup + "] could not be deleted from the Start menu;");
        Partial = true;
    } else {
        Log("Group [" + UninstallGroup + "] was deleted from the Start menu;");
    }
}
