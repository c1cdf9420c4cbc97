// Cloning against the demonstration chip: serial numbers written MSB or LSB
// first into each clone, the end at the maximum, Cancel, one-clone mode, the
// busy guard, write passes that did not complete, the program ending during a
// write pass, a range that no longer fits, the waits, and the Cloning Options
// command.
#include "DeviceTestSupport.h"
#include "programmer/Clone.h"
#include "programmer/PlugInInterface.h"
#include "resources/StringIds.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// Message boxes answered by a function that sees each one as it comes.
class Dialogue : public tk::MessageService {
public:
    using Answer = std::function<tk::ModalResult(const tk::MessageRequest&)>;
    Dialogue() : override_(tk::MessageSeam(), *this) {}
    tk::ModalResult Show(const tk::MessageRequest& request) override
    {
        shown.push_back(request);
        return answer ? answer(request) : tk::mrOk;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& r : shown)
            texts.push_back(r.text);
        return texts;
    }
    std::size_t Count(const std::string& text) const
    {
        return static_cast<std::size_t>(
            std::count_if(shown.begin(), shown.end(), [&](const tk::MessageRequest& r) { return r.text == text; }));
    }
    Answer answer;
    std::vector<tk::MessageRequest> shown;

private:
    tk::SeamOverride<tk::MessageService> override_;
};

// Records every wait with the status text shown while it lasts.
class WaitsWithStatus : public tk::SleepBeepService {
public:
    explicit WaitsWithStatus(TMainForm*& form) : override_(tk::SleepBeepSeam(), *this), form_(form) {}
    void Sleep(unsigned milliseconds) override
    {
        waits.push_back(milliseconds);
        statuses.push_back(form_ ? form_->PanelText(1) : std::string());
    }
    void Beep(unsigned, unsigned) override {}
    std::vector<unsigned> waits;
    std::vector<std::string> statuses;

private:
    tk::SeamOverride<tk::SleepBeepService> override_;
    TMainForm*& form_;
};

// Hooks between the host and two of the plug-in's entry points: one before
// each Flash write, one after each power-off.
struct PlugInHooks {
    static inline WriteAddressProc writeFlash = nullptr;
    static inline PowerOffDeviceProc powerOff = nullptr;
    static inline std::function<void(std::int32_t address)> beforeWriteFlash;
    static inline std::function<void()> afterPowerOff;

    static std::uint8_t __stdcall WriteFlash(std::int32_t port, std::int32_t address, std::int32_t data)
    {
        if (beforeWriteFlash)
            beforeWriteFlash(address);
        return writeFlash(port, address, data);
    }
    static void __stdcall PowerOff(std::int32_t port)
    {
        powerOff(port);
        if (afterPowerOff)
            afterPowerOff();
    }
    static void Install(TPlugInEntryPoints& p)
    {
        writeFlash = p.WriteFlashAddress;
        powerOff = p.PowerOffDevice;
        p.WriteFlashAddress = &WriteFlash;
        p.PowerOffDevice = &PowerOff;
    }
    static void Clear()
    {
        beforeWriteFlash = nullptr;
        afterPowerOff = nullptr;
    }
};

constexpr const char* kChip = "DEVICE=CLONECHIP\nFLASH_SIZE=256\nEEPROM_SIZE=64\n";

bool StartsWith(const std::string& text, unsigned id)
{
    const std::string head = Text(id).substr(0, Text(id).find('%'));
    return text.compare(0, head.size(), head) == 0;
}

class CloneCommand : public DeviceFixture {
protected:
    CloneCommand() : waits_(main_) {}
    ~CloneCommand() override { PlugInHooks::Clear(); }

