// The demonstration device plug-in and its variants: exports by plain name,
// resources, simulated devices, persistence of the chip, injected faults,
// the Esc key press and the call trace.
#include "programmer/PlugInInterface.h"
#include "tests/standins/StandinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr int32_t kPort = 0x378;

struct DemoPlugIn {
  explicit DemoPlugIn(const std::string& file = "DemoPlugin.dll") : library(file) {}

  LoadedLibrary library;
  IsZeltoPlugInProc IsZeltoPlugIn = library.Get<IsZeltoPlugInProc>("IsZeltoPlugIn");
  GetDevicesNamesProc GetDevicesNames = library.Get<GetDevicesNamesProc>("GetDevicesNames");
  PowerOffDeviceProc PowerOffDevice = library.Get<PowerOffDeviceProc>("PowerOffDevice");
  PowerUpDeviceProc PowerUpDevice = library.Get<PowerUpDeviceProc>("PowerUpDevice");
  CheckProgrammingDeviceProc CheckProgrammingDevice =
      library.Get<CheckProgrammingDeviceProc>("CheckProgrammingDevice");
  CheckSignatureProc CheckSignature = library.Get<CheckSignatureProc>("CheckSignature");
  EnableProgrammingProc EnableProgramming = library.Get<EnableProgrammingProc>("EnableProgramming");
  EraseChipProc EraseChip = library.Get<EraseChipProc>("EraseChip");
  GetDeviceFoundNameProc GetDeviceFoundName = library.Get<GetDeviceFoundNameProc>("GetDeviceFoundName");
  GetDeviceFoundFlashSizeProc GetDeviceFoundFlashSize =
      library.Get<GetDeviceFoundFlashSizeProc>("GetDeviceFoundFlashSize");
  GetDeviceFoundEEpromSizeProc GetDeviceFoundEEpromSize =
      library.Get<GetDeviceFoundEEpromSizeProc>("GetDeviceFoundEEpromSize");
  ReadFlashAddressProc ReadFlashAddress = library.Get<ReadFlashAddressProc>("ReadFlashAddress");
  WriteFlashAddressProc WriteFlashAddress = library.Get<WriteFlashAddressProc>("WriteFlashAddress");
  ReadEEpromAddressProc ReadEEpromAddress = library.Get<ReadEEpromAddressProc>("ReadEEpromAddress");
  WriteEEpromAddressProc WriteEEpromAddress = library.Get<WriteEEpromAddressProc>("WriteEEpromAddress");
  GetSpecialBitsCategoryNameProc GetSpecialBitsCategoryName =
      library.Get<GetSpecialBitsCategoryNameProc>("GetSpecialBitsCategoryName");
  ReadSpecialBitsProc ReadSpecialBits[3] = {library.Get<ReadSpecialBitsProc>("ReadSpecialBits1"),
                                            library.Get<ReadSpecialBitsProc>("ReadSpecialBits2"),
                                            library.Get<ReadSpecialBitsProc>("ReadSpecialBits3")};
  WriteSpecialBitsProc WriteSpecialBits[3] = {library.Get<WriteSpecialBitsProc>("WriteSpecialBits1"),
                                              library.Get<WriteSpecialBitsProc>("WriteSpecialBits2"),
                                              library.Get<WriteSpecialBitsProc>("WriteSpecialBits3")};
  ReadSpecialBitsNamesProc ReadSpecialBitsNames[3] = {
      library.Get<ReadSpecialBitsNamesProc>("ReadSpecialBits1Names"),
      library.Get<ReadSpecialBitsNamesProc>("ReadSpecialBits2Names"),
      library.Get<ReadSpecialBitsNamesProc>("ReadSpecialBits3Names")};

