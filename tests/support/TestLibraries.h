// Where a test finds the libraries it loads or copies. The test executables
// run from the program folder <build>\bin, which holds what a user's holds:
// the program, the port library and DemoPlugin.dll. The libraries that only
// tests load (the plug-in variants each lacking one thing, odd plug-ins,
// version fixtures) lie in <build>\testlibs beside it, so that the program's
// plug-in list shows the demonstration plug-in alone.
#pragma once

#include <windows.h>

#include <string>

// The running executable's folder, with a trailing backslash.
inline std::string TestProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of("\\/") + 1);
}

// The test-only libraries' folder, as seen from the program folder: for a
// program that takes plug-in names relative to its own folder.
inline std::string TestLibraryFolderFromProgram() { return "..\\testlibs\\"; }

// The test-only libraries' folder, with a trailing backslash.
inline std::string TestLibraryFolder() { return TestProgramFolder() + TestLibraryFolderFromProgram(); }

// The full path of `name`: a test-only library, else the program folder's.
inline std::string TestLibraryPath(const std::string& name)
{
    const std::string testOnly = TestLibraryFolder() + name;
    if (::GetFileAttributesA(testOnly.c_str()) != INVALID_FILE_ATTRIBUTES)
        return testOnly;
    return TestProgramFolder() + name;
}
