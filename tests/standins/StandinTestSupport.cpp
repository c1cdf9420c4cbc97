// Helpers for the tests of the stand-in DLLs.
#include "tests/standins/StandinTestSupport.h"

#include <fstream>
#include <sstream>

std::string ExecutableFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string file(path, length);
  return file.substr(0, file.find_last_of("\\/") + 1);
}

namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        RemoveTree(folder + name + "\\");
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  for (;;) {
    path_ = std::string(temp) + "zp_standins_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "\\";
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

EnvironmentOverride::EnvironmentOverride(const char* name, const std::string& value) : name_(name) {
  char old[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
  hadValue_ = length > 0 && length < sizeof old;
  if (hadValue_) oldValue_.assign(old, length);
  SetEnvironmentVariableA(name, value.c_str());
}

EnvironmentOverride::~EnvironmentOverride() {
  SetEnvironmentVariableA(name_.c_str(), hadValue_ ? oldValue_.c_str() : nullptr);
}

LoadedLibrary::LoadedLibrary(const std::string& fileName)
    : module_(LoadLibraryA(TestLibraryPath(fileName).c_str())) {}

LoadedLibrary::LoadedLibrary(const std::string& folder, const std::string& fileName)
    : module_(LoadLibraryA((folder + fileName).c_str())) {}

LoadedLibrary::~LoadedLibrary() { Free(); }

bool LoadedLibrary::Exports(const char* name) const {
  return module_ != nullptr && GetProcAddress(module_, name) != nullptr;
}

void LoadedLibrary::Free() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  return static_cast<bool>(file);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream text(ReadTextFile(path));
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}
