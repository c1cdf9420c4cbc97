// Stand-in for parts outside the system, not the system's own code.
// The demonstration device plug-in: simulated chips in a simulated socket,
// with faults, latency and an Esc key press injected on request, and a call
// trace. Everything is driven by DemoPlugin.cfg in the plug-in's folder (the
// DLL's folder, or the one named by ZP_DEMO_DIR); see standins/README.md.
//
// The same source builds the variants of the plug-in; each compile
// definition drops one feature:
//   ZP_DEMO_NO_POWER_OFF      PowerOffDevice is not exported
//   ZP_DEMO_NO_SB3_NAMES      ReadSpecialBits3Names is not exported
//   ZP_DEMO_NOT_ZELTO         IsZeltoPlugIn answers false
//   ZP_DEMO_NO_DEVICE_NAMES   GetDevicesNames is not exported
// (the bitmaps and the version resource are dropped in DemoPlugin.rc).
#include "programmer/PlugInInterface.h"
#include "standins/DemoChip.h"
#include "standins/DemoTrace.h"
#include "standins/StandinSupport.h"
#include "standins/StandinThreads.h"

#include <algorithm>
#include <type_traits>

#define DEMO_EXPORT extern "C" __declspec(dllexport)
#define DEMO_HIDDEN extern "C"

#ifdef ZP_DEMO_NO_POWER_OFF
#define POWER_OFF_LINKAGE DEMO_HIDDEN
#else
#define POWER_OFF_LINKAGE DEMO_EXPORT
#endif
#ifdef ZP_DEMO_NO_SB3_NAMES
#define SB3_NAMES_LINKAGE DEMO_HIDDEN
#else
#define SB3_NAMES_LINKAGE DEMO_EXPORT
#endif
#ifdef ZP_DEMO_NO_DEVICE_NAMES
#define DEVICE_NAMES_LINKAGE DEMO_HIDDEN
#else
#define DEVICE_NAMES_LINKAGE DEMO_EXPORT
#endif

