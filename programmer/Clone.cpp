// Clone: the Cloning Options dialog, the serial-number arithmetic and the
// main window's two cloning commands.
#include "programmer/Clone.h"

#include "programmer/Main.h"
#include "resources/StringIds.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

#include <algorithm>

namespace {

const tk::ClassRegistration<TCloneForm> kCloneFormReg("TCloneForm", "TForm");

TCloneForm* g_cloneForm = nullptr;

// The fixed waits between the steps of a clone pass.
constexpr unsigned kCloneWaitMs = 1000;

void CloneWait() { tk::SleepBeepSeam()->Sleep(kCloneWaitMs); }

// Edits hold validated numbers; a text that still does not convert counts as 0.
std::int64_t QuietValue(const tk::Edit& edit, TCloneForm::TValueKind kind)
{
    std::int32_t v = 0;
    if (kind == TCloneForm::TValueKind::Hex) {
        if (!tk::TryStrToInt("$" + edit.Text(), v))
            return 0;
        return static_cast<std::uint32_t>(v);
    }
    if (!tk::TryStrToInt(edit.Text(), v))
        return 0;
    return v;
}

}  // namespace

// --- serial-number arithmetic -------------------------------------------------------

std::int64_t SerialIntPower(std::int64_t base, std::int64_t exponent)
{
    std::int64_t result = 1;
    for (std::int64_t i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

std::int64_t SerialCloneCount(std::int64_t byteCount, std::int64_t startValue, std::int64_t increment)
{
    const std::int64_t max = SerialIntPower(256, std::clamp<std::int64_t>(byteCount, 0, MaxSerialNumberBytes));
    if (startValue < 0 || startValue >= max)
        return 0;
    if (increment == 0)
        return max;
    if (increment < 0)
        // Counting down: start, start - |inc|, ... while the number stays >= 0.
        return startValue / -increment + 1;
    // (max - start) div increment; never more than max, and the last clone's
    // number start + increment * (count - 1) stays below max.
    return (max - startValue) / increment;
}

std::int64_t SerialNumberOf(std::int64_t startValue, std::int64_t increment, std::int64_t cloneNumber)
{
    return startValue + increment * (cloneNumber - 1);
}

bool SerialNumberFits(std::int64_t value, std::int64_t byteCount)
{
    if (value < 0 || byteCount < 0)
        return false;
    if (byteCount >= 8)
        return true;
    return value < SerialIntPower(256, byteCount);
}

std::vector<std::uint8_t> SerialNumberBytes(std::int64_t value, std::int64_t byteCount, bool msbFirst)
{
    std::vector<std::uint8_t> bytes;
    if (byteCount <= 0)
        return bytes;
    const auto bits = static_cast<std::uint64_t>(value);
    bytes.resize(static_cast<std::size_t>(byteCount));
    for (std::int64_t k = 0; k < byteCount; ++k) {
        // Byte k counted from the least significant end.
        const std::int64_t shift = 8 * k;
        const std::uint8_t b = shift < 64 ? static_cast<std::uint8_t>(bits >> shift) : 0;
        const std::int64_t index = msbFirst ? byteCount - 1 - k : k;
        bytes[static_cast<std::size_t>(index)] = b;
    }
    return bytes;
}

bool SerialRangeFits(std::int64_t startAddress, std::int64_t byteCount, std::int64_t bufferLength)
{
    return startAddress >= 0 && byteCount >= 0 && startAddress + byteCount <= bufferLength;
}

// --- the dialog ---------------------------------------------------------------------

TCloneForm* CloneForm() { return g_cloneForm; }

TCloneForm::TCloneForm()
{
    if (!g_cloneForm)
        g_cloneForm = this;

    BindHandler("FormCreate", &TCloneForm::FormCreate);
    BindHandler("FCheckClick", &TCloneForm::FCheckClick);
    BindHandler("ECheckClick", &TCloneForm::ECheckClick);
    BindHandler("EdFStartAddChange", &TCloneForm::EdFStartAddChange);
    BindHandler("EdEStartAddChange", &TCloneForm::EdEStartAddChange);
    BindHandler("EdFByte2FillChange", &TCloneForm::EdFByte2FillChange);
    BindHandler("EdEByte2FillChange", &TCloneForm::EdEByte2FillChange);
    BindHandler("EdFStartValChange", &TCloneForm::EdFStartValChange);
    BindHandler("EdEStartValChange", &TCloneForm::EdEStartValChange);
    BindHandler("EdFStepChange", &TCloneForm::EdFStepChange);
    BindHandler("EdEStepChange", &TCloneForm::EdEStepChange);
    BindHandler("CBFMsbClick", &TCloneForm::CBFMsbClick);
    BindHandler("CBEMsbClick", &TCloneForm::CBEMsbClick);
    BindHandler("BitBtn1Click", &TCloneForm::BitBtn1Click);
    BindHandler("BitBtn2Click", &TCloneForm::BitBtn2Click);

    BindField("Panel1", Panel1);
    BindField("FCheck", FCheck);
    BindField("ECheck", ECheck);
    BindField("EdFStartAdd", EdFStartAdd);
    BindField("EdEStartAdd", EdEStartAdd);
    BindField("EdFByte2Fill", EdFByte2Fill);
    BindField("EdEByte2Fill", EdEByte2Fill);
    BindField("EdFStartVal", EdFStartVal);
    BindField("EdEStartVal", EdEStartVal);
    BindField("EdFStep", EdFStep);
    BindField("EdEStep", EdEStep);
    BindField("FClones", FClones);
    BindField("EClones", EClones);
    BindField("CBFMsb", CBFMsb);
    BindField("CBEMsb", CBEMsb);
    BindField("BitBtn1", BitBtn1);
    BindField("BitBtn2", BitBtn2);

    ReadDescription();
}

TCloneForm::~TCloneForm()
{
    if (g_cloneForm == this)
        g_cloneForm = nullptr;
}

TMainForm* TCloneForm::Target() const { return target_ ? target_ : MainForm(); }

TCloneForm::TMemory TCloneForm::Flash()
{
    return TMemory{&flash_, FCheck, EdFStartAdd, EdFByte2Fill, EdFStartVal, EdFStep, FClones, CBFMsb, true};
}

TCloneForm::TMemory TCloneForm::EEprom()
{
    return TMemory{&eeprom_, ECheck, EdEStartAdd, EdEByte2Fill, EdEStartVal, EdEStep, EClones, CBEMsb, false};
}

std::int64_t TCloneForm::MemorySize(const TMemory& m) const
{
    const TMainForm* target = Target();
    if (!target)
        return 0;
    return m.flash ? target->FFlashSize : target->FEEpromSize;
}

void TCloneForm::FormCreate(tk::Component*)
{
    flash_ = TSerialWork{};
    eeprom_ = TSerialWork{};
    if (TMainForm* target = Target()) {
        target->FFlashSNMsbFirst = 1;
        target->FEEpromSNMsbFirst = 1;
    }
}

bool TCloneForm::ReadEditValue(tk::Edit& edit, TValueKind kind, std::int64_t& value)
{
    std::int32_t v = 0;
    const bool ok = kind == TValueKind::Hex ? tk::TryStrToInt("$" + edit.Text(), v) : tk::TryStrToInt(edit.Text(), v);
    if (!ok) {
        value = 0;
        tk::ShowMessage(tk::LoadStr(S_CLONE_NOT_AN_INTEGER));
        // Runs this edit's change handler again, now with 0.
        edit.SetText("0");
        return false;
    }
    // Addresses and start values are hexadecimal and never negative:
    // "FFFFFFFF" is 4294967295, not -1.
    value = kind == TValueKind::Hex ? static_cast<std::int64_t>(static_cast<std::uint32_t>(v)) : v;
    return true;
}

void TCloneForm::CheckClick(const TMemory& m)
{
    const bool on = m.check->Checked();
    for (tk::Edit* edit : {m.startAdd, m.byte2Fill, m.startVal, m.step}) {
        edit->SetEnabled(on);
        edit->SetColor(on ? tk::clWindow : tk::clBtnFace);
    }
    m.msb->SetEnabled(on);
}

void TCloneForm::FCheckClick(tk::Component*) { CheckClick(Flash()); }

void TCloneForm::ECheckClick(tk::Component*) { CheckClick(EEprom()); }

void TCloneForm::StartAddChange(const TMemory& m)
{
    std::int64_t v = 0;
    if (!ReadEditValue(*m.startAdd, TValueKind::Hex, v))
        return;
    if (v + m.work->ByteCount > MemorySize(m)) {
        m.work->StartAddress = 0;
        m.startAdd->SetText("0");
        tk::ShowMessage(tk::LoadStr(S_CLONE_START_ADDRESS_TOO_HIGH));
        UpdateClones(m);
        return;
    }
    m.work->StartAddress = v;
    UpdateClones(m);
}

void TCloneForm::Byte2FillChange(const TMemory& m)
{
    std::int64_t v = 0;
    if (!ReadEditValue(*m.byte2Fill, TValueKind::Dec, v))
        return;
    // A negative count has no meaning; it is refused like one that is too large.
    if (m.work->StartAddress + v > MemorySize(m) || v > MaxSerialNumberBytes || v < 0) {
        m.work->ByteCount = 0;
        m.work->Max = 1;
        m.byte2Fill->SetText("0");
        tk::ShowMessage(tk::LoadStr(S_CLONE_TOO_MANY_BYTES));
        UpdateClones(m);
        return;
    }
    m.work->ByteCount = v;
    m.work->Max = IntPower(256, v);
    UpdateClones(m);
}

void TCloneForm::StartValChange(const TMemory& m)
{
    std::int64_t v = 0;
    if (!ReadEditValue(*m.startVal, TValueKind::Hex, v))
        return;
    m.work->StartValue = v;
    UpdateClones(m);
}

void TCloneForm::StepChange(const TMemory& m)
{
    std::int64_t v = 0;
    if (!ReadEditValue(*m.step, TValueKind::Dec, v))
        return;
    m.work->Increment = v;
    UpdateClones(m);
}

void TCloneForm::EdFStartAddChange(tk::Component*) { StartAddChange(Flash()); }
void TCloneForm::EdEStartAddChange(tk::Component*) { StartAddChange(EEprom()); }
void TCloneForm::EdFByte2FillChange(tk::Component*) { Byte2FillChange(Flash()); }
void TCloneForm::EdEByte2FillChange(tk::Component*) { Byte2FillChange(EEprom()); }
void TCloneForm::EdFStartValChange(tk::Component*) { StartValChange(Flash()); }
void TCloneForm::EdEStartValChange(tk::Component*) { StartValChange(EEprom()); }
void TCloneForm::EdFStepChange(tk::Component*) { StepChange(Flash()); }
void TCloneForm::EdEStepChange(tk::Component*) { StepChange(EEprom()); }

void TCloneForm::UpdateClones(const TMemory& m)
{
    TSerialWork& work = *m.work;
    work.Max = IntPower(256, work.ByteCount);
    if (work.StartValue >= work.Max) {
        work.StartValue = 0;
        m.startVal->SetText("0");
        tk::ShowMessage(tk::LoadStr(S_CLONE_START_VALUE_TOO_HIGH));
    }
    const std::int64_t clones = SerialCloneCount(work.ByteCount, work.StartValue, work.Increment);
    m.clones->SetText(tk::IntToStr(clones));
    if (TMainForm* target = Target())
        (m.flash ? target->FFlashMaxClones : target->FEEpromMaxClones) = clones;
}

void TCloneForm::UpdateFlashClones() { UpdateClones(Flash()); }

void TCloneForm::UpdateEEpromClones() { UpdateClones(EEprom()); }

void TCloneForm::CBFMsbClick(tk::Component*)
{
    if (TMainForm* target = Target())
        target->FFlashSNMsbFirst = CBFMsb->Checked() ? 1 : 0;
}

void TCloneForm::CBEMsbClick(tk::Component*)
{
    if (TMainForm* target = Target())
        target->FEEpromSNMsbFirst = CBEMsb->Checked() ? 1 : 0;
}

void TCloneForm::CopyOptions(const TMemory& m)
{
    TMainForm* target = Target();
    if (!target)
        return;
    std::uint8_t& numbering = m.flash ? target->FFlashSerialNumbering : target->FEEpromSerialNumbering;
    if (!m.check->Checked()) {
        numbering = 0;
        return;
    }
    numbering = 1;
    // The start value may use all 32 bits; the field keeps them as they are.
    (m.flash ? target->FFlashSNStartAddress : target->FEEpromSNStartAddress) =
        static_cast<std::int32_t>(QuietValue(*m.startAdd, TValueKind::Hex));
    (m.flash ? target->FFlashSNByteCount : target->FEEpromSNByteCount) =
        static_cast<std::int32_t>(QuietValue(*m.byte2Fill, TValueKind::Dec));
    (m.flash ? target->FFlashSNStartValue : target->FEEpromSNStartValue) =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(QuietValue(*m.startVal, TValueKind::Hex)));
    (m.flash ? target->FFlashSNIncrement : target->FEEpromSNIncrement) =
        static_cast<std::int32_t>(QuietValue(*m.step, TValueKind::Dec));
}

void TCloneForm::BitBtn1Click(tk::Component*)
{
    CopyOptions(Flash());
    CopyOptions(EEprom());
    SetModalResult(tk::mrOk);
}

void TCloneForm::BitBtn2Click(tk::Component*)
{
    // Their click handlers disable the edits.
    FCheck->SetChecked(false);
    ECheck->SetChecked(false);
    if (TMainForm* target = Target()) {
        target->FFlashSerialNumbering = 0;
        target->FEEpromSerialNumbering = 0;
    }
    SetModalResult(tk::mrCancel);
}

// --- the main window's cloning commands ---------------------------------------------

namespace {

TCloneForm& EnsureCloneForm()
{
    if (TCloneForm* form = CloneForm())
        return *form;
    return *tk::Create<TCloneForm>(tk::App());
}

// One memory's serial-number options as the clone loop uses them.
struct TSerialPlan {
    bool on = false;
    std::int64_t startAddress = 0;
    std::int64_t byteCount = 0;
    std::int64_t startValue = 0;
    std::int64_t increment = 0;
    std::int64_t maxClones = 0;
    bool msbFirst = true;
};

TSerialPlan FlashPlan(const TMainForm& f)
{
    TSerialPlan p;
    p.on = f.FFlashSerialNumbering != 0;
    p.startAddress = static_cast<std::uint32_t>(f.FFlashSNStartAddress);
    p.byteCount = f.FFlashSNByteCount;
    p.startValue = static_cast<std::uint32_t>(f.FFlashSNStartValue);
    p.increment = f.FFlashSNIncrement;
    p.maxClones = f.FFlashMaxClones;
    p.msbFirst = f.FFlashSNMsbFirst != 0;
    return p;
}

TSerialPlan EEpromPlan(const TMainForm& f)
{
    TSerialPlan p;
    p.on = f.FEEpromSerialNumbering != 0;
    p.startAddress = static_cast<std::uint32_t>(f.FEEpromSNStartAddress);
    p.byteCount = f.FEEpromSNByteCount;
    p.startValue = static_cast<std::uint32_t>(f.FEEpromSNStartValue);
    p.increment = f.FEEpromSNIncrement;
    p.maxClones = f.FEEpromMaxClones;
    p.msbFirst = f.FEEpromSNMsbFirst != 0;
    return p;
}

void ShowNumberingActive(unsigned memoryName, const TSerialPlan& p, std::int64_t maximum)
{
    tk::ShowMessage(tk::FmtLoadStr(
        S_CLONE_SERIAL_NUMBERING_ACTIVE,
        {tk::LoadStr(memoryName), tk::IntToHex(p.startAddress, 4), tk::IntToStr(p.byteCount),
         tk::IntToHex(p.startValue, 2), tk::IntToStr(p.increment),
         tk::LoadStr(p.msbFirst ? S_CLONE_ORDER_MSB : S_CLONE_ORDER_LSB), tk::IntToStr(maximum)}));
}

// The outcome of one write pass run by the clone loop.
struct TWritePass {
    bool ran = false;
    bool completed = false;
    std::int32_t errors = 0;
};

// Runs one write command for the clone loop and tells how it went, from the
// command's own outcome rather than from panel 1, whose texts follow the
// language. Only a loop that ran to its end programmed the device (its
// failed addresses counted); a pass refused, aborted or stopped at a
// difference did not.
TWritePass RunClonePass(TMainForm& form, void (TMainForm::*write)(tk::Component*))
{
    (form.*write)(nullptr);
    TWritePass pass;
    switch (form.LastTransferOutcome()) {
    case TMainForm::TTransferOutcome::Skipped:
        // The device lacks that memory: nothing ran.
        break;
    case TMainForm::TTransferOutcome::Completed:
        pass.ran = true;
        pass.completed = true;
        pass.errors = MainUnit().ErrorCount;
        break;
    case TMainForm::TTransferOutcome::Refused:
    case TMainForm::TTransferOutcome::Aborted:
    case TMainForm::TTransferOutcome::Difference:
        pass.ran = true;
        break;
    }
    return pass;
}

}  // namespace

void TMainForm::MnuCloningOptionsClick(tk::Component*)
{
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    TMainUnitState& unit = MainUnit();
    if (!unit.PlugInLoaded) {
        tk::ShowMessage(tk::LoadStr(S_NO_PLUGIN_SELECTED));
        return;
    }
    // Only for its report; the dialog is useful without an adapter too.
    (void)CheckProgrammer();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }
    if (!FCommandMode)
        (void)EnsureCloneForm().ShowModal();
}

