// Sysinfo: the System Info dialog; port count and timer figures at creation,
// the port's registers read, shown and written at each showing and on every
// LED click or register edit.
#include "programmer/Sysinfo.h"

#include "components/LedButton.h"
#include "components/PortIO.h"
#include "programmer/PortLibrary.h"
#include "resources/StringIds.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/Services.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StrConv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Register offsets from the port's base address.
constexpr int DataRegister = 0;
constexpr int StatusRegister = 1;
constexpr int ControlRegister = 2;

// The control register's bits 5 to 7 switch the port's direction and
// interrupt; the LEDs and the edit only ever drive bits 0 to 4.
constexpr std::int32_t HighestControlValue = 31;
constexpr std::int32_t ReadModeControlValue = 32;

// How long an LED click leaves the lines before the next one may change them.
constexpr unsigned LedSettleMs = 50;

// Bit `bit` of an 8-character bit string, most significant bit first.
bool BitSet(const std::string& bits, int bit)
{
    const std::size_t index = static_cast<std::size_t>(7 - bit);
    return index < bits.size() && bits[index] == '1';
}

}  // namespace

std::string FloatToStrGeneral(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";

    // Fifteen significant digits, then the shortest form of them.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string text(buffer);
    const std::size_t e = text.find_first_of("eE");
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    const int pointAt = exponent + 1;  // digits before the decimal point
    std::string out;
    if (pointAt > 15 || pointAt < -3) {
        out = digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E";
        if (exponent < 0) out += "-";
        out += std::to_string(std::abs(exponent));
    } else if (pointAt <= 0) {
        out = "0." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
        out = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        out = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
              digits.substr(static_cast<std::size_t>(pointAt));
    }
    return value < 0 ? "-" + out : out;
}

std::string PortByteBits(std::int32_t value)
{
    const char* text = ZpIntToBin8(value);
    std::string bits;
    for (int i = 0; i < 8 && text != nullptr && text[i] != '\0'; ++i) bits += text[i];
    bits.resize(8, '0');
    return bits;
}

TSystemInfo::TSystemInfo(TPortIO* port, int portCount) : port_(port), portCount_(portCount)
{
    BindHandler("FormCreate", &TSystemInfo::FormCreate);
    BindHandler("FormShow", &TSystemInfo::FormShow);
    BindHandler("B7Click", &TSystemInfo::B7Click);
    BindHandler("EdtBaseChange", &TSystemInfo::EdtBaseChange);
    BindHandler("EdtControlChange", &TSystemInfo::EdtControlChange);
    BindHandler("ReadCBClick", &TSystemInfo::ReadCBClick);
    BindHandler("BitBtn1Click", &TSystemInfo::BitBtn1Click);

    BindField("B7", B7);
    BindField("B6", B6);
    BindField("B5", B5);
    BindField("B4", B4);
    BindField("B3", B3);
    BindField("B2", B2);
    BindField("B1", B1);
    BindField("B0", B0);
    BindField("F7", F7);
    BindField("F6", F6);
    BindField("F5", F5);
    BindField("F4", F4);
    BindField("F3", F3);
    BindField("C3", C3);
    BindField("C2", C2);
    BindField("C1", C1);
    BindField("C0", C0);
    BindField("EdtBase", EdtBase);
    BindField("EdtFeedback", EdtFeedback);
    BindField("EdtControl", EdtControl);
    BindField("ReadCB", ReadCB);
    BindField("UsedPort", UsedPort);
    BindField("ECPUSpeed", ECPUSpeed);
    BindField("QTCheck", QTCheck);
    BindField("EQTMinms", EQTMinms);
    BindField("TSCheck", TSCheck);
    BindField("ETSMinms", ETSMinms);
    BindField("EParportnum", EParportnum);
    BindField("BitBtn1", BitBtn1);
    BindField("GroupBox3", GroupBox3);
    BindField("Label12", Label12);
    BindField("Label13", Label13);
    BindField("Label14", Label14);
    BindField("Label15", Label15);

    ReadDescription();
}

void TSystemInfo::SetPortCount(int count)
{
    portCount_ = count;
    if (EParportnum) EParportnum->SetText(tk::IntToStr(count));
}

bool TSystemInfo::PortAvailable() const
{
    return portAddress_ == 0x278 || portAddress_ == 0x378 || portAddress_ == 0x3BC;
}

std::int32_t TSystemInfo::ReadRegister(int offset)
{
    if (!port_ || !PortAvailable()) return 0;
    return port_->ReadPort(static_cast<std::uint16_t>(portAddress_ + offset));
}

void TSystemInfo::WriteRegister(int offset, std::int32_t value)
{
    if (!port_ || !PortAvailable()) return;
    port_->WritePort(static_cast<std::uint16_t>(portAddress_ + offset), static_cast<std::uint16_t>(value & 0xFF));
}

