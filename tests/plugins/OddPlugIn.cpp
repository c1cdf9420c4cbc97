// A plug-in library that answers GetDevicesNames the way careless plug-ins
// do, so the browser's copy of the names can be tried on bad answers. The
// answer is chosen by the environment variable ZP_ODD_NAMES at each call:
//   huge      Count 20000; every one of the High + 1 slots filled
//   huge-only Count 20000; no slot touched
//   negative  Count -7; no slot touched
//   nulls     Count 3; slots "first", null, "third"
//   untouched neither Count nor any slot touched
//   long      Count 1; one name of 300 characters "x"
//   (other)   Count 2; "ODD-A", "ODD-B"
// The names live in this library's memory, as they do in real plug-ins.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

extern "C" __declspec(dllexport) uint8_t __stdcall IsZeltoPlugIn();
extern "C" __declspec(dllexport) void __stdcall GetDevicesNames(int32_t* Count, const char** Names, int32_t High);

namespace {

std::vector<std::string> g_names;

std::string Mode() {
    char buffer[64] = {};
    const DWORD n = GetEnvironmentVariableA("ZP_ODD_NAMES", buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void HandOut(const char** Names, int32_t High) {
    for (int32_t i = 0; i < static_cast<int32_t>(g_names.size()) && i <= High; ++i) Names[i] = g_names[i].c_str();
}

}  // namespace

uint8_t __stdcall IsZeltoPlugIn() { return 1; }

void __stdcall GetDevicesNames(int32_t* Count, const char** Names, int32_t High) {
    const std::string mode = Mode();
    g_names.clear();
    if (mode == "huge") {
        for (int32_t i = 0; i <= High; ++i) g_names.push_back("D" + std::to_string(i));
        HandOut(Names, High);
        *Count = 20000;
    } else if (mode == "huge-only") {
        *Count = 20000;
    } else if (mode == "negative") {
        *Count = -7;
    } else if (mode == "nulls") {
        g_names = {"first", "", "third"};
        HandOut(Names, High);
        Names[1] = nullptr;
        *Count = 3;
    } else if (mode == "untouched") {
    } else if (mode == "long") {
        g_names.push_back(std::string(300, 'x'));
        HandOut(Names, High);
        *Count = 1;
    } else {
        g_names = {"ODD-A", "ODD-B"};
        HandOut(Names, High);
        *Count = 2;
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
