// The plug-in host: a plug-in chosen in the real browser (shown modally and
// operated through its grid and OK button) binds and identifies its device,
// with the caption, the special-bits names and pictures (or their text
// stand-ins), the characteristics and the control states of a device with
// both memories, with Flash only and with EEPROM only; choosing nothing and
// choosing the same plug-in again; loads that fail leave nothing bound;
// answers of the plug-in that are not trusted; and the real program ending
// with the exit code of a missing export.
#include "tests/support/ProgramProcess.h"
#include "DeviceTestSupport.h"

#include "components/AutoAnswer.h"
#include "programmer/PlugIns.h"
#include "resources/StringIds.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Grids.h"
#include "toolkit/Menus.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kCaptionPrefix = "ZELTO Raz-Edezadu Divudavizu ";

class PlugInHost : public DeviceFixture {
protected:
    // The main window after its command line: interactive, nothing bound.
    TMainForm& StartInteractive(const std::string& demoConfig)
    {
        ConfigureDemo(demoConfig);
        TMainForm& form = CreateMainForm("PORTS=378\n", /*commandMode=*/true);
        form.FCommandMode = 0;
        form.MarkCommandLineProcessed();
        return form;
    }

    // The application's browser, listing copies of `libraries`. The host
    // loads the chosen one from the program folder, as it does a user's
    // choice: a test-only library is put there for the test's time.
    TPlugInForm& MakeBrowser(std::initializer_list<std::string> libraries)
    {
        for (const std::string& name : libraries) {
            const std::string from = TestLibraryPath(name);
            EXPECT_TRUE(::CopyFileA(from.c_str(), browserDir_.File(name).c_str(), FALSE));
            const std::string inProgramFolder = ExecutableFolder() + name;
            if (!FileExists(inProgramFolder) && ::CopyFileA(from.c_str(), inProgramFolder.c_str(), TRUE))
                placed_.push_back(inProgramFolder);
        }
        browser_ = tk::App().CreateForm<TPlugInForm>(browserDir_.Path());
        return *browser_;
    }

    // The copies leave the program folder once no window holds them loaded.
    void TearDown() override
    {
        DestroyMainForm();
        tk::App().Reset();
        ResetMainUnit();
        for (const std::string& path : placed_)
            EXPECT_TRUE(::DeleteFileA(path.c_str())) << "cannot remove " << path;
    }

