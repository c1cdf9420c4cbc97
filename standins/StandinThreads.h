// Stand-in for parts outside the system, not the system's own code.
// The thread primitives the GNU C++ runtime inside each stand-in DLL calls
// (pthread_once, pthread_mutex_*, pthread_cond_*, pthread_key_create and
// the key values, used by exception handling, the unwinder's tables,
// emulated thread-local storage and guarded static initialisation). The toolchain's posix thread model would otherwise
// link a private copy of winpthreads into every DLL; that copy takes a TLS
// slot and kernel handles the first time it runs and gives none of them
// back when the DLL is freed, so a process that loads and frees plug-ins
// repeatedly (the plug-in browser does so twice per scan) ran out of TLS
// slots. These versions own no kernel object: mutexes and once flags are
// interlocked words, and the key values of all threads hang off one slot
// that ReleaseThreadSlot gives back.
//
// The definitions live in StandinThreads.cpp, which must be linked into each
// DLL as an object file: the runtime's references to these functions only
// appear while its archives are scanned, after any archive of ours. Should
// the runtime come to need a function not defined here, winpthreads is
// linked in again and the link fails with "multiple definition" errors:
// add that function rather than dropping these.
#pragma once

namespace standin {

// Gives back the slot holding the threads' key values and runs the key
// destructors for them. Called last at DLL_PROCESS_DETACH; afterwards key
// values read as null and cannot be set, so late users never take a slot
// the DLL could not give back.
void ReleaseThreadSlot();

}  // namespace standin