    TMainForm& Start(const std::string& config = kChip)
    {
        // The original device in the socket.
        std::vector<std::uint8_t> flash(256), eeprom(64);
        for (std::size_t i = 0; i < flash.size(); ++i)
            flash[i] = static_cast<std::uint8_t>(i * 7 + 1);
        for (std::size_t i = 0; i < eeprom.size(); ++i)
            eeprom[i] = static_cast<std::uint8_t>(0xE0 - i);
        SeedChip("CLONECHIP", "flash", flash);
        SeedChip("CLONECHIP", "eeprom", eeprom);
        source_flash_ = flash;
        source_eeprom_ = eeprom;
        TMainForm& form = StartWithDevice(config);
        clone_ = tk::Create<TCloneForm>(tk::App());
        dialogue_.shown.clear();  // the port-kind message at start
        return form;
    }

    // Sets serial numbering up through the dialog and its OK button.
    void Number(bool flash, const std::string& start, const std::string& bytes, const std::string& value,
                const std::string& increment, bool msbFirst = true)
    {
        (flash ? clone_->FCheck : clone_->ECheck)->SetChecked(true);
        (flash ? clone_->EdFByte2Fill : clone_->EdEByte2Fill)->SetText(bytes);
        (flash ? clone_->EdFStartAdd : clone_->EdEStartAdd)->SetText(start);
        (flash ? clone_->EdFStartVal : clone_->EdEStartVal)->SetText(value);
        (flash ? clone_->EdFStep : clone_->EdEStep)->SetText(increment);
        (flash ? clone_->CBFMsb : clone_->CBEMsb)->SetChecked(msbFirst);
        clone_->BitBtn1->Click();
    }

    // Answers every box with OK, stops at the clone prompt `stopAt` with
    // Cancel, and keeps the chip's bytes each time a clone is removed.
    void Run(int stopAt, std::size_t at, std::size_t count, bool flash = true)
    {
        dialogue_.answer = [=, this](const tk::MessageRequest& r) {
            if (StartsWith(r.text, S_CLONE_INSERT_CLONE_DEVICE) &&
                r.text == Text(S_CLONE_INSERT_CLONE_DEVICE, {std::to_string(stopAt)}))
                return tk::mrCancel;
            if (r.text == Text(S_CLONE_REMOVE_DEVICE)) {
                const auto chip = ChipBytes("CLONECHIP", flash ? "flash" : "eeprom", flash ? 256 : 64);
                removed_.emplace_back(chip.begin() + static_cast<std::ptrdiff_t>(at),
                                      chip.begin() + static_cast<std::ptrdiff_t>(at + count));
                whole_chips_.push_back(chip);
            }
            return tk::mrOk;
        };
        main_->Action_CloneExecute(nullptr);
    }

    Dialogue dialogue_;
    WaitsWithStatus waits_;
    TCloneForm* clone_ = nullptr;
    std::vector<std::vector<std::uint8_t>> removed_;
    std::vector<std::vector<std::uint8_t>> whole_chips_;
    std::vector<std::uint8_t> source_flash_;
    std::vector<std::uint8_t> source_eeprom_;
};

}  // namespace

TEST_F(CloneCommand, TwoByteFlashSerialNumbersMsbFirst)
{
    Start();
    Number(true, "10", "2", "1234", "1");
    ASSERT_EQ(main_->FFlashMaxClones, 65536 - 0x1234);
    Run(3, 0x10, 2);

    ASSERT_FALSE(dialogue_.shown.empty());
    EXPECT_EQ(dialogue_.shown[0].text,
              "Flash Serial Numbering is active.\r\nStarting Address [$0010]\r\na number of [2] bytes\r\n"
              "will be filled with a value of [$1234]\r\nincremented by [1] for each clone.\r\n"
              "Bytes order is [MSB] first\r\nMaximum number of clones is [60876]");
    ASSERT_EQ(removed_.size(), 2u);
    EXPECT_EQ(removed_[0], (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(removed_[1], (std::vector<std::uint8_t>{0x12, 0x35}));
    // Everything else is the original's.
    std::vector<std::uint8_t> expected = source_flash_;
    expected[0x10] = 0x12;
    expected[0x11] = 0x35;
    EXPECT_EQ(whole_chips_[1], expected);
    EXPECT_EQ(ChipBytes("CLONECHIP", "eeprom", 64), source_eeprom_);
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_MODIFYING_DATA, {"3"})), 1u);
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(CloneCommand, TwoByteFlashSerialNumbersLsbFirst)
{
    Start();
    Number(true, "10", "2", "1234", "1", /*msbFirst=*/false);
    Run(3, 0x10, 2);
    ASSERT_EQ(removed_.size(), 2u);
    EXPECT_EQ(removed_[0], (std::vector<std::uint8_t>{0x34, 0x12}));
    EXPECT_EQ(removed_[1], (std::vector<std::uint8_t>{0x35, 0x12}));
    EXPECT_THAT(dialogue_.shown[0].text, ::testing::HasSubstr("Bytes order is [LSB] first"));
}

