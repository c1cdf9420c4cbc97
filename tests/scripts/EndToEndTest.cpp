// The real ZeltoPrg.exe started as its own process with parameters and
// script files, over the stand-in port library and the demonstration
// plug-in's simulated chip. Message boxes are answered by the program's
// unattended mode and logged, so nothing waits for a user.
#include "tests/support/ProgramProcess.h"
#include "tests/support/TestLibraries.h"
#include "ScriptsTestSupport.h"

#include "programmer/AutoAnswer.h"
#include "resources/StringIds.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr DWORD kRunTimeoutMs = 120000;

class ProgramRun : public ::testing::Test {
protected:
    ProgramRun()
        : portConfigEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
          demoDirEnv_("ZP_DEMO_DIR", scratch_.Path()),
          autoEnv_("ZP_AUTO_ANSWER", "1"),
          logEnv_("ZP_MESSAGE_LOG", scratch_.File("messages.log"))
    {
        WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), "PORTS=378\nBIDIR=378\nTRACE=1\n");
        WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\nTRACE=1\n");
        // A chip that holds something else than the file, so that the run
        // must really program it.
        const auto junk = Pattern(8192, 99);
        WriteTextFile(scratch_.File("ATDEMO8.flash"), std::string(junk.begin(), junk.end()));
    }

    // Starts the program in the scratch folder, so that relative paths
    // resolve there.
    void Start(const std::string& parameters)
    {
        std::string commandLine = "\"" + ExecutableFolder() + "ZeltoPrg.exe\" " + parameters;
        ASSERT_TRUE(process_.Start(commandLine, scratch_.Path())) << "cannot start " << commandLine;
    }

    // The exit code; -1 when the program did not end in time.
    long WaitForExit(DWORD timeoutMs = kRunTimeoutMs) { return process_.WaitForExit(timeoutMs); }

    // One more run of the program to its end: its exit code, -1 when it
    // did not end in time.
    long RunToEnd(const std::string& parameters)
    {
        ProgramProcess run;
        const std::string commandLine = "\"" + ExecutableFolder() + "ZeltoPrg.exe\" " + parameters;
        if (!run.Start(commandLine, scratch_.Path()))
            return -2;
        return run.WaitForExit(kRunTimeoutMs);
    }

    HWND WaitForMainWindow()
    {
        return process_.WaitForWindow("ZELTO Raz-Edezadu Divudavizu using no library", kRunTimeoutMs);
    }

    std::string WriteHexFile(const std::string& name)
    {
        hexText_ = HexText(Pattern(700, 42));
        const std::string path = scratch_.File(name);
        EXPECT_TRUE(WriteTextFile(path, hexText_));
        return path;
    }

    // What the chip must hold after the run: the file's bytes over $FF.
    std::vector<std::uint8_t> Expected() const
    {
        std::vector<std::uint8_t> image = HexImage(hexText_, 8192);
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 700), Pattern(700, 42));
        return image;
    }

    std::vector<std::uint8_t> ChipFlash() const
    {
        const std::string text = ReadTextFile(scratch_.File("ATDEMO8.flash"));
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.resize(8192, 0xFF);
        return bytes;
    }

    std::vector<std::string> Log() const { return ReadLines(scratch_.File("messages.log")); }

    static std::string Box(const std::string& text)
    {
        return "box " + EscapeLogText(ApplicationTitle()) + "|" + EscapeLogText(text);
    }

    ScratchFolder scratch_;
    EnvironmentOverride portConfigEnv_;
    EnvironmentOverride demoDirEnv_;
    EnvironmentOverride autoEnv_;
    EnvironmentOverride logEnv_;
    ProgramProcess process_;
    std::string hexText_;
};

TEST_F(ProgramRun, AParameterListProgramsTheChipWithTheHexFile)
{
    const std::string hex = WriteHexFile("Demo.hex");
    Start("LOADPLUGIN=DemoPlugin.dll GETCHIPID=TRUE \"LOADFLASHBUFFER=" + hex +
          "\" WRITEFLASH=TRUE VERIFYFLASH=TRUE EXIT=TRUE");
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_EQ(ChipFlash(), Expected());
    EXPECT_THAT(Log(), IsEmpty());
    EXPECT_THAT(ReadLines(scratch_.File("ZeltoProgBasic.trace")), Contains("SetCommandMode 1"));
}

