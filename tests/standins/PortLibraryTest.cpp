// The stand-in port library: plain export names, the import library that
// binds the application's Zp* names to them, and the behaviour that tests of
// the application steer through its configuration file.
#include "programmer/PortLibrary.h"
#include "tests/standins/StandinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr const char* kExportNames[] = {"OpenDriver",     "CloseDriver",    "CheckPorts",    "CheckBidir",
                                        "GetCommandMode", "SetCommandMode", "GetSystemInfo", "IntToBin8"};

struct Ports {
  int32_t count = -1, has278 = -1, has378 = -1, has3BC = -1;
};

Ports CheckPorts() {
  Ports ports;
  ZpCheckPorts(&ports.count, &ports.has278, &ports.has378, &ports.has3BC);
  return ports;
}

std::pair<int, int> CheckBidir(int32_t port) {
  uint8_t ecp = 0xAA, bidirectional = 0xAA;
  ZpCheckBidir(port, &ecp, &bidirectional);
  return {ecp, bidirectional};
}

class PortLibraryConfig : public ::testing::Test {
protected:
  void Configure(const std::string& text) { ASSERT_TRUE(WriteTextFile(configPath_, text)); }

  ScratchFolder folder_;
  std::string configPath_ = folder_.File("ports.cfg");
  EnvironmentOverride configVariable_{"ZP_PORTLIB_CONFIG", configPath_};
};

TEST(PortLibraryExports, EveryFunctionResolvesByItsPlainName) {
  LoadedLibrary library("ZeltoProgBasic.dll");
  ASSERT_TRUE(library.Loaded());
  for (const char* name : kExportNames) EXPECT_TRUE(library.Exports(name)) << name;
  // No decorated or prefixed spellings leak out.
  EXPECT_FALSE(library.Exports("OpenDriver@0"));
  EXPECT_FALSE(library.Exports("_OpenDriver@0"));
  EXPECT_FALSE(library.Exports("ZpOpenDriver"));
}

TEST(PortLibraryExports, ImportLibraryBindsTheApplicationNamesToTheExports) {
  // Linked at load time: the library is already in the process.
  HMODULE module = GetModuleHandleA("ZeltoProgBasic.dll");
  ASSERT_NE(module, nullptr);
  using IntToBin8Proc = const char*(__stdcall*)(int32_t);
  auto exported = reinterpret_cast<IntToBin8Proc>(reinterpret_cast<void*>(GetProcAddress(module, "IntToBin8")));
  ASSERT_NE(exported, nullptr);
  // Both roads end in the same function and so in its one text buffer.
  EXPECT_EQ(ZpIntToBin8(44), exported(44));
}

TEST_F(PortLibraryConfig, DefaultsWhenTheFileIsMissing) {
  EXPECT_EQ(ZpOpenDriver(), 1);
  const Ports ports = CheckPorts();
  EXPECT_EQ(ports.count, 1);
  EXPECT_EQ(ports.has278, 0);
  EXPECT_EQ(ports.has378, 1);
  EXPECT_EQ(ports.has3BC, 0);
  EXPECT_EQ(CheckBidir(0x378), std::make_pair(0, 1));
  ZpCloseDriver();
}

TEST_F(PortLibraryConfig, PortsAndTheirCapabilitiesComeFromTheFile) {
  Configure("# two ports\nPORTS=278, $3BC\nECP=3BC\nBIDIR=278,3BC,378\n");
  const Ports ports = CheckPorts();
  EXPECT_EQ(ports.count, 2);
  EXPECT_EQ(ports.has278, 1);
  EXPECT_EQ(ports.has378, 0);
  EXPECT_EQ(ports.has3BC, 1);
  EXPECT_EQ(CheckBidir(0x3BC), std::make_pair(1, 1));
  EXPECT_EQ(CheckBidir(0x278), std::make_pair(0, 1));
  // A port that does not answer has no capabilities, whatever the lists say.
  EXPECT_EQ(CheckBidir(0x378), std::make_pair(0, 0));
}