  struct Identity {
    std::string name;
    int32_t flash;
    int32_t eeprom;
  };
  // The application's identification sequence.
  Identity Identify() {
    PowerUpDevice(kPort);
    CheckSignature(kPort);
    PowerOffDevice(kPort);
    return {GetDeviceFoundName(), GetDeviceFoundFlashSize(), GetDeviceFoundEEpromSize()};
  }
  bool StartProgramming() { return PowerUpDevice(kPort) != 0 && EnableProgramming(kPort) != 0; }
  int32_t ReadFlash(int32_t address) {
    int32_t data = -1;
    return ReadFlashAddress(kPort, address, &data) != 0 ? data : -1;
  }
  int32_t ReadEEprom(int32_t address) {
    int32_t data = -1;
    return ReadEEpromAddress(kPort, address, &data) != 0 ? data : -1;
  }
  std::vector<std::string> BitNames(int category) {
    std::vector<const char*> slots(10000, nullptr);
    int32_t count = -1;
    ReadSpecialBitsNames[category](&count, slots.data(), 9999);
    return std::vector<std::string>(slots.begin(), slots.begin() + std::max(count, 0));
  }
  std::vector<int> Bits(int category, int32_t count) {
    std::vector<uint8_t> bits(static_cast<size_t>(count), 0xEE);
    ReadSpecialBits[category](kPort, bits.data(), count - 1);
    return std::vector<int>(bits.begin(), bits.end());
  }
};

// Every test gets its own plug-in folder, so no two share a chip or a trace.
class DemoPluginTest : public ::testing::Test {
protected:
  void Configure(const std::string& text) { ASSERT_TRUE(WriteTextFile(folder_.File("DemoPlugin.cfg"), text)); }
  std::vector<std::string> Trace() const { return ReadLines(folder_.File("DemoPlugin.trace")); }
  void ClearTrace() const { DeleteFileA(folder_.File("DemoPlugin.trace").c_str()); }

  ScratchFolder folder_;
  EnvironmentOverride folderVariable_{"ZP_DEMO_DIR", folder_.Path()};
};

std::vector<std::string> InterfaceNames() {
  std::vector<std::string> names = {IsZeltoPlugInExportName, GetDevicesNamesExportName};
  names.insert(names.end(), PlugInDeviceFunctionNames.begin(), PlugInDeviceFunctionNames.end());
  return names;
}

// ---------------------------------------------------------------- exports

TEST(PlugInInterface, BindingOrderGivesTheExitCodes) {
  EXPECT_EQ(PlugInMissingExitCode(pfPowerOffDevice), 101);
  EXPECT_STREQ(PlugInDeviceFunctionNames[pfPowerOffDevice], "PowerOffDevice");
  EXPECT_EQ(PlugInMissingExitCode(pfGetSpecialBitsCategoryName), 114);
  EXPECT_STREQ(PlugInDeviceFunctionNames[pfGetSpecialBitsCategoryName], "GetSpecialBitsCategoryName");
  EXPECT_EQ(PlugInMissingExitCode(pfReadSpecialBits3Names), 123);
  EXPECT_STREQ(PlugInDeviceFunctionNames[pfReadSpecialBits3Names], "ReadSpecialBits3Names");
  const std::set<std::string> distinct(PlugInDeviceFunctionNames.begin(), PlugInDeviceFunctionNames.end());
  EXPECT_EQ(distinct.size(), 23u);
}

struct VariantCase {
  const char* file;
  const char* missing;  // nullptr: nothing missing
  bool isZelto;
};

TEST_F(DemoPluginTest, EachVariantLacksExactlyItsIntendedExport) {
  const VariantCase cases[] = {
      {"DemoPlugin.dll", nullptr, true},
      {"DemoPluginNoPowerOff.dll", "PowerOffDevice", true},
      {"DemoPluginNoSB3Names.dll", "ReadSpecialBits3Names", true},
      {"DemoPluginNotZelto.dll", nullptr, false},
      {"DemoPluginNoBitmaps.dll", nullptr, true},
      {"DemoPluginNoNames.dll", "GetDevicesNames", true},
  };
  for (const VariantCase& variant : cases) {
    SCOPED_TRACE(variant.file);
    LoadedLibrary library(variant.file);
    ASSERT_TRUE(library.Loaded());
    for (const std::string& name : InterfaceNames()) {
      const bool shouldExist = variant.missing == nullptr || name != variant.missing;
      EXPECT_EQ(library.Exports(name.c_str()), shouldExist) << name;
    }
    auto isZelto = library.Get<IsZeltoPlugInProc>("IsZeltoPlugIn");
    ASSERT_NE(isZelto, nullptr);
    EXPECT_EQ(isZelto() != 0, variant.isZelto);
  }
}

