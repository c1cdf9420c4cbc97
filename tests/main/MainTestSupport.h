// Shared fixture of the main-window tests: a fresh, hidden main window per
// test over the stand-in port library (configured through its own file)
// and a simulated port driver; message boxes are recorded and answered.
#pragma once

#include "StandinTestSupport.h"
#include "tests/components/PortDriverSim.h"
#include "programmer/Main.h"
#include "toolbars/BarButtons.h"
#include "toolkit/StrConv.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Handles the thread's pending messages (a bounded number, never waits).
void PumpMessages();

// A string-table text as the program shows it.
std::string Text(unsigned id);
std::string Text(unsigned id, std::initializer_list<tk::FormatArg> args);

// A clock that moves a second at every reading: the device loops' message
// pass, skipped while the last one is only milliseconds old, then runs at
// every address, as it does with a slow device.
class SteppingClock : public tk::ClockService {
public:
    SteppingClock() : override_(tk::ClockSeam(), *this) {}
    DWORD Now() override { return now_ += 1000; }

private:
    tk::SeamOverride<tk::ClockService> override_;
    DWORD now_ = 0;
};

// A toolbar button painted alone on a 32-bit DIB section.
tk::Bitmap Face(TToolbarButton& button);
// A pixel of a 32-bit DIB section as 0x00RRGGBB.
std::uint32_t Px(const tk::Bitmap& dib, int x, int y);
// Whether the button's face shows the bitmap resource `name` of `module`
// whole somewhere (every pixel but its transparent ground, the bottom-left
// pixel's colour).
bool FaceShowsPicture(TToolbarButton& button, HINSTANCE module, const std::string& name);
// The width of the caption's dark pixels on the button's face as it is
// (`shown`) and on the same button made wide enough for any caption
// (`whole`): a caption cut at the edges shows narrower.
struct CaptionInk {
    int shown = 0;
    int whole = 0;
};
CaptionInk CaptionOnFace(TToolbarButton& button);

class MainFormFixture : public ::testing::Test {
protected:
    MainFormFixture();
    ~MainFormFixture() override;

    // Writes the port library's configuration; every call reads it afresh.
    void Configure(const std::string& config);
    // Makes the main window as the program does (FormCreate runs inside).
    // `commandMode` is what the port library was told at start.
    TMainForm& CreateMainForm(const std::string& config = "PORTS=378\n", bool commandMode = false);
    void DestroyMainForm();
    std::vector<std::string> PortLibraryTrace() const;

    ScratchFolder scratch_;
    EnvironmentOverride configEnv_;
    tk::ScriptedMessages messages_;
    PortDriverSim driver_;
    TMainForm* form_ = nullptr;
};
