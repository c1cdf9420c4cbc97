// A device plug-in that breaks the rules as broken plug-ins do. Its chip
// "HOSTILE1" has 256 bytes of Flash and 16 of EEPROM that read as their
// address; ZP_HOSTILE, read at every call, is a comma-separated list of:
//   read-fault=<hex address>  the read of that address faults (an access
//                             violation; with fault=stack a stack overflow)
//   read-data=<number>        every read answers Data = number (0x for hex)
//   read-raise=1              every read raises and handles an exception of
//                             its own, in a frame of its own
//   fpu=mess                  a fault first leaves its own x87 control word
//                             (and MXCSR on x86-64), a value on the x87
//                             stack and the direction flag set
//   categories=released|garbage  category names in a page released at the
//                             next call | at an unreadable address
//   name=unterminated         the found name runs into an unreadable page
//   devices=fault|garbage     GetDevicesNames faults | answers an unreadable name
//   probe=fault               IsZeltoPlugIn faults
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

const char* const kUnreadable = reinterpret_cast<const char*>(0x10);
constexpr DWORD kOwnException = 0xE0484F53;
void* g_releasedPage = nullptr;

bool Has(const char* item)
{
    char buffer[256] = {};
    const DWORD n = GetEnvironmentVariableA("ZP_HOSTILE", buffer, sizeof buffer);
    return n < sizeof buffer && std::strstr((std::string(",") + buffer + ",").c_str(), item) != nullptr;
}

std::string Value(const char* key)
{
    char buffer[256] = {};
    GetEnvironmentVariableA("ZP_HOSTILE", buffer, sizeof buffer);
    const char* at = std::strstr(buffer, key);
    return at ? std::string(at + std::strlen(key), std::strcspn(at + std::strlen(key), ",")) : std::string();
}

int Recurse(int depth)
{
    volatile char ballast[1024];
    ballast[0] = static_cast<char>(depth);
    return depth == INT32_MAX ? 0 : Recurse(depth + 1) + ballast[0];
}

void MessUpFloatingPoint()
{
    const std::uint16_t control = 0x0C7F;  // single precision, round toward zero
    __asm__ __volatile__("fldcw %0\n\tfld1\n\tstd" : : "m"(control) : "memory");
#if defined(__x86_64__)
    const std::uint32_t sse = 0x7F80;  // round toward zero
    __asm__ __volatile__("ldmxcsr %0" : : "m"(sse) : "memory");
#endif
}

void Fault()
{
    if (Has(",fpu=mess,"))
        MessUpFloatingPoint();
    if (Has(",fault=stack,"))
        Recurse(0);
    volatile int* volatile target = reinterpret_cast<int*>(0x10);
    *target = 1;
}

// A plug-in that freed its texts after returning.
void Enter()
{
    if (g_releasedPage)
        VirtualFree(g_releasedPage, 0, MEM_RELEASE);
    g_releasedPage = nullptr;
}

}  // namespace

// Handles its own exception, and nothing else, in a frame of its own: the
// program's guard, further out, must never see it.
extern "C" EXCEPTION_DISPOSITION NTAPI HostileOwnHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*)
{
    const bool ours = record->ExceptionCode == kOwnException && !(record->ExceptionFlags & EXCEPTION_UNWINDING);
    return ours ? ExceptionContinueExecution : ExceptionContinueSearch;
}

namespace {

#if defined(__i386__)
void RaiseAndHandle()
{
    EXCEPTION_REGISTRATION_RECORD own;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(own.Next));
    own.Handler = &HostileOwnHandler;
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(&own) : "memory");
    RaiseException(kOwnException, 0, 0, nullptr);
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(own.Next) : "memory");
}
#else
}  // namespace