    // The user clicks `library`'s name in the shown browser and presses OK;
    // an empty name closes it without a choice.
    void ChooseInBrowser(const std::string& library)
    {
        modal_.Expect([this, library](tk::Form& shown) {
            EXPECT_EQ(&shown, browser_);
            if (library.empty())
                return tk::mrCancel;
            const auto& entries = browser_->PlugIns();
            const auto it = std::find_if(entries.begin(), entries.end(),
                                         [&](const PlugInEntry& e) { return e.fileName == library; });
            EXPECT_NE(it, entries.end()) << library << " is not listed";
            const int row = static_cast<int>(it - entries.begin()) + 1;
            const RECT r = browser_->SG1->CellRect(1, row);
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            ::SendMessageA(browser_->SG1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::SendMessageA(browser_->SG1->Handle(), WM_LBUTTONUP, 0, at);
            PumpMessages();
            ::SendMessageA(browser_->BitBtn1->Handle(), BM_CLICK, 0, 0);
            PumpMessages();
            return browser_->GetModalResult();
        });
    }

    ScratchFolder browserDir_;
    tk::ScriptedModalForms modal_{[](tk::Form& form) { ADD_FAILURE() << "unexpected window " << form.Name(); }};
    TPlugInForm* browser_ = nullptr;
    std::vector<std::string> placed_;
};

// --- a plug-in chosen in the browser ----------------------------------------------------------

struct Choice {
    const char* library;
    const char* device;
    bool flash;
    bool eeprom;
    const char* panel1;  // after identification and the grids' redraw
    bool pictures;
};

void PrintTo(const Choice& c, std::ostream* os) { *os << c.library << " " << c.device; }

class BrowserChoice : public PlugInHost, public ::testing::WithParamInterface<Choice> {};

TEST_P(BrowserChoice, BindsIdentifiesAndSwitchesTheControls)
{
    const Choice& c = GetParam();
    TMainForm& form = StartInteractive(std::string("DEVICE=") + c.device + "\n");
    MakeBrowser({"DemoPlugin.dll", "DemoPluginNoBitmaps.dll", "DemoPluginNotZelto.dll"});
    ChooseInBrowser(c.library);
    form.MnuUsePlugIn->Click();
    EXPECT_EQ(modal_.Shown(), 1);
    EXPECT_THAT(messages_.Texts(), IsEmpty());

    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(unit.PlugInLoaded, 1);
    EXPECT_EQ(unit.PlugInFileName, c.library);
    EXPECT_EQ(form.Caption(), kCaptionPrefix + "using library " + c.library);
    EXPECT_EQ(unit.Busy, 0);

    // Special bits: the plug-in's category names, its pictures or their names.
    const std::vector<TToolbarButton*> buttons{form.BtSpecialBits1, form.BtSpecialBits2, form.BtSpecialBits3};
    const std::vector<tk::MenuItem*> items{form.MnuSpecialBits1, form.MnuSpecialBits2, form.MnuSpecialBits3};
    const std::vector<std::string> categories{"Fuse Bits", "Lock Bits", "Extended Bits"};
    for (std::size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE("special bits " + std::to_string(n + 1));
        EXPECT_EQ(buttons[n]->Hint(), categories[n]);
        EXPECT_EQ(items[n]->Caption(), categories[n]);
        if (c.pictures) {
            EXPECT_FALSE(buttons[n]->Glyph().Empty());
            EXPECT_FALSE(items[n]->GetBitmap().Empty());
            EXPECT_EQ(buttons[n]->DisplayMode(), dmGlyphOnly) << "no text over the picture";
        } else {
            EXPECT_TRUE(buttons[n]->Glyph().Empty());
            EXPECT_EQ(buttons[n]->DisplayMode(), dmTextOnly);
            EXPECT_EQ(buttons[n]->Caption(), "SB" + std::to_string(n + 1));
        }
    }

    EXPECT_EQ(unit.DeviceName, c.device);
    EXPECT_EQ(form.PanelText(0), c.device);
    EXPECT_EQ(form.PanelText(1), c.panel1);
    EXPECT_EQ(form.PanelText(2), "Port $378; Programming Device OK!");
    EXPECT_EQ(unit.FlashEnabled, c.flash ? 1 : 0);
    EXPECT_EQ(unit.EEpromEnabled, c.eeprom ? 1 : 0);
    if (!c.flash) {
        EXPECT_EQ(form.FFlashSize, 1);
    }
    if (!c.eeprom) {
        EXPECT_EQ(form.FEEpromSize, 1);
    }

    for (tk::Control* control : std::initializer_list<tk::Control*>{
             form.BtOpenFlash, form.BtSaveFlash, form.BtReadFlash, form.BtWriteFlash, form.BtVerFlash})
        EXPECT_EQ(control->Enabled(), c.flash) << control->Name();
    for (tk::MenuItem* item : {form.MnuReadFlash, form.MnuWriteFlash, form.MnuVerifyFlash, form.MnuOpenFlash,
                               form.MnuSaveFlash})
        EXPECT_EQ(item->Enabled(), c.flash) << item->Name();
    for (tk::Control* control : std::initializer_list<tk::Control*>{
             form.BtOpenEEprom, form.BtSaveEEprom, form.BtReadEEprom, form.BtWriteEEprom, form.BtVerEEprom})
        EXPECT_EQ(control->Enabled(), c.eeprom) << control->Name();
    for (tk::MenuItem* item : {form.MnuReadEEprom, form.MnuWriteEEprom, form.MnuVerifyEEprom, form.MnuOpenEEprom,
                               form.MnuSaveEEprom})
        EXPECT_EQ(item->Enabled(), c.eeprom) << item->Name();
    // The combined controls follow the EEPROM.
    for (tk::Control* control : std::initializer_list<tk::Control*>{form.BtReadAll, form.BtWriteAll, form.BtVerAll})
        EXPECT_EQ(control->Enabled(), c.eeprom) << control->Name();
    for (tk::MenuItem* item : {form.MnuReadAll, form.MnuWriteAll, form.MnuVerifyAll})
        EXPECT_EQ(item->Enabled(), c.eeprom) << item->Name();
    // Device controls on; Get Chip Id always.
    for (tk::Control* control : std::initializer_list<tk::Control*>{
             form.BtSpecialBits1, form.BtEraseChip, form.BtFill, form.BtClone, form.BtHex, form.BtDec, form.BtAsc,
             form.BtChipId})
        EXPECT_TRUE(control->Enabled()) << control->Name();
    for (tk::MenuItem* item : {form.MnuSpecialBits3, form.MnuEraseChip, form.MnuFillBuffer, form.MnuClone,
                               form.MnuHex, form.MnuDecimal, form.MnuAscii, form.MnuEditDirectly,
                               form.MnuCloningOptions, form.MnuGetChipId})
        EXPECT_TRUE(item->Enabled()) << item->Name();
}

INSTANTIATE_TEST_SUITE_P(
    Devices, BrowserChoice,
    ::testing::Values(
        Choice{"DemoPlugin.dll", "ATDEMO8", true, true, "Characteristics: 8192 bytes Flash ; 512 bytes EEPROM", true},
        Choice{"DemoPlugin.dll", "ATDEMOFL", true, false, "EEprom functions are disabled for ATDEMOFL.", true},
        Choice{"DemoPlugin.dll", "ATDEMOEE", false, true, "Flash functions are disabled for ATDEMOEE.", true},
        Choice{"DemoPluginNoBitmaps.dll", "ATDEMO8", true, true,
               "Characteristics: 8192 bytes Flash ; 512 bytes EEPROM", false}));

TEST_F(PlugInHost, ChoosingNothingUnbindsButKeepsTheDeviceAndItsControls)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().FlashBuffer[3] = 0x33;
    MakeBrowser({"DemoPlugin.dll"});
    ChooseInBrowser("");
    form.Action_LoadPluginExecute(nullptr);
    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(form.Caption(), kCaptionPrefix + "using no library");
    EXPECT_EQ(unit.PlugInLoaded, 0);
    EXPECT_EQ(unit.PlugInHandle, nullptr);
    EXPECT_EQ(unit.PlugIn.ReadFlashAddress, nullptr);
    EXPECT_EQ(unit.DeviceName, "ATDEMO8");
    EXPECT_EQ(unit.FlashBuffer[3], 0x33);
    EXPECT_TRUE(form.BtReadFlash->Enabled());
    EXPECT_EQ(unit.Busy, 0);