TEST_F(DemoPluginTest, NotAPlugInExportsNothingOfTheInterface) {
  LoadedLibrary library("NotAPlugIn.dll");
  ASSERT_TRUE(library.Loaded());
  for (const std::string& name : InterfaceNames()) EXPECT_FALSE(library.Exports(name.c_str())) << name;
}

// -------------------------------------------------------------- resources

TEST_F(DemoPluginTest, SpecialBitsGlyphsAreSixteenPixelBitmaps) {
  LoadedLibrary withBitmaps("DemoPlugin.dll");
  LoadedLibrary withoutBitmaps("DemoPluginNoBitmaps.dll");
  for (const char* name : {"SB1", "SB2", "SB3"}) {
    SCOPED_TRACE(name);
    HBITMAP bitmap = LoadBitmapA(withBitmaps.Handle(), name);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ASSERT_NE(GetObjectA(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmapA(withoutBitmaps.Handle(), name), nullptr);
  }
}

std::string VersionValue(const std::string& file, const char* name) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  if (size == 0) return "<none>";
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return "<none>";
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), (std::string("\\StringFileInfo\\040904E4\\") + name).c_str(), &value, &length))
    return "<missing>";
  return static_cast<const char*>(value);
}

TEST_F(DemoPluginTest, VersionResourceIsPresentExceptInTheNamelessVariant) {
  const auto path = TestLibraryPath;
  EXPECT_EQ(VersionValue(path("DemoPlugin.dll"), "CompanyName"), "Zelto Demo Devices");
  EXPECT_EQ(VersionValue(path("DemoPlugin.dll"), "FileVersion"), "1.2.0.7");
  EXPECT_EQ(VersionValue(path("DemoPlugin.dll"), "ProductName"), "ZELTO Demonstration Plug-In");
  EXPECT_NE(VersionValue(path("DemoPlugin.dll"), "FileDescription"), "<missing>");
  EXPECT_EQ(VersionValue(path("DemoPluginNoBitmaps.dll"), "CompanyName"), "Zelto Demo Devices");
  EXPECT_EQ(VersionValue(path("DemoPluginNoNames.dll"), "CompanyName"), "<none>");
  EXPECT_EQ(VersionValue(path("NotAPlugIn.dll"), "CompanyName"), "<none>");
}

// ---------------------------------------------------------- identification

TEST_F(DemoPluginTest, EachSimulatedDeviceIdentifiesWithItsSizes) {
  const DemoPlugIn::Identity devices[] = {
      {"ATDEMO8", 8192, 512}, {"ATDEMOFL", 2048, 0}, {"ATDEMOEE", 0, 512},
      {"ATDEMO128", 131072, 4096}, {"ATDEMOTINY", 1, 1},
  };
  DemoPlugIn plugin;
  EXPECT_STREQ(plugin.GetDeviceFoundName(), "");
  for (const auto& device : devices) {
    Configure("DEVICE=" + device.name + "\n");
    const auto found = plugin.Identify();
    EXPECT_EQ(found.name, device.name);
    EXPECT_EQ(found.flash, device.flash) << device.name;
    EXPECT_EQ(found.eeprom, device.eeprom) << device.name;
  }
}