void TSystemInfo::FormCreate(tk::Component*)
{
    EParportnum->SetText(tk::IntToStr(portCount_));

    std::uint8_t quantumTimer = 0;
    std::uint8_t timeStamp = 0;
    long double qtRes = 0;
    long double tsRes = 0;
    double cpuSpeed = 0;
    ZpGetSystemInfo(&quantumTimer, &timeStamp, &qtRes, &tsRes, &cpuSpeed);

    ECPUSpeed->SetText(FloatToStrGeneral(cpuSpeed));
    QTCheck->SetChecked(quantumTimer != 0);
    EQTMinms->SetText(quantumTimer != 0 ? FloatToStrGeneral(static_cast<double>(qtRes)) : "0");
    TSCheck->SetChecked(timeStamp != 0);
    ETSMinms->SetText(timeStamp != 0 ? FloatToStrGeneral(static_cast<double>(tsRes)) : "0");

    ReadMode = false;

    legendDesign_ = {POINT{Label14->Left(), Label14->Top()}, POINT{Label15->Left(), Label15->Top()},
                     GroupBox3->Height(), BitBtn1->Top(), ClientHeight()};
}

void TSystemInfo::LayOutLegend()
{
    const LegendDesign& design = legendDesign_;
    const int right = std::max(design.lit.x + Label14->Width(), design.off.x + Label15->Width());
    const bool beside = right <= GroupBox3->ClientWidth() - Label12->Left();
    const int step = Label13->Top() - Label12->Top();
    const int grow = beside ? 0 : 2 * step;
    if (beside) {
        Label14->SetBounds(design.lit.x, design.lit.y, Label14->Width(), Label14->Height());
        Label15->SetBounds(design.off.x, design.off.y, Label15->Width(), Label15->Height());
    } else {
        Label14->SetBounds(Label12->Left(), Label13->Top() + step, Label14->Width(), Label14->Height());
        Label15->SetBounds(Label12->Left(), Label13->Top() + 2 * step, Label15->Width(), Label15->Height());
    }
    GroupBox3->SetHeight(design.groupHeight + grow);
    BitBtn1->SetTop(design.buttonTop + grow);
    SetClientHeight(design.clientHeight + grow);
}

void TSystemInfo::UpdateCheckupControls(bool available)
{
    for (TLedButton* led : {B7, B6, B5, B4, B3, B2, B1, B0}) led->SetEnabled(available);
    for (TLedButton* led : {C3, C2, C1, C0}) led->SetEnabled(available && !ReadMode);
    EdtBase->SetEnabled(available);
    EdtControl->SetEnabled(available && !ReadMode);
    ReadCB->SetEnabled(available);
}

void TSystemInfo::ShowUnavailable()
{
    DataValue = StatusValue = ControlValue = 0;
    UpdateCheckupControls(false);
    // Empty texts run no change event, so nothing is written.
    EdtBase->SetText("");
    EdtControl->SetText("");
    EdtFeedback->SetText("");
    for (TLedButton* led : {B7, B6, B5, B4, B3, B2, B1, B0, F7, F6, F5, F4, F3, C3, C2, C1, C0}) led->SetState(false);
    UsedPort->SetCaption(tk::LoadStr(S_SYSINFO_NO_PORT));
}

void TSystemInfo::FormShow(tk::Component*)
{
    // The legend's texts are the language's: laid out at every showing.
    LayOutLegend();
    DataBits = ControlBits = StatusBits = "00000000";
    if (!port_ || !PortAvailable()) {
        ShowUnavailable();
        return;
    }
    UpdateCheckupControls(true);

    DataValue = ReadRegister(DataRegister);
    StatusValue = ReadRegister(StatusRegister);
    ControlValue = ReadRegister(ControlRegister);
    DataBits = PortByteBits(DataValue);
    ControlBits = PortByteBits(ControlValue);
    StatusBits = PortByteBits(StatusValue);

    // Their change events write the values back and refresh the LEDs, but
    // only when a text changed.
    EdtBase->SetText(tk::IntToStr(DataValue));
    EdtControl->SetText(tk::IntToStr(ControlValue));
    EdtFeedback->SetText(tk::IntToStr(StatusValue));
    // So the LEDs (the status row above all) show what was just read even
    // when every text stayed the same.
    ShowPortBits(DataBits, ControlBits, StatusBits);

    UsedPort->SetCaption(tk::LoadStr(S_SYSINFO_USED_PORT) + tk::IntToHex(portAddress_, 1));
}

