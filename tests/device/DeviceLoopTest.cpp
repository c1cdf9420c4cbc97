// The device loops against the simulated chip, with every plug-in call, wait
// and message box in one log: the order of a write, the waits that do and do
// not happen, failures that are counted, refusals that leave the device off,
// the Esc abort answered both ways, the combined commands that stop at a
// pass that did not come through, Exit and closing the window while a loop
// runs, addresses above $FFFF, and a loop step that allocates nothing.
#include "DeviceTestSupport.h"

#include "resources/StringIds.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <string_view>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kAbortBox = "box Really abort operation?";

class DeviceLoop : public DeviceFixture {
protected:
    // The window the plug-in posts its Esc key to, found by its caption.
    TMainForm& StartWithEscAt(const std::string& config)
    {
        TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
        form.HandleNeeded();
        ConfigureDemo(config + "ESC_WINDOW_TITLE=" + form.Caption() + "\n");
        return form;
    }

    // Posts `message` to the main window when the plug-in is asked about
    // `address` by `call`.
    void PostAt(TMainForm& form, const char* call, std::int32_t address, UINT message, WPARAM wParam = 0)
    {
        HWND wnd = form.Handle();
        onCall = [=](const char* name, std::int32_t at) {
            if (at == address && std::string(name) == call)
                ::PostMessageA(wnd, message, wParam, 0);
        };
    }
};

// --- the order of a write ------------------------------------------------------------------

TEST_F(DeviceLoop, WriteFlashErasesWaitsPowersWritesEachAddressWaitsAndPowersOff)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    const auto data = Pattern(8192, 21);
    MainUnit().FlashBuffer = AsBuffer(data);
    WatchCalls();
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "Sleep 100",
                                     "PowerUpDevice", "EnableProgramming", "WriteFlashAddress 0000-1FFF", "Sleep 500",
                                     "PowerOffDevice"));
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), data);
    EXPECT_EQ(form.PanelText(1), "Flash programmed successfully");
    EXPECT_EQ(form.PBar->Position(), 0);
    EXPECT_EQ(form.PBar->Max(), 8191);
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(DeviceLoop, WithoutEraseBeforeProgrammingNothingIsErasedAndOnlyTheFinalWaitRemains)
{
    Seed("ATDEMO8.eeprom", Pattern(512, 3));
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.MnuChipErase->Click();
    ASSERT_EQ(form.FChipEraseBeforeProgramming, 0);
    MainUnit().FlashBuffer = AsBuffer(Pattern(8192, 22));
    WatchCalls();
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "WriteFlashAddress 0000-1FFF", "Sleep 500", "PowerOffDevice"));
    // The EEPROM was not erased along with it.
    EXPECT_EQ(Chip("ATDEMO8.eeprom", 512), Pattern(512, 3));
}

TEST_F(DeviceLoop, WriteEEpromNeverWaitsWithOrWithoutErase)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    const auto data = Pattern(512, 5);
    MainUnit().EEpromBuffer = AsBuffer(data);
    WatchCalls();
    form.Action_WritePromExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "PowerUpDevice",
                                     "EnableProgramming", "WriteEEpromAddress 0000-01FF", "PowerOffDevice"));
    form.MnuChipErase->Click();
    ClearCalls();
    form.Action_WritePromExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "WriteEEpromAddress 0000-01FF", "PowerOffDevice"));
    EXPECT_THAT(sleeps_, IsEmpty());
    EXPECT_EQ(Chip("ATDEMO8.eeprom", 512), data);
    EXPECT_EQ(form.PanelText(1), "EEprom programmed successfully");
}

TEST_F(DeviceLoop, FailedWritesAreCountedInTheProgressTextAndTheSummary)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_FLASH=10,20-22\n");
    const auto data = Pattern(8192, 9);
    MainUnit().FlashBuffer = AsBuffer(data);
    std::string progressAt30;
    WatchCalls();
    onCall = [&](const char* name, std::int32_t address) {
        if (address == 0x30 && std::string(name) == "WriteFlashAddress")
            progressAt30 = form.PanelText(1);
    };
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_EQ(progressAt30, "Programming Flash address $002F; 4 errors; Press ESC to abort.");
    EXPECT_EQ(form.PanelText(1), "4 error(s) detected while programming the Flash.");
    EXPECT_EQ(MainUnit().ErrorCount, 4);
    EXPECT_THAT(Calls(), Contains("WriteFlashAddress 0000-1FFF failed=4"));
    // The failed addresses keep the erased value, all others are written.
    auto expected = data;
    for (std::size_t a : {0x10u, 0x20u, 0x21u, 0x22u})
        expected[a] = 0xFF;
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), expected);
}