TEST_F(DemoPluginTest, NoSignatureWithoutChipAdapterOrPower) {
  DemoPlugIn plugin;
  Configure("DEVICE=NONE\n");
  EXPECT_EQ(plugin.Identify().name, "");
  EXPECT_EQ(plugin.GetDeviceFoundFlashSize(), 0);
  EXPECT_EQ(plugin.GetDeviceFoundEEpromSize(), 0);

  Configure("DEVICE=ATDEMO8\nADAPTER=0\n");
  EXPECT_EQ(plugin.CheckProgrammingDevice(kPort), 0);
  EXPECT_EQ(plugin.Identify().name, "");

  Configure("DEVICE=ATDEMO8\n");
  EXPECT_EQ(plugin.CheckProgrammingDevice(kPort), 1);
  plugin.CheckSignature(kPort);  // never powered up
  EXPECT_STREQ(plugin.GetDeviceFoundName(), "");
  EXPECT_EQ(plugin.Identify().name, "ATDEMO8");
}

TEST_F(DemoPluginTest, CustomSizesAndReportedNameOverrides) {
  DemoPlugIn plugin;
  Configure("DEVICE=MYCHIP\nFLASH_SIZE=$100\n");
  auto found = plugin.Identify();
  EXPECT_EQ(found.name, "MYCHIP");
  EXPECT_EQ(found.flash, 256);
  EXPECT_EQ(found.eeprom, 0);
  // An unknown device without sizes is an empty socket.
  Configure("DEVICE=MYSTERY\n");
  EXPECT_EQ(plugin.Identify().name, "");
  const std::string longName(300, 'x');
  Configure("DEVICE=ATDEMOEE\nFOUND_NAME=" + longName + "\n");
  found = plugin.Identify();
  EXPECT_EQ(found.name, longName);
  EXPECT_EQ(found.eeprom, 512);
}

TEST_F(DemoPluginTest, DeviceNamesListAllDevicesOrTheConfiguredOnes) {
  DemoPlugIn plugin;
  std::vector<const char*> slots(10000, nullptr);
  int32_t count = -1;
  plugin.GetDevicesNames(&count, slots.data(), 9999);
  ASSERT_EQ(count, 5);
  EXPECT_STREQ(slots[0], "ATDEMO8");
  EXPECT_STREQ(slots[3], "ATDEMO128");
  EXPECT_EQ(slots[5], nullptr);

  Configure("DEVICE_NAMES=A|B|C\n");
  plugin.GetDevicesNames(&count, slots.data(), 9999);
  ASSERT_EQ(count, 3);
  EXPECT_STREQ(slots[0], "A");
  EXPECT_STREQ(slots[2], "C");

  // Never more than the caller has room for.
  const char* two[3] = {nullptr, nullptr, nullptr};
  plugin.GetDevicesNames(&count, two, 1);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(two[1], "B");
  EXPECT_EQ(two[2], nullptr);
}

// ----------------------------------------------------------------- memory

TEST_F(DemoPluginTest, MemoryPersistsAcrossUnloadAndReload) {
  {
    DemoPlugIn plugin;
    ASSERT_EQ(plugin.Identify().name, "ATDEMO8");
    ASSERT_TRUE(plugin.StartProgramming());
    EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0, 0x12), 1);
    EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0x1FFF, 0x34), 1);
    EXPECT_EQ(plugin.WriteEEpromAddress(kPort, 0x1FF, 0xA5), 1);
    // Only the low byte reaches the chip.
    EXPECT_EQ(plugin.WriteEEpromAddress(kPort, 0, 0x1AB), 1);
    plugin.PowerOffDevice(kPort);
  }
  EXPECT_EQ(ReadTextFile(folder_.File("ATDEMO8.flash")).size(), 8192u);
  EXPECT_EQ(ReadTextFile(folder_.File("ATDEMO8.eeprom")).size(), 512u);
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(0), 0x12);
  EXPECT_EQ(plugin.ReadFlash(1), 0xFF);
  EXPECT_EQ(plugin.ReadFlash(0x1FFF), 0x34);
  EXPECT_EQ(plugin.ReadEEprom(0x1FF), 0xA5);
  EXPECT_EQ(plugin.ReadEEprom(0), 0xAB);
  // Past the end of a memory nothing is read or written.
  EXPECT_EQ(plugin.ReadFlash(0x2000), -1);
  EXPECT_EQ(plugin.WriteEEpromAddress(kPort, 0x200, 1), 0);
  EXPECT_EQ(plugin.ReadFlash(-1), -1);
}

