// Shared fixture of the interpreter and language tests: the program's
// windows (all but the plug-in browser) made hidden in the program's order
// over the stand-in port library (its own configuration file), a simulated
// port driver and the demonstration plug-in with its chip in a private
// folder. Message boxes are recorded and answered with OK unless a test
// queues other answers; sleeps and beeps are recorded, never waited.
#pragma once

#include "StandinTestSupport.h"
#include "tests/components/PortDriverSim.h"
#include "programmer/Main.h"
#include "toolbars/BarButtons.h"
#include "toolkit/StrConv.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Handles the thread's pending messages (a bounded number, never waits).
void PumpMessages();

// A string-table text of the active module, as the program shows it.
std::string Text(unsigned id);
std::string Text(unsigned id, std::initializer_list<tk::FormatArg> args);

// The bytes an Intel HEX file's data records put at their addresses, over
// `size` bytes of $FF.
std::vector<std::uint8_t> HexImage(const std::string& hexText, std::size_t size);
// An Intel HEX text of `data` (16-byte records from address 0, end record).
std::string HexText(const std::vector<std::uint8_t>& data);
// A test pattern of `size` bytes that differs from address to address.
std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed);

// The application's title, the caption of plain message boxes.
std::string ApplicationTitle();

class ScriptFixture : public ::testing::Test {
protected:
    ScriptFixture();
    ~ScriptFixture() override;

    // The windows as the program makes them; `commandMode` is what the
    // port library was told at start (true: started with parameters).
    TMainForm& CreateForms(bool commandMode = true);
    // The program's parameters, run by the interpreter.
    void Run(const std::vector<std::string>& parameters);
    void Run(std::initializer_list<std::string> parameters) { Run(std::vector<std::string>(parameters)); }
    // One command as a parameter.
    void Run(const std::string& parameter) { Run(std::vector<std::string>{parameter}); }
    // A script file in the scratch folder; returns its full path.
    std::string WriteScript(const std::string& name, const std::string& text);

    // The demonstration plug-in loaded (LOADPLUGIN) and the device
    // identified (GETCHIPID); false when the host could not do it.
    bool LoadPlugInAndIdentify();

    // The chip's memories as the plug-in keeps them in its folder.
    std::vector<std::uint8_t> ChipFlash() const;
    std::vector<std::uint8_t> ChipEEprom() const;
    void SeedChip(const std::vector<std::uint8_t>& flash, const std::vector<std::uint8_t>& eeprom);
    std::vector<std::string> PlugInTrace() const;
    void ClearPlugInTrace();
    std::vector<std::string> PortLibraryTrace() const;

    std::vector<std::string> Boxes() const { return messages_.Texts(); }
    std::vector<std::int32_t> Bytes(const std::vector<std::uint8_t>& data) const;

    ScratchFolder scratch_;
    EnvironmentOverride portConfigEnv_;
    EnvironmentOverride demoDirEnv_;
    tk::ScriptedMessages messages_;
    tk::RecordingSleepBeep sleepBeep_;
    PortDriverSim driver_;
    TMainForm* form_ = nullptr;
};
