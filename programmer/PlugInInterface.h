// What a device plug-in library exports, as the application binds it at run
// time: the entry-point types and the export names in binding order. All
// exports are __stdcall with plain (undecorated) names. Booleans are one
// byte, nonzero = true; arrays go as a pointer to the first element followed
// by High, the last valid index. Returned texts belong to the plug-in and
// must be copied at once.
#pragma once

#include <array>
#include <cstdint>

// Probed by the plug-in browser only.
using IsZeltoPlugInProc = uint8_t(__stdcall*)();
// Optional. Names has High + 1 slots (the browser passes 9999).
using GetDevicesNamesProc = void(__stdcall*)(int32_t* Count, const char** Names, int32_t High);

// The 23 device functions.
using PowerOffDeviceProc = void(__stdcall*)(int32_t Port);
using PowerUpDeviceProc = uint8_t(__stdcall*)(int32_t Port);
using CheckProgrammingDeviceProc = uint8_t(__stdcall*)(int32_t Port);
using CheckSignatureProc = void(__stdcall*)(int32_t Port);
using EnableProgrammingProc = uint8_t(__stdcall*)(int32_t Port);
using EraseChipProc = void(__stdcall*)(int32_t Port);
using GetDeviceFoundNameProc = const char*(__stdcall*)();
using GetDeviceFoundFlashSizeProc = int32_t(__stdcall*)();
using GetDeviceFoundEEpromSizeProc = int32_t(__stdcall*)();
using ReadAddressProc = uint8_t(__stdcall*)(int32_t Port, int32_t Address, int32_t* Data);
using WriteAddressProc = uint8_t(__stdcall*)(int32_t Port, int32_t Address, int32_t Data);
using ReadFlashAddressProc = ReadAddressProc;
using WriteFlashAddressProc = WriteAddressProc;
using ReadEEpromAddressProc = ReadAddressProc;
using WriteEEpromAddressProc = WriteAddressProc;
// Names has High + 1 slots; the application passes 2 for the three categories.
using GetSpecialBitsCategoryNameProc = void(__stdcall*)(const char** Names, int32_t High);
// ReadSpecialBits1..3: Bits has High + 1 bytes, filled with 0 or 1.
using ReadSpecialBitsProc = void(__stdcall*)(int32_t Port, uint8_t* Bits, int32_t High);
// WriteSpecialBits1..3
using WriteSpecialBitsProc = void(__stdcall*)(int32_t Port, const uint8_t* Bits, int32_t High);
// ReadSpecialBits1Names..3Names: Count = bits in the category (the application passes High 9999).
using ReadSpecialBitsNamesProc = void(__stdcall*)(int32_t* Count, const char** Names, int32_t High);

inline constexpr const char* IsZeltoPlugInExportName = "IsZeltoPlugIn";
inline constexpr const char* GetDevicesNamesExportName = "GetDevicesNames";

inline constexpr int PlugInDeviceFunctionCount = 23;
// A missing device function ends the program with this code plus its index
// in the binding order below.
inline constexpr int PlugInFirstMissingExitCode = 101;

// Index of each device function in the binding order.
enum PlugInFunctionIndex : int {
  pfPowerOffDevice,
  pfPowerUpDevice,
  pfCheckProgrammingDevice,
  pfCheckSignature,
  pfEnableProgramming,
  pfEraseChip,
  pfGetDeviceFoundName,
  pfGetDeviceFoundFlashSize,
  pfGetDeviceFoundEEpromSize,
  pfReadFlashAddress,
  pfWriteFlashAddress,
  pfReadEEpromAddress,
  pfWriteEEpromAddress,
  pfGetSpecialBitsCategoryName,
  pfReadSpecialBits1,
  pfReadSpecialBits2,
  pfReadSpecialBits3,
  pfWriteSpecialBits1,
  pfWriteSpecialBits2,
  pfWriteSpecialBits3,
  pfReadSpecialBits1Names,
  pfReadSpecialBits2Names,
  pfReadSpecialBits3Names,
};

inline constexpr std::array<const char*, PlugInDeviceFunctionCount> PlugInDeviceFunctionNames = {
    "PowerOffDevice",        "PowerUpDevice",         "CheckProgrammingDevice",
    "CheckSignature",        "EnableProgramming",     "EraseChip",
    "GetDeviceFoundName",    "GetDeviceFoundFlashSize", "GetDeviceFoundEEpromSize",
    "ReadFlashAddress",      "WriteFlashAddress",     "ReadEEpromAddress",
    "WriteEEpromAddress",    "GetSpecialBitsCategoryName", "ReadSpecialBits1",
    "ReadSpecialBits2",      "ReadSpecialBits3",      "WriteSpecialBits1",
    "WriteSpecialBits2",     "WriteSpecialBits3",     "ReadSpecialBits1Names",
    "ReadSpecialBits2Names", "ReadSpecialBits3Names",
};

inline constexpr int PlugInMissingExitCode(PlugInFunctionIndex index) {
  return PlugInFirstMissingExitCode + static_cast<int>(index);
}
