// FillBuffers: the Fill Buffer dialog, the range fill and the main window's
// fill command.
#include "programmer/FillBuffers.h"

#include "programmer/Main.h"
#include "resources/StringIds.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

namespace {

const tk::ClassRegistration<TFillForm> kFillFormReg("TFillForm", "TForm");

TFillForm* g_fillForm = nullptr;

// "$" + text as a 32-bit number read unsigned; false (with the text as the
// message shows it) when it does not convert.
bool ReadHex(const std::string& text, std::int64_t& value, TFillOutcome& outcome)
{
    std::int32_t v = 0;
    if (!tk::TryStrToInt("$" + text, v)) {
        outcome.Result = TFillResult::NotAHexNumber;
        outcome.BadText = "$" + text;
        return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

}  // namespace

// --- the fill ---------------------------------------------------------------------------

TFillOutcome FillBufferRange(std::vector<std::int32_t>& buffer, const TFillRequest& request)
{
    TFillOutcome outcome;
    if (request.StartText.empty() && request.EndText.empty() && request.ValueText.empty()) {
        outcome.Result = TFillResult::Skipped;
        return outcome;
    }
    const std::int64_t highest = static_cast<std::int64_t>(buffer.size()) - 1;
    std::int64_t start = 0;
    std::int64_t end = highest;
    std::int64_t value = 0;
    if (!request.WholeBuffer) {
        if (!ReadHex(request.StartText, start, outcome))
            return outcome;
        if (start > highest) {
            outcome.Result = TFillResult::StartTooHigh;
            return outcome;
        }
        if (!ReadHex(request.EndText, end, outcome))
            return outcome;
        if (end > highest) {
            outcome.Result = TFillResult::EndTooHigh;
            return outcome;
        }
    }
    if (!ReadHex(request.ValueText, value, outcome))
        return outcome;
    const std::int32_t byte = static_cast<std::int32_t>(value & 0xFF);
    for (std::int64_t a = start; a <= end; ++a)
        buffer[static_cast<std::size_t>(a)] = byte;
    return outcome;
}

// --- the dialog -------------------------------------------------------------------------

TFillForm* FillForm() { return g_fillForm; }

TFillForm::TFillForm()
{
    if (!g_fillForm)
        g_fillForm = this;

    BindHandler("CB2Click", &TFillForm::CB2Click);
    BindHandler("CB1Click", &TFillForm::CB1Click);
    BindHandler("FB1Click", &TFillForm::FB1Click);
    BindHandler("FB2Click", &TFillForm::FB2Click);

    BindField("GroupFlash", GroupFlash);
    BindField("FB1", FB1);
    BindField("EdtFStartAdd", EdtFStartAdd);
    BindField("CB2", CB2);
    BindField("EdtFEndAdd", EdtFEndAdd);
    BindField("EdtFFillValue", EdtFFillValue);
    BindField("LblFStartAdd", LblFStartAdd);
    BindField("LblFEndAdd", LblFEndAdd);
    BindField("LblFFillValue", LblFFillValue);
    BindField("LblFHex", LblFHex);
    BindField("GroupEEprom", GroupEEprom);
    BindField("FB2", FB2);
    BindField("EdtEStartAdd", EdtEStartAdd);
    BindField("CB1", CB1);
    BindField("EdtEEndAdd", EdtEEndAdd);
    BindField("EdtEFillValue", EdtEFillValue);
    BindField("LblEStartAdd", LblEStartAdd);
    BindField("LblEEndAdd", LblEEndAdd);
    BindField("LblEFillValue", LblEFillValue);
    BindField("LblEHex", LblEHex);
    BindField("BtnOK", BtnOK);
    BindField("BtnCancel", BtnCancel);

    ReadDescription();
}

TFillForm::~TFillForm()
{
    if (g_fillForm == this)
        g_fillForm = nullptr;
}

void TFillForm::CB2Click(tk::Component*)
{
    const bool range = !CB2->Checked();
    for (tk::Control* c : {static_cast<tk::Control*>(EdtFStartAdd), static_cast<tk::Control*>(EdtFEndAdd),
                           static_cast<tk::Control*>(LblFStartAdd), static_cast<tk::Control*>(LblFEndAdd)})
        c->SetEnabled(range);
}

void TFillForm::CB1Click(tk::Component*)
{
    const bool range = !CB1->Checked();
    for (tk::Control* c : {static_cast<tk::Control*>(EdtEStartAdd), static_cast<tk::Control*>(EdtEEndAdd),
                           static_cast<tk::Control*>(LblEStartAdd), static_cast<tk::Control*>(LblEEndAdd)})
        c->SetEnabled(range);
}

void TFillForm::FB1Click(tk::Component*)
{
    const bool on = FB1->Checked();
    CB2->SetEnabled(on);
    // Unchecking runs CB2Click, which enables the range edits again.
    if (on)
        CB2->SetChecked(false);
    for (tk::Control* c : {static_cast<tk::Control*>(EdtFStartAdd), static_cast<tk::Control*>(EdtFEndAdd),
                           static_cast<tk::Control*>(EdtFFillValue), static_cast<tk::Control*>(LblFStartAdd),
                           static_cast<tk::Control*>(LblFEndAdd), static_cast<tk::Control*>(LblFFillValue),
                           static_cast<tk::Control*>(LblFHex)})
        c->SetEnabled(on);
}

void TFillForm::FB2Click(tk::Component*)
{
    const bool on = FB2->Checked();
    CB1->SetEnabled(on);
    if (on)
        CB1->SetChecked(false);
    for (tk::Control* c : {static_cast<tk::Control*>(EdtEStartAdd), static_cast<tk::Control*>(EdtEEndAdd),
                           static_cast<tk::Control*>(EdtEFillValue), static_cast<tk::Control*>(LblEStartAdd),
                           static_cast<tk::Control*>(LblEEndAdd), static_cast<tk::Control*>(LblEFillValue),
                           static_cast<tk::Control*>(LblEHex)})
        c->SetEnabled(on);
}

TFillRequest TFillForm::FlashRequest() const
{
    return TFillRequest{CB2->Checked(), EdtFStartAdd->Text(), EdtFEndAdd->Text(), EdtFFillValue->Text()};
}

TFillRequest TFillForm::EEpromRequest() const
{
    return TFillRequest{CB1->Checked(), EdtEStartAdd->Text(), EdtEEndAdd->Text(), EdtEFillValue->Text()};
}

void TFillForm::PrepareFor(bool flashEnabled, bool eepromEnabled)
{
    FB1->SetEnabled(flashEnabled);
    FB1->SetCaption(tk::LoadStr(flashEnabled ? S_FILL_FLASH_BUFFER : S_FILL_NO_FLASH_DATA));
    for (tk::Edit* edit : {EdtFStartAdd, EdtFEndAdd, EdtFFillValue})
        edit->SetEnabled(flashEnabled);
    FB2->SetEnabled(eepromEnabled);
    FB2->SetCaption(tk::LoadStr(eepromEnabled ? S_FILL_EEPROM_BUFFER : S_FILL_NO_EEPROM_DATA));
    for (tk::Edit* edit : {EdtEStartAdd, EdtEEndAdd, EdtEFillValue})
        edit->SetEnabled(eepromEnabled);
}

// --- the main window's fill command ----------------------------------------------------

namespace {

TFillForm& EnsureFillForm()
{
    if (TFillForm* form = FillForm())
        return *form;
    return *tk::Create<TFillForm>(tk::App());
}

// Reports a part that could not be filled; false ends the command.
bool ReportFill(const TFillOutcome& outcome)
{
    std::string message;
    switch (outcome.Result) {
    case TFillResult::Filled:
    case TFillResult::Skipped:
        return true;
    case TFillResult::NotAHexNumber:
        message = tk::FmtLoadStr(S_NOT_A_CORRECT_HEX_NUMBER, {outcome.BadText});
        break;
    case TFillResult::StartTooHigh:
        message = tk::LoadStr(S_FILL_START_ADDRESS_TOO_HIGH);
        break;
    case TFillResult::EndTooHigh:
        message = tk::LoadStr(S_FILL_END_ADDRESS_TOO_HIGH);
        break;
    }
    tk::MessageDlg(message, tk::mtError, tk::mbOK);
    return false;
}

}  // namespace

void TMainForm::Action_FillBufferExecute(tk::Component*)
{
    TCommandResult result(*this);
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!CheckProgrammer())
        return;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }

    TFillForm& form = EnsureFillForm();
    form.PrepareFor(unit.FlashEnabled != 0, unit.EEpromEnabled != 0);
    if (!FCommandMode && form.ShowModal() != tk::mrOk)
        return;

    // A part runs by its check mark alone, even when its box is grey.
    if (form.FB1->Checked()) {
        const TFillOutcome outcome = FillBufferRange(unit.FlashBuffer, form.FlashRequest());
        if (!ReportFill(outcome))
            return;
        if (outcome.Result == TFillResult::Filled)
            ShowFlashBuffer();
    }
    if (form.FB2->Checked()) {
        const TFillOutcome outcome = FillBufferRange(unit.EEpromBuffer, form.EEpromRequest());
        if (!ReportFill(outcome))
            return;
        if (outcome.Result == TFillResult::Filled)
            ShowEEpromBuffer();
    }
    result.Done();
}
