// PlugInGuard: the exception frame around plug-in calls.
#include "programmer/PlugInGuard.h"

#include "resources/StringIds.h"
#include "toolkit/Resources.h"
#include "toolkit/StrConv.h"

#include <windows.h>

#include <cstdint>

#if !defined(__i386__)
#error "The guard keeps the frame chain of 32-bit x86 (FS:[0]); other targets need their own frame."
#endif

namespace {

// The registration the system sees (it must come first), and where to
// resume when an exception reaches it.
struct TGuardFrame {
    EXCEPTION_REGISTRATION_RECORD record;
    void* resume[5];  // __builtin_setjmp's buffer
    TPlugInFault* fault;
    std::uint16_t fpuControl;  // the caller's floating-point control word
};

EXCEPTION_REGISTRATION_RECORD* ChainHead()
{
    EXCEPTION_REGISTRATION_RECORD* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head)
{
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

// The guard page of a stack that overflowed is gone; it is put back so the
// next overflow is reported as one again.
void RestoreStackGuard()
{
    using ResetProc = int(__cdecl*)();
    if (HMODULE runtime = ::GetModuleHandleA("msvcrt.dll")) {
        if (auto reset = reinterpret_cast<ResetProc>(
                reinterpret_cast<void*>(::GetProcAddress(runtime, "_resetstkoflw"))))
            reset();
    }
}

// Reached only by exceptions that the frames above it (the plug-in's own)
// left alone. Unwinding passes are not ours to stop.
EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    auto* frame = static_cast<TGuardFrame*>(establisher);
    frame->fault->code = record->ExceptionCode;
    frame->fault->address = record->ExceptionAddress;
    // Back into RunGuarded, leaving the plug-in's frames and the system's
    // dispatch frames behind; RunGuarded puts the chain back.
    __builtin_longjmp(frame->resume, 1);
}

}  // namespace

// Not inlined: the frame and the resume point belong to this function's
// own stack frame, which outlives the plug-in call.
[[gnu::noinline]] bool RunGuarded(void (*work)(void*), void* context, TPlugInFault& fault) noexcept
{
    TGuardFrame frame;
    frame.record.Next = ChainHead();
    frame.record.Handler = &GuardHandler;
    frame.fault = &fault;
    __asm__ __volatile__("fnstcw %0" : "=m"(frame.fpuControl));
    if (__builtin_setjmp(frame.resume)) {
        SetChainHead(frame.record.Next);
        // The plug-in may have stopped with values on the floating-point
        // stack, its own control word or the direction flag set: the
        // caller's code expects none of that.
        __asm__ __volatile__("fninit\n\tfldcw %0\n\tcld" : : "m"(frame.fpuControl) : "memory");
        if (fault.code == static_cast<std::uint32_t>(EXCEPTION_STACK_OVERFLOW))
            RestoreStackGuard();
        return false;
    }
    SetChainHead(&frame.record);
    work(context);
    SetChainHead(frame.record.Next);
    return true;
}

void RaisePlugInFault(std::string_view plugIn, std::string_view function, const TPlugInFault& fault)
{
    throw EPlugInFault(tk::FmtLoadStr(S_PLUGIN_FAULT, {plugIn, function, tk::IntToHex(fault.code, 8),
                                                       tk::IntToHex(reinterpret_cast<std::uintptr_t>(fault.address), 8)}),
                       fault);
}

std::string CopyPlugInText(std::string_view plugIn, std::string_view function, const char* text)
{
    if (!text)
        return {};
    char copy[PlugInTextMaxLength];
    const std::size_t length = GuardPlugInCall(plugIn, function, [&]() -> std::size_t {
        std::size_t n = 0;
        while (n < PlugInTextMaxLength && text[n] != '\0') {
            copy[n] = text[n];
            ++n;
        }
        return n;
    });
    return std::string(copy, length);
}