DEMO_EXPORT uint8_t __stdcall IsZeltoPlugIn();
DEVICE_NAMES_LINKAGE void __stdcall GetDevicesNames(int32_t* Count, const char** Names, int32_t High);
POWER_OFF_LINKAGE void __stdcall PowerOffDevice(int32_t Port);
DEMO_EXPORT uint8_t __stdcall PowerUpDevice(int32_t Port);
DEMO_EXPORT uint8_t __stdcall CheckProgrammingDevice(int32_t Port);
DEMO_EXPORT void __stdcall CheckSignature(int32_t Port);
DEMO_EXPORT uint8_t __stdcall EnableProgramming(int32_t Port);
DEMO_EXPORT void __stdcall EraseChip(int32_t Port);
DEMO_EXPORT const char* __stdcall GetDeviceFoundName();
DEMO_EXPORT int32_t __stdcall GetDeviceFoundFlashSize();
DEMO_EXPORT int32_t __stdcall GetDeviceFoundEEpromSize();
DEMO_EXPORT uint8_t __stdcall ReadFlashAddress(int32_t Port, int32_t Address, int32_t* Data);
DEMO_EXPORT uint8_t __stdcall WriteFlashAddress(int32_t Port, int32_t Address, int32_t Data);
DEMO_EXPORT uint8_t __stdcall ReadEEpromAddress(int32_t Port, int32_t Address, int32_t* Data);
DEMO_EXPORT uint8_t __stdcall WriteEEpromAddress(int32_t Port, int32_t Address, int32_t Data);
DEMO_EXPORT void __stdcall GetSpecialBitsCategoryName(const char** Names, int32_t High);
DEMO_EXPORT void __stdcall ReadSpecialBits1(int32_t Port, uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall ReadSpecialBits2(int32_t Port, uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall ReadSpecialBits3(int32_t Port, uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall WriteSpecialBits1(int32_t Port, const uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall WriteSpecialBits2(int32_t Port, const uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall WriteSpecialBits3(int32_t Port, const uint8_t* Bits, int32_t High);
DEMO_EXPORT void __stdcall ReadSpecialBits1Names(int32_t* Count, const char** Names, int32_t High);
DEMO_EXPORT void __stdcall ReadSpecialBits2Names(int32_t* Count, const char** Names, int32_t High);
SB3_NAMES_LINKAGE void __stdcall ReadSpecialBits3Names(int32_t* Count, const char** Names, int32_t High);

// The exports must keep the shapes the application binds them with.
static_assert(std::is_same_v<decltype(&IsZeltoPlugIn), IsZeltoPlugInProc>);
static_assert(std::is_same_v<decltype(&GetDevicesNames), GetDevicesNamesProc>);
static_assert(std::is_same_v<decltype(&PowerOffDevice), PowerOffDeviceProc>);
static_assert(std::is_same_v<decltype(&PowerUpDevice), PowerUpDeviceProc>);
static_assert(std::is_same_v<decltype(&CheckProgrammingDevice), CheckProgrammingDeviceProc>);
static_assert(std::is_same_v<decltype(&CheckSignature), CheckSignatureProc>);
static_assert(std::is_same_v<decltype(&EnableProgramming), EnableProgrammingProc>);
static_assert(std::is_same_v<decltype(&EraseChip), EraseChipProc>);
static_assert(std::is_same_v<decltype(&GetDeviceFoundName), GetDeviceFoundNameProc>);
static_assert(std::is_same_v<decltype(&GetDeviceFoundFlashSize), GetDeviceFoundFlashSizeProc>);
static_assert(std::is_same_v<decltype(&GetDeviceFoundEEpromSize), GetDeviceFoundEEpromSizeProc>);
static_assert(std::is_same_v<decltype(&ReadFlashAddress), ReadFlashAddressProc>);
static_assert(std::is_same_v<decltype(&WriteFlashAddress), WriteFlashAddressProc>);
static_assert(std::is_same_v<decltype(&ReadEEpromAddress), ReadEEpromAddressProc>);
static_assert(std::is_same_v<decltype(&WriteEEpromAddress), WriteEEpromAddressProc>);
static_assert(std::is_same_v<decltype(&GetSpecialBitsCategoryName), GetSpecialBitsCategoryNameProc>);
static_assert(std::is_same_v<decltype(&ReadSpecialBits1), ReadSpecialBitsProc>);
static_assert(std::is_same_v<decltype(&WriteSpecialBits1), WriteSpecialBitsProc>);
static_assert(std::is_same_v<decltype(&ReadSpecialBits1Names), ReadSpecialBitsNamesProc>);

namespace {

constexpr int64_t kLargestMemory = 16 * 1024 * 1024;
constexpr LPARAM kEscapeKeyData = 0x00010001;  // repeat count 1, scan code 1

size_t MemoryIndex(DemoMemory memory) { return memory == DemoMemory::Flash ? 0 : 1; }

// Everything one loaded copy of the plug-in remembers.
struct PlugInState {
  HMODULE module = nullptr;

  // From the configuration, re-read at every call but the per-address ones.
  bool configured = false;
  std::string folder;
  standin::KeyValueFile config;
  DemoDevice socket;
  bool socketOccupied = false;
  bool adapterPresent = true;
  bool strict = false;
  DWORD latencyMs = 0;
  standin::NumberSet failPowerUp;
  standin::NumberSet failEnable;
  std::array<standin::NumberSet, 2> failRead;
  std::array<standin::NumberSet, 2> failWrite;
  std::array<std::optional<int64_t>, 2> escapeAt;
  std::string escapeClass;
  std::string escapeTitle;
  std::string escapeTarget;

  // The simulated hardware.
  int powerUpCalls = 0;
  int enableCalls = 0;
  bool powered = false;
  bool enabled = false;
  DemoDevice found;
  DemoChip chip;
  DemoTrace trace;

  // Texts handed out; they stay put until the same function is called again.
  std::vector<std::string> deviceNames;
  std::array<std::string, kSpecialBitsCategories> categoryNames;
  std::array<std::vector<std::string>, kSpecialBitsCategories> bitNames;
};

PlugInState g_state;

void Configure() {
  PlugInState& s = g_state;
  const std::string fromEnvironment = standin::EnvironmentText("ZP_DEMO_DIR");
  s.folder = fromEnvironment.empty() ? standin::ModuleFolder(s.module)
                                     : standin::WithTrailingSeparator(fromEnvironment);
  s.config = standin::KeyValueFile::Load(s.folder + "DemoPlugin.cfg");
  const standin::KeyValueFile& c = s.config;

  const std::string deviceName = standin::Upper(c.Text("DEVICE", "ATDEMO8"));
  const auto known = FindDemoDevice(deviceName);
  s.socket = known.value_or(DemoDevice{deviceName, 0, 0});
  const bool sized = c.Has("FLASH_SIZE") || c.Has("EEPROM_SIZE");
  s.socket.flashSize = static_cast<int32_t>(std::clamp<int64_t>(c.Number("FLASH_SIZE", s.socket.flashSize), 0, kLargestMemory));
  s.socket.eepromSize =
      static_cast<int32_t>(std::clamp<int64_t>(c.Number("EEPROM_SIZE", s.socket.eepromSize), 0, kLargestMemory));
  s.socketOccupied = deviceName != "NONE" && !deviceName.empty() && (known || sized);
  if (!s.socketOccupied) s.socket.flashSize = s.socket.eepromSize = 0;
  if (s.chip.IsLoaded() && !s.chip.Holds(s.folder, s.socket)) s.chip.Unload();

  s.adapterPresent = c.Flag("ADAPTER", true);
  s.strict = c.Flag("STRICT", false);
  s.latencyMs = static_cast<DWORD>(std::clamp<int64_t>(c.Number("LATENCY_MS", 0), 0, 60000));
  s.failPowerUp = standin::NumberSet::ParseDecimalList(c.Text("FAIL_POWERUP"));
  s.failEnable = standin::NumberSet::ParseDecimalList(c.Text("FAIL_ENABLE"));
  s.failRead = {standin::NumberSet::ParseHexList(c.Text("FAIL_READ_FLASH")),
                standin::NumberSet::ParseHexList(c.Text("FAIL_READ_EEPROM"))};
  s.failWrite = {standin::NumberSet::ParseHexList(c.Text("FAIL_WRITE_FLASH")),
                 standin::NumberSet::ParseHexList(c.Text("FAIL_WRITE_EEPROM"))};
  s.escapeAt = {standin::ParseHex(c.Text("ESC_AT_FLASH")), standin::ParseHex(c.Text("ESC_AT_EEPROM"))};
  s.escapeClass = c.Text("ESC_WINDOW_CLASS");
  s.escapeTitle = c.Text("ESC_WINDOW_TITLE");
  s.escapeTarget = standin::Upper(c.Text("ESC_TARGET", "ACTIVE"));

  const int64_t traceMode = c.Number("TRACE", 1);
  s.trace.Configure(s.folder + "DemoPlugin.trace",
                    traceMode <= 0   ? DemoTrace::Mode::Off
                    : traceMode == 1 ? DemoTrace::Mode::Collapsed
                                     : DemoTrace::Mode::Full,
                    c.Flag("TRACE_PORTS", false));
  s.configured = true;
}

// Prologue of every call except the per-address ones.
void BeginCall() {
  Configure();
  if (g_state.latencyMs > 0) Sleep(g_state.latencyMs);
}

// Prologue of the per-address calls: the configuration of the last other call holds.
void BeginAddressCall() {
  if (!g_state.configured) Configure();
  if (g_state.latencyMs > 0) Sleep(g_state.latencyMs);
}

DemoChip& Chip() {
  if (!g_state.chip.IsLoaded()) g_state.chip.Load(g_state.folder, g_state.socket);
  return g_state.chip;
}

bool ProgrammingAllowed() {
  return g_state.adapterPresent && (!g_state.strict || (g_state.powered && g_state.enabled));
}

BOOL CALLBACK TakeFirstVisibleWindow(HWND window, LPARAM result) {
  if (!IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

HWND EscapeTargetWindow() {
  const PlugInState& s = g_state;
  if (!s.escapeClass.empty() || !s.escapeTitle.empty())
    return FindWindowA(s.escapeClass.empty() ? nullptr : s.escapeClass.c_str(),
                       s.escapeTitle.empty() ? nullptr : s.escapeTitle.c_str());
  if (s.escapeTarget == "THREAD") return nullptr;
  if (s.escapeTarget == "FOCUS") return GetFocus();
  if (HWND active = GetActiveWindow()) return active;
  HWND foreground = GetForegroundWindow();
  if (foreground != nullptr && GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId())
    return foreground;
  HWND first = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakeFirstVisibleWindow, reinterpret_cast<LPARAM>(&first));
  return first;
}

// Posted while the call for the chosen address runs, so the application
// finds the key when it processes messages right after that address.
void PostEscapeIfDue(DemoMemory memory, int32_t address) {
  const auto& due = g_state.escapeAt[MemoryIndex(memory)];
  if (!due || *due != address) return;
  if (HWND target = EscapeTargetWindow())
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, kEscapeKeyData);
  else
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, kEscapeKeyData);
}

uint8_t ReadAddress(const char* name, DemoMemory memory, int32_t port, int32_t address, int32_t* data) {
  BeginAddressCall();
  PostEscapeIfDue(memory, address);
  uint8_t value = 0;
  // A failed read leaves the caller's variable as it was.
  const bool ok = data != nullptr && ProgrammingAllowed() &&
                  !g_state.failRead[MemoryIndex(memory)].Contains(address) && Chip().Read(memory, address, value);
  if (ok) *data = value;
  g_state.trace.AddressCall(name, port, address, ok ? std::optional<int32_t>(value) : std::nullopt, ok);
  return ok ? 1 : 0;
}

uint8_t WriteAddress(const char* name, DemoMemory memory, int32_t port, int32_t address, int32_t data) {
  BeginAddressCall();
  PostEscapeIfDue(memory, address);
  // Only the low byte reaches the chip, as on a byte-wide bus.
  const bool ok = ProgrammingAllowed() && !g_state.failWrite[MemoryIndex(memory)].Contains(address) &&
                  Chip().Write(memory, address, static_cast<uint8_t>(data & 0xFF));
  g_state.trace.AddressCall(name, port, address, data, ok);
  return ok ? 1 : 0;
}

// Fills at most High + 1 slots and returns how many it filled.
int32_t HandOutTexts(const std::vector<std::string>& texts, const char** slots, int32_t high) {
  const int32_t filled = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(texts.size()),
                                                                std::max<int64_t>(int64_t{high} + 1, 0)));
  for (int32_t i = 0; i < filled && slots != nullptr; ++i) slots[i] = texts[static_cast<size_t>(i)].c_str();
  return slots != nullptr ? filled : 0;
}

void ReadBits(int category, int32_t port, uint8_t* bits, int32_t high) {
  BeginCall();
  const bool ok = ProgrammingAllowed() && bits != nullptr;
  if (ok) {
    const std::vector<SpecialBit>& stored = Chip().Category(category).bits;
    const size_t count = std::min(stored.size(), static_cast<size_t>(std::max<int32_t>(high + 1, 0)));
    for (size_t i = 0; i < count; ++i) bits[i] = stored[i].value;
  }
  g_state.trace.Call("ReadSpecialBits" + std::to_string(category + 1), port, std::to_string(high), ok);
}

void WriteBits(int category, int32_t port, const uint8_t* bits, int32_t high) {
  BeginCall();
  const size_t count = bits != nullptr ? static_cast<size_t>(std::max<int32_t>(high + 1, 0)) : 0;
  std::string values;
  for (size_t i = 0; i < count; ++i) values += (i > 0 ? "," : "") + std::to_string(bits[i]);
  const bool ok = ProgrammingAllowed();
  if (ok) {
    Chip().SetBits(category, bits, count);
    Chip().Save();
  }
  g_state.trace.Call("WriteSpecialBits" + std::to_string(category + 1), port, values, ok);
}

void ReadBitNames(int category, int32_t* count, const char** names, int32_t high) {
  BeginCall();
  std::vector<std::string>& store = g_state.bitNames[static_cast<size_t>(category)];
  store.clear();
  for (const SpecialBit& bit : Chip().Category(category).bits) store.push_back(bit.name);
  const int32_t filled = HandOutTexts(store, names, high);
  if (count != nullptr) *count = filled;
  g_state.trace.Call("ReadSpecialBits" + std::to_string(category + 1) + "Names", std::nullopt, std::to_string(high));
}

void FlushToFiles() {
  g_state.trace.Flush();
  g_state.chip.Unload();
}

}  // namespace

uint8_t __stdcall IsZeltoPlugIn() {
  BeginCall();
  g_state.trace.Call("IsZeltoPlugIn", std::nullopt);
#ifdef ZP_DEMO_NOT_ZELTO
  return 0;
#else
  return 1;
#endif
}

void __stdcall GetDevicesNames(int32_t* Count, const char** Names, int32_t High) {
  BeginCall();
  g_state.trace.Call("GetDevicesNames", std::nullopt, std::to_string(High));
  std::vector<std::string>& store = g_state.deviceNames;
  store.clear();
  if (g_state.config.Has("DEVICE_NAMES")) {
    store = standin::Split(g_state.config.Text("DEVICE_NAMES"), '|');
  } else {
    for (const DemoDevice& device : DemoDeviceTable()) store.push_back(device.name);
  }
  const int32_t filled = HandOutTexts(store, Names, High);
  if (Count != nullptr) *Count = filled;
}

void __stdcall PowerOffDevice(int32_t Port) {
  BeginCall();
  g_state.trace.Call("PowerOffDevice", Port);
  g_state.powered = false;
  g_state.enabled = false;
  // Powering off ends a session with the chip: its files are brought up to
  // date and read afresh at the next access.
  g_state.chip.Unload();
}

uint8_t __stdcall PowerUpDevice(int32_t Port) {
  BeginCall();
  ++g_state.powerUpCalls;
  const bool ok = g_state.adapterPresent && !g_state.failPowerUp.Contains(g_state.powerUpCalls);
  g_state.powered = ok;
  g_state.enabled = false;
  g_state.trace.Call("PowerUpDevice", Port, {}, ok);
  return ok ? 1 : 0;
}

uint8_t __stdcall CheckProgrammingDevice(int32_t Port) {
  BeginCall();
  g_state.trace.Call("CheckProgrammingDevice", Port, {}, g_state.adapterPresent);
  return g_state.adapterPresent ? 1 : 0;
}

void __stdcall CheckSignature(int32_t Port) {
  BeginCall();
  g_state.trace.Call("CheckSignature", Port);
  // An unpowered chip or an empty socket answers with no signature.
  if (g_state.adapterPresent && g_state.powered && g_state.socketOccupied) {
    g_state.found = g_state.socket;
    if (g_state.config.Has("FOUND_NAME")) g_state.found.name = g_state.config.Text("FOUND_NAME");
  } else {
    g_state.found = DemoDevice{};
  }
}

uint8_t __stdcall EnableProgramming(int32_t Port) {
  BeginCall();
  ++g_state.enableCalls;
  const bool ok = g_state.adapterPresent && g_state.powered && g_state.socketOccupied &&
                  !g_state.failEnable.Contains(g_state.enableCalls);
  g_state.enabled = ok;
  g_state.trace.Call("EnableProgramming", Port, {}, ok);
  return ok ? 1 : 0;
}

void __stdcall EraseChip(int32_t Port) {
  BeginCall();
  g_state.trace.Call("EraseChip", Port);
  // Works on an unpowered chip too: the application erases before it powers
  // the chip up for programming.
  if (!g_state.adapterPresent) return;
  Chip().Erase();
  Chip().Save();
}

const char* __stdcall GetDeviceFoundName() {
  BeginCall();
  g_state.trace.Call("GetDeviceFoundName", std::nullopt);
  return g_state.found.name.c_str();
}

int32_t __stdcall GetDeviceFoundFlashSize() {
  BeginCall();
  g_state.trace.Call("GetDeviceFoundFlashSize", std::nullopt);
  return g_state.found.flashSize;
}

int32_t __stdcall GetDeviceFoundEEpromSize() {
  BeginCall();
  g_state.trace.Call("GetDeviceFoundEEpromSize", std::nullopt);
  return g_state.found.eepromSize;
}

uint8_t __stdcall ReadFlashAddress(int32_t Port, int32_t Address, int32_t* Data) {
  return ReadAddress("ReadFlashAddress", DemoMemory::Flash, Port, Address, Data);
}

uint8_t __stdcall WriteFlashAddress(int32_t Port, int32_t Address, int32_t Data) {
  return WriteAddress("WriteFlashAddress", DemoMemory::Flash, Port, Address, Data);
}

uint8_t __stdcall ReadEEpromAddress(int32_t Port, int32_t Address, int32_t* Data) {
  return ReadAddress("ReadEEpromAddress", DemoMemory::EEprom, Port, Address, Data);
}

uint8_t __stdcall WriteEEpromAddress(int32_t Port, int32_t Address, int32_t Data) {
  return WriteAddress("WriteEEpromAddress", DemoMemory::EEprom, Port, Address, Data);
}

void __stdcall GetSpecialBitsCategoryName(const char** Names, int32_t High) {
  BeginCall();
  g_state.trace.Call("GetSpecialBitsCategoryName", std::nullopt, std::to_string(High));
  for (int i = 0; i < kSpecialBitsCategories; ++i)
    g_state.categoryNames[static_cast<size_t>(i)] = Chip().Category(i).name;
  const int32_t filled = std::min<int32_t>(kSpecialBitsCategories, std::max<int32_t>(High + 1, 0));
  for (int32_t i = 0; i < filled && Names != nullptr; ++i)
    Names[i] = g_state.categoryNames[static_cast<size_t>(i)].c_str();
}

void __stdcall ReadSpecialBits1(int32_t Port, uint8_t* Bits, int32_t High) { ReadBits(0, Port, Bits, High); }
void __stdcall ReadSpecialBits2(int32_t Port, uint8_t* Bits, int32_t High) { ReadBits(1, Port, Bits, High); }
void __stdcall ReadSpecialBits3(int32_t Port, uint8_t* Bits, int32_t High) { ReadBits(2, Port, Bits, High); }

void __stdcall WriteSpecialBits1(int32_t Port, const uint8_t* Bits, int32_t High) { WriteBits(0, Port, Bits, High); }
void __stdcall WriteSpecialBits2(int32_t Port, const uint8_t* Bits, int32_t High) { WriteBits(1, Port, Bits, High); }
void __stdcall WriteSpecialBits3(int32_t Port, const uint8_t* Bits, int32_t High) { WriteBits(2, Port, Bits, High); }

void __stdcall ReadSpecialBits1Names(int32_t* Count, const char** Names, int32_t High) {
  ReadBitNames(0, Count, Names, High);
}
void __stdcall ReadSpecialBits2Names(int32_t* Count, const char** Names, int32_t High) {
  ReadBitNames(1, Count, Names, High);
}
void __stdcall ReadSpecialBits3Names(int32_t* Count, const char** Names, int32_t High) {
  ReadBitNames(2, Count, Names, High);
}

namespace {

// "Load"/"Unload" lines with TRACE_LOAD=1 let tests see a plug-in being
// freed and loaded again.
void TraceLoad(const char* what) {
  Configure();
  if (!g_state.config.Flag("TRACE_LOAD", false)) return;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(g_state.module, path, MAX_PATH);
  const std::string file(path);
  const size_t slash = file.find_last_of("\\/");
  g_state.trace.Call(std::string(what) + " " + (slash == std::string::npos ? file : file.substr(slash + 1)),
                     std::nullopt);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_state.module = instance;
    DisableThreadLibraryCalls(instance);
    TraceLoad("Load");
  } else if (reason == DLL_PROCESS_DETACH) {
    // Nothing may be lost when the application frees the plug-in without
    // powering the chip off, or ends.
    TraceLoad("Unload");
    FlushToFiles();
    standin::ReleaseThreadSlot();
  }
  return TRUE;
}
