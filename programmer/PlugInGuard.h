// PlugInGuard: every call into a plug-in library, and every read of a text
// it hands back, runs inside an exception frame of the program's own. A
// hardware exception raised there (an access violation, an illegal
// instruction, a division by zero, a stack overflow) ends the call: the
// frame records it, resumes in the caller and the caller raises
// EPlugInFault, a toolkit exception naming the plug-in and the function, so
// the action that made the call ends through its usual clean-up and the
// application's error box, and the program goes on.
//
// The frame is a structured-exception registration on the thread's chain
// (the 32-bit toolchain has no __try): the plug-in's own frames, registered
// after it, still handle their own exceptions first. Resuming goes straight
// back to the frame's owner and restores the chain as it was at entry, so
// frames the plug-in left behind are dropped with the plug-in's stack.
// Nothing between the frame and the plug-in may own a resource: no
// destructor of those frames runs.
#pragma once

#include "toolkit/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// Longest text the program takes from a plug-in; longer ones are cut.
inline constexpr std::size_t PlugInTextMaxLength = 255;

// What cut a guarded call short.
struct TPlugInFault {
    std::uint32_t code = 0;         // the exception code, e.g. 0xC0000005
    const void* address = nullptr;  // where it was raised
};

// A hardware exception raised inside a plug-in call.
class EPlugInFault : public tk::Exception {
public:
    EPlugInFault(const std::string& message, const TPlugInFault& fault) : tk::Exception(message), fault_(fault) {}
    std::uint32_t Code() const { return fault_.code; }
    const void* Address() const { return fault_.address; }

private:
    TPlugInFault fault_;
};

// Runs work(context) inside the frame. False when an exception ended it;
// `fault` then says which. `work` must not throw.
bool RunGuarded(void (*work)(void*), void* context, TPlugInFault& fault) noexcept;

// The exception for a fault in `function` of the plug-in file `plugIn`.
[[noreturn]] void RaisePlugInFault(std::string_view plugIn, std::string_view function, const TPlugInFault& fault);

// call() inside the frame, with its result; a fault raises EPlugInFault.
// `call` must neither throw nor own anything (only the plug-in call and
// plain reads and writes of memory).
template <class Call>
auto GuardPlugInCall(std::string_view plugIn, std::string_view function, Call&& call) -> decltype(call())
{
    using Result = decltype(call());
    TPlugInFault fault;
    if constexpr (std::is_void_v<Result>) {
        const auto work = [](void* c) { (*static_cast<std::remove_reference_t<Call>*>(c))(); };
        if (!RunGuarded(work, &call, fault))
            RaisePlugInFault(plugIn, function, fault);
    } else {
        struct Context {
            std::remove_reference_t<Call>* call;
            Result result;
        } context{&call, Result{}};
        const auto work = [](void* c) {
            auto* self = static_cast<Context*>(c);
            self->result = (*self->call)();
        };
        if (!RunGuarded(work, &context, fault))
            RaisePlugInFault(plugIn, function, fault);
        return context.result;
    }
}

// A zero-terminated text that `function` of `plugIn` handed back, copied at
// once: null reads as empty and at most PlugInTextMaxLength characters are
// read. An unreadable byte before the terminator or the bound raises
// EPlugInFault.
std::string CopyPlugInText(std::string_view plugIn, std::string_view function, const char* text);
