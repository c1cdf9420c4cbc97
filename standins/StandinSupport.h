// Stand-in for parts outside the system, not the system's own code.
// Helpers shared by the simulated port library and the demonstration device
// plug-ins: KEY=VALUE configuration files, number and range lists, whole-file
// access through the Win32 file calls (safe while a DLL is being unloaded)
// and the folder a module was loaded from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

std::string Trim(std::string_view text);
std::string Upper(std::string_view text);
// Splits at every separator and trims each piece; an empty text gives no pieces.
std::vector<std::string> Split(std::string_view text, char separator);

// Decimal with optional sign, or hexadecimal after "$" or "0x".
std::optional<int64_t> ParseNumber(std::string_view text);
// Hexadecimal, bare or after "$" or "0x".
std::optional<int64_t> ParseHex(std::string_view text);

// Lines of KEY=VALUE; keys are case-insensitive, blank lines and lines
// starting with '#' or ';' are ignored, the last of repeated keys wins.
class KeyValueFile {
public:
  static KeyValueFile Parse(std::string_view text);
  // A missing or unreadable file reads as an empty one.
  static KeyValueFile Load(const std::string& path);

  bool Has(std::string_view key) const;
  std::string Text(std::string_view key, std::string_view fallback = {}) const;
  // 1/0, TRUE/FALSE, YES/NO, ON/OFF; anything else gives the fallback.
  bool Flag(std::string_view key, bool fallback) const;
  int64_t Number(std::string_view key, int64_t fallback) const;
  long double Real(std::string_view key, long double fallback) const;

private:
  std::map<std::string, std::string> values_;
};

// A set of integers written as "12", "10-1F", "20-" (open end) or "*"/"ALL",
// comma-separated. Hex sets read their numbers as hexadecimal (addresses),
// decimal sets as decimal (call numbers).
class NumberSet {
public:
  static NumberSet ParseHexList(std::string_view text);
  static NumberSet ParseDecimalList(std::string_view text);

  bool Contains(int64_t value) const;
  bool Empty() const { return ranges_.empty(); }

private:
  static NumberSet ParseList(std::string_view text, bool hex);
  struct Range {
    int64_t first;
    int64_t last;
  };
  std::vector<Range> ranges_;
};

std::optional<std::string> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, std::string_view data);
bool AppendToFile(const std::string& path, std::string_view data);

// The module's folder with a trailing backslash.
std::string ModuleFolder(HMODULE module);
// The folder part of a path with its trailing separator; empty when none.
std::string FolderOf(const std::string& path);
// The folder with a trailing backslash added when it lacks a separator.
std::string WithTrailingSeparator(std::string folder);
// The variable from the process environment block (empty when unset), so a
// test can steer a loaded DLL with SetEnvironmentVariable.
std::string EnvironmentText(const char* name);

// Upper-case hexadecimal with at least the given number of digits.
std::string Hex(uint32_t value, int minDigits);

}  // namespace standin
