// Stand-in for parts outside the system, not the system's own code.
// An ordinary DLL that a user might keep in the program's folder: it exports
// nothing of the plug-in interface, so the plug-in browser must pass it by.
#include "standins/StandinThreads.h"

#include <windows.h>

#include <cstdint>

extern "C" __declspec(dllexport) int32_t __stdcall NotAPlugInAnswer();

int32_t __stdcall NotAPlugInAnswer() { return 42; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  else if (reason == DLL_PROCESS_DETACH) standin::ReleaseThreadSlot();
  return TRUE;
}
