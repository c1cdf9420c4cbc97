// A device plug-in that breaks the rules the way hostile or broken plug-ins
// do, so the host's guard can be tried on real faults. It simulates a chip
// "HOSTILE1" (256 bytes Flash, 16 bytes EEPROM, one special bit per
// category) and reads its behaviour at every call from the environment
// variable ZP_HOSTILE, a comma-separated list of:
//   read-fault=<hex address>  the Flash or EEPROM read of that address faults
//   read-data=<number>        every read answers Data = number (decimal, or
//                             hexadecimal after 0x; may be negative)
//   fault=av|ud|div|stack     how it faults: access violation (default),
//                             illegal instruction, division by zero, stack
//                             overflow
//   categories=released       the category names live in a page that is
//                             released at the plug-in's next call
//   categories=garbage        the category names point to an unreadable place
//   name=unterminated         the found name runs without terminator into an
//                             unreadable page
//   devices=fault             GetDevicesNames faults
//   devices=garbage           GetDevicesNames answers one unreadable name
//   probe=fault               IsZeltoPlugIn faults
//   read-raise=1              every read raises an exception of its own and
//                             handles it in a frame of its own, as plug-ins
//                             written with exceptions do
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr int kFlashSize = 256;
constexpr int kEEpromSize = 16;
const char* const kCategories[3] = {"Hostile Fuses", "Hostile Locks", "Hostile Extra"};
const char* const kBitNames[3] = {"HF0", "HL0", "HX0"};
const char* const kUnreadable = reinterpret_cast<const char*>(0x10);

std::uint8_t g_flash[kFlashSize];
std::uint8_t g_eeprom[kEEpromSize];
std::uint8_t g_bits[3];
bool g_powered = false;
void* g_releasedPage = nullptr;

std::string Setting(const char* key)
{
    char buffer[512] = {};
    const DWORD n = GetEnvironmentVariableA("ZP_HOSTILE", buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return std::string();
    const std::string all(buffer, n);
    const std::string wanted = std::string(key) + "=";
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(',', start);
        if (end == std::string::npos)
            end = all.size();
        const std::string item = all.substr(start, end - start);
        if (item.compare(0, wanted.size(), wanted) == 0)
            return item.substr(wanted.size());
        start = end + 1;
    }
    return std::string();
}

int Recurse(int depth)
{
    volatile char ballast[1024];
    ballast[0] = static_cast<char>(depth);
    if (depth == INT32_MAX)
        return ballast[0];
    return Recurse(depth + 1) + ballast[0];
}

// Raises the configured hardware exception.
void Fault()
{
    const std::string kind = Setting("fault");
    if (kind == "ud") {
        __asm__ __volatile__("ud2");
    } else if (kind == "div") {
        volatile int zero = 0;
        volatile int seven = 7;
        volatile int result = seven / zero;
        (void)result;
    } else if (kind == "stack") {
        Recurse(0);
    }
    volatile int* volatile target = reinterpret_cast<int*>(0x10);
    *target = 1;
}

// A page the category names were handed out in is taken back at the next
// call, as a plug-in freeing its texts after returning would.
void Enter()
{
    if (g_releasedPage) {
        VirtualFree(g_releasedPage, 0, MEM_RELEASE);
        g_releasedPage = nullptr;
    }
}

constexpr DWORD kOwnException = 0xE0484F53;

EXCEPTION_DISPOSITION NTAPI OwnHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    return record->ExceptionCode == kOwnException ? ExceptionContinueExecution : ExceptionContinueSearch;
}

// An exception raised and handled inside the plug-in, in a frame of its own.
void RaiseAndHandle()
{
    EXCEPTION_REGISTRATION_RECORD own;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(own.Next));
    own.Handler = &OwnHandler;
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&own) : "memory");
    RaiseException(kOwnException, 0, 0, nullptr);
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(own.Next) : "memory");
}

std::uint8_t Read(std::int32_t address, std::int32_t* data, const std::uint8_t* memory, int size)
{
    Enter();
    if (Setting("read-raise") == "1")
        RaiseAndHandle();
    const std::string faultAt = Setting("read-fault");
    if (!faultAt.empty() && std::strtol(faultAt.c_str(), nullptr, 16) == address)
        Fault();
    if (address < 0 || address >= size)
        return 0;
    const std::string forced = Setting("read-data");
    *data = forced.empty() ? memory[address] : static_cast<std::int32_t>(std::strtoll(forced.c_str(), nullptr, 0));
    return 1;
}

std::uint8_t Write(std::int32_t address, std::int32_t data, std::uint8_t* memory, int size)
{
    Enter();
    if (address < 0 || address >= size)
        return 0;
    memory[address] = static_cast<std::uint8_t>(data);
    return 1;
}