TEST_F(ProgramRun, AScriptFileProgramsTheChipWithTheHexFile)
{
    WriteHexFile("Demo.hex");
    // Relative paths: the script against the current folder, the HEX file
    // too; the plug-in always from the program's folder.
    WriteTextFile(scratch_.File("Demo.zlt"), "LOADPLUGIN=DemoPlugin.dll\r\nGETCHIPID=TRUE\r\n"
                                             "LOADFLASHBUFFER=Demo.hex\r\nWRITEFLASH=TRUE\r\n"
                                             "VERIFYFLASH=TRUE\r\nEXIT=TRUE\r\n");
    Start("demo.ZLT");
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_EQ(ChipFlash(), Expected());
    EXPECT_THAT(Log(), IsEmpty());
    const auto trace = ReadLines(scratch_.File("DemoPlugin.trace"));
    EXPECT_THAT(trace, Contains("WriteFlashAddress 0000-1FFF"));
    EXPECT_THAT(trace, Contains("ReadFlashAddress 0000-1FFF"));
}

TEST_F(ProgramRun, ScriptsReachTheDialogsControlsOfTheRealProgram)
{
    // The Fill dialog's edits, set by keyword, drive the fill that is then
    // written to the chip.
    WriteTextFile(scratch_.File("fill.zlt"), "LOADPLUGIN=DemoPlugin.dll\r\nGETCHIPID=TRUE\r\n"
                                             "FILLEEPROM=FALSE\r\nFILLALLFLASH=TRUE\r\nFILLFLASHVALUE=0\r\n"
                                             "FILLBUFFER=TRUE\r\nFILLALLFLASH=FALSE\r\n"
                                             "FILLFLASHSTARTADDRESS=10\r\nFILLFLASHENDADDRESS=1f\r\n"
                                             "FILLFLASHVALUE=5a\r\nFILLBUFFER=TRUE\r\n"
                                             "WRITEFLASH=TRUE\r\nEXIT=TRUE\r\n");
    Start("fill.zlt");
    EXPECT_EQ(WaitForExit(), 0);
    std::vector<std::uint8_t> expected(8192, 0);
    std::fill(expected.begin() + 16, expected.begin() + 32, 0x5A);
    EXPECT_EQ(ChipFlash(), expected);
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ProgramRun, ASyntaxErrorIsShownTheRestRunsAndTheProgramEnds)
{
    WriteTextFile(scratch_.File("error.zlt"), "COMMENT=before\r\nBOGUS=1\r\nMESSAGE=after the error\r\n");
    Start("error.zlt \"MESSAGE=next parameter\"");
    // No EXIT: the syntax error alone ends the program once all has run,
    // and the caller hears of the error.
    EXPECT_EQ(WaitForExit(), 1);
    EXPECT_THAT(Log(), ElementsAre(Box(Text(S_SCRIPT_SYNTAX_ERROR, {"BOGUS", "1"})), Box("after the error"),
                                   Box("next parameter")));
}

// A script that ends in an error never reaches its EXIT: the window stays
// open, and however the user then ends the program, the run failed.
TEST_F(ProgramRun, AFailedScriptIsShownTheProgramStaysOpenAndItsRunEndsWithOne)
{
    WriteTextFile(scratch_.File("blank.zlt"), "COMMENT=first\r\n\r\nEXIT=TRUE\r\n");
    Start("blank.zlt missing.zlt \"MESSAGE=next parameter\"");
    HWND wnd = WaitForMainWindow();
    ASSERT_NE(wnd, nullptr) << "the program did not go on to its main window";
    EXPECT_THAT(Log(), ElementsAre(Box(Text(S_SCRIPT_READ_ERROR) + "blank.zlt\r\n\r\n" +
                                       Text(S_TK_LIST_INDEX_OUT_OF_BOUNDS, {1})),
                                   Box(Text(S_SCRIPT_READ_ERROR) + "missing.zlt\r\n\r\n" + Text(S_TK_FILE_NOT_FOUND)),
                                   Box("next parameter")));
    ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 1);
}