TEST_F(CloneCommand, EEpromSerialNumbersGrowByTheIncrement)
{
    Start();
    Number(false, "3E", "2", "FF00", "80");
    Run(3, 0x3E, 2, /*flash=*/false);
    ASSERT_EQ(removed_.size(), 2u);
    EXPECT_EQ(removed_[0], (std::vector<std::uint8_t>{0xFF, 0x00}));
    // The increment is decimal: 80 = $50.
    EXPECT_EQ(removed_[1], (std::vector<std::uint8_t>{0xFF, 0x50}));
    EXPECT_EQ(dialogue_.shown[0].text.substr(0, 6), "EEprom");
}

TEST_F(CloneCommand, ReachingTheMaximumEndsWithTheLastClonesNumber)
{
    Start();
    Number(true, "0", "1", "FE", "1");
    ASSERT_EQ(main_->FFlashMaxClones, 2);
    Run(99, 0, 1);
    ASSERT_EQ(removed_.size(), 2u);
    EXPECT_EQ(removed_[0], std::vector<std::uint8_t>{0xFE});
    EXPECT_EQ(removed_[1], std::vector<std::uint8_t>{0xFF});
    ASSERT_FALSE(dialogue_.shown.empty());
    EXPECT_EQ(dialogue_.shown.back().text,
              "Serial Numbering while cloning was active\r\nWith clone [2], the cloning process has ended.");
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_INSERT_CLONE_DEVICE, {"3"})), 0u);
}

TEST_F(CloneCommand, BothMemoriesNumberedStopAtTheSmallerMaximum)
{
    Start("DEVICE=CLONECHIP\nFLASH_SIZE=16\nEEPROM_SIZE=16\n");
    Number(true, "0", "1", "9C", "1");   // 100 clones
    Number(false, "0", "1", "CE", "1");  // 50 clones
    ASSERT_EQ(main_->FFlashMaxClones, 100);
    ASSERT_EQ(main_->FEEpromMaxClones, 50);
    dialogue_.answer = [](const tk::MessageRequest&) { return tk::mrOk; };
    main_->Action_CloneExecute(nullptr);
    EXPECT_THAT(dialogue_.shown[0].text, ::testing::HasSubstr("Maximum number of clones is [50]"));
    EXPECT_THAT(dialogue_.shown[1].text, ::testing::HasSubstr("Maximum number of clones is [50]"));
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_INSERT_CLONE_DEVICE, {"50"})), 1u);
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_INSERT_CLONE_DEVICE, {"51"})), 0u);
    EXPECT_EQ(dialogue_.shown.back().text,
              "Serial Numbering while cloning was active\r\nWith clone [50], the cloning process has ended.");
    EXPECT_EQ(ChipBytes("CLONECHIP", "flash", 16)[0], 0x9C + 49);
    EXPECT_EQ(ChipBytes("CLONECHIP", "eeprom", 16)[0], 0xCE + 49);
}

