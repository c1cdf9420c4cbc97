// PlugInGuard: the exception frame around plug-in calls.
#include "programmer/PlugInGuard.h"

#include "resources/StringIds.h"
#include "toolkit/Resources.h"
#include "toolkit/StrConv.h"

#include <windows.h>

#include <cstdint>

#if !defined(__i386__) && !defined(__x86_64__)
#error "The guard knows the exception frames of x86 and x86-64 Windows only."
#endif

namespace {

// Where to resume when an exception reaches the guard's frame.
struct TGuardFrame {
#if defined(__i386__)
    EXCEPTION_REGISTRATION_RECORD record;  // the registration the system sees: first
#endif
    void* resume[5];  // __builtin_setjmp's buffer
    TPlugInFault* fault;
    EXCEPTION_REGISTRATION_RECORD* chainHead;  // the thread's frame chain at entry
    std::uint16_t fpuControl;                  // the caller's x87 control word
#if defined(__x86_64__)
    std::uint32_t sseControl;  // the caller's MXCSR
#endif
};

// The head of the thread's frame chain. On x86 the guard's frame is a
// registration there. x86-64 Windows does not use the chain, but Wine's
// dispatcher registers a frame of its own there around each handler it
// calls; leaving the handler by a jump leaves that frame behind, and the
// next exception would be handed to whatever the stack holds there now. On
// both, the chain is put back as it was at entry.
EXCEPTION_REGISTRATION_RECORD* ChainHead()
{
    EXCEPTION_REGISTRATION_RECORD* head;
#if defined(__i386__)
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
#else
    __asm__ __volatile__("movq %%gs:0, %0" : "=r"(head));
#endif
    return head;
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head)
{
#if defined(__i386__)
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
#else
    __asm__ __volatile__("movq %0, %%gs:0" : : "r"(head) : "memory");
#endif
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

void SaveFloatingPointState(TGuardFrame& frame)
{
    __asm__ __volatile__("fnstcw %0" : "=m"(frame.fpuControl));
#if defined(__x86_64__)
    __asm__ __volatile__("stmxcsr %0" : "=m"(frame.sseControl));
#endif
}

// The plug-in may have stopped with values on the floating-point stack, its
// own control words or the direction flag set: the caller's code expects
// none of that.
void RestoreFloatingPointState(const TGuardFrame& frame)
{
    __asm__ __volatile__("fninit\n\tfldcw %0\n\tcld" : : "m"(frame.fpuControl) : "memory");
#if defined(__x86_64__)
    __asm__ __volatile__("ldmxcsr %0" : : "m"(frame.sseControl) : "memory");
#endif
}

// Records the exception and goes back into RunGuarded, leaving the plug-in's
// frames and the system's dispatch frames behind.
[[noreturn]] void Resume(TGuardFrame& frame, const EXCEPTION_RECORD& record)
{
    frame.fault->code = record.ExceptionCode;
    frame.fault->address = record.ExceptionAddress;
    __builtin_longjmp(frame.resume, 1);
}

}  // namespace

#if defined(__i386__)

// x86: the frame is a registration on the thread's chain at FS:[0].
namespace {

// Reached only by exceptions that the frames above it (the plug-in's own)
// left alone. Unwinding passes are not ours to stop.
EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    Resume(*static_cast<TGuardFrame*>(establisher), *record);
}

void CallInFrame(TGuardFrame& frame, void (*work)(void*), void* context)
{
    frame.record.Next = frame.chainHead;
    frame.record.Handler = &GuardHandler;
    SetChainHead(&frame.record);
    work(context);
    SetChainHead(frame.chainHead);
}

}  // namespace

#else

// x86-64: exception frames are described by unwind tables, so the frame is
// a small function of its own, ZpGuardedCall(work, context, guard), whose
// table entry names ZpGuardHandler as its exception handler. The system
// walks the stack from the faulting instruction outwards: the plug-in's own
// functions, with their handlers, come first, then this one. The guard
// pointer lies in the function's frame at offset 32, above the home area
// of the call it makes.
extern "C" void ZpGuardedCall(void (*work)(void*), void* context, TGuardFrame* guard);
extern "C" EXCEPTION_DISPOSITION ZpGuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*);

__asm__(
    ".text\n"
    ".globl ZpGuardedCall\n"
    ".def ZpGuardedCall; .scl 2; .type 32; .endef\n"
    ".seh_proc ZpGuardedCall\n"
    "ZpGuardedCall:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    "    .seh_handler ZpGuardHandler, @except\n"
    "    movq %r8, 32(%rsp)\n"
    "    movq %rcx, %rax\n"
    "    movq %rdx, %rcx\n"
    "    call *%rax\n"
    "    nop\n"  // the return address stays inside the function's table entry
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n");

// Reached only by exceptions that the frames below it (the plug-in's own)
// left alone. Unwinding passes are not ours to stop.
extern "C" EXCEPTION_DISPOSITION ZpGuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    Resume(**reinterpret_cast<TGuardFrame**>(static_cast<char*>(establisher) + 32), *record);
}

namespace {

void CallInFrame(TGuardFrame& frame, void (*work)(void*), void* context) { ZpGuardedCall(work, context, &frame); }

}  // namespace

#endif

// Not inlined: the frame and the resume point belong to this function's
// own stack frame, which outlives the plug-in call.
[[gnu::noinline]] bool RunGuarded(void (*work)(void*), void* context, TPlugInFault& fault) noexcept
{
    TGuardFrame frame;
    frame.fault = &fault;
    frame.chainHead = ChainHead();
    SaveFloatingPointState(frame);
    if (__builtin_setjmp(frame.resume)) {
        SetChainHead(frame.chainHead);
        RestoreFloatingPointState(frame);
        if (fault.code == static_cast<std::uint32_t>(EXCEPTION_STACK_OVERFLOW))
            RestoreStackGuard();
        return false;
    }
    CallInFrame(frame, work, context);
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