TEST_F(DemoPluginTest, LargeFlashIsSavedWhenUnloadedWithoutPowerOff) {
  Configure("DEVICE=ATDEMO128\n");
  {
    DemoPlugIn plugin;
    ASSERT_TRUE(plugin.StartProgramming());
    EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0x1FFFF, 0x5A), 1);
    EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0x10000, 0x66), 1);
    EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0x20000, 0x77), 0);
  }
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(0x1FFFF), 0x5A);
  EXPECT_EQ(plugin.ReadFlash(0x10000), 0x66);
  EXPECT_EQ(plugin.ReadFlash(0x0000), 0xFF);
}

TEST_F(DemoPluginTest, ChipFilesAreReadAfreshAfterPowerOff) {
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(2), 0xFF);
  plugin.PowerOffDevice(kPort);
  ASSERT_TRUE(WriteTextFile(folder_.File("ATDEMO8.flash"), std::string("\x01\x02\x03", 3)));
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(2), 0x03);
  // A short file leaves the rest erased.
  EXPECT_EQ(plugin.ReadFlash(3), 0xFF);
}

TEST_F(DemoPluginTest, EachDeviceHasItsOwnMemory) {
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  ASSERT_EQ(plugin.WriteFlashAddress(kPort, 5, 0x55), 1);
  plugin.PowerOffDevice(kPort);
  Configure("DEVICE=ATDEMOFL\n");
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(5), 0xFF);
  // Flash only: the EEPROM does not answer.
  EXPECT_EQ(plugin.ReadEEprom(0), -1);
  plugin.PowerOffDevice(kPort);
  Configure("DEVICE=ATDEMO8\n");
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(5), 0x55);
}

TEST_F(DemoPluginTest, EraseClearsBothMemoriesEvenUnpowered) {
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  plugin.WriteFlashAddress(kPort, 0, 0);
  plugin.WriteEEpromAddress(kPort, 0, 0);
  plugin.PowerOffDevice(kPort);
  plugin.EraseChip(kPort);
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.ReadFlash(0), 0xFF);
  EXPECT_EQ(plugin.ReadEEprom(0), 0xFF);
}

// ----------------------------------------------------------------- faults

TEST_F(DemoPluginTest, PowerUpFailsAtTheChosenCalls) {
  DemoPlugIn plugin;
  Configure("FAIL_POWERUP=2\n");
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 1);
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 0);
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 1);
  Configure("FAIL_POWERUP=5-\n");
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 1);
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 0);
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 0);
  Configure("FAIL_POWERUP=*\n");
  // Identification then finds nothing: an unpowered chip has no signature.
  EXPECT_EQ(plugin.Identify().name, "");
}

TEST_F(DemoPluginTest, EnableFailsWhenRefusedOrUnpowered) {
  DemoPlugIn plugin;
  EXPECT_EQ(plugin.EnableProgramming(kPort), 0);  // not powered
  Configure("FAIL_ENABLE=ALL\n");
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 1);
  EXPECT_EQ(plugin.EnableProgramming(kPort), 0);
  Configure("FAIL_ENABLE=\n");
  EXPECT_EQ(plugin.EnableProgramming(kPort), 1);
}

