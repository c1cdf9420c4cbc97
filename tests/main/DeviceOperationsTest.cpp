// The plug-in host and the device commands against the demonstration
// plug-in's simulated chip: binding and its exit codes, identification and
// the controls it switches, reads, writes and verifies with their texts,
// errors, waits and aborts, the combined commands, and the refusals.
#include "MainTestSupport.h"

#include "programmer/PortLibrary.h"
#include "resources/StringIds.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Grids.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Exceptions.h"
#include "toolkit/GridModel.h"
#include "toolkit/StrConv.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <fstream>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DeviceCommands : public MainFormFixture {
protected:
    DeviceCommands() : demoDir_("ZP_DEMO_DIR", demo_.Path()) {}

    ~DeviceCommands() override
    {
        // The plug-in writes its chip back when it is freed: before its folder goes.
        DestroyMainForm();
        ResetMainUnit();
    }

    void ConfigureDemo(const std::string& config)
    {
        ASSERT_TRUE(WriteTextFile(demo_.File("DemoPlugin.cfg"), config + "TRACE=1\nTRACE_PORTS=1\nSTRICT=1\n"));
    }

    // The main window bound to `library` as a script binds it, with the
    // command line done and the window interactive afterwards.
    TMainForm& StartWith(const std::string& demoConfig, const std::string& ports = "PORTS=378\n",
                         const std::string& library = "DemoPlugin.dll")
    {
        ConfigureDemo(demoConfig);
        TMainForm& form = CreateMainForm(ports, /*commandMode=*/true);
        form.FScriptPlugInName = library;
        form.Action_LoadPluginExecute(nullptr);
        form.FCommandMode = 0;
        form.MarkCommandLineProcessed();
        return form;
    }

    std::vector<std::string> Trace() const { return ReadLines(demo_.File("DemoPlugin.trace")); }
    void ClearTrace() const { ::DeleteFileA(demo_.File("DemoPlugin.trace").c_str()); }

    std::vector<std::uint8_t> Chip(const std::string& file, std::size_t size) const
    {
        std::ifstream in(demo_.File(file), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(size, 0xFF);
        return bytes;
    }

    void Seed(const std::string& file, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(demo_.File(file), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<std::uint8_t> Pattern(std::size_t size, int seed)
    {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>((i * 13 + static_cast<std::size_t>(seed)) & 0xFF);
        return bytes;
    }

    static std::vector<std::int32_t> AsBuffer(const std::vector<std::uint8_t>& bytes)
    {
        return std::vector<std::int32_t>(bytes.begin(), bytes.end());
    }

    ScratchFolder demo_;
    EnvironmentOverride demoDir_;
    tk::RecordingSleepBeep sleeps_;
};

// --- binding and identification ----------------------------------------------------------------

TEST_F(DeviceCommands, ScriptBindsThePlugInAndIdentifiesTheChip)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(unit.PlugInLoaded, 1);
    EXPECT_EQ(unit.PlugInFileName, "DemoPlugin.dll");
    EXPECT_EQ(form.Caption(), "ZELTO Raz-Edezadu Divudavizu using library DemoPlugin.dll");
    EXPECT_EQ(unit.DeviceName, "ATDEMO8");
    EXPECT_EQ(form.FFlashSize, 8192);
    EXPECT_EQ(form.FEEpromSize, 512);
    EXPECT_EQ(unit.FlashBuffer.size(), 8192u);
    EXPECT_EQ(unit.EEpromBuffer.size(), 512u);
    EXPECT_EQ(form.PanelText(0), "ATDEMO8");
    EXPECT_EQ(form.PanelText(1), "Characteristics: 8192 bytes Flash ; 512 bytes EEPROM");
    EXPECT_EQ(form.PanelText(2), "Port $378; Programming Device OK!");
    EXPECT_EQ(form.FlashView().RowCount(), 8192 / 16 + 1);
    EXPECT_EQ(form.EEpromView().RowCount(), 512 / 16 + 1);
    EXPECT_EQ(form.SG1->Cells(1, 1), "00");

    // Category names and pictures of the special bits.
    EXPECT_EQ(form.BtSpecialBits1->Hint(), "Fuse Bits");
    EXPECT_EQ(form.BtSpecialBits2->Hint(), "Lock Bits");
    EXPECT_EQ(form.BtSpecialBits3->Hint(), "Extended Bits");
    EXPECT_EQ(form.MnuSpecialBits1->Caption(), "Fuse Bits");
    const HINSTANCE plugIn = reinterpret_cast<HINSTANCE>(unit.PlugInHandle);
    TToolbarButton* const specialBits[3] = {form.BtSpecialBits1, form.BtSpecialBits2, form.BtSpecialBits3};
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(specialBits[n]->DisplayMode(), dmGlyphOnly) << n;
        EXPECT_TRUE(FaceShowsPicture(*specialBits[n], plugIn, "SB" + std::to_string(n + 1))) << n;
        EXPECT_TRUE(specialBits[n]->Enabled()) << n;
    }

    EXPECT_THAT(Trace(), ElementsAre("GetSpecialBitsCategoryName 2", "PowerUpDevice 378", "CheckSignature 378",
                                     "PowerOffDevice 378", "GetDeviceFoundName", "GetDeviceFoundFlashSize",
                                     "GetDeviceFoundEEpromSize", "CheckProgrammingDevice 378",
                                     "PowerOffDevice 378"));
    EXPECT_TRUE(messages_.Shown().empty());
    EXPECT_EQ(unit.Busy, 0);
}

