// Stand-in for parts outside the system, not the system's own code.
// The simulated chip of the demonstration plug-in and its files.
#include "standins/DemoChip.h"

#include "standins/StandinSupport.h"

#include <algorithm>

const std::vector<DemoDevice>& DemoDeviceTable() {
  static const std::vector<DemoDevice> table = {
      {"ATDEMO8", 8192, 512},   {"ATDEMOFL", 2048, 0}, {"ATDEMOEE", 0, 512},
      {"ATDEMO128", 131072, 4096}, {"ATDEMOTINY", 1, 1},
  };
  return table;
}

std::optional<DemoDevice> FindDemoDevice(std::string_view name) {
  const std::string wanted = standin::Upper(name);
  for (const DemoDevice& device : DemoDeviceTable())
    if (device.name == wanted) return device;
  return std::nullopt;
}

std::array<SpecialBitsCategory, kSpecialBitsCategories> DefaultSpecialBits() {
  auto category = [](const char* name, std::initializer_list<SpecialBit> bits) {
    return SpecialBitsCategory{name, std::vector<SpecialBit>(bits)};
  };
  return {
      category("Fuse Bits", {{"CKSEL0", 1}, {"CKSEL1", 1}, {"CKSEL2", 1}, {"CKSEL3", 0},
                             {"SUT0", 0}, {"SUT1", 1}, {"BODEN", 0}, {"BODLEVEL", 1}}),
      category("Lock Bits", {{"LB1", 0}, {"LB2", 0}}),
      category("Extended Bits", {{"SPIEN", 1}, {"EESAVE", 0}, {"WDTON", 0}}),
  };
}

std::string FormatSpecialBits(const std::array<SpecialBitsCategory, kSpecialBitsCategories>& categories) {
  std::string text;
  for (int i = 0; i < kSpecialBitsCategories; ++i) {
    const SpecialBitsCategory& category = categories[static_cast<size_t>(i)];
    const std::string n = std::to_string(i + 1);
    text += "CATEGORY" + n + "=" + category.name + "\r\n";
    text += "BITS" + n + "=";
    for (size_t bit = 0; bit < category.bits.size(); ++bit) {
      if (bit > 0) text += '|';
      text += category.bits[bit].name + ":" + (category.bits[bit].value != 0 ? "1" : "0");
    }
    text += "\r\n";
  }
  return text;
}

std::array<SpecialBitsCategory, kSpecialBitsCategories> ParseSpecialBits(std::string_view text) {
  const standin::KeyValueFile values = standin::KeyValueFile::Parse(text);
  auto categories = DefaultSpecialBits();
  for (int i = 0; i < kSpecialBitsCategories; ++i) {
    SpecialBitsCategory& category = categories[static_cast<size_t>(i)];
    const std::string n = std::to_string(i + 1);
    if (values.Has("CATEGORY" + n)) category.name = values.Text("CATEGORY" + n);
    if (!values.Has("BITS" + n)) continue;
    category.bits.clear();
    for (const std::string& entry : standin::Split(values.Text("BITS" + n), '|')) {
      // The value follows the last colon, so a name may hold colons itself.
      const size_t colon = entry.rfind(':');
      SpecialBit bit;
      bit.name = standin::Trim(std::string_view(entry).substr(0, colon));
      if (colon != std::string::npos) bit.value = standin::Trim(entry.substr(colon + 1)) == "0" ? 0 : 1;
      category.bits.push_back(bit);
    }
  }
  return categories;
}

void DemoChip::Load(const std::string& folder, const DemoDevice& device) {
  Unload();
  folder_ = folder;
  device_ = device;
  const int32_t sizes[2] = {device.flashSize, device.eepromSize};
  const char* extensions[2] = {".flash", ".eeprom"};
  for (size_t i = 0; i < 2; ++i) {
    std::vector<uint8_t>& bytes = memory_[i];
    bytes.assign(static_cast<size_t>(std::max(sizes[i], 0)), 0xFF);
    if (const auto stored = standin::ReadWholeFile(FilePath(extensions[i])))
      std::copy_n(stored->begin(), std::min(stored->size(), bytes.size()), bytes.begin());
    memoryChanged_[i] = false;
  }
  const auto bitsText = standin::ReadWholeFile(FilePath(".sbits"));
  categories_ = bitsText ? ParseSpecialBits(*bitsText) : DefaultSpecialBits();
  bitsChanged_ = false;
  loaded_ = true;
}

bool DemoChip::Holds(const std::string& folder, const DemoDevice& device) const {
  return loaded_ && folder_ == folder && device_.name == device.name && device_.flashSize == device.flashSize &&
         device_.eepromSize == device.eepromSize;
}

void DemoChip::Save() {
  if (!loaded_) return;
  const char* extensions[2] = {".flash", ".eeprom"};
  for (size_t i = 0; i < 2; ++i) {
    if (!memoryChanged_[i]) continue;
    const std::vector<uint8_t>& bytes = memory_[i];
    standin::WriteWholeFile(FilePath(extensions[i]),
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    memoryChanged_[i] = false;
  }
  if (bitsChanged_) {
    standin::WriteWholeFile(FilePath(".sbits"), FormatSpecialBits(categories_));
    bitsChanged_ = false;
  }
}

void DemoChip::Unload() {
  Save();
  loaded_ = false;
  memory_ = {};
}

int32_t DemoChip::Size(DemoMemory memory) const { return static_cast<int32_t>(Bytes(memory).size()); }

bool DemoChip::Read(DemoMemory memory, int32_t address, uint8_t& value) const {
  const std::vector<uint8_t>& bytes = Bytes(memory);
  if (address < 0 || static_cast<size_t>(address) >= bytes.size()) return false;
  value = bytes[static_cast<size_t>(address)];
  return true;
}

bool DemoChip::Write(DemoMemory memory, int32_t address, uint8_t value) {
  std::vector<uint8_t>& bytes = Bytes(memory);
  if (address < 0 || static_cast<size_t>(address) >= bytes.size()) return false;
  bytes[static_cast<size_t>(address)] = value;
  memoryChanged_[memory == DemoMemory::Flash ? 0 : 1] = true;
  return true;
}

void DemoChip::Erase() {
  for (size_t i = 0; i < 2; ++i) {
    std::fill(memory_[i].begin(), memory_[i].end(), uint8_t{0xFF});
    memoryChanged_[i] = true;
  }
}

void DemoChip::SetBits(int index, const uint8_t* bits, size_t count) {
  std::vector<SpecialBit>& target = categories_[static_cast<size_t>(index)].bits;
  for (size_t i = 0; i < std::min(count, target.size()); ++i) target[i].value = bits[i] != 0 ? 1 : 0;
  bitsChanged_ = true;
}

std::string DemoChip::FilePath(std::string_view extension) const {
  return folder_ + device_.name + std::string(extension);
}
