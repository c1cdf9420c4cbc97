// Helpers for the plug-in browser tests.
#include "tests/plugins/PlugInsTestSupport.h"

#include "tests/support/TestLibraries.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace plugtest {

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::string(temp) + "zpplug" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << path_;
            break;
        }
    }
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path_ + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryA(full.c_str());
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

void TempFolder::CopyIn(const std::string& name, const std::string& as) const {
    const std::string from = TestLibraryPath(name);
    const std::string to = path_ + (as.empty() ? name : as);
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) ADD_FAILURE() << "cannot copy " << from << " to " << to;
}

void TempFolder::Write(const std::string& name, const std::string& text) const {
    std::ofstream out(path_ + name, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(path_ + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        tk::App().ProcessMessage(msg);
    }
}

void ClickAt(HWND wnd, int x, int y) {
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace plugtest