TEST_F(DeviceCommands, PlugInWithoutPicturesShowsTheResourceNamesAsText)
{
    TMainForm& form =
        StartWith("DEVICE=ATDEMO8\n", "PORTS=378\n", TestLibraryFolderFromProgram() + "DemoPluginNoBitmaps.dll");
    EXPECT_EQ(form.BtSpecialBits1->Caption(), "SB1");
    EXPECT_EQ(form.BtSpecialBits2->Caption(), "SB2");
    EXPECT_EQ(form.BtSpecialBits3->Caption(), "SB3");
    EXPECT_TRUE(form.BtSpecialBits3->Glyph().Empty());
    for (TToolbarButton* button : {form.BtSpecialBits1, form.BtSpecialBits2, form.BtSpecialBits3}) {
        EXPECT_EQ(button->DisplayMode(), dmTextOnly) << button->Name();
        const CaptionInk text = CaptionOnFace(*button);
        EXPECT_GT(text.shown, 10) << button->Name();
        EXPECT_EQ(text.shown, text.whole) << button->Name() << ": the name is cut at the button's edges";
    }
    EXPECT_EQ(form.BtSpecialBits1->Hint(), "Fuse Bits");
}

TEST_F(DeviceCommands, ScriptNamingAMissingPlugInEndsTheProgramAndBindsNothing)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n", "PORTS=378\n", "NoSuchPlugIn.dll");
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_THAT(messages_.Shown()[0].text, ::testing::StartsWith("Could not find "));
    EXPECT_THAT(messages_.Shown()[0].text,
                ::testing::EndsWith("\\NoSuchPlugIn.dll\r\nApplication will now terminate"));
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");

    // Later commands of the same script still run: they must not reach a
    // library that is gone.
    EXPECT_EQ(MainUnit().PlugInLoaded, 0);
    messages_.Answer(tk::mrOk);
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(messages_.Texts().back(), Text(S_NO_PLUGIN_SELECTED));
}

TEST_F(DeviceCommands, ChoosingAnotherPlugInFreesTheOldOneFirst)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nTRACE_LOAD=1\n");
    form.FCommandMode = 1;
    form.FScriptPlugInName = "DemoPlugin.dll";
    form.Action_LoadPluginExecute(nullptr);
    const auto trace = Trace();
    const auto unload = std::find(trace.begin(), trace.end(), "Unload DemoPlugin.dll");
    ASSERT_NE(unload, trace.end());
    EXPECT_NE(std::find(unload, trace.end(), "Load DemoPlugin.dll"), trace.end());
    // The same device keeps its buffers' contents.
    EXPECT_EQ(MainUnit().DeviceName, "ATDEMO8");
}

