// The main window's fill command with the Fill Buffer dialog: ranges,
// values and their error boxes, the order of the two parts, command mode,
// Cancel, a device without EEPROM and the shared prologue.
#include "DeviceTestSupport.h"
#include "programmer/FillBuffers.h"
#include "resources/StringIds.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

// Flash and EEPROM of 256 bytes each.
constexpr const char* kSmallChip = "DEVICE=SMALL\nFLASH_SIZE=256\nEEPROM_SIZE=256\n";

struct PartTexts {
    std::string start, end, value;
};

class FillCommand : public DeviceFixture {
protected:
    TMainForm& Start(const std::string& config = kSmallChip, bool commandMode = false)
    {
        TMainForm& form = StartWithDevice(config, commandMode);
        fill_ = tk::Create<TFillForm>(tk::App());
        MainUnit().FlashBuffer.assign(MainUnit().FlashBuffer.size(), 7);
        MainUnit().EEpromBuffer.assign(MainUnit().EEpromBuffer.size(), 9);
        return form;
    }

    static void Set(tk::Edit* start, tk::Edit* end, tk::Edit* value, const PartTexts& t)
    {
        start->SetText(t.start);
        end->SetText(t.end);
        value->SetText(t.value);
    }

    // The user fills in the dialog and presses `result`.
    void ExpectDialog(const PartTexts& flash, const PartTexts& eeprom, tk::ModalResult result = tk::mrOk)
    {
        modals_.Expect([this, flash, eeprom, result](tk::Form& shown) {
            EXPECT_EQ(&shown, fill_);
            Set(fill_->EdtFStartAdd, fill_->EdtFEndAdd, fill_->EdtFFillValue, flash);
            Set(fill_->EdtEStartAdd, fill_->EdtEEndAdd, fill_->EdtEFillValue, eeprom);
            return result;
        });
    }

    std::vector<std::int32_t>& Flash() { return MainUnit().FlashBuffer; }
    std::vector<std::int32_t>& EEprom() { return MainUnit().EEpromBuffer; }

    TFillForm* fill_ = nullptr;
};

std::vector<std::int32_t> Filled(std::size_t size, std::int32_t base, std::size_t from, std::size_t to, std::int32_t value)
{
    std::vector<std::int32_t> v(size, base);
    for (std::size_t a = from; a <= to && a < size; ++a)
        v[a] = value;
    return v;
}

}  // namespace

TEST_F(FillCommand, FillsTheFlashRangeAndSkipsAnEmptyEEpromPart)
{
    TMainForm& form = Start();
    ExpectDialog({"10", "1F", "AA"}, {"", "", ""});
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(modals_.Shown(), 1);
    EXPECT_EQ(Flash(), Filled(256, 7, 16, 31, 170));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
    EXPECT_EQ(form.FlashView().CellText(1, 2), "AA") << "the Flash grid is redrawn";
    EXPECT_TRUE(messages_.Shown().empty());
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_TRUE(fill_->FB1->Enabled());
    EXPECT_EQ(fill_->FB1->Caption(), "Flash Buffer");
}

TEST_F(FillCommand, FillsBothParts)
{
    TMainForm& form = Start();
    ExpectDialog({"0", "0", "1"}, {"FE", "FF", "1FF"});
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(Flash(), Filled(256, 7, 0, 0, 1));
    EXPECT_EQ(EEprom(), Filled(256, 9, 254, 255, 255));
    EXPECT_EQ(form.EEpromView().CellText(16, 16), "FF");
}

TEST_F(FillCommand, ANegativeValueIsAnErrorBoxAndTheEEpromPartDoesNotRun)
{
    TMainForm& form = Start();
    ExpectDialog({"0", "F", "-1"}, {"0", "F", "1"});
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_EQ(messages_.Shown()[0].text, "$-1 is not a correct HEX number.");
    EXPECT_EQ(messages_.Shown()[0].type, tk::mtError);
    EXPECT_EQ(messages_.Shown()[0].buttons, tk::mbOK);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(FillCommand, AddressesPastTheEndAreRefused)
{
    TMainForm& form = Start();
    ExpectDialog({"100", "10", "0"}, {"", "", ""});
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Starting address is too high!"});

    messages_.Clear();
    ExpectDialog({"10", "100", "0"}, {"", "", ""});
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Ending address is too high."});
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
}

TEST_F(FillCommand, AnEndBelowTheStartStoresNothingAndTheEEpromPartStillRuns)
{
    TMainForm& form = Start();
    ExpectDialog({"20", "10", "0"}, {"0", "1", "33"});
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
    EXPECT_EQ(EEprom(), Filled(256, 9, 0, 1, 0x33));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(FillCommand, AnErrorInTheEEpromPartKeepsTheFlashFill)
{
    TMainForm& form = Start();
    ExpectDialog({"0", "3", "44"}, {"0", "3", "zz"});
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"$zz is not a correct HEX number."});
    EXPECT_EQ(Flash(), Filled(256, 7, 0, 3, 0x44));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
}