void TSystemInfo::ShowPortBits(const std::string& dataBits, const std::string& controlBits,
                               const std::string& statusBits)
{
    TLedButton* const data[8] = {B0, B1, B2, B3, B4, B5, B6, B7};
    for (int bit = 0; bit < 8; ++bit) data[bit]->SetState(BitSet(dataBits, bit));

    // Status bit 7 and control bits 3, 1 and 0 are inverted at the pins.
    F7->SetState(!BitSet(statusBits, 7));
    F6->SetState(BitSet(statusBits, 6));
    F5->SetState(BitSet(statusBits, 5));
    F4->SetState(BitSet(statusBits, 4));
    F3->SetState(BitSet(statusBits, 3));

    C3->SetState(!BitSet(controlBits, 3));
    C2->SetState(BitSet(controlBits, 2));
    C1->SetState(!BitSet(controlBits, 1));
    C0->SetState(!BitSet(controlBits, 0));
}

void TSystemInfo::B7Click(tk::Component*)
{
    if (!port_ || !PortAvailable()) {
        ShowUnavailable();
        return;
    }

    TLedButton* const data[8] = {B0, B1, B2, B3, B4, B5, B6, B7};
    DataValue = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (data[bit]->State()) DataValue += 1 << bit;
    }
    WriteRegister(DataRegister, DataValue);
    DataValue = ReadRegister(DataRegister);
    EdtBase->SetText(tk::IntToStr(DataValue));
    DataBits = PortByteBits(DataValue);

    ControlValue = (C3->State() ? 0 : 8) + (C2->State() ? 4 : 0) + (C1->State() ? 0 : 2) + (C0->State() ? 0 : 1);
    if (ReadMode) ControlValue = ReadModeControlValue;
    WriteRegister(ControlRegister, ControlValue);
    ControlValue = ReadRegister(ControlRegister);
    EdtControl->SetText(tk::IntToStr(ControlValue));
    ControlBits = PortByteBits(ControlValue);

    StatusValue = ReadRegister(StatusRegister);
    StatusBits = PortByteBits(StatusValue);
    EdtFeedback->SetText(tk::IntToStr(StatusValue));

    ShowPortBits(DataBits, ControlBits, StatusBits);
    tk::SleepBeepSeam()->Sleep(LedSettleMs);
}

void TSystemInfo::EdtBaseChange(tk::Component*)
{
    const std::string text = EdtBase->Text();
    if (text.empty()) return;
    std::int32_t value = 0;
    if (!tk::TryStrToInt(text, value)) {
        tk::ShowMessage(tk::LoadStr(S_SYSINFO_INVALID_VALUE));
        EdtBase->SetText("");
        return;
    }
    // The register holds a byte: what is written and what the LEDs show is
    // the low byte of whatever was typed.
    DataValue = value & 0xFF;
    WriteRegister(DataRegister, DataValue);
    DataBits = PortByteBits(DataValue);
    ShowPortBits(DataBits, ControlBits, StatusBits);
}

void TSystemInfo::EdtControlChange(tk::Component*)
{
    const std::string text = EdtControl->Text();
    if (text.empty()) return;
    std::int32_t value = 0;
    if (!tk::TryStrToInt(text, value)) {
        tk::ShowMessage(tk::LoadStr(S_SYSINFO_INVALID_VALUE));
        EdtControl->SetText("");
        return;
    }
    // A negative number's low byte sets the direction and interrupt bits as
    // surely as a value over 31 does, so it is refused the same way.
    if (value >= 0 && value <= HighestControlValue) {
        ControlValue = value;
    } else if (!ReadMode) {
        tk::ShowMessage(tk::LoadStr(S_SYSINFO_CONTROL_OVER_31));
        return;
    }
    WriteRegister(ControlRegister, ControlValue);
    ControlBits = PortByteBits(ControlValue & 0xFF);
    ShowPortBits(DataBits, ControlBits, StatusBits);
}

void TSystemInfo::ReadCBClick(tk::Component*)
{
    const bool available = port_ && PortAvailable();
    if (ReadCB->Checked()) {
        tk::ShowMessage(tk::LoadStr(S_SYSINFO_READ_MODE_ON));
        for (TLedButton* led : {C3, C2, C1, C0}) led->SetEnabled(false);
        EdtControl->SetReadOnly(true);
        EdtControl->SetEnabled(false);
        ReadMode = true;
        EdtControl->SetText(tk::IntToStr(ReadModeControlValue));
    } else {
        tk::ShowMessage(tk::LoadStr(S_SYSINFO_READ_MODE_OFF));
        for (TLedButton* led : {C3, C2, C1, C0}) led->SetEnabled(available);
        EdtControl->SetReadOnly(false);
        EdtControl->SetEnabled(available);
        ReadMode = false;
        EdtControl->SetText("0");
    }
}

void TSystemInfo::BitBtn1Click(tk::Component*)
{
    WriteRegister(ControlRegister, 0);
    ReadCB->SetChecked(false);
    SetModalResult(tk::mrOk);
}

namespace {

const tk::ClassRegistration<TSystemInfo> kSystemInfoReg("TSystemInfo", "TForm");

}  // namespace
