// Stand-in for parts outside the system, not the system's own code.
// Call trace of the demonstration plug-in.
#include "standins/DemoTrace.h"

#include "standins/StandinSupport.h"

void DemoTrace::Configure(const std::string& path, Mode mode, bool withPorts) {
  if (path != path_ || mode != mode_ || withPorts != withPorts_) Flush();
  path_ = path;
  mode_ = mode;
  withPorts_ = withPorts;
}

std::string DemoTrace::Prefix(std::string_view name, std::optional<int32_t> port) const {
  std::string line(name);
  if (withPorts_ && port) line += " " + standin::Hex(static_cast<uint32_t>(*port), 3);
  return line;
}

void DemoTrace::Call(std::string_view name, std::optional<int32_t> port, std::string_view details,
                     bool succeeded) {
  if (mode_ == Mode::Off) return;
  EndRun();
  std::string line = Prefix(name, port);
  if (!details.empty()) line += " " + std::string(details);
  if (!succeeded) line += " FAIL";
  Emit(line);
  WriteOut();
}

void DemoTrace::AddressCall(std::string_view name, int32_t port, int32_t address, std::optional<int32_t> data,
                            bool succeeded) {
  if (mode_ == Mode::Off) return;
  if (mode_ == Mode::Full) {
    std::string line = Prefix(name, port) + " " + standin::Hex(static_cast<uint32_t>(address), 4);
    if (data) line += " " + standin::Hex(static_cast<uint32_t>(*data), 2);
    if (!succeeded) line += " FAIL";
    Emit(line);
    return;
  }
  const bool continues = run_ && run_->name == name && run_->port == port && run_->last != INT32_MAX &&
                         address == run_->last + 1;
  if (!continues) {
    EndRun();
    run_ = Run{std::string(name), port, address, address, 0};
  } else {
    run_->last = address;
  }
  if (!succeeded) ++run_->failures;
}

void DemoTrace::Flush() {
  EndRun();
  WriteOut();
}

void DemoTrace::EndRun() {
  if (!run_) return;
  const Run run = *run_;
  run_.reset();
  std::string line = Prefix(run.name, run.port) + " " + standin::Hex(static_cast<uint32_t>(run.first), 4) + "-" +
                     standin::Hex(static_cast<uint32_t>(run.last), 4);
  if (run.failures > 0) line += " failed=" + std::to_string(run.failures);
  Emit(line);
}

void DemoTrace::Emit(const std::string& line) {
  pending_ += line;
  pending_ += "\r\n";
  // One file append per line would make a large chip's full trace crawl.
  if (pending_.size() >= kBatchBytes) WriteOut();
}

void DemoTrace::WriteOut() {
  if (!pending_.empty() && !path_.empty()) standin::AppendToFile(path_, pending_);
  pending_.clear();
}