struct MissingExport {
    const char* library;
    const char* function;
    int exitCode;
};

class DeviceBinding : public DeviceCommands, public ::testing::WithParamInterface<MissingExport> {};

TEST_P(DeviceBinding, AMissingExportEndsTheProgramWithItsCode)
{
    const MissingExport& c = GetParam();
    tk::InterceptedExit exits;
    messages_.Answer(tk::mrOk);
    ConfigureDemo("DEVICE=ATDEMO8\n");
    TMainForm& form = CreateMainForm("PORTS=378\n", /*commandMode=*/true);
    form.FScriptPlugInName = TestLibraryFolderFromProgram() + c.library;
    EXPECT_THROW(form.Action_LoadPluginExecute(nullptr), tk::ExitRequested);
    EXPECT_THAT(exits.codes, ElementsAre(c.exitCode));
    ASSERT_EQ(messages_.Shown().size(), 1u);
    const std::string& text = messages_.Shown()[0].text;
    EXPECT_THAT(text, ::testing::StartsWith("Procedure or function [" + std::string(c.function) +
                                            "]\r\ncould not be found in "));
    EXPECT_THAT(text, ::testing::EndsWith("\\" + std::string(c.library) + "\r\nApplication will now terminate"));
    EXPECT_EQ(MainUnit().PlugInHandle, nullptr);
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
    EXPECT_EQ(MainUnit().Busy, 0);
}

INSTANTIATE_TEST_SUITE_P(Exports, DeviceBinding,
                         ::testing::Values(MissingExport{"DemoPluginNoPowerOff.dll", "PowerOffDevice", 101},
                                           MissingExport{"DemoPluginNoSB3Names.dll", "ReadSpecialBits3Names", 123}));

TEST_F(DeviceCommands, AbsentFlashDisablesItsControlsAndTheCombinedOnesFollowTheEEprom)
{
    TMainForm& form = StartWith("DEVICE=ATDEMOEE\n");
    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(form.FFlashSize, 1);
    EXPECT_EQ(form.FEEpromSize, 512);
    EXPECT_EQ(unit.FlashEnabled, 0);
    EXPECT_EQ(unit.FlashBuffer.size(), 1u);
    // The redraw of the absent memory's grid has the last word on panel 1.
    EXPECT_EQ(form.PanelText(1), "Flash functions are disabled for ATDEMOEE.");
    EXPECT_FALSE(form.BtReadFlash->Enabled());
    EXPECT_FALSE(form.MnuOpenFlash->Enabled());
    EXPECT_TRUE(form.BtReadEEprom->Enabled());
    EXPECT_TRUE(form.BtReadAll->Enabled());
    EXPECT_TRUE(form.MnuVerifyAll->Enabled());
    EXPECT_TRUE(form.MnuEraseChip->Enabled());

    // A Flash command is refused before anything reaches the device.
    ClearTrace();
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash functions are disabled for ATDEMOEE.");
    EXPECT_THAT(Trace(), IsEmpty());
}

TEST_F(DeviceCommands, OneByteMemoriesAreShownAsZeroBytes)
{
    TMainForm& form = StartWith("DEVICE=ATDEMOTINY\n");
    EXPECT_EQ(form.PanelText(1), "Characteristics: 0 bytes Flash ; 0 bytes EEPROM");
    EXPECT_EQ(MainUnit().FlashEnabled, 1);
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 1u);
    // A real one-byte memory: one loop step, progress maximum 0.
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
    EXPECT_EQ(form.PBar->Max(), 0);
}

TEST_F(DeviceCommands, IdentificationThatFindsNothingKeepsTheBuffers)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().FlashBuffer[5] = 0x55;
    ConfigureDemo("DEVICE=NONE\n");
    form.IdentifyDevice();
    EXPECT_EQ(form.PanelText(0), "No Device");
    EXPECT_EQ(form.PanelText(1), "Characteristics: none");
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 8192u);
    EXPECT_EQ(MainUnit().FlashBuffer[5], 0x55);
    EXPECT_FALSE(form.BtEraseChip->Enabled());
    EXPECT_FALSE(form.MnuHex->Enabled());
    EXPECT_TRUE(form.BtChipId->Enabled());
}

