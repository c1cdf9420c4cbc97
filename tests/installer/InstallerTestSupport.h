// Shared helpers of the installer tests: throwaway folders, a package built
// by the test (placeholders for every file of the set), snapshots of the
// registry keys and folders an installation touches, and links read back
// through the shell-link interface.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // With a trailing "\".
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Every file of the installed set (and the two driver files) in folder.
void MakePackage(const std::string& folder);

// The keys and values below root\key, one line each ("" when the key is missing).
std::string RegistryTree(HKEY root, const std::string& key);
// Everything an installation may touch in the file types, the record, the
// Start menu's Programs folder and the driver files of the system folder.
std::string InstallationFootprint();
// Relative names of the files and folders below folder, sorted.
std::vector<std::string> FolderTree(const std::string& folder);
// The user's Programs folder, as the shell reports it.
std::string ProgramsFolder();

// The target of a saved link and its working folder.
struct LinkInfo {
    bool loaded = false;
    std::string path;
    std::string workDir;
    std::string arguments;
};
LinkInfo ReadLink(const std::string& linkFile);

void SetRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
// A value of any type, byte for byte.
void SetRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                      const std::string& data);

// The system folder, with a trailing "\".
std::string SystemFolderPath();

// A file as it was when the object was made, put back when it goes (also
// when it was not there).
class SavedFile {
public:
    explicit SavedFile(const std::string& path);
    ~SavedFile();
    SavedFile(const SavedFile&) = delete;
    SavedFile& operator=(const SavedFile&) = delete;

private:
    std::string path_;
    bool existed_;
    std::string content_;
};
