// Shared helpers of the installer tests. See InstallerTestSupport.h.
#include "InstallerTestSupport.h"

#include "installer/Main.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>

ScratchFolder::ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "zp-installer-" + name + "-" + std::to_string(::GetCurrentProcessId()) + "\\";
    RemoveTree(path_);
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

void RemoveTree(const std::string& path)
{
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA entry;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = folder + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

bool WriteFile(const std::string& path, const std::string& content)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == content.size();
}

std::string ReadFile(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    ::CloseHandle(file);
    content.resize(read);
    return content;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakePackage(const std::string& folder)
{
    std::vector<std::string> names = InstalledFileNames();
    names.push_back("varize.vxd");
    names.push_back("varize.sys");
    for (const std::string& name : names)
        if (name != "ZeltoPrg.ini")
            WriteFile(folder + name, "PLACEHOLDER " + name + "\r\n");
}

std::string RegistryTree(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return std::string();
    std::string out = "[" + key + "]\n";
    char name[1024];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(opened, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        out += "  " + std::string(name, nameLength) + " (" + std::to_string(type) + ") = " +
               std::string(reinterpret_cast<char*>(data), dataLength) + "\n";
    }
    std::vector<std::string> subs;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        if (::RegEnumKeyExA(opened, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subs.emplace_back(name, nameLength);
    }
    ::RegCloseKey(opened);
    std::sort(subs.begin(), subs.end());
    for (const std::string& sub : subs)
        out += RegistryTree(root, key + "\\" + sub);
    return out;
}

std::string ProgramsFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::vector<std::string> FolderTree(const std::string& folder)
{
    std::vector<std::string> names;
    std::function<void(const std::string&, const std::string&)> walk = [&](const std::string& dir,
                                                                           const std::string& prefix) {
        WIN32_FIND_DATAA entry;
        HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            names.push_back(prefix + name);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                walk(dir + "\\" + name, prefix + name + "\\");
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    };
    std::string start = folder;
    if (!start.empty() && start.back() == '\\')
        start.pop_back();
    walk(start, "");
    std::sort(names.begin(), names.end());
    return names;
}

std::string InstallationFootprint()
{
    std::string out;
    for (const char* key : {".ZLT", "ZLTfile", "Zelto Raz-Edezadu Divudavizu", "ForeignZltType"})
        out += RegistryTree(HKEY_CLASSES_ROOT, key);
    out += RegistryTree(HKEY_LOCAL_MACHINE, "Software\\Zelto");
    for (const std::string& name : FolderTree(ProgramsFolder()))
        out += "programs: " + name + "\n";
    for (const char* driver : {"varize.vxd", "varize.sys"})
        if (Exists(SystemFolderPath() + driver))
            out += std::string("system: ") + driver + " = " + ReadFile(SystemFolderPath() + driver) + "\n";
    return out;
}

LinkInfo ReadLink(const std::string& linkFile)
{
    LinkInfo info;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(linkFile.begin(), linkFile.end());
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            char buffer[MAX_PATH] = {};
            info.loaded = true;
            link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
            info.path = buffer;
            link->GetWorkingDirectory(buffer, MAX_PATH);
            info.workDir = buffer;
            link->GetArguments(buffer, MAX_PATH);
            info.arguments = buffer;
        }
        file->Release();
    }
    link->Release();
    return info;
}

void SetRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value)
{
    SetRegistryValue(root, key, name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

void SetRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                      const std::string& data)
{
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(opened, name.empty() ? nullptr : name.c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    ::RegCloseKey(opened);
}

std::string SystemFolderPath()
{
    char path[MAX_PATH] = {};
    ::GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path) + "\\";
}

SavedFile::SavedFile(const std::string& path)
    : path_(path), existed_(Exists(path)), content_(existed_ ? ReadFile(path) : std::string())
{
}

SavedFile::~SavedFile()
{
    if (existed_)
        WriteFile(path_, content_);
    else
        ::DeleteFileA(path_.c_str());
}

namespace {

// The shell-link object lives in the test thread's apartment.
struct ComApartment {
    ComApartment() { ::CoInitialize(nullptr); }
    ~ComApartment() { ::CoUninitialize(); }
} const comApartment;

} // namespace
