// setup_driver: drives the real setup.exe from outside, as a user would, for
// scripts/run-setup.sh. It finds the installer's window, fills in the folder,
// ticks boxes and presses buttons with ordinary window messages, waits for
// the road's last log line and prints the log; setup.exe itself answers its
// message boxes unattended (ZP_AUTO_ANSWER=1). It also opens a file through
// the shell's association and reports what an installation left behind.
//
//   setup_driver install <setup.exe> <folder> [<check box caption>...]
//   setup_driver uninstall <setup.exe>
//   setup_driver open <file>        ShellExecute "open", waits, exit code
//   setup_driver state              record, association, Start-menu links
// ZP_DRIVER_HOLD_MS=<ms> pauses before pressing Install! and before closing.
// Exit code 0 when the road ended as it should.
#include "tests/support/ProgramProcess.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kWindowCaption[] = "Zelto Raz-edezadu Divudavizu Installation";
constexpr DWORD kTimeoutMs = 60000;

// The text of a window of another process: asked of the window itself, as
// edit controls keep theirs apart from the window's caption.
std::string WindowText(HWND wnd)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(wnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 5000, &got);
    text.resize(std::min<std::size_t>(got, length));
    return text;
}

std::string ClassOf(HWND wnd)
{
    char name[256] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    return name;
}

struct Search {
    DWORD pid = 0;
    std::string text;
    bool rich = false;
    HWND found = nullptr;
};

BOOL CALLBACK MatchInstallerWindow(HWND wnd, LPARAM data)
{
    auto& s = *reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    if (owner == s.pid && ::IsWindowVisible(wnd) && WindowText(wnd) == kWindowCaption) {
        s.found = wnd;
        return FALSE;
    }
    return TRUE;
}

// The installer's visible main window: the caption matches with its case,
// unlike the hidden application window's.
HWND FindInstallerWindow(DWORD pid)
{
    Search search;
    search.pid = pid;
    ::EnumWindows(MatchInstallerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK MatchControl(HWND wnd, LPARAM data)
{
    auto& s = *reinterpret_cast<Search*>(data);
    std::string cls = ClassOf(wnd);
    for (char& c : cls)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool isRich = cls.find("rich") != std::string::npos;
    if (s.rich ? isRich : (!isRich && WindowText(wnd) == s.text)) {
        s.found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A control of the window by its text, or the log (the rich edit).
HWND FindControl(HWND top, const std::string& text, bool rich = false)
{
    Search search;
    search.text = text;
    search.rich = rich;
    ::EnumChildWindows(top, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND StartInstaller(ProgramProcess& process, const std::string& setupExe)
{
    const std::string folder = setupExe.substr(0, setupExe.find_last_of("\\/") + 1);
    if (!process.Start("\"" + setupExe + "\"", folder)) {
        std::printf("cannot start %s\n", setupExe.c_str());
        return nullptr;
    }
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kTimeoutMs) {
        if (HWND wnd = FindInstallerWindow(process.Id()))
            return wnd;
        if (process.WaitForExit(50) != -1)
            break;
    }
    std::printf("the installer's window did not appear\n");
    return nullptr;
}

// Presses a button (or ticks a box) the way a click would.
bool Click(HWND top, const std::string& caption)
{
    HWND control = FindControl(top, caption);
    if (!control || !::IsWindowVisible(control) || !::IsWindowEnabled(control)) {
        std::printf("no visible, enabled control \"%s\" in the installer's window\n", caption.c_str());
        return false;
    }
    ::PostMessageA(control, BM_CLICK, 0, 0);
    return true;
}

// Waits until the log holds one of the final lines; prints it; true for `success`.
bool WaitForRoad(HWND top, const std::vector<std::string>& ends, const std::string& success)
{
    HWND log = FindControl(top, std::string(), true);
    if (!log) {
        std::printf("the installer's window has no log\n");
        return false;
    }
    const DWORD start = ::GetTickCount();
    std::string text;
    std::string end;
    while (end.empty() && ::GetTickCount() - start < kTimeoutMs) {
        ::Sleep(100);
        text = WindowText(log);
        for (const std::string& candidate : ends)
            if (text.find(candidate) != std::string::npos)
                end = candidate;
    }
    std::printf("--- the installer's log ---\n");
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty())
                std::printf("  %s\n", line.c_str());
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        std::printf("  %s\n", line.c_str());
    std::printf("---\n");
    if (end.empty())
        std::printf("the road did not end within %lu s\n", kTimeoutMs / 1000);
    return end == success;
}

bool Finish(ProgramProcess& process, HWND top, bool ok)
{
    // ZP_DRIVER_HOLD_MS keeps the finished window on the screen a while (for screenshots).
    if (const char* hold = std::getenv("ZP_DRIVER_HOLD_MS"))
        ::Sleep(static_cast<DWORD>(std::atoi(hold)));
    // Exit stays disabled after a failed install; closing the window still ends the program.
    ::PostMessageA(top, WM_CLOSE, 0, 0);
    const long code = process.WaitForExit(kTimeoutMs);
    std::printf("setup.exe ended with exit code %ld\n", code);
    return ok && code == 0;
}

int Install(const std::string& setupExe, const std::string& folder, const std::vector<std::string>& boxes)
{
    ProgramProcess process;
    HWND top = StartInstaller(process, setupExe);
    if (!top)
        return 1;
    HWND edit = FindControl(top, "C:\\Program Files\\Zelto\\Raz-Edezadu Divudavizu");
    if (!edit) {
        std::printf("the installation folder's edit was not found\n");
        return 1;
    }
    ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    for (const std::string& box : boxes)
        if (!Click(top, box))
            return 1;
    if (const char* hold = std::getenv("ZP_DRIVER_HOLD_MS"))
        ::Sleep(static_cast<DWORD>(std::atoi(hold)));
    if (!Click(top, "Install!"))
        return 1;
    const bool ok = WaitForRoad(top, {"INSTALLATION SUCCESSFUL!", "INSTALLATION PARTLY SUCCESSFUL", "Installation aborted."},
                                "INSTALLATION SUCCESSFUL!");
    return Finish(process, top, ok) ? 0 : 1;
}

int Uninstall(const std::string& setupExe)
{
    ProgramProcess process;
    HWND top = StartInstaller(process, setupExe);
    if (!top || !Click(top, "Uninstall it now!"))
        return 1;
    const bool ok = WaitForRoad(top,
                                {"Uninstall process succeeded without errors.", "Look at the yellow lines",
                                 "Uninstall procedure failed."},
                                "Uninstall process succeeded without errors.");
    return Finish(process, top, ok) ? 0 : 1;
}

int Open(const std::string& file)
{
    const std::string folder = file.substr(0, file.find_last_of("\\/") + 1);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&info) || !info.hProcess) {
        std::printf("ShellExecute \"open\" %s failed (error %lu)\n", file.c_str(), ::GetLastError());
        return 1;
    }
    DWORD code = 1;
    if (::WaitForSingleObject(info.hProcess, kTimeoutMs) != WAIT_OBJECT_0) {
        std::printf("the opened program did not end in time\n");
        ::TerminateProcess(info.hProcess, 1);
    } else {
        ::GetExitCodeProcess(info.hProcess, &code);
    }
    ::CloseHandle(info.hProcess);
    std::printf("the program that opened %s ended with exit code %lu\n", file.c_str(), code);
    return static_cast<int>(code);
}

std::string ReadValue(HKEY root, const std::string& key, const std::string& name, bool* exists = nullptr)
{
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1;
    const LONG result = ::RegGetValueA(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ,
                                       nullptr, buffer, &size);
    if (exists)
        *exists = result == ERROR_SUCCESS;
    return result == ERROR_SUCCESS ? buffer : "";
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(opened);
    return true;
}

std::string LinkTarget(const std::string& path)
{
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    std::string target;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link)))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(path.begin(), path.end());
            char buffer[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, 0)))
                target = buffer;
            file->Release();
        }
        link->Release();
    }
    return target;
}