// A load that fails ends its script, and a failed load given as a parameter
// the rest of the parameters, before anything writes the buffer that holds
// no file's data: the chip keeps what it held.
TEST_F(ProgramRun, AFailedLoadEndsTheRunBeforeTheChipIsWritten)
{
    const std::vector<std::uint8_t> before = ChipFlash();
    WriteTextFile(scratch_.File("noend.hex"), HexText(Pattern(64, 7)).substr(0, 2 * 45));
    WriteTextFile(scratch_.File("load.zlt"), "LOADPLUGIN=DemoPlugin.dll\r\nLOADFLASHBUFFER=noend.hex\r\n"
                                             "WRITEFLASH=TRUE\r\nEXIT=TRUE\r\n");
    Start("load.zlt LOADFLASHBUFFER=absent.hex WRITEFLASH=TRUE EXIT=TRUE");
    HWND wnd = process_.WaitForWindow("ZELTO Raz-Edezadu Divudavizu using library DemoPlugin.dll", kRunTimeoutMs);
    ASSERT_NE(wnd, nullptr) << "the program did not go on to its main window";
    EXPECT_EQ(ChipFlash(), before);
    const auto trace = ReadLines(scratch_.File("DemoPlugin.trace"));
    EXPECT_THAT(trace, Not(Contains(::testing::StartsWith("WriteFlashAddress"))));
    EXPECT_THAT(trace, Not(Contains("EraseChip 378")));
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_THAT(log[0], ::testing::StartsWith(Box(Text(S_SCRIPT_READ_ERROR) + "load.zlt\r\n\r\n" +
                                                  Text(S_FLASH_HEX_NOT_LOADED))));
    EXPECT_THAT(log[0], ::testing::HasSubstr(EscapeLogText(Text(S_HEX_MISSING_END_RECORD))));
    EXPECT_THAT(log[1], ::testing::StartsWith(Box(Text(S_FLASH_HEX_NOT_LOADED))));
    ::PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 1);
}

TEST_F(ProgramRun, TheExitCodeIsOneWhenAnyCommandFailed)
{
    WriteHexFile("Demo.hex");
    // Each run ends by EXIT (or the missing plug-in) after one failure among
    // commands that succeed; the chip holds other data than Demo.hex.
    const std::string plugIn = "LOADPLUGIN=DemoPlugin.dll GETCHIPID=TRUE ";
    EXPECT_EQ(RunToEnd("READFLASH=TRUE EXIT=TRUE"), 1) << "refused: no plug-in";
    EXPECT_EQ(RunToEnd(plugIn + "LOADFLASHBUFFER=Demo.hex VERIFYFLASH=TRUE EXIT=TRUE"), 1) << "a verify difference";
    EXPECT_EQ(RunToEnd("LOADPLUGIN=Absent.dll COMMENT=x"), 1) << "a missing plug-in ends the run";
    EXPECT_EQ(RunToEnd("Absent.zlt EXIT=TRUE"), 1) << "a script that cannot be read";
    WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\nFAIL_WRITE_FLASH=10\n");
    EXPECT_EQ(RunToEnd(plugIn + "LOADFLASHBUFFER=Demo.hex WRITEFLASH=TRUE EXIT=TRUE"), 1) << "a failed write";
    WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\nFAIL_POWERUP=1,2,3,4,5,6\n");
    EXPECT_EQ(RunToEnd(plugIn + "READFLASH=TRUE EXIT=TRUE"), 1) << "a device that does not power up";
    WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\n");
    EXPECT_EQ(RunToEnd(plugIn + "READALL=TRUE VERIFYALL=TRUE VIEWDEC=TRUE EXIT=TRUE"), 0) << "all succeeded";

    // The fatal ends keep their own codes, whatever failed before them.
    {
        // A user's program folder holds the broken plug-in; the tests keep
        // it apart, so it stands beside the program for this run only.
        const std::string broken = ExecutableFolder() + "DemoPluginNoPowerOff.dll";
        ASSERT_TRUE(::CopyFileA(TestLibraryPath("DemoPluginNoPowerOff.dll").c_str(), broken.c_str(), FALSE));
        const long code = RunToEnd("READFLASH=TRUE LOADPLUGIN=DemoPluginNoPowerOff.dll");
        ::DeleteFileA(broken.c_str());
        EXPECT_EQ(code, 101);
    }
    WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), "OPENDRIVER_FAILS=1\n");
    EXPECT_EQ(RunToEnd("BOGUS=1"), 200);
}

TEST_F(ProgramRun, AScriptWithAByteOrderMarkRunsFromItsFirstLine)
{
    WriteHexFile("Demo.hex");
    WriteTextFile(scratch_.File("bom.zlt"), "\xEF\xBB\xBFLOADPLUGIN=DemoPlugin.dll\r\nLOADFLASHBUFFER=Demo.hex\r\n"
                                            "WRITEFLASH=TRUE\r\nEXIT=TRUE\r\n");
    Start("bom.zlt");
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_THAT(Log(), IsEmpty());
    EXPECT_EQ(ChipFlash(), Expected());
}

}  // namespace