TEST_F(DeviceLoop, ReadProgressTextCarriesTheAddressAndTheCount)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_EEPROM=1\n");
    std::string progressAt2;
    WatchCalls();
    onCall = [&](const char* name, std::int32_t address) {
        if (address == 2 && std::string(name) == "ReadEEpromAddress")
            progressAt2 = form.PanelText(1);
    };
    form.Action_ReadPromExecute(nullptr);
    EXPECT_EQ(progressAt2, "Reading EEprom address $0001; 1 errors; Press ESC to abort.");
    EXPECT_EQ(form.PanelText(1), "1 error(s) detected while reading the EEprom");
}

// --- refusals leave the device off -----------------------------------------------------------

TEST_F(DeviceLoop, ARefusedPowerUpWritesNothing)
{
    // Call 1 was the identification's.
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_POWERUP=2\n");
    MainUnit().FlashBuffer = AsBuffer(Pattern(8192, 1));
    MainUnit().ErrorCount = 7;
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "Sleep 100",
                                     "PowerUpDevice FAIL", "box " + Text(S_DEVICE_NOT_POWERED_UP)));
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), std::vector<std::uint8_t>(8192, 0xFF));
    EXPECT_EQ(MainUnit().ErrorCount, 7) << "a command that stopped before its loop leaves the count alone";
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(DeviceLoop, ARefusedEnablePowersTheDeviceOffBeforeSayingSo)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_ENABLE=1\n");
    MainUnit().FlashBuffer = AsBuffer(Pattern(8192, 1));
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "Sleep 100",
                                     "PowerUpDevice", "EnableProgramming FAIL", "PowerOffDevice",
                                     "box " + Text(S_DEVICE_NOT_ENABLED)));
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), std::vector<std::uint8_t>(8192, 0xFF));
}

TEST_F(DeviceLoop, AMissingAdapterIsPoweredOffBeforeTheUserIsToldToPlugItIn)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    ConfigureDemo("DEVICE=ATDEMO8\nADAPTER=0\n");
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_GetChipIdExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice FAIL", "PowerOffDevice",
                                     "box The programming device was not found.\r\nIt is safe to plug it now in "
                                     "the parallel port $378"));
}

// --- verify -----------------------------------------------------------------------------

TEST_F(DeviceLoop, AddressesAboveFFFFAreShownByTheirLowSixteenBits)
{
    const auto chip = Pattern(131072, 6);
    Seed("ATDEMO128.flash", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO128\n");
    MainUnit().FlashBuffer = AsBuffer(chip);
    MainUnit().FlashBuffer[0x10123] ^= 0x01;
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_VerifyFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "ReadFlashAddress 0000-10123", "PowerOffDevice",
                                     "box Error while verifying Flash address $0123"));
    EXPECT_EQ(form.PanelText(1), "Verifying Flash address $0123. Press ESC to abort.");
    EXPECT_EQ(form.PBar->Position(), 0);
}

TEST_F(DeviceLoop, MatchingDataVerifiesAsReadSuccessfully)
{
    const auto chip = Pattern(8192, 8);
    Seed("ATDEMO8.flash", chip);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().FlashBuffer = AsBuffer(chip);
    WatchCalls();
    form.Action_VerifyFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "ReadFlashAddress 0000-1FFF", "PowerOffDevice"));
}

// --- Esc ----------------------------------------------------------------------------------

