// Helpers for the plug-in browser tests: a private temporary folder that a
// test fills with copies of chosen libraries, the build's binary folder
// they are copied from, small file helpers and message pumping.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace plugtest {

// The folder of the running test program (where every built DLL lies),
// with a trailing backslash.
std::string BinDir();

// A fresh empty folder under the user's temporary folder, removed with all
// its files when the object dies.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing backslash.
    const std::string& Path() const { return path_; }
    // Copies the library `name` (TestLibraryPath) into the folder, as `as` when given.
    void CopyIn(const std::string& name, const std::string& as = std::string()) const;
    void Write(const std::string& name, const std::string& text) const;
    std::string Read(const std::string& name) const;
    std::string PathOf(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// The lines of a text file (CRLF or LF ended); empty when it is missing.
std::vector<std::string> Lines(const std::string& text);

// Handles the thread's pending messages (a bounded number of them).
void Pump();

// A left click at the centre of a window's client point.
void ClickAt(HWND wnd, int x, int y);

}  // namespace plugtest
