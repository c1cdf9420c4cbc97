// Test doubles for the System Info tests.
#include "tests/sysinfo/SysinfoTestSupport.h"

#include "toolkit/Resources.h"

#include <windows.h>

#include <fstream>
#include <sstream>

tk::ModalResult RecordingMessages::Show(const tk::MessageRequest& request)
{
    texts.push_back(request.text);
    return tk::mrOk;
}

tk::ModalResult ScriptedModal::RunModal(tk::Form& form)
{
    ++runs;
    if (actions) actions(form);
    return form.GetModalResult() != tk::mrNone ? form.GetModalResult() : tk::mrCancel;
}

PortLibraryConfig::PortLibraryConfig()
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "zp_sysinfo_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir_.c_str(), nullptr);
    configPath_ = dir_ + "\\ZeltoProgBasic.cfg";
    tracePath_ = dir_ + "\\ZeltoProgBasic.trace";
    ::SetEnvironmentVariableA("ZP_PORTLIB_CONFIG", configPath_.c_str());
    Write("");
    ClearTrace();
}

PortLibraryConfig::~PortLibraryConfig()
{
    ::SetEnvironmentVariableA("ZP_PORTLIB_CONFIG", nullptr);
    ::DeleteFileA(configPath_.c_str());
    ::DeleteFileA(tracePath_.c_str());
    ::RemoveDirectoryA(dir_.c_str());
}

void PortLibraryConfig::Write(const std::string& text)
{
    std::ofstream out(configPath_, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> PortLibraryConfig::TraceLines() const
{
    std::ifstream in(tracePath_, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void PortLibraryConfig::ClearTrace() { ::DeleteFileA(tracePath_.c_str()); }

void PumpMessages()
{
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

std::string Text(unsigned id) { return tk::LoadStr(id); }