void BitNames(int category, std::int32_t* count, const char** names, std::int32_t high)
{
    Enter();
    *count = 1;
    if (high >= 0)
        names[0] = kBitNames[category];
}

}  // namespace

EXPORT std::uint8_t __stdcall IsZeltoPlugIn()
{
    if (Setting("probe") == "fault")
        Fault();
    return 1;
}

EXPORT void __stdcall GetDevicesNames(std::int32_t* count, const char** names, std::int32_t high)
{
    const std::string mode = Setting("devices");
    if (mode == "fault")
        Fault();
    *count = 1;
    if (high >= 0)
        names[0] = mode == "garbage" ? kUnreadable : "HOSTILE1";
}

EXPORT void __stdcall PowerOffDevice(std::int32_t) { Enter(); g_powered = false; }
EXPORT std::uint8_t __stdcall PowerUpDevice(std::int32_t) { Enter(); g_powered = true; return 1; }
EXPORT std::uint8_t __stdcall CheckProgrammingDevice(std::int32_t) { Enter(); return 1; }
EXPORT void __stdcall CheckSignature(std::int32_t) { Enter(); }
EXPORT std::uint8_t __stdcall EnableProgramming(std::int32_t) { Enter(); return g_powered ? 1 : 0; }

EXPORT void __stdcall EraseChip(std::int32_t)
{
    Enter();
    std::memset(g_flash, 0xFF, sizeof g_flash);
    std::memset(g_eeprom, 0xFF, sizeof g_eeprom);
}

EXPORT const char* __stdcall GetDeviceFoundName()
{
    Enter();
    if (Setting("name") != "unterminated")
        return "HOSTILE1";
    // 100 letters at the very end of a page whose neighbour cannot be read.
    static char* pages = nullptr;
    const DWORD page = 4096;
    if (!pages) {
        pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(pages + page, page, PAGE_NOACCESS, &old);
        std::memset(pages + page - 100, 'A', 100);
    }
    return pages + page - 100;
}

EXPORT std::int32_t __stdcall GetDeviceFoundFlashSize() { Enter(); return kFlashSize; }
EXPORT std::int32_t __stdcall GetDeviceFoundEEpromSize() { Enter(); return kEEpromSize; }

EXPORT std::uint8_t __stdcall ReadFlashAddress(std::int32_t, std::int32_t address, std::int32_t* data)
{
    return Read(address, data, g_flash, kFlashSize);
}
EXPORT std::uint8_t __stdcall WriteFlashAddress(std::int32_t, std::int32_t address, std::int32_t data)
{
    return Write(address, data, g_flash, kFlashSize);
}
EXPORT std::uint8_t __stdcall ReadEEpromAddress(std::int32_t, std::int32_t address, std::int32_t* data)
{
    return Read(address, data, g_eeprom, kEEpromSize);
}
EXPORT std::uint8_t __stdcall WriteEEpromAddress(std::int32_t, std::int32_t address, std::int32_t data)
{
    return Write(address, data, g_eeprom, kEEpromSize);
}

EXPORT void __stdcall GetSpecialBitsCategoryName(const char** names, std::int32_t high)
{
    Enter();
    const std::string mode = Setting("categories");
    char* page = nullptr;
    if (mode == "released") {
        page = static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        g_releasedPage = page;
    }
    for (std::int32_t i = 0; i <= high && i < 3; ++i) {
        if (mode == "garbage") {
            names[i] = kUnreadable;
        } else if (page) {
            char* text = page + 64 * i;
            std::strcpy(text, kCategories[i]);
            names[i] = text;
        } else {
            names[i] = kCategories[i];
        }
    }
}

EXPORT void __stdcall ReadSpecialBits1(std::int32_t, std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) bits[0] = g_bits[0]; }
EXPORT void __stdcall ReadSpecialBits2(std::int32_t, std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) bits[0] = g_bits[1]; }
EXPORT void __stdcall ReadSpecialBits3(std::int32_t, std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) bits[0] = g_bits[2]; }
EXPORT void __stdcall WriteSpecialBits1(std::int32_t, const std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) g_bits[0] = bits[0]; }
EXPORT void __stdcall WriteSpecialBits2(std::int32_t, const std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) g_bits[1] = bits[0]; }
EXPORT void __stdcall WriteSpecialBits3(std::int32_t, const std::uint8_t* bits, std::int32_t high) { Enter(); if (high >= 0) g_bits[2] = bits[0]; }
EXPORT void __stdcall ReadSpecialBits1Names(std::int32_t* count, const char** names, std::int32_t high) { BitNames(0, count, names, high); }
EXPORT void __stdcall ReadSpecialBits2Names(std::int32_t* count, const char** names, std::int32_t high) { BitNames(1, count, names, high); }
EXPORT void __stdcall ReadSpecialBits3Names(std::int32_t* count, const char** names, std::int32_t high) { BitNames(2, count, names, high); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