TEST_F(DemoPluginTest, ReadsAndWritesFailAtTheChosenAddresses) {
  Configure("FAIL_READ_FLASH=0010, 20-21\nFAIL_WRITE_EEPROM=$5\n");
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  int32_t data = 0x4711;
  EXPECT_EQ(plugin.ReadFlashAddress(kPort, 0x10, &data), 0);
  EXPECT_EQ(data, 0x4711);  // a failed read leaves the variable alone
  EXPECT_EQ(plugin.ReadFlash(0x11), 0xFF);
  EXPECT_EQ(plugin.ReadFlash(0x20), -1);
  EXPECT_EQ(plugin.ReadFlash(0x21), -1);
  EXPECT_EQ(plugin.ReadFlash(0x22), 0xFF);
  EXPECT_EQ(plugin.WriteEEpromAddress(kPort, 5, 0), 0);
  EXPECT_EQ(plugin.ReadEEprom(5), 0xFF);  // nothing written
  EXPECT_EQ(plugin.WriteEEpromAddress(kPort, 6, 0), 1);
  // The EEPROM reads were not listed.
  EXPECT_EQ(plugin.ReadEEprom(0x10), 0xFF);
}

TEST_F(DemoPluginTest, AbsentAdapterAnswersNothing) {
  Configure("ADAPTER=0\n");
  DemoPlugIn plugin;
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 0);
  EXPECT_EQ(plugin.ReadFlash(0), -1);
  EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0, 1), 0);
}

TEST_F(DemoPluginTest, StrictModeWantsPowerAndProgrammingEnabled) {
  Configure("STRICT=1\n");
  DemoPlugIn plugin;
  EXPECT_EQ(plugin.ReadFlash(0), -1);
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 1);
  EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0, 1), 0);
  EXPECT_EQ(plugin.EnableProgramming(kPort), 1);
  EXPECT_EQ(plugin.WriteFlashAddress(kPort, 0, 1), 1);
  plugin.PowerOffDevice(kPort);
  EXPECT_EQ(plugin.ReadFlash(0), -1);
  // Without STRICT the chip answers whatever the power state.
  Configure("STRICT=0\n");
  plugin.CheckProgrammingDevice(kPort);
  EXPECT_EQ(plugin.ReadFlash(0), 1);
}

// -------------------------------------------------------------- Esc key

class EscapeWindow {
public:
  explicit EscapeWindow(const char* className) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(className, "Escape target", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  }
  ~EscapeWindow() { DestroyWindow(window_); }
  HWND Handle() const { return window_; }

  // Escape key-downs waiting for the window (or, for hwnd -1, for the thread).
  static int TakeEscapes(HWND hwnd) {
    int escapes = 0;
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessageA(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE); ++guard)
      if (msg.wParam == VK_ESCAPE && msg.lParam == 0x00010001) ++escapes;
    return escapes;
  }

private:
  HWND window_;
};

TEST_F(DemoPluginTest, EscapeIsPostedToTheNamedWindowAtTheChosenAddress) {
  EscapeWindow target("ZpStandinEscapeTarget");
  ASSERT_NE(target.Handle(), nullptr);
  Configure("ESC_AT_FLASH=0002\nESC_AT_EEPROM=10\nESC_WINDOW_CLASS=ZpStandinEscapeTarget\n");
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  plugin.ReadFlash(0);
  plugin.ReadFlash(1);
  EXPECT_EQ(EscapeWindow::TakeEscapes(target.Handle()), 0);
  plugin.ReadFlash(2);
  EXPECT_EQ(EscapeWindow::TakeEscapes(target.Handle()), 1);
  plugin.ReadFlash(3);
  plugin.WriteEEpromAddress(kPort, 0x10, 0);
  EXPECT_EQ(EscapeWindow::TakeEscapes(target.Handle()), 1);
}

TEST_F(DemoPluginTest, EscapeReachesTheThreadsWindowOrTheThreadItself) {
  EscapeWindow target("ZpStandinEscapeActive");
  ASSERT_NE(target.Handle(), nullptr);
  ShowWindow(target.Handle(), SW_SHOW);
  SetActiveWindow(target.Handle());
  Configure("ESC_AT_FLASH=0\n");
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  plugin.ReadFlash(0);
  EXPECT_EQ(EscapeWindow::TakeEscapes(target.Handle()), 1);

  Configure("ESC_AT_FLASH=0\nESC_TARGET=THREAD\n");
  ASSERT_TRUE(plugin.StartProgramming());
  plugin.ReadFlash(0);
  EXPECT_EQ(EscapeWindow::TakeEscapes(reinterpret_cast<HWND>(-1)), 1);
  EXPECT_EQ(EscapeWindow::TakeEscapes(target.Handle()), 0);
}