    // A command now reaches no library: the adapter check says so.
    messages_.Answer(tk::mrOk);
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("The programming device was not found.\r\nIt is safe to plug it now in "
                                               "the parallel port $378"));
    EXPECT_EQ(unit.FlashBuffer[3], 0x33);
}

TEST_F(PlugInHost, ChoosingTheSamePlugInAgainReloadsItAndKeepsTheBuffers)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nTRACE_LOAD=1\n");
    MainUnit().FlashBuffer[5] = 0x55;
    MainUnit().EEpromBuffer[511] = 0x11;
    MakeBrowser({"DemoPlugin.dll"});
    ClearTrace();
    ChooseInBrowser("DemoPlugin.dll");
    form.Action_LoadPluginExecute(nullptr);
    const auto trace = Trace();
    const auto unload = std::find(trace.begin(), trace.end(), "Unload DemoPlugin.dll");
    ASSERT_NE(unload, trace.end());
    EXPECT_NE(std::find(unload, trace.end(), "Load DemoPlugin.dll"), trace.end());
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 8192u);
    EXPECT_EQ(MainUnit().FlashBuffer[5], 0x55);
    EXPECT_EQ(MainUnit().EEpromBuffer[511], 0x11);
    EXPECT_EQ(form.PanelText(1), "Characteristics: 8192 bytes Flash ; 512 bytes EEPROM");
}

