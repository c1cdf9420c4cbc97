// Shared fixture of the device tests: the main window bound to a stand-in
// plug-in, with recording shims between the host and the plug-in's entry
// points, so one log holds every plug-in call in order together with the
// waits and message boxes between them. Per-address calls over ascending
// addresses collapse into one line "<Name> <first>-<last>" (plus
// " failed=<n>"), as the plug-in's own trace writes them.
#pragma once

#include "MainTestSupport.h"

#include "programmer/PlugInInterface.h"
#include "toolkit/Services.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class DeviceFixture : public MainFormFixture {
protected:
    DeviceFixture();
    ~DeviceFixture() override;

    // The plug-in's configuration (tracing and strict checks added).
    void ConfigureDemo(const std::string& config);
    // The main window bound to `library` as a script binds it, with the
    // command line done and the window interactive afterwards.
    TMainForm& StartWith(const std::string& demoConfig, const std::string& ports = "PORTS=378\n",
                         const std::string& library = "DemoPlugin.dll");

    // Puts the recording shims between the host and the bound plug-in (again
    // after every binding) and starts a fresh log.
    void WatchCalls();
    std::vector<std::string> Calls() const;
    void ClearCalls();

    // The plug-in's own trace file.
    std::vector<std::string> Trace() const;
    void ClearTrace() const;

    // Chip files of the simulated device.
    std::vector<std::uint8_t> Chip(const std::string& file, std::size_t size) const;
    void Seed(const std::string& file, const std::vector<std::uint8_t>& bytes) const;
    static std::vector<std::uint8_t> Pattern(std::size_t size, int seed);
    static std::vector<std::int32_t> AsBuffer(const std::vector<std::uint8_t>& bytes);

    // Called by every shim before it forwards (name, address or -1).
    std::function<void(const char* name, std::int32_t address)> onCall;
    // Answers that replace the plug-in's own while set.
    std::function<const char*()> deviceNameAnswer;
    std::function<std::int32_t()> flashSizeAnswer;
    std::function<std::int32_t()> eepromSizeAnswer;

    // Sleeps asked for, in order (also in the call log as "Sleep <ms>").
    std::vector<unsigned> sleeps_;

    ScratchFolder demo_;
    EnvironmentOverride demoDir_;

private:
    friend struct DeviceShims;
    struct Entry {
        std::string name;
        bool perAddress = false;
        std::int32_t first = 0;
        std::int32_t last = 0;
        int failed = 0;
    };
    void Log(std::string line);
    void LogAddress(const char* name, std::int32_t address, bool ok);

    class LoggingMessages : public tk::MessageService {
    public:
        LoggingMessages(DeviceFixture& fixture, tk::MessageService& answers);
        tk::ModalResult Show(const tk::MessageRequest& request) override;

    private:
        DeviceFixture& fixture_;
        tk::MessageService& answers_;
        tk::SeamOverride<tk::MessageService> override_;
    };
    class LoggingSleeps : public tk::SleepBeepService {
    public:
        explicit LoggingSleeps(DeviceFixture& fixture);
        void Sleep(unsigned milliseconds) override;
        void Beep(unsigned, unsigned) override {}

    private:
        DeviceFixture& fixture_;
        tk::SeamOverride<tk::SleepBeepService> override_;
    };

    std::vector<Entry> log_;
    LoggingMessages loggingMessages_;
    LoggingSleeps loggingSleeps_;
};

// Global allocation counter of this test program (operator new replaced).
long AllocationCount();