TEST_F(CloneCommand, OptionsNotConfirmedWithOKDoNotNumber)
{
    Start();
    // As script keywords set the controls: the edits change, OK is never pressed.
    clone_->FCheck->SetChecked(true);
    clone_->EdFByte2Fill->SetText("2");
    clone_->EdFStartVal->SetText("1234");
    ASSERT_EQ(main_->FFlashSerialNumbering, 0);
    dialogue_.answer = [](const tk::MessageRequest& r) {
        return r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE) ? tk::mrNo : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    ASSERT_FALSE(dialogue_.shown.empty());
    EXPECT_EQ(dialogue_.shown[0].text, Text(S_CLONE_MORE_THAN_ONE_DEVICE));
    EXPECT_EQ(ChipBytes("CLONECHIP", "flash", 256), source_flash_);
}

TEST_F(CloneCommand, CancelAtTheFirstPromptErasesNothing)
{
    Start();
    Number(true, "10", "2", "1234", "1");
    Run(1, 0x10, 2);
    EXPECT_THAT(TraceOf("EraseChip"), IsEmpty());
    EXPECT_THAT(TraceOf("WriteFlashAddress"), IsEmpty());
    EXPECT_EQ(ChipBytes("CLONECHIP", "flash", 256), source_flash_);
    EXPECT_EQ(ChipBytes("CLONECHIP", "eeprom", 64), source_eeprom_);
    EXPECT_TRUE(removed_.empty());
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(CloneCommand, WithoutNumberingOneCloneWhenTheUserSaysNo)
{
    Start();
    dialogue_.answer = [](const tk::MessageRequest& r) {
        return r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE) ? tk::mrNo : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    const auto texts = dialogue_.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "Do you wish to clone more than one device?");
    EXPECT_EQ(dialogue_.shown[0].type, tk::mtInformation);
    EXPECT_EQ(dialogue_.shown[0].buttons, tk::mbYesNo);
    EXPECT_EQ(texts[1], "Insert the original device in its socket and press OK");
    EXPECT_EQ(texts[2], Text(S_CLONE_MODIFYING_DATA, {"1"}));
    EXPECT_EQ(texts[3], Text(S_CLONE_INSERT_CLONE_DEVICE, {"1"}));
    EXPECT_EQ(dialogue_.shown[3].buttons, tk::mbOKCancel);
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_REMOVE_DEVICE)), 0u);
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_INSERT_CLONE_DEVICE, {"2"})), 0u);
    // The clone's own erase, and the Flash write's with erase before programming on;
    // the EEPROM write runs with the option off.
    EXPECT_EQ(TraceOf("EraseChip").size(), 2u);
    EXPECT_EQ(ChipBytes("CLONECHIP", "flash", 256), source_flash_);
    EXPECT_EQ(ChipBytes("CLONECHIP", "eeprom", 64), source_eeprom_);
}

TEST_F(CloneCommand, WaitsAndStatusOfASuccessfulPass)
{
    Start();
    main_->FChipEraseBeforeProgramming = 0;
    dialogue_.answer = [](const tk::MessageRequest& r) {
        return r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE) ? tk::mrNo : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    std::vector<unsigned> longWaits;
    for (unsigned w : waits_.waits)
        if (w == 1000)
            longWaits.push_back(w);
    // After each read of the original, after the erase, after the Flash
    // write, and before each of the two verifications.
    EXPECT_EQ(longWaits.size(), 6u);
    EXPECT_THAT(waits_.statuses, Contains(Text(S_FLASH_AND_EEPROM_PROGRAMMED_OK)));
    EXPECT_EQ(main_->FChipEraseBeforeProgramming, 0);
}

TEST_F(CloneCommand, ARefusedWritePassIsNotReportedAsSuccess)
{
    Start();
    // Power-up calls: 1 identification, 2 and 3 reading the original, 4 the Flash write.
    ConfigureDemo(std::string(kChip) + "FAIL_POWERUP=4\n");
    dialogue_.answer = [](const tk::MessageRequest& r) {
        return r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE) ? tk::mrNo : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.Count(Text(S_DEVICE_NOT_POWERED_UP)), 1u);
    EXPECT_THAT(waits_.statuses, Contains(Text(S_CLONE_NOT_PROGRAMMED, {"1"})));
    EXPECT_THAT(waits_.statuses, Not(Contains(Text(S_FLASH_AND_EEPROM_PROGRAMMED_OK))));
    EXPECT_EQ(main_->FChipEraseBeforeProgramming, 1) << "the option is restored";
}