// ------------------------------------------------------------------ trace

TEST_F(DemoPluginTest, FullTraceHasOneLinePerCall) {
  Configure("TRACE=2\nFAIL_WRITE_FLASH=1\n");
  DemoPlugIn plugin;
  plugin.Identify();
  ASSERT_TRUE(plugin.StartProgramming());
  plugin.WriteFlashAddress(kPort, 0, 0x12);
  plugin.WriteFlashAddress(kPort, 1, 0x34);
  plugin.ReadFlash(0);
  plugin.ReadEEprom(0x200);
  plugin.EraseChip(kPort);
  plugin.PowerOffDevice(kPort);
  const std::vector<std::string> expected = {
      "PowerUpDevice",         "CheckSignature",         "PowerOffDevice",
      "GetDeviceFoundName",    "GetDeviceFoundFlashSize", "GetDeviceFoundEEpromSize",
      "PowerUpDevice",         "EnableProgramming",      "WriteFlashAddress 0000 12",
      "WriteFlashAddress 0001 34 FAIL", "ReadFlashAddress 0000 12", "ReadEEpromAddress 0200 FAIL",
      "EraseChip",             "PowerOffDevice",
  };
  EXPECT_EQ(Trace(), expected);
}

TEST_F(DemoPluginTest, CollapsedTraceMergesRunsOfAddresses) {
  Configure("FAIL_WRITE_FLASH=10,80\nFAIL_POWERUP=1\n");  // TRACE=1 is the default
  DemoPlugIn plugin;
  EXPECT_EQ(plugin.PowerUpDevice(kPort), 0);
  ASSERT_TRUE(plugin.StartProgramming());
  for (int32_t address = 0; address <= 0xFF; ++address) plugin.WriteFlashAddress(kPort, address, address);
  for (int32_t address = 0; address <= 3; ++address) plugin.ReadFlash(address);
  plugin.ReadFlash(0x10);
  plugin.ReadEEprom(0x11);
  plugin.PowerOffDevice(kPort);
  const std::vector<std::string> expected = {
      "PowerUpDevice FAIL",          "PowerUpDevice",          "EnableProgramming",
      "WriteFlashAddress 0000-00FF failed=2", "ReadFlashAddress 0000-0003", "ReadFlashAddress 0010-0010",
      "ReadEEpromAddress 0011-0011", "PowerOffDevice",
  };
  EXPECT_EQ(Trace(), expected);
}

TEST_F(DemoPluginTest, WaitingAddressLinesAreWrittenWhenThePlugInIsUnloaded) {
  {
    DemoPlugIn plugin;
    ASSERT_TRUE(plugin.StartProgramming());
    plugin.ReadFlash(0);
    plugin.ReadFlash(1);
  }
  EXPECT_EQ(Trace().back(), "ReadFlashAddress 0000-0001");
  Configure("TRACE=2\n");
  ClearTrace();
  {
    DemoPlugIn plugin;
    ASSERT_TRUE(plugin.StartProgramming());
    plugin.WriteFlashAddress(kPort, 0, 0xAB);
    plugin.ReadFlash(0);
  }
  const std::vector<std::string> expected = {"PowerUpDevice", "EnableProgramming", "WriteFlashAddress 0000 AB",
                                             "ReadFlashAddress 0000 AB"};
  EXPECT_EQ(Trace(), expected);
}