void TMainForm::Action_CloneExecute(tk::Component*)
{
    // Done when the source was read without a failed address and at least
    // one clone was made, each one programmed completely and verified; the
    // ways of ending the series (the last number, Cancel at the next
    // device) are no failure once a clone has been made.
    TCommandResult result(*this);
    std::int64_t clonesMade = 0;
    bool faultless = true;
    struct Judge {
        TCommandResult& result;
        const std::int64_t& made;
        const bool& faultless;
        ~Judge() { result.Done(made > 0 && faultless); }
    } judge{result, clonesMade, faultless};
    const auto passGood = [this] {
        return LastTransferOutcome() == TTransferOutcome::Skipped ||
               (LastTransferOutcome() == TTransferOutcome::Completed && MainUnit().ErrorCount == 0);
    };

    // The clone loop runs the device commands, which take the busy flag
    // themselves; it only makes sure that nothing else is running.
    if (!CheckNotBusy())
        return;
    TMainUnitState& unit = MainUnit();
    if (!unit.PlugInLoaded) {
        tk::ShowMessage(tk::LoadStr(S_NO_PLUGIN_SELECTED));
        return;
    }
    if (!CheckProgrammer())
        return;

    // Exit or closing the window during one of the clone's commands stops
    // that command, powers the device off and marks the program to end; the
    // clone then stops at once, with no further device call or question. An
    // end already pending when the clone began (a script's syntax error, after
    // which the script's remaining commands still run) does not stop it.
    const bool endingAtStart = tk::App().Terminated();
    const auto ending = [endingAtStart] { return !endingAtStart && tk::App().Terminated(); };

    const TSerialPlan flash = FlashPlan(*this);
    const TSerialPlan eeprom = EEpromPlan(*this);
    const bool numbering = flash.on || eeprom.on;
    std::int64_t maximum = 0;
    if (flash.on && eeprom.on)
        maximum = std::min(flash.maxClones, eeprom.maxClones);
    else if (flash.on)
        maximum = flash.maxClones;
    else if (eeprom.on)
        maximum = eeprom.maxClones;

    if (flash.on)
        ShowNumberingActive(S_CLONE_MEMORY_FLASH, flash, maximum);
    if (eeprom.on)
        ShowNumberingActive(S_CLONE_MEMORY_EEPROM, eeprom, maximum);

    bool manyClones = numbering;
    if (!manyClones)
        manyClones = tk::MessageDlg(tk::LoadStr(S_CLONE_MORE_THAN_ONE_DEVICE), tk::mtInformation, tk::mbYesNo) ==
                     tk::mrYes;

    tk::ShowMessage(tk::LoadStr(S_CLONE_INSERT_ORIGINAL_DEVICE));
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!CheckProgrammer() && unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }

    // The source device into the buffers.
    if (unit.FlashEnabled) {
        Action_ReadFlashExecute(nullptr);
        faultless = faultless && passGood();
    }
    if (ending())
        return;
    CloneWait();
    if (unit.EEpromEnabled) {
        Action_ReadPromExecute(nullptr);
        faultless = faultless && passGood();
    }
    if (ending())
        return;
    CloneWait();

    for (std::int64_t clone = 1;; ++clone) {
        if (numbering) {
            // A number that would no longer fit its bytes ends the series as
            // the maximum does, so no two clones share a number.
            bool ended = clone > maximum;
            for (const TSerialPlan* p : {&flash, &eeprom}) {
                if (p->on && !SerialNumberFits(SerialNumberOf(p->startValue, p->increment, clone), p->byteCount))
                    ended = true;
            }
            if (ended) {
                tk::ShowMessage(tk::FmtLoadStr(S_CLONE_SERIAL_NUMBERING_ENDED, {tk::IntToStr(clone - 1)}));
                return;
            }
            // The device may have changed since the options were set: a range
            // outside the buffer is refused, never written.
            if ((flash.on && !SerialRangeFits(flash.startAddress, flash.byteCount,
                                              static_cast<std::int64_t>(unit.FlashBuffer.size()))) ||
                (eeprom.on && !SerialRangeFits(eeprom.startAddress, eeprom.byteCount,
                                               static_cast<std::int64_t>(unit.EEpromBuffer.size())))) {
                tk::ShowMessage(tk::LoadStr(S_CLONE_TOO_MANY_BYTES));
                return;
            }
        }

        tk::ShowMessage(tk::FmtLoadStr(S_CLONE_MODIFYING_DATA, {tk::IntToStr(clone)}));
        for (const TSerialPlan* p : {&flash, &eeprom}) {
            if (!p->on)
                continue;
            std::vector<std::int32_t>& buffer = p == &flash ? unit.FlashBuffer : unit.EEpromBuffer;
            const auto bytes =
                SerialNumberBytes(SerialNumberOf(p->startValue, p->increment, clone), p->byteCount, p->msbFirst);
            for (std::size_t k = 0; k < bytes.size(); ++k)
                buffer[static_cast<std::size_t>(p->startAddress) + k] = bytes[k];
        }
        ShowFlashBuffer();
        ShowEEpromBuffer();

        if (tk::MessageDlg(tk::FmtLoadStr(S_CLONE_INSERT_CLONE_DEVICE, {tk::IntToStr(clone)}), tk::mtInformation,
                           tk::mbOKCancel) != tk::mrOk ||
            ending())
            return;
        const bool lastPass = !manyClones;

        const std::int32_t port = FPortAddress;
        PlugInCall(pfEraseChip, [&] { unit.PlugIn.EraseChip(port); });
        CloneWait();

        TWritePass flashPass;
        TWritePass eepromPass;
        const bool hasFlash = unit.FlashEnabled != 0;
        const bool hasEEprom = unit.EEpromEnabled != 0;
        if (hasFlash) {
            flashPass = RunClonePass(*this, &TMainForm::Action_WriteFlashExecute);
            if (ending())
                return;
            CloneWait();
        }
        {
            const std::uint8_t eraseOption = FChipEraseBeforeProgramming;
            FChipEraseBeforeProgramming = 0;
            struct RestoreOption {
                std::uint8_t& option;
                std::uint8_t value;
                ~RestoreOption() { option = value; }
            } restore{FChipEraseBeforeProgramming, eraseOption};
            if (hasEEprom)
                eepromPass = RunClonePass(*this, &TMainForm::Action_WritePromExecute);
        }
        if (ending())
            return;

        const bool incomplete = (flashPass.ran && !flashPass.completed) || (eepromPass.ran && !eepromPass.completed);
        const bool errors = flashPass.errors != 0 || eepromPass.errors != 0;
        faultless = faultless && !incomplete && !errors;
        if (incomplete)
            SetPanelText(1, tk::FmtLoadStr(S_CLONE_NOT_PROGRAMMED, {tk::IntToStr(clone)}));
        else if (errors && hasFlash && hasEEprom)
            SetPanelText(1, tk::FmtLoadStr(S_PROGRAM_BOTH_ERRORS, {tk::IntToStr(flashPass.errors),
                                                                   tk::IntToStr(eepromPass.errors)}));
        else if (errors && hasFlash)
            SetPanelText(1, tk::FmtLoadStr(S_CLONE_FLASH_ERRORS, {tk::IntToStr(flashPass.errors)}));
        else if (errors)
            SetPanelText(1, tk::FmtLoadStr(S_CLONE_EEPROM_ERRORS, {tk::IntToStr(eepromPass.errors)}));
        else if (hasEEprom)
            SetPanelText(1, tk::LoadStr(S_FLASH_AND_EEPROM_PROGRAMMED_OK));
        else
            SetPanelText(1, tk::LoadStr(S_FLASH_PROGRAMMED_OK));

        CloneWait();
        Action_VerifyFlashExecute(nullptr);
        const bool flashVerified = LastTransferOutcome() != TTransferOutcome::Refused &&
                                   LastTransferOutcome() != TTransferOutcome::Aborted &&
                                   LastTransferOutcome() != TTransferOutcome::Difference;
        if (ending())
            return;
        CloneWait();
        Action_VerifyPromExecute(nullptr);
        const bool eepromVerified = LastTransferOutcome() != TTransferOutcome::Refused &&
                                    LastTransferOutcome() != TTransferOutcome::Aborted &&
                                    LastTransferOutcome() != TTransferOutcome::Difference;
        faultless = faultless && flashVerified && eepromVerified;
        ++clonesMade;

        if (lastPass || ending())
            return;
        tk::ShowMessage(tk::LoadStr(S_CLONE_REMOVE_DEVICE));
        if (ending())
            return;
    }
}
