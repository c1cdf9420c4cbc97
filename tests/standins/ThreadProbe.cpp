// A test DLL built like the stand-ins, whose exports make the C++ runtime
// inside it use each thread primitive the stand-ins supply in place of
// winpthreads: exceptions (per-thread exception bookkeeping, the unwinder's
// once flags and mutexes), thread_local values (emulated thread-local
// storage, whose key destructor runs when a thread ends) and a guarded
// function-local static.
#include "standins/StandinThreads.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

extern "C" __declspec(dllexport) int32_t __stdcall ProbeCallsOnThisThread();
extern "C" __declspec(dllexport) int32_t __stdcall ProbeThrowAndCatch(int32_t value);
extern "C" __declspec(dllexport) int32_t __stdcall ProbeStaticLength();

namespace {

thread_local int32_t t_calls = 0;

std::string Repeated(char c, size_t count) { return std::string(count, c); }

[[noreturn]] void Fail(int32_t value) { throw std::runtime_error(std::to_string(value)); }

}  // namespace

int32_t __stdcall ProbeCallsOnThisThread() { return ++t_calls; }

int32_t __stdcall ProbeThrowAndCatch(int32_t value) {
  try {
    Fail(value);
  } catch (const std::exception& error) {
    return std::stoi(error.what());
  }
}

int32_t __stdcall ProbeStaticLength() {
  static const std::string text = Repeated('x', 40);
  return static_cast<int32_t>(text.size());
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  else if (reason == DLL_PROCESS_DETACH) standin::ReleaseThreadSlot();
  return TRUE;
}
