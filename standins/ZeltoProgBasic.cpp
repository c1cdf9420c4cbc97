// Stand-in for parts outside the system, not the system's own code.
// A simulated ZeltoProgBasic.dll, the maker's port library. No port is
// touched: which ports exist, what they can do, whether the driver opens and
// the timer figures come from a KEY=VALUE file (ZeltoProgBasic.cfg beside
// the DLL, or the file named by ZP_PORTLIB_CONFIG), read afresh at every
// call so a test can change it between calls. See standins/README.md.
//
// The functions are defined under the application's own names from
// programmer/PortLibrary.h, so a signature that drifts from the
// application's view fails to compile; ZeltoProgBasic.def exports them under
// the library's plain names.
#include "programmer/PortLibrary.h"
#include "standins/StandinSupport.h"
#include "standins/StandinThreads.h"

#include <cstring>

namespace {

HMODULE g_module = nullptr;
int32_t g_commandMode = 0;
char g_binaryText[9] = "00000000";

constexpr int32_t kPortBases[] = {0x278, 0x378, 0x3BC};

std::string ConfigPath() {
  const std::string fromEnvironment = standin::EnvironmentText("ZP_PORTLIB_CONFIG");
  return fromEnvironment.empty() ? standin::ModuleFolder(g_module) + "ZeltoProgBasic.cfg" : fromEnvironment;
}

struct PortLibraryConfig {
  standin::KeyValueFile values;
  std::string traceFile;
};

PortLibraryConfig ReadConfig() {
  const std::string path = ConfigPath();
  PortLibraryConfig config{standin::KeyValueFile::Load(path), {}};
  if (config.values.Flag("TRACE", false)) config.traceFile = standin::FolderOf(path) + "ZeltoProgBasic.trace";
  return config;
}

void Trace(const PortLibraryConfig& config, const std::string& line) {
  if (!config.traceFile.empty()) standin::AppendToFile(config.traceFile, line + "\r\n");
}

standin::NumberSet PresentPorts(const standin::KeyValueFile& values) {
  return standin::NumberSet::ParseHexList(values.Text("PORTS", "378"));
}

// Writes the ten value bytes of an x87 extended, as the real library does for
// its callers' 10-byte variables.
void StoreExtended(long double* target, long double value) {
  if (target != nullptr) std::memcpy(target, &value, 10);
}

}  // namespace

extern "C" {

uint8_t __stdcall ZpOpenDriver() {
  const PortLibraryConfig config = ReadConfig();
  const bool fails = config.values.Flag("OPENDRIVER_FAILS", false);
  Trace(config, fails ? "OpenDriver FAIL" : "OpenDriver");
  return fails ? 0 : 1;
}

void __stdcall ZpCloseDriver() { Trace(ReadConfig(), "CloseDriver"); }

void __stdcall ZpCheckPorts(int32_t* Count, int32_t* Has278, int32_t* Has378, int32_t* Has3BC) {
  const PortLibraryConfig config = ReadConfig();
  Trace(config, "CheckPorts");
  const standin::NumberSet present = PresentPorts(config.values);
  int32_t* flags[] = {Has278, Has378, Has3BC};
  int32_t found = 0;
  for (size_t i = 0; i < 3; ++i) {
    const bool answers = present.Contains(kPortBases[i]);
    found += answers ? 1 : 0;
    if (flags[i] != nullptr) *flags[i] = answers ? 1 : 0;
  }
  if (Count != nullptr) *Count = static_cast<int32_t>(config.values.Number("PORT_COUNT", found));
}

void __stdcall ZpCheckBidir(int32_t Port, uint8_t* IsECP, uint8_t* IsBidirectional) {
  const PortLibraryConfig config = ReadConfig();
  Trace(config, "CheckBidir " + standin::Hex(static_cast<uint32_t>(Port), 3));
  // A port that does not answer has no capabilities.
  const bool present = PresentPorts(config.values).Contains(Port);
  const bool ecp = present && standin::NumberSet::ParseHexList(config.values.Text("ECP")).Contains(Port);
  const bool bidirectional =
      present && standin::NumberSet::ParseHexList(config.values.Text("BIDIR", "378")).Contains(Port);
  if (IsECP != nullptr) *IsECP = ecp ? 1 : 0;
  if (IsBidirectional != nullptr) *IsBidirectional = bidirectional ? 1 : 0;
}

uint8_t __stdcall ZpGetCommandMode() {
  Trace(ReadConfig(), "GetCommandMode");
  return g_commandMode != 0 ? 1 : 0;
}

void __stdcall ZpSetCommandMode(int32_t Mode) {
  Trace(ReadConfig(), "SetCommandMode " + std::to_string(Mode));
  g_commandMode = Mode;
}

void __stdcall ZpGetSystemInfo(uint8_t* QuantumTimer, uint8_t* TimeStamp, long double* QTRes, long double* TSRes,
                               double* CPUSpeed) {
  const PortLibraryConfig config = ReadConfig();
  Trace(config, "GetSystemInfo");
  const standin::KeyValueFile& values = config.values;
  if (QuantumTimer != nullptr) *QuantumTimer = values.Flag("QUANTUM_TIMER", true) ? 1 : 0;
  if (TimeStamp != nullptr) *TimeStamp = values.Flag("TIME_STAMP", true) ? 1 : 0;
  StoreExtended(QTRes, values.Real("QT_RES", 1.0L));
  StoreExtended(TSRes, values.Real("TS_RES", 0.001L));
  if (CPUSpeed != nullptr) *CPUSpeed = static_cast<double>(values.Real("CPU_SPEED", 1000.0L));
}

const char* __stdcall ZpIntToBin8(int32_t Value) {
  Trace(ReadConfig(), "IntToBin8 " + std::to_string(Value));
  // Only the low byte counts, as for a port register.
  for (int bit = 0; bit < 8; ++bit) g_binaryText[7 - bit] = ((Value >> bit) & 1) != 0 ? '1' : '0';
  g_binaryText[8] = '\0';
  return g_binaryText;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    standin::ReleaseThreadSlot();
  }
  return TRUE;
}