// One "name=value" line per fact, for the script to check.
int State()
{
    const char record[] = "Software\\Zelto\\Raz-edezadu Divudavizu";
    bool exists = false;
    const std::string installPath = ReadValue(HKEY_LOCAL_MACHINE, record, "InstallPath", &exists);
    std::printf("record=%s\n", exists ? "present" : "absent");
    std::printf("record.InstallPath=%s\n", installPath.c_str());
    const std::string group = ReadValue(HKEY_LOCAL_MACHINE, record, "StartMenuGroup");
    std::printf("record.StartMenuGroup=%s\n", group.c_str());
    std::printf("maker_key=%s\n", KeyExists(HKEY_LOCAL_MACHINE, "Software\\Zelto") ? "present" : "absent");

    std::printf("zlt=%s\n", KeyExists(HKEY_CLASSES_ROOT, ".ZLT") ? "present" : "absent");
    const std::string type = ReadValue(HKEY_CLASSES_ROOT, ".ZLT", "");
    std::printf("zlt.type=%s\n", type.c_str());
    if (!type.empty()) {
        std::printf("zlt.open=%s\n", ReadValue(HKEY_CLASSES_ROOT, type + "\\Shell\\Open\\Command", "").c_str());
        std::printf("zlt.edit=%s\n", ReadValue(HKEY_CLASSES_ROOT, type + "\\Shell\\Edit\\Command", "").c_str());
    }
    std::printf("zltfile=%s\n", KeyExists(HKEY_CLASSES_ROOT, "ZLTfile") ? "present" : "absent");
    std::printf("product_type=%s\n",
                KeyExists(HKEY_CLASSES_ROOT, "Zelto Raz-Edezadu Divudavizu") ? "present" : "absent");

    char programs[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    const std::string groupDir = std::string(programs) + "\\Zelto";
    const DWORD attributes = ::GetFileAttributesA(groupDir.c_str());
    std::printf("start_menu_group=%s\n",
                attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? "present"
                                                                                                : "absent");
    std::printf("link.program=%s\n", LinkTarget(groupDir + "\\Zelto Raz-Edezadu Divudavizu.lnk").c_str());
    int links = 0;
    for (const char* sub : {"", "\\Schematics"}) {
        WIN32_FIND_DATAA entry;
        HANDLE find = ::FindFirstFileA((groupDir + sub + "\\*.lnk").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do
            ++links;
        while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    std::printf("links=%d\n", links);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    ::CoInitialize(nullptr);
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "install" && argc >= 4)
        result = Install(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    else if (command == "uninstall" && argc == 3)
        result = Uninstall(argv[2]);
    else if (command == "open" && argc == 3)
        result = Open(argv[2]);
    else if (command == "state" && argc == 2)
        result = State();
    else
        std::printf("usage: setup_driver install <setup.exe> <folder> [<box>...] | uninstall <setup.exe> | "
                    "open <file> | state\n");
    std::fflush(stdout);
    ::CoUninitialize();
    return result;
}