TEST_F(DeviceCommands, ADeviceNameLongerThanAShortStringIsCut)
{
    const std::string longName(300, 'N');
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFOUND_NAME=" + longName + "\n");
    EXPECT_EQ(MainUnit().DeviceName, std::string(255, 'N'));
    EXPECT_EQ(form.PanelText(0), std::string(255, 'N'));
}

// --- transfers --------------------------------------------------------------------------------

TEST_F(DeviceCommands, ReadFlashFillsTheBufferFromTheChip)
{
    const auto chip = Pattern(8192, 1);
    Seed("ATDEMO8.flash", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    ClearTrace();
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(MainUnit().FlashBuffer, AsBuffer(chip));
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
    EXPECT_EQ(form.PBar->Position(), 0);
    EXPECT_EQ(form.PBar->Max(), 8191);
    EXPECT_EQ(MainUnit().ErrorCount, 0);
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_EQ(form.SG1->Cells(2, 1), tk::IntToHex(chip[1], 2));
    EXPECT_THAT(Trace(), ElementsAre("CheckProgrammingDevice 378", "PowerOffDevice 378", "PowerUpDevice 378",
                                     "EnableProgramming 378", "ReadFlashAddress 378 0000-1FFF",
                                     "PowerOffDevice 378"));
    EXPECT_THAT(sleeps_.sleeps, IsEmpty());
}

TEST_F(DeviceCommands, FailedReadsAreCountedAndReported)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_EEPROM=10,1FF\n");
    form.Action_ReadPromExecute(nullptr);
    EXPECT_EQ(MainUnit().ErrorCount, 2);
    EXPECT_EQ(form.PanelText(1), "2 error(s) detected while reading the EEprom");
}

TEST_F(DeviceCommands, WriteFlashErasesWaitsAndProgramsTheChip)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    const auto data = Pattern(8192, 7);
    MainUnit().FlashBuffer = AsBuffer(data);
    ClearTrace();
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash programmed successfully");
    EXPECT_THAT(sleeps_.sleeps, ElementsAre(100, 500));
    EXPECT_THAT(Trace(), ElementsAre("CheckProgrammingDevice 378", "PowerOffDevice 378", "EraseChip 378",
                                     "PowerUpDevice 378", "EnableProgramming 378", "WriteFlashAddress 378 0000-1FFF",
                                     "PowerOffDevice 378"));
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), data);
    // The EEPROM was erased along with it.
    EXPECT_EQ(Chip("ATDEMO8.eeprom", 512), std::vector<std::uint8_t>(512, 0xFF));
}

TEST_F(DeviceCommands, WriteEEpromErasesWithoutWaitingAndReportsFailures)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_EEPROM=3\n");
    MainUnit().EEpromBuffer = AsBuffer(Pattern(512, 3));
    form.Action_WritePromExecute(nullptr);
    EXPECT_THAT(sleeps_.sleeps, IsEmpty());
    EXPECT_THAT(Trace(), Contains("EraseChip 378"));
    EXPECT_EQ(form.PanelText(1), "1 error(s) detected while programming the EEprom.");
}

TEST_F(DeviceCommands, VerifyStopsAtTheFirstDifference)
{
    const auto chip = Pattern(512, 9);
    Seed("ATDEMO8.eeprom", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().EEpromBuffer = AsBuffer(chip);
    form.Action_VerifyPromExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "EEprom read successfully");

    MainUnit().EEpromBuffer[0x123] ^= 0x40;
    ClearTrace();
    messages_.Answer(tk::mrOk);
    form.Action_VerifyPromExecute(nullptr);
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_EQ(messages_.Shown()[0].text, "Error while verifying EEprom address $0123");
    EXPECT_EQ(messages_.Shown()[0].type, tk::mtError);
    EXPECT_EQ(form.PBar->Position(), 0);
    EXPECT_THAT(Trace(), ElementsAre("CheckProgrammingDevice 378", "PowerOffDevice 378", "PowerUpDevice 378",
                                     "EnableProgramming 378", "ReadEEpromAddress 378 0000-0123",
                                     "PowerOffDevice 378"));
}

