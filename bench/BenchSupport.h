// What the benchmark programs share: the performance counter, a scratch
// folder, a bounded message pump and a median.
#pragma once

#include "toolkit/Forms.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        ::QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double NowUs() { return NowMs() * 1000.0; }

// A fresh folder of this process below the temporary folder.
inline std::string ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "zp_" + name + "_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Handles what is queued, painting included; bounded, never waits.
inline void Pump()
{
    MSG msg;
    for (int i = 0; i < 2000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        tk::App().ProcessMessage(msg);
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace bench
