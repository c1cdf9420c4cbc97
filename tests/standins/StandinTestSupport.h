// Helpers for the tests of the stand-in port library and device plug-ins:
// a private scratch folder per test, environment variables that are put back,
// loaded libraries that are freed, and whole-file text access.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestLibraries.h"

// The folder of the running test executable: the program folder, where the
// port library and the demonstration plug-in lie (the plug-in variants lie
// in TestLibraryFolder()).
std::string ExecutableFolder();

class ScratchFolder {
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // With a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

private:
  std::string path_;
};

// Sets a process environment variable for the scope and restores it after.
class EnvironmentOverride {
public:
  EnvironmentOverride(const char* name, const std::string& value);
  ~EnvironmentOverride();
  EnvironmentOverride(const EnvironmentOverride&) = delete;
  EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
  std::string name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

class LoadedLibrary {
public:
  explicit LoadedLibrary(const std::string& fileName);  // where TestLibraryPath() finds it
  LoadedLibrary(const std::string& folder, const std::string& fileName);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  HMODULE Handle() const { return module_; }
  bool Loaded() const { return module_ != nullptr; }
  bool Exports(const char* name) const;
  template <typename Proc>
  Proc Get(const char* name) const {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  void Free();

private:
  HMODULE module_;
};

bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);
// The file's lines without their line ends.
std::vector<std::string> ReadLines(const std::string& path);
