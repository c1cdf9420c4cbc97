// The main window's special-bits command against the demonstration chip:
// read, show, change and write a category; Cancel; refused power-up and
// programming enable (the device always ends powered off); categories
// without named bits; command mode with a script's list; port release.
#include "DeviceTestSupport.h"
#include "programmer/SpecialBits.h"
#include "resources/StringIds.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

class SpecialBitsCommand : public DeviceFixture {
protected:
    TMainForm& Start(const std::string& config = "DEVICE=ATDEMO8\n", bool commandMode = false)
    {
        TMainForm& form = StartWithDevice(config, commandMode);
        sb_ = tk::Create<TSBForm>(tk::App());
        return form;
    }

    // Calls in the trace after the identification, without their details.
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (const std::string& line : DemoTrace())
            calls.push_back(line.substr(0, line.find(' ')));
        return calls;
    }

    TSBForm* sb_ = nullptr;
};

}  // namespace

TEST_F(SpecialBitsCommand, ReadsShowsAndWritesTheChangedCategory)
{
    TMainForm& form = Start();
    modals_.Expect([this](tk::Form& shown) {
        EXPECT_EQ(&shown, sb_);
        EXPECT_EQ(sb_->Caption(), "Fuse Bits");
        EXPECT_EQ(sb_->Label1->Caption(), "Read Fuse Bits for ATDEMO8:");
        tk::StringGrid& grid = *sb_->SpecBitsGrid;
        EXPECT_EQ(grid.RowCount(), 9);
        EXPECT_EQ(grid.Cells(1, 4), "CKSEL3");
        EXPECT_EQ(grid.Cells(2, 4), "No");
        EXPECT_EQ(grid.Cells(2, 1), "Yes");
        // The user clicks the "Programmed" cell of CKSEL3 and ticks the box.
        bool canSelect = true;
        sb_->SpecBitsGridSelectCell(&grid, 2, 4, canSelect);
        EXPECT_TRUE(sb_->ProgYN->Visible());
        sb_->ProgYN->Toggle();
        EXPECT_EQ(grid.Cells(2, 4), "Yes");
        return tk::mrOk;
    });
    form.ProgramSpecialBits(form.BtSpecialBits1);

    EXPECT_TRUE(messages_.Shown().empty());
    EXPECT_EQ(form.FSpecialBits, (std::vector<std::uint8_t>{1, 1, 1, 1, 0, 1, 0, 1}));
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), ElementsAre("WriteSpecialBits1 1,1,1,1,0,1,0,1"));
    EXPECT_THAT(TraceOf("ReadSpecialBits1"), ElementsAre("ReadSpecialBits1 7"));
    EXPECT_THAT(TraceOf("ReadSpecialBits1Names"), ElementsAre("ReadSpecialBits1Names 9999"));
    EXPECT_EQ(Calls().back(), "PowerOffDevice");
    EXPECT_THAT(ReadTextFile(DemoFile("ATDEMO8.sbits")), HasSubstr("CKSEL3:1"));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(SpecialBitsCommand, TheMenuItemsPickTheirCategory)
{
    TMainForm& form = Start();
    modals_.Expect([this](tk::Form&) {
        EXPECT_EQ(sb_->Caption(), "Lock Bits");
        EXPECT_EQ(sb_->SpecBitsGrid->RowCount(), 3);
        return tk::mrOk;
    });
    form.ProgramSpecialBits(form.MnuSpecialBits2);
    EXPECT_THAT(TraceOf("WriteSpecialBits2"), ElementsAre("WriteSpecialBits2 0,0"));
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), IsEmpty());
}

TEST_F(SpecialBitsCommand, CancelWritesNothingAndNamesTheCategory)
{
    TMainForm& form = Start();
    modals_.Expect([](tk::Form&) { return tk::mrCancel; });
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits3);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Extended Bits programming has been canceled"});
    EXPECT_THAT(TraceOf("WriteSpecialBits3"), IsEmpty());
    EXPECT_EQ(Calls().back(), "PowerOffDevice");
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(SpecialBitsCommand, AFailedPowerUpEndsBeforeTheRead)
{
    TMainForm& form = Start();
    // Call 1 was the identification's.
    ConfigureDemo("DEVICE=ATDEMO8\nFAIL_POWERUP=2\n");
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{Text(S_DEVICE_NOT_POWERED_UP)});
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_THAT(Calls(), Not(Contains("ReadSpecialBits1")));
    EXPECT_THAT(Calls(), Not(Contains("EnableProgramming")));
    EXPECT_THAT(Calls(), Not(Contains("WriteSpecialBits1")));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(SpecialBitsCommand, ARefusedEnableBeforeTheReadPowersTheDeviceOff)
{
    TMainForm& form = Start();
    ConfigureDemo("DEVICE=ATDEMO8\nFAIL_ENABLE=1\n");
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{Text(S_DEVICE_NOT_ENABLED)});
    EXPECT_EQ(modals_.Shown(), 0);
    const auto trace = DemoTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "EnableProgramming FAIL");
    EXPECT_EQ(trace.back(), "PowerOffDevice");
}