TEST_F(DeviceLoop, EscAnsweredYesStopsTheWriteAndPowersOff)
{
    TMainForm& form = StartWithEscAt("DEVICE=ATDEMO8\nESC_AT_FLASH=5\n");
    const auto data = Pattern(8192, 4);
    MainUnit().FlashBuffer = AsBuffer(data);
    SteppingClock clock;
    WatchCalls();
    messages_.Answer(tk::mrYes);
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "Sleep 100",
                                     "PowerUpDevice", "EnableProgramming", "WriteFlashAddress 0000-0005", kAbortBox,
                                     "PowerOffDevice"));
    EXPECT_EQ(messages_.Shown().back().buttons, tk::mbYesNo);
    EXPECT_EQ(messages_.Shown().back().type, tk::mtConfirmation);
    EXPECT_EQ(form.PanelText(1), "Operation aborted.");
    EXPECT_EQ(MainUnit().AbortRequested, 0);
    EXPECT_EQ(MainUnit().Busy, 0);
    const auto flash = Chip("ATDEMO8.flash", 8192);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 6, flash.begin()));
    EXPECT_EQ(flash[6], 0xFF);
}

TEST_F(DeviceLoop, EscAnsweredNoGoesOnAtTheNextAddressWithTheCountKept)
{
    TMainForm& form = StartWithEscAt("DEVICE=ATDEMO8\nESC_AT_FLASH=5\nFAIL_WRITE_FLASH=2\n");
    const auto data = Pattern(8192, 12);
    MainUnit().FlashBuffer = AsBuffer(data);
    SteppingClock clock;
    WatchCalls();
    messages_.Answer(tk::mrNo);
    form.Action_WriteFlashExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "EraseChip", "Sleep 100",
                                     "PowerUpDevice", "EnableProgramming", "WriteFlashAddress 0000-0005 failed=1",
                                     kAbortBox, "WriteFlashAddress 0006-1FFF", "Sleep 500", "PowerOffDevice"));
    EXPECT_EQ(form.PanelText(1), "1 error(s) detected while programming the Flash.");
    auto expected = data;
    expected[2] = 0xFF;
    EXPECT_EQ(Chip("ATDEMO8.flash", 8192), expected);
}

TEST_F(DeviceLoop, WhileMessagesAreRecentTheLoopDoesNotLookAtThemButAStaleEscIsStillAsked)
{
    // With the clock standing still no message pass is due after the
    // first; the abort request itself is tested at every address.
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_FLASH=3\n");
    tk::ManualClock clock;
    const unsigned passes = tk::App().ProcessMessagesCount();
    MainUnit().AbortRequested = 1;
    WatchCalls();
    messages_.Answer(tk::mrNo);
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_LE(tk::App().ProcessMessagesCount() - passes, 1u);
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "ReadFlashAddress 0000-0000", kAbortBox, "ReadFlashAddress 0001-1FFF failed=1",
                                     "PowerOffDevice"));
}

TEST_F(DeviceLoop, AnExceptionOutOfTheLoopStillPowersTheDeviceOff)
{
    struct ThrowingBoxes : tk::MessageService {
        ThrowingBoxes() : override_(tk::MessageSeam(), *this) {}
        tk::ModalResult Show(const tk::MessageRequest&) override { throw std::runtime_error("box failed"); }
        tk::SeamOverride<tk::MessageService> override_;
    };
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().AbortRequested = 1;
    WatchCalls();
    {
        ThrowingBoxes boxes;
        EXPECT_THROW(form.Action_ReadPromExecute(nullptr), std::runtime_error);
    }
    EXPECT_THAT(Calls(), ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                     "ReadEEpromAddress 0000-0000", "PowerOffDevice"));
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_FALSE(form.DeviceLoopRunning());
}

// --- combined commands -------------------------------------------------------------------------

TEST_F(DeviceLoop, ReadAllStopsAtARefusedFlashPass)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_ENABLE=1\n");
    form.SetPanelText(1, "before");
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_ReadAllExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_DEVICE_NOT_ENABLED)));
    for (const std::string& call : Calls())
        EXPECT_THAT(call, Not(HasSubstr("EEprom"))) << "the EEPROM pass ran";
    EXPECT_NE(form.PanelText(1), "Flash and EEPROM read successfully");
}

TEST_F(DeviceLoop, ReadAllWithFailedReadsDoesNotSaySuccessfully)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_FLASH=3,4\nFAIL_READ_EEPROM=1FF\n");
    form.Action_ReadAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Errors while reading: 2 @ Flash and 1 @ EEPROM");
    ConfigureDemo("DEVICE=ATDEMO8\n");
    form.Action_ReadAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash and EEPROM read successfully");
}

