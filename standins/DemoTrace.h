// Stand-in for parts outside the system, not the system's own code.
// The demonstration plug-in's call trace: one line per call appended to a
// text file, so tests can check which plug-in functions ran in which order.
// In collapsed mode a run of per-address calls of one function over
// ascending consecutive addresses becomes a single line, written when the
// run ends, which keeps traces of large chips small. Lines of calls without
// an address reach the file at once; per-address lines wait for the next
// such call, for Flush or for a batch to fill.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class DemoTrace {
public:
  enum class Mode { Off, Collapsed, Full };

  // A change of file or mode first writes out a pending run.
  void Configure(const std::string& path, Mode mode, bool withPorts);

  // "<name>[ <port>][ <details>][ FAIL]"; port only in port-tracing mode.
  void Call(std::string_view name, std::optional<int32_t> port, std::string_view details = {},
            bool succeeded = true);
  // Full: "<name>[ <port>] <address>[ <data>][ FAIL]".
  // Collapsed: "<name>[ <port>] <first>-<last>[ failed=<n>]".
  // Addresses have at least four upper-case hex digits, data at least two.
  void AddressCall(std::string_view name, int32_t port, int32_t address, std::optional<int32_t> data,
                   bool succeeded);
  // Writes out a pending run and the waiting lines.
  void Flush();

private:
  struct Run {
    std::string name;
    int32_t port = 0;
    int32_t first = 0;
    int32_t last = 0;
    int failures = 0;
  };

  std::string Prefix(std::string_view name, std::optional<int32_t> port) const;
  void EndRun();
  void Emit(const std::string& line);
  void WriteOut();

  static constexpr size_t kBatchBytes = 64 * 1024;

  std::string path_;
  Mode mode_ = Mode::Off;
  bool withPorts_ = false;
  std::optional<Run> run_;
  std::string pending_;
};