TEST_F(SpecialBitsCommand, ARefusedEnableBeforeTheWritePowersTheDeviceOff)
{
    TMainForm& form = Start();
    ConfigureDemo("DEVICE=ATDEMO8\nFAIL_ENABLE=2\n");
    modals_.Expect([](tk::Form&) { return tk::mrOk; });
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{Text(S_DEVICE_NOT_ENABLED)});
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), IsEmpty());
    const auto trace = DemoTrace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "EnableProgramming FAIL");
    EXPECT_EQ(trace.back(), "PowerOffDevice");
}

TEST_F(SpecialBitsCommand, ACategoryWithoutBitsOrWithUnnamedBitsGivesNoDialogAndNoWrite)
{
    ASSERT_TRUE(WriteTextFile(DemoFile("ATDEMO8.sbits"), "BITS2=\nBITS3=:1|:0\n"));
    TMainForm& form = Start();
    form.ProgramSpecialBits(form.BtSpecialBits2);
    form.ProgramSpecialBits(form.BtSpecialBits3);
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_TRUE(messages_.Shown().empty());
    EXPECT_THAT(TraceOf("WriteSpecialBits2"), IsEmpty());
    EXPECT_THAT(TraceOf("WriteSpecialBits3"), IsEmpty());
    EXPECT_EQ(form.FSpecialBits, (std::vector<std::uint8_t>{1, 0})) << "the unnamed bits were read";
    EXPECT_EQ(Calls().back(), "PowerOffDevice");
}

TEST_F(SpecialBitsCommand, CommandModeWritesTheScriptsListWithoutReadingOrAsking)
{
    TMainForm& form = Start("DEVICE=ATDEMO8\n", /*commandMode=*/true);
    form.FCommandMode = 1;
    form.FSpecialBits = {1, 0};  // a script's list shorter than the category
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_THAT(TraceOf("ReadSpecialBits1"), IsEmpty());
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), ElementsAre("WriteSpecialBits1 1,0,0,0,0,0,0,0"));

    form.FSpecialBits = {0, 1, 0, 1, 0, 1, 0, 1, 1, 1};  // longer: cut to the bit count
    ClearDemoTrace();
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), ElementsAre("WriteSpecialBits1 0,1,0,1,0,1,0,1"));
    EXPECT_EQ(form.FSpecialBits.size(), 8u);

    // Unnamed bits are written in command mode too.
    ASSERT_TRUE(WriteTextFile(DemoFile("ATDEMO8.sbits"), "BITS3=:1|:0\n"));
    form.FSpecialBits = {1, 1};
    ClearDemoTrace();
    form.ProgramSpecialBits(form.BtSpecialBits3);
    EXPECT_THAT(TraceOf("WriteSpecialBits3"), ElementsAre("WriteSpecialBits3 1,1"));
}

TEST_F(SpecialBitsCommand, CommandModeKeepsTheEarlierValuesOfBitsAScriptDidNotName)
{
    TMainForm& form = Start("DEVICE=ATDEMO8\n", /*commandMode=*/true);
    form.FCommandMode = 1;
    form.FSpecialBits = {1, 1, 1, 1, 1, 1, 1, 1};
    form.ProgramSpecialBits(form.BtSpecialBits1);
    // A later list that names only the first two bits leaves the others as they were.
    form.FSpecialBits[0] = 0;
    form.FSpecialBits[1] = 0;
    ClearDemoTrace();
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_THAT(TraceOf("WriteSpecialBits1"), ElementsAre("WriteSpecialBits1 0,0,1,1,1,1,1,1"));
}

TEST_F(SpecialBitsCommand, PortLinesAreReleasedAfterwardsAlsoAfterARefusal)
{
    TMainForm& form = Start();
    form.FReleasePortLines = 1;
    ConfigureDemo("DEVICE=ATDEMO8\nFAIL_POWERUP=2\n");
    driver_.ClearLogs();
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_THAT(driver_.RequestLog(), ElementsAre("W 0378=FF"));
}

TEST_F(SpecialBitsCommand, WhileBusyTheCommandIsRefused)
{
    TMainForm& form = Start();
    MainUnit().Busy = 1;
    messages_.Answer(tk::mrOk);
    form.ProgramSpecialBits(form.BtSpecialBits1);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Cancel the current operation first!"});
    EXPECT_EQ(MainUnit().Busy, 1);
    EXPECT_TRUE(DemoTrace().empty());
    MainUnit().Busy = 0;
}