TEST_F(DeviceCommands, AReadThatFailsDuringVerifyIsADifference)
{
    const auto chip = Pattern(512, 4);
    Seed("ATDEMO8.eeprom", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_EEPROM=2\n");
    MainUnit().EEpromBuffer = AsBuffer(chip);
    // Byte 2 equals byte 1's value in the holder if the failure were ignored.
    MainUnit().EEpromBuffer[2] = chip[1];
    messages_.Answer(tk::mrOk);
    form.Action_VerifyPromExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("Error while verifying EEprom address $0002"));
}

TEST_F(DeviceCommands, EscDuringAReadAsksAndYesKeepsWhatWasRead)
{
    const auto chip = Pattern(8192, 2);
    Seed("ATDEMO8.flash", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.HandleNeeded();  // the plug-in finds the window by its caption
    ConfigureDemo("DEVICE=ATDEMO8\nESC_AT_FLASH=3\nESC_WINDOW_TITLE=" + form.Caption() + "\n");
    MainUnit().FlashBuffer.assign(8192, 0);
    messages_.Answer(tk::mrYes);
    SteppingClock clock;
    form.SetCommandDone(true);  // as the command before it left it
    form.Action_ReadFlashExecute(nullptr);
    ASSERT_THAT(messages_.Texts(), ElementsAre("Really abort operation?"));
    EXPECT_EQ(messages_.Shown()[0].buttons, tk::mbYesNo);
    EXPECT_EQ(form.PanelText(1), "Operation aborted.");
    EXPECT_FALSE(form.CommandDone()) << "an aborted read is no success for the command line";
    EXPECT_EQ(MainUnit().AbortRequested, 0);
    const auto& flash = MainUnit().FlashBuffer;
    EXPECT_EQ(flash[3], chip[3]);
    EXPECT_EQ(flash[4], 0);
    EXPECT_EQ(form.SG1->Cells(4, 1), tk::IntToHex(chip[3], 2)) << "a read that stops redraws its grid";
    EXPECT_EQ(Trace().back(), "PowerOffDevice 378");
}

TEST_F(DeviceCommands, AStaleEscAnsweredNoLetsTheLoopGoOn)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_FLASH=0\n");
    MainUnit().AbortRequested = 1;  // pressed while nothing ran
    messages_.Answer(tk::mrNo);
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("Really abort operation?"));
    EXPECT_EQ(form.PanelText(1), "1 error(s) detected while programming the Flash.");
    EXPECT_EQ(MainUnit().AbortRequested, 0);
}

TEST_F(DeviceCommands, RefusedPowerUpAndEnableStopWithTheirMessages)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_ENABLE=1\n");
    messages_.Answer(tk::mrOk);
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_DEVICE_NOT_ENABLED)));
    EXPECT_EQ(MainUnit().Busy, 0);

    ConfigureDemo("DEVICE=ATDEMO8\nADAPTER=0\n");
    messages_.Clear();
    messages_.Answer(tk::mrOk);
    form.Action_EraseChipExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_DEVICE_NOT_POWERED_UP)));
}

TEST_F(DeviceCommands, MissingAdapterIsReportedWithThePort)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    ConfigureDemo("DEVICE=ATDEMO8\nADAPTER=0\n");
    ClearTrace();
    messages_.Answer(tk::mrOk);
    form.Action_VerifyFlashExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("The programming device was not found.\r\nIt is safe to plug it now "
                                               "in the parallel port $378"));
    EXPECT_EQ(form.PanelText(2), "Port $378; No Programming Device.");
    EXPECT_THAT(Trace(), ElementsAre("CheckProgrammingDevice 378 FAIL", "PowerOffDevice 378"));
}