TEST_F(FillCommand, FillAllWithAnEmptyValueShowsALoneDollar)
{
    TMainForm& form = Start();
    modals_.Expect([this](tk::Form&) {
        fill_->EdtFStartAdd->SetText("5");
        fill_->CB2->SetChecked(true);
        fill_->EdtFFillValue->SetText("");
        return tk::mrOk;
    });
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"$ is not a correct HEX number."});
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
}

TEST_F(FillCommand, FillAllCoversTheWholeBuffer)
{
    TMainForm& form = Start();
    modals_.Expect([this](tk::Form&) {
        fill_->CB2->SetChecked(true);
        fill_->EdtFFillValue->SetText("C3");
        fill_->FB2->SetChecked(false);
        return tk::mrOk;
    });
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 0xC3));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
}

TEST_F(FillCommand, AnUncheckedPartIsNotFilled)
{
    TMainForm& form = Start();
    modals_.Expect([this](tk::Form&) {
        fill_->EdtFStartAdd->SetText("0");
        fill_->EdtFEndAdd->SetText("0");
        fill_->EdtFFillValue->SetText("1");
        fill_->FB1->SetChecked(false);
        return tk::mrOk;
    });
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
}

TEST_F(FillCommand, CancelChangesNoBuffer)
{
    TMainForm& form = Start();
    ExpectDialog({"0", "FF", "1"}, {"0", "FF", "1"}, tk::mrCancel);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 7));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(FillCommand, ADeviceWithoutEEpromGreysItsPartWhichStillRunsOnOneElement)
{
    TMainForm& form = Start("DEVICE=ATDEMOFL\n");
    ASSERT_EQ(EEprom().size(), 1u);
    modals_.Expect([this](tk::Form&) {
        EXPECT_FALSE(fill_->FB2->Enabled());
        EXPECT_EQ(fill_->FB2->Caption(), "No EEPROM data!");
        EXPECT_TRUE(fill_->FB2->Checked());
        EXPECT_FALSE(fill_->EdtEFillValue->Enabled());
        fill_->EdtEStartAdd->SetText("0");
        fill_->EdtEEndAdd->SetText("0");
        fill_->EdtEFillValue->SetText("5");
        return tk::mrOk;
    });
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>{5});
}

TEST_F(FillCommand, CommandModeShowsNoDialogAndUsesTheControlsAsSet)
{
    TMainForm& form = Start(kSmallChip, /*commandMode=*/true);
    form.FCommandMode = 1;
    // As the script keywords would set them.
    fill_->FB1->SetChecked(true);
    fill_->CB2->SetChecked(true);
    fill_->EdtFFillValue->SetText("AB");
    fill_->FB2->SetChecked(false);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_EQ(Flash(), std::vector<std::int32_t>(256, 0xAB));
    EXPECT_EQ(EEprom(), std::vector<std::int32_t>(256, 9));
}

TEST_F(FillCommand, TheDialogKeepsItsStateBetweenFills)
{
    TMainForm& form = Start();
    ExpectDialog({"1", "2", "3"}, {"", "", ""});
    form.Action_FillBufferExecute(nullptr);
    modals_.Expect([this](tk::Form&) {
        EXPECT_EQ(fill_->EdtFStartAdd->Text(), "1");
        EXPECT_EQ(fill_->EdtFFillValue->Text(), "3");
        return tk::mrCancel;
    });
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(modals_.Shown(), 2);
}

TEST_F(FillCommand, WhileBusyTheCommandIsRefused)
{
    TMainForm& form = Start();
    MainUnit().Busy = 1;
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Cancel the current operation first!"});
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_EQ(MainUnit().Busy, 1);
    MainUnit().Busy = 0;
}

TEST_F(FillCommand, WithoutAnAdapterTheDialogIsNotShown)
{
    TMainForm& form = Start();
    ConfigureDemo(std::string(kSmallChip) + "ADAPTER=0\n");
    messages_.Answer(tk::mrOk);
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(messages_.Texts(), std::vector<std::string>{Text(S_PROGRAMMER_NOT_FOUND, {"378"})});
    EXPECT_EQ(modals_.Shown(), 0);
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(FillCommand, WithoutAPlugInNoDeviceIsDetected)
{
    messages_.Answer(tk::mrOk);  // the port-kind message
    TMainForm& form = CreateMainForm();
    fill_ = tk::Create<TFillForm>(tk::App());
    messages_.Clear();
    messages_.Answer(tk::mrOk);  // no plug-in selected
    messages_.Answer(tk::mrOk);  // programming device not found
    form.Action_FillBufferExecute(nullptr);
    EXPECT_EQ(modals_.Shown(), 0);
    ASSERT_FALSE(messages_.Texts().empty());
    EXPECT_EQ(messages_.Texts()[0], Text(S_NO_PLUGIN_SELECTED));
}