TEST_F(DeviceLoop, ReadAllAbortedInTheFlashPassReadsNoEEprom)
{
    TMainForm& form = StartWithEscAt("DEVICE=ATDEMO8\nESC_AT_FLASH=10\n");
    SteppingClock clock;
    WatchCalls();
    messages_.Answer(tk::mrYes);
    form.Action_ReadAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Operation aborted.");
    EXPECT_EQ(Calls().back(), "PowerOffDevice");
    for (const std::string& call : Calls())
        EXPECT_THAT(call, Not(HasSubstr("EEprom")));
}

TEST_F(DeviceLoop, ReadAllOfADeviceWithoutFlashReadsTheEEpromAndSaysJustThat)
{
    const auto eeprom = Pattern(512, 30);
    Seed("ATDEMOEE.eeprom", eeprom);
    TMainForm& form = StartWith("DEVICE=ATDEMOEE\n");
    ASSERT_TRUE(form.BtReadAll->Enabled());
    form.Action_ReadAllExecute(nullptr);
    EXPECT_EQ(MainUnit().EEpromBuffer, AsBuffer(eeprom));
    EXPECT_EQ(form.PanelText(1), "EEprom read successfully");
}

TEST_F(DeviceLoop, WriteAllWithOnlyFlashErrorsSaysSo)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_FLASH=1,2\n");
    form.Action_WriteAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Errors while programming: 2 @ Flash and 0 @ EEPROM");
}

TEST_F(DeviceLoop, WriteAllWhoseEEpromPassIsRefusedKeepsNoStaleCount)
{
    // The Flash pass counts two errors; the EEPROM pass is refused before
    // its loop, so that count must not appear as the EEPROM's.
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_WRITE_FLASH=1,2\nFAIL_ENABLE=2\n");
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_WriteAllExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_DEVICE_NOT_ENABLED)));
    EXPECT_EQ(form.PanelText(1), "2 error(s) detected while programming the Flash.");
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);
    EXPECT_THAT(Calls(), Not(Contains(HasSubstr("WriteEEpromAddress"))));
}

TEST_F(DeviceLoop, WriteAllAbortedInTheFlashPassWritesNoEEpromAndRestoresTheEraseOption)
{
    TMainForm& form = StartWithEscAt("DEVICE=ATDEMO8\nESC_AT_FLASH=3\n");
    SteppingClock clock;
    WatchCalls();
    messages_.Answer(tk::mrYes);
    form.Action_WriteAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Operation aborted.");
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);
    const auto calls = Calls();
    EXPECT_THAT(calls, Not(Contains(HasSubstr("WriteEEpromAddress"))));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("EraseChip")), 1);
}

TEST_F(DeviceLoop, VerifyAllStopsAtAFlashDifference)
{
    const auto flash = Pattern(8192, 14);
    Seed("ATDEMO8.flash", flash);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().FlashBuffer = AsBuffer(flash);
    MainUnit().FlashBuffer[0x40] ^= 0x80;
    WatchCalls();
    messages_.Answer(tk::mrOk);
    form.Action_VerifyAllExecute(nullptr);
    EXPECT_THAT(messages_.Texts(), ElementsAre("Error while verifying Flash address $0040"));
    EXPECT_THAT(Calls(), Not(Contains(HasSubstr("ReadEEpromAddress"))));
}

TEST_F(DeviceLoop, VerifyAllOfMatchingMemoriesEndsWithTheEEpromText)
{
    const auto flash = Pattern(8192, 15);
    const auto eeprom = Pattern(512, 16);
    Seed("ATDEMO8.flash", flash);
    Seed("ATDEMO8.eeprom", eeprom);
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    MainUnit().FlashBuffer = AsBuffer(flash);
    MainUnit().EEpromBuffer = AsBuffer(eeprom);
    WatchCalls();
    form.Action_VerifyAllExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "EEprom read successfully");
    EXPECT_THAT(Calls(), Contains("ReadFlashAddress 0000-1FFF"));
    EXPECT_THAT(Calls(), Contains("ReadEEpromAddress 0000-01FF"));
}

// --- the program ending while a loop runs -------------------------------------------------------