// x86-64: a function whose unwind table entry names the handler; it raises
// the exception whose code it is given.
extern "C" void HostileRaiseInOwnFrame(DWORD code);
__asm__(
    ".text\n"
    ".globl HostileRaiseInOwnFrame\n"
    ".def HostileRaiseInOwnFrame; .scl 2; .type 32; .endef\n"
    ".seh_proc HostileRaiseInOwnFrame\n"
    "HostileRaiseInOwnFrame:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    "    .seh_handler HostileOwnHandler, @except\n"
    "    xorl %edx, %edx\n"
    "    xorl %r8d, %r8d\n"
    "    xorl %r9d, %r9d\n"
    "    call *__imp_RaiseException(%rip)\n"
    "    nop\n"
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n");

namespace {

void RaiseAndHandle() { HostileRaiseInOwnFrame(kOwnException); }
#endif

std::uint8_t Read(std::int32_t address, std::int32_t* data, std::int32_t size)
{
    Enter();
    if (Has(",read-raise=1,"))
        RaiseAndHandle();
    const std::string faultAt = Value("read-fault=");
    if (!faultAt.empty() && std::strtol(faultAt.c_str(), nullptr, 16) == address)
        Fault();
    const std::string forced = Value("read-data=");
    *data = forced.empty() ? address : static_cast<std::int32_t>(std::strtoll(forced.c_str(), nullptr, 0));
    return address >= 0 && address < size;
}

}  // namespace

EXPORT std::uint8_t __stdcall IsZeltoPlugIn()
{
    if (Has(",probe=fault,"))
        Fault();
    return 1;
}

EXPORT void __stdcall GetDevicesNames(std::int32_t* count, const char** names, std::int32_t)
{
    if (Has(",devices=fault,"))
        Fault();
    *count = 1;
    names[0] = Has(",devices=garbage,") ? kUnreadable : "HOSTILE1";
}

EXPORT const char* __stdcall GetDeviceFoundName()
{
    Enter();
    if (!Has(",name=unterminated,"))
        return "HOSTILE1";
    // 100 letters at the very end of a page whose neighbour cannot be read.
    char* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old);
    return static_cast<char*>(std::memset(pages + 4096 - 100, 'A', 100));
}

EXPORT void __stdcall GetSpecialBitsCategoryName(const char** names, std::int32_t)
{
    Enter();
    const char* const categories[3] = {"Hostile Fuses", "Hostile Locks", "Hostile Extra"};
    char* page = static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    for (int i = 0; i < 3; ++i)
        names[i] = Has(",categories=garbage,") ? kUnreadable : std::strcpy(page + 64 * i, categories[i]);
    if (Has(",categories=released,"))
        g_releasedPage = page;
}

EXPORT std::uint8_t __stdcall ReadFlashAddress(std::int32_t, std::int32_t address, std::int32_t* data) { return Read(address, data, 256); }
EXPORT std::uint8_t __stdcall ReadEEpromAddress(std::int32_t, std::int32_t address, std::int32_t* data) { return Read(address, data, 16); }
EXPORT std::uint8_t __stdcall WriteFlashAddress(std::int32_t, std::int32_t, std::int32_t) { Enter(); return 1; }
EXPORT std::uint8_t __stdcall WriteEEpromAddress(std::int32_t, std::int32_t, std::int32_t) { Enter(); return 1; }
EXPORT std::int32_t __stdcall GetDeviceFoundFlashSize() { Enter(); return 256; }
EXPORT std::int32_t __stdcall GetDeviceFoundEEpromSize() { Enter(); return 16; }
EXPORT std::uint8_t __stdcall PowerUpDevice(std::int32_t) { Enter(); return 1; }
EXPORT std::uint8_t __stdcall CheckProgrammingDevice(std::int32_t) { Enter(); return 1; }
EXPORT std::uint8_t __stdcall EnableProgramming(std::int32_t) { Enter(); return 1; }
EXPORT void __stdcall PowerOffDevice(std::int32_t) { Enter(); }
EXPORT void __stdcall CheckSignature(std::int32_t) { Enter(); }
EXPORT void __stdcall EraseChip(std::int32_t) { Enter(); }

#define HOSTILE_CATEGORY(n)                                                                               \
    EXPORT void __stdcall ReadSpecialBits##n(std::int32_t, std::uint8_t* bits, std::int32_t) { Enter(); bits[0] = 0; } \
    EXPORT void __stdcall WriteSpecialBits##n(std::int32_t, const std::uint8_t*, std::int32_t) { Enter(); }         \
    EXPORT void __stdcall ReadSpecialBits##n##Names(std::int32_t* count, const char** names, std::int32_t)        \
    {                                                                                                     \
        Enter();                                                                                          \
        *count = 1;                                                                                       \
        names[0] = "BIT" #n;                                                                              \
    }
HOSTILE_CATEGORY(1)
HOSTILE_CATEGORY(2)
HOSTILE_CATEGORY(3)
