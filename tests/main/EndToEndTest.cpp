// The real ZeltoPrg.exe started as its own process with the stand-in port
// library: message boxes are answered by the program's unattended mode
// (ZP_AUTO_ANSWER=1) and logged to a file, so nothing waits for a user.
#include "tests/support/ProgramProcess.h"
#include "StandinTestSupport.h"
#include "components/AutoAnswer.h"
#include "resources/StringIds.h"
#include "toolkit/Resources.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

constexpr DWORD kStartTimeoutMs = 60000;

class ProgramRun : public ::testing::Test {
protected:
    ProgramRun()
        : configEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
          autoEnv_("ZP_AUTO_ANSWER", "1"),
          logEnv_("ZP_MESSAGE_LOG", scratch_.File("messages.log"))
    {
    }

    void SetUp() override
    {
        if (!FileExists(ExecutableFolder() + "ZeltoPrg.exe"))
            GTEST_SKIP() << "ZeltoPrg.exe is not built";
    }

    void Start(const std::string& config, const std::string& parameters = std::string())
    {
        ASSERT_TRUE(WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), config));
        std::string commandLine = "\"" + ExecutableFolder() + "ZeltoPrg.exe\"";
        if (!parameters.empty())
            commandLine += " " + parameters;
        ASSERT_TRUE(process_.Start(commandLine, ExecutableFolder())) << "cannot start " << commandLine;
    }

    // Waits for the process to end; -1 when it did not end in time.
    long WaitForExit(DWORD timeoutMs = kStartTimeoutMs) { return process_.WaitForExit(timeoutMs); }

    // The program's main window, once it is on the screen.
    HWND WaitForMainWindow()
    {
        return process_.WaitForWindow("ZELTO Raz-Edezadu Divudavizu using no library", kStartTimeoutMs);
    }

    std::vector<std::string> Log() const { return ReadLines(scratch_.File("messages.log")); }

    static std::string Box(const std::string& caption, unsigned id)
    {
        return "box " + EscapeLogText(caption) + "|" + EscapeLogText(tk::LoadStr(id));
    }

    ScratchFolder scratch_;
    EnvironmentOverride configEnv_;
    EnvironmentOverride autoEnv_;
    EnvironmentOverride logEnv_;
    ProgramProcess process_;
};

TEST_F(ProgramRun, DriverFailureShowsTheDriverTextAndEndsWithCode200)
{
    Start("OPENDRIVER_FAILS=1\nTRACE=1\n");
    EXPECT_EQ(WaitForExit(), 200);
    EXPECT_THAT(Log(), ElementsAre(Box("Error", S_PORT_DRIVER_NOT_INITIALIZED)));
    // The program stopped right there: no ports were looked for.
    EXPECT_THAT(ReadLines(scratch_.File("ZeltoProgBasic.trace")),
                ElementsAre("SetCommandMode 0", "OpenDriver FAIL", "CloseDriver"));
}

TEST_F(ProgramRun, StartsShowsItsWindowAndEndsWhenClosed)
{
    Start("PORTS=378\nBIDIR=378\nTRACE=1\n");
    HWND wnd = WaitForMainWindow();
    ASSERT_NE(wnd, nullptr) << "the main window did not appear";
    EXPECT_THAT(Log(), ElementsAre("box ZELTO All-Purpose LPT-Based Programmer|The port currently used\\r\\nis the "
                                   "standard bidirectional port at $378"));
    ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0);
    const auto trace = ReadLines(scratch_.File("ZeltoProgBasic.trace"));
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), "SetCommandMode 0");
    EXPECT_EQ(trace.back(), "CloseDriver");
}

TEST_F(ProgramRun, ParametersPutThePortLibraryInCommandModeAndHideThePortMessage)
{
    Start("PORTS=378\nTRACE=1\n", "COMMENT=hello");
    HWND wnd = WaitForMainWindow();
    ASSERT_NE(wnd, nullptr) << "the main window did not appear";
    EXPECT_TRUE(Log().empty());
    ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_THAT(ReadLines(scratch_.File("ZeltoProgBasic.trace")), Contains("SetCommandMode 1"));
}

}  // namespace
