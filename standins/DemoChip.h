// Stand-in for parts outside the system, not the system's own code.
// The simulated chip in the demonstration plug-in's socket: the table of
// known demo devices, the Flash and EEPROM contents and the three special-bits
// categories, kept in files named after the device in the plug-in's folder
// (<DEVICE>.flash and <DEVICE>.eeprom raw bytes, <DEVICE>.sbits text) so
// successive runs and reloads see the same chip.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DemoDevice {
  std::string name;
  int32_t flashSize = 0;
  int32_t eepromSize = 0;
};

// ATDEMO8 (8 KiB Flash, 512 bytes EEPROM), ATDEMOFL (Flash only),
// ATDEMOEE (EEPROM only), ATDEMO128 (128 KiB Flash), ATDEMOTINY (1 byte each).
const std::vector<DemoDevice>& DemoDeviceTable();
std::optional<DemoDevice> FindDemoDevice(std::string_view name);

enum class DemoMemory { Flash, EEprom };

struct SpecialBit {
  std::string name;
  uint8_t value = 0;
};

struct SpecialBitsCategory {
  std::string name;
  std::vector<SpecialBit> bits;
};

inline constexpr int kSpecialBitsCategories = 3;

// Categories a chip starts with when its .sbits file lacks them.
std::array<SpecialBitsCategory, kSpecialBitsCategories> DefaultSpecialBits();
// CATEGORYn=<name> and BITSn=<name>:<0|1>|<name>:<0|1>|... lines, n = 1..3.
std::string FormatSpecialBits(const std::array<SpecialBitsCategory, kSpecialBitsCategories>& categories);
std::array<SpecialBitsCategory, kSpecialBitsCategories> ParseSpecialBits(std::string_view text);

class DemoChip {
public:
  // Reads the chip's files from folder (with trailing separator); memory
  // missing from a file reads as erased ($FF).
  void Load(const std::string& folder, const DemoDevice& device);
  bool IsLoaded() const { return loaded_; }
  bool Holds(const std::string& folder, const DemoDevice& device) const;
  // Writes back whatever changed since loading.
  void Save();
  void Unload();

  int32_t Size(DemoMemory memory) const;
  bool Read(DemoMemory memory, int32_t address, uint8_t& value) const;
  bool Write(DemoMemory memory, int32_t address, uint8_t value);
  void Erase();

  const SpecialBitsCategory& Category(int index) const { return categories_[static_cast<size_t>(index)]; }
  // Takes up to the category's bit count; nonzero counts as programmed.
  void SetBits(int index, const uint8_t* bits, size_t count);

private:
  std::string FilePath(std::string_view extension) const;
  std::vector<uint8_t>& Bytes(DemoMemory memory) { return memory_[memory == DemoMemory::Flash ? 0 : 1]; }
  const std::vector<uint8_t>& Bytes(DemoMemory memory) const {
    return memory_[memory == DemoMemory::Flash ? 0 : 1];
  }

  bool loaded_ = false;
  std::string folder_;
  DemoDevice device_;
  std::array<std::vector<uint8_t>, 2> memory_;
  std::array<bool, 2> memoryChanged_ = {false, false};
  std::array<SpecialBitsCategory, kSpecialBitsCategories> categories_;
  bool bitsChanged_ = false;
};