TEST_F(DeviceLoop, ExitDuringALoopStopsItWithoutAskingAndEndsAfterIt)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.HandleNeeded();
    SteppingClock clock;
    WatchCalls();
    PostAt(form, "ReadFlashAddress", 5, WM_COMMAND, form.MnuExitApp->Command());
    bool driverOpenAtPowerOff = false;
    const auto post = onCall;
    onCall = [&](const char* name, std::int32_t address) {
        post(name, address);
        if (std::string(name) == "PowerOffDevice") {
            const auto trace = PortLibraryTrace();
            driverOpenAtPowerOff = std::find(trace.begin(), trace.end(), "CloseDriver") == trace.end();
        }
    };
    form.Action_ReadAllExecute(nullptr);
    const auto calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "PowerOffDevice");
    EXPECT_THAT(calls, Not(Contains(kAbortBox)));
    EXPECT_THAT(calls, Not(Contains(HasSubstr("ReadEEpromAddress"))));
    EXPECT_THAT(calls[calls.size() - 2], ::testing::StartsWith("ReadFlashAddress 0000-000"));
    EXPECT_TRUE(driverOpenAtPowerOff) << "the driver closed under the running loop";
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_EQ(form.PanelText(1), "Operation aborted.");
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_EQ(MainUnit().AbortRequested, 0);
}

TEST_F(DeviceLoop, ClosingTheWindowDuringALoopStopsItAndKeepsTheWindowUntilItReturned)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.HandleNeeded();
    HWND wnd = form.Handle();
    SteppingClock clock;
    WatchCalls();
    PostAt(form, "WriteEEpromAddress", 7, WM_CLOSE);
    bool driverOpenAtPowerOff = false;
    const auto post = onCall;
    onCall = [&](const char* name, std::int32_t address) {
        post(name, address);
        if (std::string(name) == "PowerOffDevice") {
            const auto trace = PortLibraryTrace();
            driverOpenAtPowerOff = std::find(trace.begin(), trace.end(), "CloseDriver") == trace.end();
        }
    };
    form.Action_WritePromExecute(nullptr);
    const auto calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.back(), "PowerOffDevice");
    EXPECT_THAT(calls[calls.size() - 2], ::testing::StartsWith("WriteEEpromAddress 0000-000"));
    EXPECT_THAT(calls, Not(Contains(kAbortBox)));
    EXPECT_TRUE(driverOpenAtPowerOff);
    EXPECT_TRUE(::IsWindow(wnd)) << "the window was destroyed under the running handler";
    EXPECT_TRUE(tk::App().Terminated());
    const auto trace = PortLibraryTrace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "CloseDriver"), 1);
    EXPECT_EQ(trace.back(), "CloseDriver");
}

TEST_F(DeviceLoop, ExitWithoutALoopClosesAtOnce)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\n");
    form.Action_ExitExecute(nullptr);
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
    EXPECT_FALSE(form.DeviceLoopRunning());
}

// --- a loop step allocates nothing ---------------------------------------------------------------

TEST_F(DeviceLoop, LoopStepsAllocateNothing)
{
    TMainForm& form = StartWith("DEVICE=ATDEMO8\nFAIL_READ_FLASH=100-1FF\n");
    // The clock stands still: after the first address no message pass is
    // due, so what is counted is the loop's own work.
    tk::ManualClock clock;
    WatchCalls();
    std::vector<long> counts;
    counts.reserve(10000);
    onCall = [&](const char* name, std::int32_t) {
        if (std::string_view(name).find("Address") != std::string_view::npos)
            counts.push_back(AllocationCount());
    };
    using Command = void (TMainForm::*)(tk::Component*);
    // A read whose error count grows to three digits, then a write and a
    // verify of what was written.
    for (Command command : {&TMainForm::Action_ReadFlashExecute, &TMainForm::Action_WriteFlashExecute,
                            &TMainForm::Action_VerifyFlashExecute}) {
        counts.clear();
        (form.*command)(nullptr);
        ConfigureDemo("DEVICE=ATDEMO8\n");
        ASSERT_EQ(counts.size(), 8192u);
        // From the second address on: the steps between two plug-in calls.
        EXPECT_EQ(counts.back() - counts[1], 0) << "allocations in " << counts.size() << " loop steps";
    }
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
}

}  // namespace