TEST_F(CloneCommand, AnAbortedWritePassIsNotReportedAsSuccess)
{
    Start();
    dialogue_.answer = [](const tk::MessageRequest& r) {
        if (r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE))
            return tk::mrNo;
        // Esc pressed as the clone goes into its socket; the write loop asks.
        if (r.text == Text(S_CLONE_INSERT_CLONE_DEVICE, {"1"}))
            MainUnit().AbortRequested = 1;
        if (r.text == Text(S_REALLY_ABORT_OPERATION))
            return tk::mrYes;
        return tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.Count(Text(S_REALLY_ABORT_OPERATION)), 1u);
    EXPECT_THAT(waits_.statuses, Contains(Text(S_CLONE_NOT_PROGRAMMED, {"1"})));
    EXPECT_THAT(waits_.statuses, Not(Contains(Text(S_FLASH_AND_EEPROM_PROGRAMMED_OK))));
}

TEST_F(CloneCommand, AnAbortedWritePassIsNotProgrammedWhateverPanelOneShows)
{
    Start();
    PlugInHooks::Install(MainUnit().PlugIn);
    bool aborting = false;
    // Panel 1 is no record of how a pass went: another text (in another
    // language, say) can stand there by the time the clone looks.
    PlugInHooks::afterPowerOff = [&] {
        if (aborting)
            main_->SetPanelText(1, "Operation abgebrochen.");
        aborting = false;
    };
    dialogue_.answer = [&](const tk::MessageRequest& r) {
        if (r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE))
            return tk::mrNo;
        if (r.text == Text(S_CLONE_INSERT_CLONE_DEVICE, {"1"}))
            MainUnit().AbortRequested = 1;
        if (r.text == Text(S_REALLY_ABORT_OPERATION)) {
            aborting = true;
            return tk::mrYes;
        }
        return tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.Count(Text(S_REALLY_ABORT_OPERATION)), 1u);
    EXPECT_THAT(waits_.statuses, Contains(Text(S_CLONE_NOT_PROGRAMMED, {"1"})));
    EXPECT_THAT(waits_.statuses, Not(Contains(Text(S_FLASH_AND_EEPROM_PROGRAMMED_OK))));
}

TEST_F(CloneCommand, ExitDuringAWritePassEndsTheCloneAtOnce)
{
    Start();
    main_->HandleNeeded();
    PlugInHooks::Install(MainUnit().PlugIn);
    std::size_t shownAtExit = 0;
    std::size_t waitsAtExit = 0;
    PlugInHooks::beforeWriteFlash = [&](std::int32_t address) {
        if (address != 5)
            return;
        shownAtExit = dialogue_.shown.size();
        waitsAtExit = waits_.waits.size();
        main_->Action_ExitExecute(nullptr);
    };
    // Many clones: without the end the clone would go on to the EEPROM,
    // the verifications and clone 2.
    dialogue_.answer = [](const tk::MessageRequest& r) {
        if (r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE))
            return tk::mrYes;
        return r.text == Text(S_CLONE_INSERT_CLONE_DEVICE, {"2"}) ? tk::mrCancel : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);

    EXPECT_TRUE(tk::App().Terminated());
    ASSERT_GT(shownAtExit, 0u);
    EXPECT_EQ(dialogue_.shown.size(), shownAtExit) << "no question after Exit";
    EXPECT_EQ(dialogue_.shown.back().text, Text(S_CLONE_INSERT_CLONE_DEVICE, {"1"}));
    EXPECT_EQ(waits_.waits.size(), waitsAtExit) << "no wait after Exit";
    // The device's last call powered it off, right after the interrupted write.
    const auto trace = DemoTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace.back(), "PowerOffDevice");
    EXPECT_THAT(trace[trace.size() - 2], ::testing::StartsWith("WriteFlashAddress"));
    EXPECT_THAT(TraceOf("WriteEEpromAddress"), IsEmpty());
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_EQ(main_->FChipEraseBeforeProgramming, 1) << "the option is restored";
}