TEST_F(DeviceCommands, EraseChipErasesWithoutIdentifying)
{
    Seed("ATDEMO8.flash", Pattern(8192, 5));
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    ClearTrace();
    form.Action_EraseChipExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Device Erased OK!");
    EXPECT_THAT(Trace(), ElementsAre("PowerUpDevice 378", "EraseChip 378", "PowerOffDevice 378"));
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), std::vector<std::uint8_t>(8192, 0xFF));
}

TEST_F(DeviceCommands, WriteAllErasesOnceAndReportsEachPassErrors)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_EEPROM=1,2\n");
    ClearTrace();
    form.Action_WriteAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Errors while programming: 0 @ Flash and 2 @ EEPROM");
    const auto trace = Trace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "EraseChip 378"), 1);
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);
    EXPECT_THAT(sleeps_.sleeps, ElementsAre(100, 500));

    ConfigureDemo("DEVICE=ATDEMO8\n");
    form.Action_WriteAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash and EEPROM programmed successfully");
}

// Without Flash the erase goes with the EEPROM, the first memory written.
TEST_F(DeviceCommands, WriteAllOnADeviceWithoutFlashErasesBeforeTheEEprom)
{
    Seed("ATDEMO8.eeprom", Pattern(512, 3));
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFLASH_SIZE=0\nEEPROM_SIZE=512\n");
    ASSERT_EQ(MainUnit().FlashEnabled, 0);
    MainUnit().EEpromBuffer.assign(512, 0x5A);
    ClearTrace();
    form.Action_WriteAllExecute(nullptr);
    const auto trace = Trace();
    const auto erase = std::find(trace.begin(), trace.end(), "EraseChip 378");
    ASSERT_EQ(std::count(trace.begin(), trace.end(), "EraseChip 378"), 1);
    EXPECT_LT(erase - trace.begin(), std::find(trace.begin(), trace.end(), "EnableProgramming 378") - trace.begin());
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);
    EXPECT_EQ(Chip("ATDEMO8.eeprom", 512), std::vector<std::uint8_t>(512, 0x5A));
    EXPECT_EQ(form.PanelText(1), "EEprom programmed successfully");
}

TEST_F(DeviceCommands, ReadAllReadsBothMemories)
{
    const auto flash = Pattern(8192, 11);
    const auto eeprom = Pattern(512, 12);
    Seed("ATDEMO8.flash", flash);
    Seed("ATDEMO8.eeprom", eeprom);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.Action_ReadAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash and EEPROM read successfully");
    EXPECT_EQ(MainUnit().FlashBuffer, AsBuffer(flash));
    EXPECT_EQ(MainUnit().EEpromBuffer, AsBuffer(eeprom));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(DeviceCommands, CommandsWhileBusyAreRefusedWithoutTouchingTheDevice)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    ClearTrace();
    MainUnit().Busy = 1;
    for (auto command : {&TMainForm::Action_ReadFlashExecute, &TMainForm::Action_WriteAllExecute,
                         &TMainForm::Action_ReadAllExecute, &TMainForm::Action_GetChipIdExecute,
                         &TMainForm::Action_LoadPluginExecute}) {
        messages_.Answer(tk::mrOk);
        (form.*command)(nullptr);
    }
    EXPECT_EQ(messages_.Texts().size(), 5u);
    for (const auto& text : messages_.Texts())
        EXPECT_EQ(text, "Cancel the current operation first!");
    EXPECT_EQ(MainUnit().Busy, 1);
    EXPECT_THAT(Trace(), IsEmpty());
}

TEST_F(DeviceCommands, ReleasePortLinesAfterAnOperationWhenAskedTo)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.MnuRelease->Click();
    driver_.ClearLogs();
    form.Action_ReadPromExecute(nullptr);
    EXPECT_THAT(driver_.RequestLog(), ElementsAre("W 0378=FF"));

    // Also after a command that stopped early.
    ConfigureDemo("DEVICE=ATDEMO8\nADAPTER=0\n");
    driver_.ClearLogs();
    messages_.Answer(tk::mrOk);
    form.Action_ReadPromExecute(nullptr);
    EXPECT_THAT(driver_.RequestLog(), ElementsAre("W 0378=FF"));
}

