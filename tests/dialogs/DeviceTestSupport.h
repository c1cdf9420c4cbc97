// Shared fixture of the command tests: a hidden main window over the
// stand-in port library, bound to the demonstration plug-in whose simulated
// chip lives in a private folder (ZP_DEMO_DIR), with message boxes, file
// dialogs, modal forms and waits answered by the test.
#pragma once

#include "MainTestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

class DeviceFixture : public MainFormFixture {
protected:
    DeviceFixture();
    ~DeviceFixture() override;

    // Writes DemoPlugin.cfg ("TRACE=2" is added) and forgets the trace.
    void ConfigureDemo(const std::string& config);
    // Makes the main window, binds DemoPlugin.dll as the plug-in host does
    // and identifies the chip in the socket.
    TMainForm& StartWithDevice(const std::string& demoConfig = "DEVICE=ATDEMO8\n", bool commandMode = false);
    void BindDemoPlugIn();

    std::string DemoFile(const std::string& name) const { return demo_.File(name); }
    // The chip's memory as the plug-in keeps it (missing bytes read as FF).
    std::vector<std::uint8_t> ChipBytes(const std::string& device, const std::string& memory, std::size_t size) const;
    void SeedChip(const std::string& device, const std::string& memory, const std::vector<std::uint8_t>& bytes);
    std::vector<std::string> DemoTrace() const;
    void ClearDemoTrace();
    // The trace lines that start with `name`.
    std::vector<std::string> TraceOf(const std::string& name) const;

    ScratchFolder demo_;
    EnvironmentOverride demoDir_;
    tk::ScriptedFileDialogs files_;
    tk::ScriptedModalForms modals_;
    tk::RecordingSleepBeep sleeps_;
    TMainForm* main_ = nullptr;
};

// Every element of a buffer as bytes.
std::vector<std::uint8_t> Bytes(const std::vector<std::int32_t>& buffer);