TEST_F(PortLibraryConfig, NoPortsAndAnOverriddenCount) {
  Configure("PORTS=\n");
  EXPECT_EQ(CheckPorts().count, 0);
  Configure("PORTS=278,378,3BC\nPORT_COUNT=5\n");
  const Ports ports = CheckPorts();
  EXPECT_EQ(ports.count, 5);
  EXPECT_EQ(ports.has278 + ports.has378 + ports.has3BC, 3);
}

TEST_F(PortLibraryConfig, OpenDriverFailureFollowsTheFileAtEveryCall) {
  Configure("OPENDRIVER_FAILS=1\n");
  EXPECT_EQ(ZpOpenDriver(), 0);
  Configure("OPENDRIVER_FAILS=no\n");
  EXPECT_EQ(ZpOpenDriver(), 1);
}

TEST_F(PortLibraryConfig, TimerFiguresFillOnlyTheTenExtendedBytes) {
  Configure("QUANTUM_TIMER=0\nQT_RES=15.625\nTIME_STAMP=1\nTS_RES=0.000279\nCPU_SPEED=2394.5\n");
  uint8_t quantum = 0xAA, timeStamp = 0xAA;
  long double qtRes, tsRes;
  std::memset(&qtRes, 0xCD, sizeof qtRes);
  std::memset(&tsRes, 0xCD, sizeof tsRes);
  double cpu = 0;
  ZpGetSystemInfo(&quantum, &timeStamp, &qtRes, &tsRes, &cpu);
  EXPECT_EQ(quantum, 0);
  EXPECT_EQ(timeStamp, 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(qtRes), 15.625);
  EXPECT_DOUBLE_EQ(static_cast<double>(tsRes), 0.000279);
  EXPECT_DOUBLE_EQ(cpu, 2394.5);
  // A caller's 10-byte extended variable ends after byte 9.
  const auto* qtBytes = reinterpret_cast<const uint8_t*>(&qtRes);
  const auto* tsBytes = reinterpret_cast<const uint8_t*>(&tsRes);
  for (size_t i = 10; i < sizeof(long double); ++i) {
    EXPECT_EQ(qtBytes[i], 0xCD) << i;
    EXPECT_EQ(tsBytes[i], 0xCD) << i;
  }
}

TEST_F(PortLibraryConfig, DefaultTimersExist) {
  uint8_t quantum = 0, timeStamp = 0;
  long double qtRes = 0, tsRes = 0;
  double cpu = 0;
  ZpGetSystemInfo(&quantum, &timeStamp, &qtRes, &tsRes, &cpu);
  EXPECT_EQ(quantum, 1);
  EXPECT_EQ(timeStamp, 1);
  EXPECT_GT(cpu, 0.0);
}

TEST(PortLibrary, IntToBin8RendersTheLowByteMostSignificantBitFirst) {
  EXPECT_STREQ(ZpIntToBin8(44), "00101100");
  EXPECT_STREQ(ZpIntToBin8(0), "00000000");
  EXPECT_STREQ(ZpIntToBin8(255), "11111111");
  EXPECT_STREQ(ZpIntToBin8(128), "10000000");
  EXPECT_STREQ(ZpIntToBin8(1), "00000001");
  EXPECT_STREQ(ZpIntToBin8(300), "00101100");
  EXPECT_STREQ(ZpIntToBin8(-1), "11111111");
}

TEST(PortLibrary, CommandModeIsRemembered) {
  ZpSetCommandMode(1);
  EXPECT_EQ(ZpGetCommandMode(), 1);
  ZpSetCommandMode(0);
  EXPECT_EQ(ZpGetCommandMode(), 0);
}

TEST_F(PortLibraryConfig, TraceRecordsTheCallsInOrder) {
  Configure("TRACE=1\nPORTS=378,3BC\n");
  ZpSetCommandMode(1);
  ZpOpenDriver();
  CheckPorts();
  CheckBidir(0x3BC);
  ZpIntToBin8(44);
  ZpCloseDriver();
  const std::vector<std::string> expected = {"SetCommandMode 1", "OpenDriver",  "CheckPorts",
                                             "CheckBidir 3BC",   "IntToBin8 44", "CloseDriver"};
  EXPECT_EQ(ReadLines(folder_.File("ZeltoProgBasic.trace")), expected);
  ZpSetCommandMode(0);
}

}  // namespace
