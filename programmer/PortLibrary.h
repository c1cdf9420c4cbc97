// The application's imports from the port library ZeltoProgBasic.dll, which is
// linked at load time. The library exports OpenDriver, CloseDriver,
// GetSystemInfo and the rest under their plain names; three of those names
// collide with Win32 declarations, so the application sees all eight under a
// "Zp" prefix and the import library maps each one to its export name.
#pragma once

#include <cstdint>

#include <limits>

#if defined(__MINGW32__)
// The library hands back 80-bit x87 extended values; on these targets long
// double is that type, padded to 12 bytes (x86) or 16 (x86-64). The library
// fills only the ten value bytes.
static_assert(std::numeric_limits<long double>::digits == 64, "long double must be the 80-bit x87 type");
#if defined(__i386__)
static_assert(sizeof(long double) == 12, "the 32-bit library's extended values take 12 bytes");
#endif
#endif

extern "C" {

// True when the port driver is ready; the program cannot go on without it.
uint8_t __stdcall ZpOpenDriver();
void __stdcall ZpCloseDriver();

// Count = parallel ports found; each flag nonzero when that base address answers.
void __stdcall ZpCheckPorts(int32_t* Count, int32_t* Has278, int32_t* Has378, int32_t* Has3BC);

// Each flag is exactly 1 when the port at Port has that capability.
void __stdcall ZpCheckBidir(int32_t Port, uint8_t* IsECP, uint8_t* IsBidirectional);

uint8_t __stdcall ZpGetCommandMode();
// Mode is a 32-bit Boolean: 1 when the program was started with arguments.
void __stdcall ZpSetCommandMode(int32_t Mode);

// Resolutions are in milliseconds and meaningful only when their timer exists.
void __stdcall ZpGetSystemInfo(uint8_t* QuantumTimer, uint8_t* TimeStamp, long double* QTRes,
                               long double* TSRes, double* CPUSpeed);

// Points into the library: at least eight characters "0"/"1", most
// significant bit first. Copy them at once.
const char* __stdcall ZpIntToBin8(int32_t Value);

}  // extern "C"
