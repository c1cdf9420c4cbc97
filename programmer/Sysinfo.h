// Sysinfo: the System Info dialog. It shows the number of parallel ports, the
// CPU speed and the two timers that the port library reports, and shows and
// drives the three registers of the current parallel port bit by bit on LED
// buttons (data, status read only, control), for use with an external port
// analyser. All port access goes through the main window's port component.
//
// The main window hands in what the dialog needs: its port component and the
// number of ports at creation, and the current port address before each
// showing. A port address that is not one of the three parallel-port bases
// ($278, $378, $3BC) means that no port was found: the dialog then touches
// no I/O port at all and shows the registers as unavailable.
#pragma once

#include "toolkit/Forms.h"

#include <cstdint>
#include <string>

class TLedButton;
class TPortIO;

namespace tk {
class Edit;
class CheckBox;
class Label;
class BitBtn;
class GroupBox;
}

// The general floating-point rendering of the program's number displays:
// shortest decimal form with at most 15 significant digits, exponent form
// ("1E-5", "1.5E20") only for very small or very large values.
std::string FloatToStrGeneral(double value);

// The eight "0"/"1" characters that the port library renders for a byte,
// most significant bit first.
std::string PortByteBits(std::int32_t value);

class TSystemInfo : public tk::Form {
public:
    // `port` may be null (no port access at all); `portCount` is the number
    // of parallel ports the main window found.
    explicit TSystemInfo(TPortIO* port = nullptr, int portCount = 0);

    void SetPortIO(TPortIO* port) { port_ = port; }
    TPortIO* PortIO() const { return port_; }
    // Also updates the "Number of parallel ports" field.
    void SetPortCount(int count);
    int PortCount() const { return portCount_; }
    // The base address of the current parallel port; read at each showing.
    void SetPortAddress(int address) { portAddress_ = address; }
    int PortAddress() const { return portAddress_; }
    bool PortAvailable() const;

    // --- handlers bound by the window description -----------------------
    void FormCreate(tk::Component* sender);
    void FormShow(tk::Component* sender);
    // Every LED button's click, after the button toggled its own State.
    void B7Click(tk::Component* sender);
    void EdtBaseChange(tk::Component* sender);
    void EdtControlChange(tk::Component* sender);
    void ReadCBClick(tk::Component* sender);
    void BitBtn1Click(tk::Component* sender);

    // Sets every LED from the three bit strings (character 1 is bit 7).
    void ShowPortBits(const std::string& dataBits, const std::string& controlBits, const std::string& statusBits);

    // --- the dialog's register state ------------------------------------
    std::int32_t DataValue = 0;
    std::int32_t StatusValue = 0;
    std::int32_t ControlValue = 0;
    std::string DataBits = "00000000";
    std::string StatusBits = "00000000";
    std::string ControlBits = "00000000";
    // On while "Read" is checked: LED clicks then drive the control register
    // with 32 (reverse direction) instead of the control LEDs' value.
    bool ReadMode = false;

    // --- controls -------------------------------------------------------
    TLedButton* B7 = nullptr;
    TLedButton* B6 = nullptr;
    TLedButton* B5 = nullptr;
    TLedButton* B4 = nullptr;
    TLedButton* B3 = nullptr;
    TLedButton* B2 = nullptr;
    TLedButton* B1 = nullptr;
    TLedButton* B0 = nullptr;
    TLedButton* F7 = nullptr;
    TLedButton* F6 = nullptr;
    TLedButton* F5 = nullptr;
    TLedButton* F4 = nullptr;
    TLedButton* F3 = nullptr;
    TLedButton* C3 = nullptr;
    TLedButton* C2 = nullptr;
    TLedButton* C1 = nullptr;
    TLedButton* C0 = nullptr;
    tk::Edit* EdtBase = nullptr;
    tk::Edit* EdtFeedback = nullptr;
    tk::Edit* EdtControl = nullptr;
    tk::CheckBox* ReadCB = nullptr;
    tk::Label* UsedPort = nullptr;
    tk::Edit* ECPUSpeed = nullptr;
    tk::CheckBox* QTCheck = nullptr;
    tk::Edit* EQTMinms = nullptr;
    tk::CheckBox* TSCheck = nullptr;
    tk::Edit* ETSMinms = nullptr;
    tk::Edit* EParportnum = nullptr;
    tk::BitBtn* BitBtn1 = nullptr;
    tk::GroupBox* GroupBox3 = nullptr;
    tk::Label* Label12 = nullptr;
    tk::Label* Label13 = nullptr;
    tk::Label* Label14 = nullptr;
    tk::Label* Label15 = nullptr;

    // Puts the right-hand half of the port-bits legend beside the left one
    // as designed when its texts fit the group box, else under it (the box,
    // the Close button and the window grow by the two lines).
    void LayOutLegend();

private:
    // The only ways to the I/O ports: nothing is read or written without a
    // parallel port, and a write carries the low byte only.
    std::int32_t ReadRegister(int offset);
    void WriteRegister(int offset, std::int32_t value);
    // Enables the checkup controls for a present port (the control row as
    // ReadMode allows) or disables them all.
    void UpdateCheckupControls(bool available);
    void ShowUnavailable();

    // The designed places of what LayOutLegend moves.
    struct LegendDesign {
        POINT lit{}, off{};
        int groupHeight = 0, buttonTop = 0, clientHeight = 0;
    } legendDesign_;

    TPortIO* port_ = nullptr;
    int portCount_ = 0;
    int portAddress_ = 0;
};