TEST_F(DemoPluginTest, TraceCanShowPortsAndLoadsOrBeOff) {
  Configure("TRACE=2\nTRACE_PORTS=1\nTRACE_LOAD=1\n");
  {
    DemoPlugIn plugin("DemoPluginNoBitmaps.dll");
    plugin.PowerUpDevice(0x3BC);
    plugin.WriteFlashAddress(0x278, 0x1F, 7);
    plugin.GetDeviceFoundName();
  }
  const std::vector<std::string> expected = {"Load DemoPluginNoBitmaps.dll", "PowerUpDevice 3BC",
                                             "WriteFlashAddress 278 001F 07", "GetDeviceFoundName",
                                             "Unload DemoPluginNoBitmaps.dll"};
  EXPECT_EQ(Trace(), expected);

  ClearTrace();
  Configure("TRACE=0\n");
  DemoPlugIn plugin;
  plugin.Identify();
  EXPECT_FALSE(FileExists(folder_.File("DemoPlugin.trace")));
}

// ----------------------------------------------------------- special bits

TEST_F(DemoPluginTest, DefaultSpecialBitsCategories) {
  DemoPlugIn plugin;
  const char* names[3] = {};
  plugin.GetSpecialBitsCategoryName(names, 2);
  EXPECT_STREQ(names[0], "Fuse Bits");
  EXPECT_STREQ(names[1], "Lock Bits");
  EXPECT_STREQ(names[2], "Extended Bits");
  const auto fuses = plugin.BitNames(0);
  ASSERT_EQ(fuses.size(), 8u);
  EXPECT_EQ(fuses[0], "CKSEL0");
  EXPECT_EQ(fuses[7], "BODLEVEL");
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.Bits(1, 2), (std::vector<int>{0, 0}));
  EXPECT_EQ(plugin.Bits(2, 3), (std::vector<int>{1, 0, 0}));
}

TEST_F(DemoPluginTest, WrittenSpecialBitsPersist) {
  {
    DemoPlugIn plugin;
    ASSERT_TRUE(plugin.StartProgramming());
    const uint8_t lock[2] = {1, 0};
    plugin.WriteSpecialBits[1](kPort, lock, 1);
    // Nonzero counts as programmed; extra entries beyond the bit count are ignored.
    const uint8_t extended[4] = {0, 2, 1, 1};
    plugin.WriteSpecialBits[2](kPort, extended, 3);
    plugin.PowerOffDevice(kPort);
  }
  DemoPlugIn plugin;
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.Bits(1, 2), (std::vector<int>{1, 0}));
  EXPECT_EQ(plugin.Bits(2, 3), (std::vector<int>{0, 1, 1}));
  EXPECT_NE(ReadTextFile(folder_.File("ATDEMO8.sbits")).find("BITS2=LB1:1|LB2:0"), std::string::npos);
  const auto trace = Trace();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "WriteSpecialBits3 0,2,1,1"), trace.end());
}

TEST_F(DemoPluginTest, SpecialBitsComeFromTheChipsFile) {
  ASSERT_TRUE(WriteTextFile(folder_.File("ATDEMO8.sbits"),
                            "CATEGORY1=Calibration\nBITS1=A:1|B:0|C:1\nBITS2=\nBITS3=:1|:0\n"));
  DemoPlugIn plugin;
  const char* names[3] = {};
  plugin.GetSpecialBitsCategoryName(names, 2);
  EXPECT_STREQ(names[0], "Calibration");
  EXPECT_STREQ(names[1], "Lock Bits");  // not in the file: the default
  EXPECT_EQ(plugin.BitNames(0), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_TRUE(plugin.BitNames(1).empty());
  EXPECT_EQ(plugin.BitNames(2), (std::vector<std::string>{"", ""}));
  ASSERT_TRUE(plugin.StartProgramming());
  EXPECT_EQ(plugin.Bits(0, 3), (std::vector<int>{1, 0, 1}));
  // Only High + 1 bytes are filled.
  uint8_t bits[3] = {9, 9, 9};
  plugin.ReadSpecialBits[0](kPort, bits, 1);
  EXPECT_EQ(bits[1], 0);
  EXPECT_EQ(bits[2], 9);
}

}  // namespace