// --- loads that fail -----------------------------------------------------------------------

TEST_F(PlugInHost, ALibraryThatDoesNotLoadLeavesNothingBoundAndTheScriptGoesOn)
{
    // A file of the plug-in's name that is no library at all.
    const std::string name = "ZzBroken" + std::to_string(::GetCurrentProcessId()) + ".dll";
    const std::string path = ExecutableFolder() + name;
    ASSERT_TRUE(WriteTextFile(path, "not a library"));
    struct Remove {
        std::string path;
        ~Remove() { ::DeleteFileA(path.c_str()); }
    } remove{path};

    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.FCommandMode = 1;
    form.FScriptPlugInName = name;
    messages_.Answer(tk::mrOk);
    form.Action_LoadPluginExecute(nullptr);
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_THAT(messages_.Texts()[0], ::testing::StartsWith("Could not find "));
    EXPECT_THAT(messages_.Texts()[0], ::testing::EndsWith("\\" + name + "\r\nApplication will now terminate"));
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");

    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(unit.PlugInLoaded, 0);
    EXPECT_EQ(unit.PlugInHandle, nullptr);
    const auto* entries = reinterpret_cast<void* const*>(&unit.PlugIn);
    for (std::size_t i = 0; i < sizeof(TPlugInEntryPoints) / sizeof(void*); ++i)
        EXPECT_EQ(entries[i], nullptr) << "entry point " << i << " still bound";

    // The rest of the script runs on the old device name without a library.
    messages_.Clear();
    for (auto command : {&TMainForm::Action_WriteFlashExecute, &TMainForm::Action_VerifyAllExecute,
                         &TMainForm::Action_EraseChipExecute, &TMainForm::Action_DecExecute}) {
        messages_.Answer(tk::mrOk);
        (form.*command)(nullptr);
    }
    EXPECT_EQ(messages_.Texts().size(), 4u);
    EXPECT_EQ(messages_.Texts()[2], Text(S_NO_PLUGIN_SELECTED));
    EXPECT_EQ(MainUnit().Busy, 0);
}

// --- answers of the plug-in that are not trusted ----------------------------------------------

TEST_F(PlugInHost, ANullNameReadsAsNoDevice)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    WatchCalls();
    deviceNameAnswer = []() -> const char* { return nullptr; };
    form.Action_GetChipIdExecute(nullptr);
    EXPECT_EQ(MainUnit().DeviceName, "");
    EXPECT_EQ(form.PanelText(0), "No Device");
    EXPECT_EQ(form.PanelText(1), "Characteristics: none");
}

TEST_F(PlugInHost, SizesOfZeroOrBelowAreAbsentMemories)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    WatchCalls();
    flashSizeAnswer = [] { return -5; };
    eepromSizeAnswer = [] { return 0; };
    form.Action_GetChipIdExecute(nullptr);
    EXPECT_EQ(form.FFlashSize, 1);
    EXPECT_EQ(form.FEEpromSize, 1);
    EXPECT_EQ(MainUnit().FlashEnabled, 0);
    EXPECT_EQ(MainUnit().EEpromEnabled, 0);
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 1u);
    EXPECT_FALSE(form.BtReadFlash->Enabled());
    EXPECT_THAT(messages_.Texts(), IsEmpty());
}