TEST_F(DeviceCommands, WithoutAParallelPortNoPlugInCallGetsPortZero)
{
    messages_.Answer(tk::mrOk);  // binding says there is no port
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n", "PORTS=\n");
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_NO_PARALLEL_PORT)));
    EXPECT_EQ(MainUnit().PlugInLoaded, 1);
    for (auto command : {&TMainForm::Action_ReadFlashExecute, &TMainForm::Action_EraseChipExecute,
                         &TMainForm::Action_GetChipIdExecute, &TMainForm::Action_WriteAllExecute}) {
        messages_.Answer(tk::mrOk);
        (form.*command)(nullptr);
    }
    EXPECT_EQ(messages_.Texts().size(), 5u);
    EXPECT_EQ(messages_.Texts().back(), Text(S_NO_PARALLEL_PORT));
    // Only the calls that take no port reached the plug-in.
    for (const auto& line : Trace())
        EXPECT_THAT(line, ::testing::Not(::testing::HasSubstr(" 000"))) << line;
    EXPECT_EQ(MainUnit().Busy, 0);
}

}  // namespace

namespace {

// --- view modes and cell editing ---------------------------------------------------------------

TEST_F(DeviceCommands, ViewModeCommandsRedrawBothGridsAndMoveTheCheckMark)
{
    const auto flash = Pattern(8192, 0);
    Seed("ATDEMO8.flash", flash);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.Action_ReadFlashExecute(nullptr);
    form.Action_DecExecute(nullptr);
    EXPECT_EQ(MainUnit().ViewMode, vmDecimal);
    EXPECT_FALSE(form.MnuHex->Checked());
    EXPECT_TRUE(form.MnuDecimal->Checked());
    EXPECT_EQ(form.SG1->ColCount(), 11);
    EXPECT_EQ(form.SG2->ColCount(), 11);
    EXPECT_EQ(form.SG1->Cells(2, 1), std::to_string(flash[1]));
    form.Action_AsciiExecute(nullptr);
    EXPECT_TRUE(form.MnuAscii->Checked());
    EXPECT_FALSE(form.MnuDecimal->Checked());
    EXPECT_EQ(form.SG1->Cells(2, 1), std::string(1, static_cast<char>(flash[1])));
    form.Action_HexExecute(nullptr);
    EXPECT_EQ(form.SG1->Cells(2, 1), tk::IntToHex(flash[1], 2));
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(DeviceCommands, WithoutADeviceHexEndsQuietlyAndTheOthersSaySo)
{
    TMainForm& form = StartWith("DEVICE=NONE\n");
    form.Action_HexExecute(nullptr);
    EXPECT_TRUE(messages_.Shown().empty());
    messages_.Answer(tk::mrOk);
    form.Action_DecExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("No device detected!"));
    EXPECT_EQ(MainUnit().ViewMode, vmHex);
    EXPECT_TRUE(form.MnuHex->Checked());
}

TEST_F(DeviceCommands, EditingDirectlyOpensOnlyTheGridsOfPresentMemories)
{
    TMainForm& form = StartWith("DEVICE=ATDEMOFL\n");
    form.MnuEditDirectly->Click();
    EXPECT_EQ(MainUnit().EditValuesDirectly, 1);
    EXPECT_TRUE(form.MnuEditDirectly->Checked());
    EXPECT_TRUE(form.SG1->Options() & tk::goEditing);
    EXPECT_EQ(form.SG1->GetColor(), tk::clWindow);
    EXPECT_FALSE(form.SG2->Options() & tk::goEditing);
    EXPECT_EQ(form.SG2->GetColor(), tk::clBtnFace);

    bool canSelect = true;
    form.SG1SelectCell(form.SG1, 1, 1, canSelect);
    EXPECT_EQ(form.PanelText(1), "Flash data is in Write mode");
    form.SG2SelectCell(form.SG2, 1, 1, canSelect);
    EXPECT_EQ(form.PanelText(1), "EEPROM data is in read only mode.");
    EXPECT_TRUE(canSelect);

    form.MnuEditDirectly->Click();
    EXPECT_FALSE(form.SG1->Options() & tk::goEditing);
    EXPECT_EQ(form.SG1->GetColor(), tk::clBtnFace);
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(DeviceCommands, TypedHexTextIsStoredByteByByte)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    auto& flash = MainUnit().FlashBuffer;
    flash.assign(8192, 0);
    form.SG1SetEditText(form.SG1, 3, 2, "1");
    EXPECT_EQ(flash[18], 1);
    form.SG1SetEditText(form.SG1, 3, 2, "1F");
    EXPECT_EQ(flash[18], 31);
    form.SG1SetEditText(form.SG1, 3, 2, "1F0");
    EXPECT_EQ(flash[18], 31);
    messages_.Answer(tk::mrOk);
    form.SG1SetEditText(form.SG1, 3, 2, "G");
    EXPECT_THAT(messages_.Texts(), ElementsAre("G is not a correct HEX number."));
    EXPECT_EQ(flash[18], 31);
    // A cell past the buffer's end stores nothing.
    form.SG1SetEditText(form.SG1, 16, 600, "AA");
    EXPECT_EQ(flash.size(), 8192u);
}

TEST_F(DeviceCommands, TypedDecimalAndAsciiTextFollowTheirRows)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    auto& eeprom = MainUnit().EEpromBuffer;
    eeprom.assign(512, 0);
    form.Action_DecExecute(nullptr);
    form.SG2SetEditText(form.SG2, 1, 2, "300");
    form.SG2SetEditText(form.SG2, 1, 2, "-5");
    EXPECT_EQ(eeprom[10], 0);
    EXPECT_TRUE(messages_.Shown().empty());
    form.SG2SetEditText(form.SG2, 1, 2, "255");
    EXPECT_EQ(eeprom[10], 255);
    messages_.Answer(tk::mrOk);
    form.SG2SetEditText(form.SG2, 1, 2, "1x");
    EXPECT_THAT(messages_.Texts(), ElementsAre("1x is not a correct decimal number."));

