// Stand-in for parts outside the system, not the system's own code.
// Shared helpers of the simulated port library and device plug-ins.
#include "standins/StandinSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace standin {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class FileHandle {
public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 20));
    if (!WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::string Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  if (Trim(text).empty()) return pieces;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    pieces.push_back(Trim(text.substr(start, end == std::string_view::npos ? text.npos : end - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return pieces;
}

namespace {

std::optional<int64_t> ParseDigits(std::string_view text, int base) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

std::string_view WithoutHexPrefix(std::string_view text, bool& hadPrefix) {
  hadPrefix = false;
  if (!text.empty() && text.front() == '$') {
    hadPrefix = true;
    return text.substr(1);
  }
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hadPrefix = true;
    return text.substr(2);
  }
  return text;
}

}  // namespace

std::optional<int64_t> ParseNumber(std::string_view text) {
  const std::string trimmed = Trim(text);
  std::string_view rest = trimmed;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  bool hex = false;
  rest = WithoutHexPrefix(rest, hex);
  auto value = ParseDigits(rest, hex ? 16 : 10);
  if (value && negative) *value = -*value;
  return value;
}

std::optional<int64_t> ParseHex(std::string_view text) {
  const std::string trimmed = Trim(text);
  bool prefixed = false;
  return ParseDigits(WithoutHexPrefix(trimmed, prefixed), 16);
}

KeyValueFile KeyValueFile::Parse(std::string_view text) {
  KeyValueFile file;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Upper(Trim(std::string_view(line).substr(0, equals)));
    if (!key.empty()) file.values_[key] = Trim(std::string_view(line).substr(equals + 1));
  }
  return file;
}

KeyValueFile KeyValueFile::Load(const std::string& path) {
  const auto text = ReadWholeFile(path);
  return text ? Parse(*text) : KeyValueFile();
}

bool KeyValueFile::Has(std::string_view key) const { return values_.count(Upper(key)) != 0; }

std::string KeyValueFile::Text(std::string_view key, std::string_view fallback) const {
  const auto found = values_.find(Upper(key));
  return found == values_.end() ? std::string(fallback) : found->second;
}

bool KeyValueFile::Flag(std::string_view key, bool fallback) const {
  const std::string value = Upper(Text(key));
  if (value == "1" || value == "TRUE" || value == "YES" || value == "ON") return true;
  if (value == "0" || value == "FALSE" || value == "NO" || value == "OFF") return false;
  return fallback;
}

int64_t KeyValueFile::Number(std::string_view key, int64_t fallback) const {
  return ParseNumber(Text(key)).value_or(fallback);
}

long double KeyValueFile::Real(std::string_view key, long double fallback) const {
  const std::string value = Text(key);
  if (value.empty()) return fallback;
  char* end = nullptr;
  const long double result = std::strtold(value.c_str(), &end);
  return end != nullptr && *end == '\0' ? result : fallback;
}

NumberSet NumberSet::ParseHexList(std::string_view text) { return ParseList(text, true); }
NumberSet NumberSet::ParseDecimalList(std::string_view text) { return ParseList(text, false); }

NumberSet NumberSet::ParseList(std::string_view text, bool hex) {
  constexpr int64_t kOpenEnd = std::numeric_limits<int64_t>::max();
  auto number = [hex](std::string_view piece) { return hex ? ParseHex(piece) : ParseNumber(piece); };
  NumberSet set;
  for (const std::string& piece : Split(text, ',')) {
    if (piece.empty()) continue;
    if (piece == "*" || Upper(piece) == "ALL") {
      set.ranges_.push_back({std::numeric_limits<int64_t>::min(), kOpenEnd});
      continue;
    }
    const size_t dash = piece.find('-', 1);
    if (dash == std::string::npos) {
      if (auto value = number(piece)) set.ranges_.push_back({*value, *value});
      continue;
    }
    const auto first = number(std::string_view(piece).substr(0, dash));
    const std::string lastText = Trim(std::string_view(piece).substr(dash + 1));
    const auto last = lastText.empty() ? std::optional<int64_t>(kOpenEnd) : number(lastText);
    if (first && last && *first <= *last) set.ranges_.push_back({*first, *last});
  }
  return set;
}

bool NumberSet::Contains(int64_t value) const {
  for (const Range& range : ranges_)
    if (value >= range.first && value <= range.last) return true;
  return false;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, got);
  }
  return content;
}

bool WriteWholeFile(const std::string& path, std::string_view data) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid() && WriteAll(file.Get(), data);
}

bool AppendToFile(const std::string& path, std::string_view data) {
  FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid() && WriteAll(file.Get(), data);
}

std::string ModuleFolder(HMODULE module) {
  char path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameA(module, path, sizeof path);
  return FolderOf(std::string(path, length));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

std::string EnvironmentText(const char* name) {
  char value[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string Hex(uint32_t value, int minDigits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", minDigits, value);
  return text;
}

}  // namespace standin