TEST_F(CloneCommand, FailedAddressesAreCountedPerMemory)
{
    Start();
    ConfigureDemo(std::string(kChip) + "FAIL_WRITE_FLASH=10-12\n");
    dialogue_.answer = [](const tk::MessageRequest& r) {
        return r.text == Text(S_CLONE_MORE_THAN_ONE_DEVICE) ? tk::mrNo : tk::mrOk;
    };
    main_->Action_CloneExecute(nullptr);
    EXPECT_THAT(waits_.statuses, Contains(Text(S_PROGRAM_BOTH_ERRORS, {"3", "0"})));
}

TEST_F(CloneCommand, ARangeThatNoLongerFitsIsRefusedNotWritten)
{
    Start();
    // Options set for a larger device than the one now in the socket.
    main_->FFlashSerialNumbering = 1;
    main_->FFlashSNStartAddress = 0xFF;
    main_->FFlashSNByteCount = 2;
    main_->FFlashSNStartValue = 0;
    main_->FFlashSNIncrement = 1;
    main_->FFlashMaxClones = 100;
    const auto before = MainUnit().FlashBuffer.size();
    dialogue_.answer = [](const tk::MessageRequest&) { return tk::mrOk; };
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.shown.back().text, Text(S_CLONE_TOO_MANY_BYTES));
    EXPECT_EQ(dialogue_.Count(Text(S_CLONE_MODIFYING_DATA, {"1"})), 0u);
    EXPECT_THAT(TraceOf("EraseChip"), IsEmpty());
    EXPECT_EQ(MainUnit().FlashBuffer.size(), before);
}

TEST_F(CloneCommand, WhileBusyNothingIsTouched)
{
    Start();
    MainUnit().Busy = 1;
    main_->Action_CloneExecute(nullptr);
    main_->MnuCloningOptionsClick(nullptr);
    EXPECT_EQ(dialogue_.Texts(),
              (std::vector<std::string>{"Cancel the current operation first!", "Cancel the current operation first!"}));
    EXPECT_EQ(MainUnit().Busy, 1) << "a flag set by another operation stays set";
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_TRUE(DemoTrace().empty());
    MainUnit().Busy = 0;
}

TEST_F(CloneCommand, WithoutAnAdapterTheCloneStops)
{
    Start();
    ConfigureDemo(std::string(kChip) + "ADAPTER=0\n");
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.Texts(), std::vector<std::string>{Text(S_PROGRAMMER_NOT_FOUND, {"378"})});
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(CloneCommand, CloningOptionsShowsTheDialogOutsideCommandModeOnly)
{
    Start();
    modals_.Expect([this](tk::Form& shown) {
        EXPECT_EQ(&shown, clone_);
        EXPECT_EQ(MainUnit().Busy, 1);
        return tk::mrOk;
    });
    main_->MnuCloningOptionsClick(nullptr);
    EXPECT_EQ(modals_.Shown(), 1);
    EXPECT_EQ(MainUnit().Busy, 0);
    main_->FCommandMode = 1;
    main_->MnuCloningOptionsClick(nullptr);
    EXPECT_EQ(modals_.Shown(), 1);
    EXPECT_TRUE(dialogue_.shown.empty());
}

TEST_F(CloneCommand, CloningOptionsWithoutAPlugInSaysSo)
{
    dialogue_.answer = [](const tk::MessageRequest&) { return tk::mrOk; };
    main_ = &CreateMainForm();
    dialogue_.shown.clear();
    main_->MnuCloningOptionsClick(nullptr);
    main_->Action_CloneExecute(nullptr);
    EXPECT_EQ(dialogue_.Texts(), (std::vector<std::string>{Text(S_NO_PLUGIN_SELECTED), Text(S_NO_PLUGIN_SELECTED)}));
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_EQ(MainUnit().Busy, 0);
}