    form.Action_AsciiExecute(nullptr);
    form.SG2SetEditText(form.SG2, 2, 2, "A");
    EXPECT_EQ(eeprom[17], 65);
    form.SG2SetEditText(form.SG2, 2, 2, "AB");
    EXPECT_EQ(eeprom[17], 65);
}

TEST_F(DeviceCommands, HexEditorStartsEmptyOnCellsAboveAByte)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    std::string value = "1FF";
    form.SG1GetEditText(form.SG1, 1, 1, value);
    EXPECT_EQ(value, "");
    value = "2A";
    form.SG1GetEditText(form.SG1, 1, 1, value);
    EXPECT_EQ(value, "2A");
    value = "";
    EXPECT_THROW(form.SG1GetEditText(form.SG1, 1, 1, value), tk::EConvertError);
    form.Action_DecExecute(nullptr);
    value = "300";
    form.SG1GetEditText(form.SG1, 1, 1, value);
    EXPECT_EQ(value, "300");
}

TEST_F(DeviceCommands, CellSelectionWithoutADeviceSaysSo)
{
    TMainForm& form = StartWith("DEVICE=NONE\n");
    bool canSelect = true;
    form.SG1SelectCell(form.SG1, 1, 1, canSelect);
    EXPECT_EQ(form.PanelText(1), "Flash data is not initialized; No device detected.");
    form.SG2SelectCell(form.SG2, 1, 1, canSelect);
    EXPECT_EQ(form.PanelText(1), "EEPROM data is not initialized; No device detected.");
    // The item is disabled without a device; a direct call is refused.
    EXPECT_FALSE(form.MnuEditDirectly->Enabled());
    messages_.Answer(tk::mrOk);
    form.MnuEditDirectlyClick(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("No device detected!"));
    EXPECT_EQ(MainUnit().EditValuesDirectly, 0);
    EXPECT_FALSE(form.MnuEditDirectly->Checked());
}

}  // namespace