TEST_F(PlugInHost, SizesAboveSixteenMegabytesAreRefusedNotAllocated)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    WatchCalls();
    for (std::int32_t size : {16 * 1024 * 1024 + 1, 0x7FFFFFFF}) {
        SCOPED_TRACE(size);
        messages_.Clear();
        flashSizeAnswer = [size] { return size; };
        messages_.Answer(tk::mrOk);
        form.Action_GetChipIdExecute(nullptr);
        EXPECT_THAT(messages_.Texts(),
                    ElementsAre("The plug-in reports " + std::to_string(size) +
                                " bytes of Flash for ATDEMO8.\r\nMemories above 16 MiB are not supported: it is "
                                "treated as absent."));
        EXPECT_EQ(MainUnit().FlashEnabled, 0);
        EXPECT_EQ(form.FFlashSize, 1);
        EXPECT_EQ(MainUnit().FlashBuffer.size(), 1u);
        // The EEPROM of the same device stays usable.
        EXPECT_EQ(MainUnit().EEpromEnabled, 1);
        EXPECT_EQ(MainUnit().EEpromBuffer.size(), 512u);
    }
    // A sane answer again brings the memory back.
    flashSizeAnswer = nullptr;
    form.Action_GetChipIdExecute(nullptr);
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 8192u);
    EXPECT_EQ(form.PanelText(1), "Characteristics: 8192 bytes Flash ; 512 bytes EEPROM");
}

// --- the real program and a plug-in that lacks an export -----------------------------------------

struct MissingExport {
    const char* library;
    const char* function;
    int exitCode;
};

void PrintTo(const MissingExport& m, std::ostream* os) { *os << m.library; }

class ProgramWithBrokenPlugIn : public ::testing::TestWithParam<MissingExport> {
protected:
    ProgramWithBrokenPlugIn()
        : configEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
          demoEnv_("ZP_DEMO_DIR", scratch_.Path()),
          autoEnv_("ZP_AUTO_ANSWER", "1"),
          logEnv_("ZP_MESSAGE_LOG", scratch_.File("messages.log"))
    {
    }

    ScratchFolder scratch_;
    EnvironmentOverride configEnv_;
    EnvironmentOverride demoEnv_;
    EnvironmentOverride autoEnv_;
    EnvironmentOverride logEnv_;
    // The program's own folder, holding the broken plug-in as a user's would.
    ScratchFolder programDir_;
};

TEST_P(ProgramWithBrokenPlugIn, EndsWithTheExportsCodeAfterNamingItAndTheLibrary)
{
    const MissingExport& m = GetParam();
    const std::string program = ExecutableFolder() + "ZeltoPrg.exe";
    if (!FileExists(program))
        GTEST_SKIP() << "ZeltoPrg.exe is not built";
    ASSERT_TRUE(WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), "PORTS=378\nTRACE=1\n"));
    ASSERT_TRUE(WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\nTRACE=1\n"));
    for (const std::string file : {"ZeltoPrg.exe", "ZeltoProgBasic.dll", m.library})
        ASSERT_TRUE(::CopyFileA(TestLibraryPath(file).c_str(), programDir_.File(file).c_str(), FALSE)) << file;

    ProgramProcess process;
    ASSERT_TRUE(process.Start("\"" + programDir_.File("ZeltoPrg.exe") + "\" LOADPLUGIN=" + m.library,
                              programDir_.Path()));
    const long code = process.WaitForExit(60000);
    ASSERT_NE(code, -1) << "the program did not end";
    EXPECT_EQ(code, m.exitCode);

    std::string folder = programDir_.Path();
    folder.pop_back();
    const std::string text = "Procedure or function [" + std::string(m.function) + "]\r\ncould not be found in " +
                             folder + "\\" + m.library + "\r\nApplication will now terminate";
    EXPECT_THAT(ReadLines(scratch_.File("messages.log")),
                ElementsAre("box " + EscapeLogText(tk::LoadStr(S_APPLICATION_TITLE)) + "|" + EscapeLogText(text)));
    const auto trace = ReadLines(scratch_.File("ZeltoProgBasic.trace"));
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "CloseDriver");
}

INSTANTIATE_TEST_SUITE_P(Exports, ProgramWithBrokenPlugIn,
                         ::testing::Values(MissingExport{"DemoPluginNoPowerOff.dll", "PowerOffDevice", 101},
                                           MissingExport{"DemoPluginNoSB3Names.dll", "ReadSpecialBits3Names", 123}));

}  // namespace
