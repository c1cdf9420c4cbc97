// The System Info dialog on the simulated port registers: the figures shown
// at creation, the register requests of each showing, LED click and edit,
// the read mode, the close button, and a machine without a parallel port.
#include "programmer/Sysinfo.h"

#include "components/LedButton.h"
#include "components/PortIO.h"
#include "resources/StringIds.h"
#include "tests/components/PortDriverSim.h"
#include "tests/sysinfo/SysinfoTestSupport.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

constexpr std::uint16_t Lpt1 = 0x378;

// The LEDs' states as a string, "1" for lit, in the order given.
std::string Lit(std::initializer_list<TLedButton*> leds)
{
    std::string out;
    for (TLedButton* led : leds) out += led->State() ? '1' : '0';
    return out;
}

class SysinfoTest : public ::testing::Test {
protected:
    SysinfoTest()
        : messageOverride(tk::MessageSeam(), messages),
          sleepOverride(tk::SleepBeepSeam(), sleeps),
          modalOverride(tk::ModalFormSeam(), modal)
    {
    }

    void SetUp() override
    {
        config.Write("TRACE=1\r\n");
        port = std::make_unique<TPortIO>(sim.System());
        ASSERT_TRUE(port->OpenPort());
        MakeDialog(1);
    }

    void TearDown() override
    {
        dialog.reset();
        port.reset();
    }

    void MakeDialog(int portCount)
    {
        dialog.reset();
        dialog = std::make_unique<TSystemInfo>(port.get(), portCount);
        dialog->SetPortAddress(Lpt1);
        sim.ClearLogs();
        config.ClearTrace();
    }

    // Shows the dialog modally and runs `actions` while it is up.
    tk::ModalResult Show(std::function<void(TSystemInfo&)> actions = {})
    {
        modal.actions = [this, actions](tk::Form&) {
            if (actions) actions(*dialog);
        };
        return dialog->ShowModal();
    }

    void ClickLed(TLedButton* led)
    {
        HWND wnd = led->Handle();
        ::SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
        ::SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    }

    void ClickClose() { dialog->BitBtn1->Click(); }

    std::vector<std::string> Log() const { return sim.RequestLog(); }
    void ClearAll()
    {
        sim.ClearLogs();
        messages.texts.clear();
        sleeps.sleeps.clear();
        config.ClearTrace();
    }

    std::string DataLeds() const
    {
        const TSystemInfo& d = *dialog;
        return Lit({d.B7, d.B6, d.B5, d.B4, d.B3, d.B2, d.B1, d.B0});
    }
    std::string StatusLeds() const
    {
        const TSystemInfo& d = *dialog;
        return Lit({d.F7, d.F6, d.F5, d.F4, d.F3});
    }
    std::string ControlLeds() const
    {
        const TSystemInfo& d = *dialog;
        return Lit({d.C3, d.C2, d.C1, d.C0});
    }

    PortDriverSim sim;
    PortLibraryConfig config;
    RecordingMessages messages;
    RecordingSleeps sleeps;
    ScriptedModal modal;
    tk::SeamOverride<tk::MessageService> messageOverride;
    tk::SeamOverride<tk::SleepBeepService> sleepOverride;
    tk::SeamOverride<tk::ModalFormHook> modalOverride;
    std::unique_ptr<TPortIO> port;
    std::unique_ptr<TSystemInfo> dialog;
};

// --- the window and its figures -----------------------------------------

TEST_F(SysinfoTest, DescriptionBuildsTheLedRowsAsTheLegendExplains)
{
    TSystemInfo& d = *dialog;
    EXPECT_EQ(d.Caption(), "SystemInfo");
    EXPECT_EQ(d.GetBorderStyle(), tk::bsDialog);
    EXPECT_EQ(d.GetFormStyle(), tk::fsStayOnTop);
    EXPECT_EQ(d.Position(), tk::poScreenCenter);
    EXPECT_EQ(d.BitBtn1->Caption(), "&Close");
    EXPECT_EQ(d.ReadCB->Caption(), "Read");
    EXPECT_EQ(d.QTCheck->Caption(), "Quantum Timer Used");
    EXPECT_EQ(d.TSCheck->Caption(), "Time Stamp Timer Used");
    EXPECT_TRUE(d.EdtFeedback->ReadOnly());
    EXPECT_FALSE(d.EdtFeedback->Enabled());
    for (tk::Edit* e : {d.ECPUSpeed, d.EQTMinms, d.ETSMinms, d.EParportnum}) EXPECT_TRUE(e->ReadOnly()) << e->Name();
    EXPECT_FALSE(d.EdtBase->ReadOnly());
    EXPECT_FALSE(d.EdtControl->ReadOnly());

    struct Row {
        std::vector<TLedButton*> leds;  // bit 7 first
        int topBit;
        tk::Color lit;
    };
    const Row rows[] = {{{d.B7, d.B6, d.B5, d.B4, d.B3, d.B2, d.B1, d.B0}, 7, tk::clRed},
                        {{d.F7, d.F6, d.F5, d.F4, d.F3}, 7, tk::clLime},
                        {{d.C3, d.C2, d.C1, d.C0}, 3, tk::clYellow}};
    for (const Row& row : rows) {
        int bit = row.topBit;
        for (TLedButton* led : row.leds) {
            SCOPED_TRACE(led->Name());
            EXPECT_EQ(led->Left(), 90 + 16 * (7 - bit));
            EXPECT_EQ(led->Top(), row.leds.front()->Top());
            EXPECT_EQ(led->Width(), 13);
            EXPECT_EQ(led->Height(), 13);
            EXPECT_EQ(led->FromBorder(), 1);
            EXPECT_EQ(led->LedRadius(), 9);
            EXPECT_EQ(led->FalseColor(), tk::clBtnText);
            EXPECT_EQ(led->TrueColor(), row.lit);
            EXPECT_EQ(led->Caption(), "");
            --bit;
        }
    }
    // Gray faces mark the pins that are inverted in hardware.
    for (TLedButton* led : {d.F7, d.C3, d.C1, d.C0}) EXPECT_EQ(led->GetColor(), tk::clGray) << led->Name();
    for (TLedButton* led : {d.B7, d.B0, d.F6, d.F3, d.C2}) EXPECT_EQ(led->GetColor(), tk::clBlue) << led->Name();
    for (TLedButton* led : {d.F7, d.F6, d.F5, d.F4, d.F3}) EXPECT_FALSE(led->Enabled()) << led->Name();
    for (TLedButton* led : {d.B7, d.B0, d.C3, d.C0}) EXPECT_TRUE(led->Enabled()) << led->Name();
}

TEST_F(SysinfoTest, CreationShowsPortCountCpuSpeedAndTimersOnce)
{
    config.Write("TRACE=1\r\nCPU_SPEED=2394.5\r\nQUANTUM_TIMER=0\r\nQT_RES=15.625\r\nTS_RES=0.000279\r\n");
    MakeDialog(2);
    EXPECT_EQ(dialog->EParportnum->Text(), "2");
    EXPECT_EQ(dialog->ECPUSpeed->Text(), "2394.5");
    EXPECT_FALSE(dialog->QTCheck->Checked());
    EXPECT_EQ(dialog->EQTMinms->Text(), "0");
    EXPECT_TRUE(dialog->TSCheck->Checked());
    EXPECT_EQ(dialog->ETSMinms->Text(), "0.000279");
    EXPECT_FALSE(dialog->ReadMode);

    config.Write("QT_RES=0.5\r\nTIME_STAMP=0\r\n");
    MakeDialog(1);
    EXPECT_EQ(dialog->EParportnum->Text(), "1");
    EXPECT_EQ(dialog->ECPUSpeed->Text(), "1000");
    EXPECT_TRUE(dialog->QTCheck->Checked());
    EXPECT_EQ(dialog->EQTMinms->Text(), "0.5");
    EXPECT_FALSE(dialog->TSCheck->Checked());
    EXPECT_EQ(dialog->ETSMinms->Text(), "0");

    // The figures are read at creation only.
    config.Write("TRACE=1\r\nCPU_SPEED=5\r\n");
    config.ClearTrace();
    Show([this](TSystemInfo&) { ClickClose(); });
    EXPECT_EQ(dialog->ECPUSpeed->Text(), "1000");
    EXPECT_THAT(config.TraceLines(), Not(Contains("GetSystemInfo")));
    // No port access happens before the dialog is shown.
    dialog->SetPortCount(3);
    EXPECT_EQ(dialog->EParportnum->Text(), "3");
}

TEST(SysinfoFloatTest, GeneralFormatIsTheShortestOfFifteenDigits)
{
    EXPECT_EQ(FloatToStrGeneral(0), "0");
    EXPECT_EQ(FloatToStrGeneral(1000), "1000");
    EXPECT_EQ(FloatToStrGeneral(2394.5), "2394.5");
    EXPECT_EQ(FloatToStrGeneral(-1.5), "-1.5");
    EXPECT_EQ(FloatToStrGeneral(0.001), "0.001");
    EXPECT_EQ(FloatToStrGeneral(0.0001), "0.0001");
    EXPECT_EQ(FloatToStrGeneral(0.00001), "1E-5");
    EXPECT_EQ(FloatToStrGeneral(0.000012345), "1.2345E-5");
    EXPECT_EQ(FloatToStrGeneral(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStrGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStrGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStrGeneral(1e15), "1E15");
    EXPECT_EQ(FloatToStrGeneral(1.5e20), "1.5E20");
    EXPECT_EQ(FloatToStrGeneral(2.0 / 3 * 1000), "666.666666666667");
}

// --- showing ---------------------------------------------------------------

TEST_F(SysinfoTest, ShowingReadsTheThreeRegistersAndWritesDataAndControlBack)
{
    sim.SetRegisters(Lpt1, 0xA5, 0x78, 0x04);
    Show([this](TSystemInfo&) {
        EXPECT_THAT(Log(), ElementsAre("R 0378=A5", "R 0379=78", "R 037A=04", "W 0378=A5", "W 037A=04"));
        EXPECT_EQ(dialog->EdtBase->Text(), "165");
        EXPECT_EQ(dialog->EdtControl->Text(), "4");
        EXPECT_EQ(dialog->EdtFeedback->Text(), "120");
        EXPECT_EQ(dialog->UsedPort->Caption(), "Used Port: $378");
        EXPECT_EQ(DataLeds(), "10100101");
        // Status $78: F6 ... F3 lit, and F7 lit because bit 7 is 0.
        EXPECT_EQ(StatusLeds(), "11111");
        // Control 4: C3, C1, C0 lit for 0 bits, C2 lit for its 1 bit.
        EXPECT_EQ(ControlLeds(), "1111");
        EXPECT_THAT(messages.texts, IsEmpty());
    });
    EXPECT_THAT(config.TraceLines(), ElementsAre("IntToBin8 165", "IntToBin8 4", "IntToBin8 120", "IntToBin8 165",
                                                 "IntToBin8 4"));
}

TEST_F(SysinfoTest, StatusLedsFollowTheirBitsWithBitSevenInverted)
{
    sim.SetStatus(Lpt1, 0x80);
    Show([this](TSystemInfo&) { EXPECT_EQ(StatusLeds(), "00000"); });
    sim.SetStatus(Lpt1, 0x50);
    Show([this](TSystemInfo&) { EXPECT_EQ(StatusLeds(), "11010"); });
}

TEST_F(SysinfoTest, UsedPortNamesTheBaseInHexadecimal)
{
    dialog->SetPortAddress(0x3BC);
    Show([this](TSystemInfo&) {
        EXPECT_EQ(dialog->UsedPort->Caption(), "Used Port: $3BC");
        EXPECT_THAT(Log(), Contains("R 03BE=00"));
    });
    dialog->SetPortAddress(0x278);
    Show([this](TSystemInfo&) { EXPECT_EQ(dialog->UsedPort->Caption(), "Used Port: $278"); });
}

TEST_F(SysinfoTest, ShowingAgainWithUnchangedTextsRefreshesTheStatusLeds)
{
    sim.SetRegisters(Lpt1, 0x11, 0x78, 0x00);
    Show([this](TSystemInfo&) {
        EXPECT_EQ(StatusLeds(), "11111");
        ClickClose();
    });
    sim.SetStatus(Lpt1, 0x80);
    ClearAll();
    Show([this](TSystemInfo&) {
        // Data and control read as before: their texts, and so their change
        // events, stay quiet; the LEDs show the new status all the same.
        EXPECT_THAT(Log(), ElementsAre("R 0378=11", "R 0379=80", "R 037A=00"));
        EXPECT_EQ(dialog->EdtFeedback->Text(), "128");
        EXPECT_EQ(StatusLeds(), "00000");
        EXPECT_EQ(DataLeds(), "00010001");
        EXPECT_EQ(ControlLeds(), "1011");
    });
}

// --- edits -------------------------------------------------------------------

TEST_F(SysinfoTest, DataValueAboveAByteIsWrittenAndShownAsItsLowByte)
{
    Show([this](TSystemInfo& d) {
        ClearAll();
        d.EdtBase->SetText("300");
        EXPECT_THAT(Log(), ElementsAre("W 0378=2C"));
        EXPECT_EQ(sim.DataLatch(Lpt1), 44);
        EXPECT_EQ(d.DataValue, 44);
        EXPECT_EQ(DataLeds(), "00101100");
        // The port library is never asked to render the unmasked value.
        EXPECT_THAT(config.TraceLines(), ElementsAre("IntToBin8 44"));

        ClearAll();
        d.EdtBase->SetText("-1");
        EXPECT_THAT(Log(), ElementsAre("W 0378=FF"));
        EXPECT_EQ(DataLeds(), "11111111");
        EXPECT_THAT(config.TraceLines(), ElementsAre("IntToBin8 255"));

        ClearAll();
        d.EdtBase->SetText("$1A5");
        EXPECT_THAT(Log(), ElementsAre("W 0378=A5"));
        EXPECT_THAT(messages.texts, IsEmpty());
    });
}

TEST_F(SysinfoTest, EmptyOrInvalidDataTextWritesNothing)
{
    Show([this](TSystemInfo& d) {
        d.EdtBase->SetText("12");
        ClearAll();
        d.EdtBase->SetText("");
        EXPECT_THAT(Log(), IsEmpty());
        EXPECT_THAT(messages.texts, IsEmpty());
        d.EdtBase->SetText("1 2");
        EXPECT_THAT(Log(), IsEmpty());
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_INVALID_VALUE)));
        EXPECT_EQ(d.EdtBase->Text(), "");
    });
}

TEST_F(SysinfoTest, ControlValue31IsWrittenAnd32IsRefused)
{
    Show([this](TSystemInfo& d) {
        ClearAll();
        d.EdtControl->SetText("31");
        EXPECT_THAT(Log(), ElementsAre("W 037A=1F"));
        EXPECT_EQ(ControlLeds(), "0100");
        EXPECT_THAT(messages.texts, IsEmpty());

        ClearAll();
        d.EdtControl->SetText("32");
        EXPECT_THAT(Log(), IsEmpty());
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_CONTROL_OVER_31)));
        EXPECT_EQ(d.ControlValue, 31);
        EXPECT_EQ(ControlLeds(), "0100");
        EXPECT_EQ(sim.ControlLatch(Lpt1), 0x1F);
    });
}

TEST_F(SysinfoTest, NegativeControlValueIsRefusedLikeOneOver31)
{
    Show([this](TSystemInfo& d) {
        d.EdtControl->SetText("5");
        ClearAll();
        // Its low byte would set the direction and interrupt bits.
        d.EdtControl->SetText("-1");
        EXPECT_THAT(Log(), IsEmpty());
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_CONTROL_OVER_31)));
        EXPECT_EQ(d.ControlValue, 5);
        EXPECT_EQ(sim.ControlLatch(Lpt1), 5);
    });
}

TEST_F(SysinfoTest, InvalidControlTextIsReportedAndCleared)
{
    Show([this](TSystemInfo& d) {
        d.EdtBase->SetText("12");
        d.EdtControl->SetText("3");
        ClearAll();
        d.EdtControl->SetText("abc");
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_INVALID_VALUE)));
        EXPECT_EQ(d.EdtControl->Text(), "");
        EXPECT_EQ(d.EdtBase->Text(), "12");
        EXPECT_THAT(Log(), IsEmpty());
    });
}

// --- LED clicks -----------------------------------------------------------------

TEST_F(SysinfoTest, LedClickWritesBothRegistersReadsThemBackAndWaits)
{
    sim.SetRegisters(Lpt1, 0x00, 0x78, 0x04);
    Show([this](TSystemInfo& d) {
        ASSERT_EQ(ControlLeds(), "1111");
        ClearAll();
        ClickLed(d.B0);
        // With all four control LEDs lit the control value is 4: the lit
        // C3, C1 and C0 stand for 0 bits.
        EXPECT_THAT(Log(), ElementsAre("W 0378=01", "R 0378=01", "W 0378=01", "W 037A=04", "R 037A=04", "R 0379=78"));
        EXPECT_EQ(d.EdtBase->Text(), "1");
        EXPECT_EQ(DataLeds(), "00000001");
        EXPECT_THAT(sleeps.sleeps, ElementsAre(50u));

        ClearAll();
        ClickLed(d.C2);
        EXPECT_THAT(Log(), ElementsAre("W 0378=01", "R 0378=01", "W 037A=00", "R 037A=00", "W 037A=00", "R 0379=78"));
        EXPECT_EQ(d.EdtControl->Text(), "0");
        EXPECT_EQ(ControlLeds(), "1011");

        ClearAll();
        ClickLed(d.C3);
        ClickLed(d.C1);
        ClickLed(d.C0);
        EXPECT_EQ(sim.ControlLatch(Lpt1), 0x0B);
        EXPECT_EQ(d.EdtControl->Text(), "11");
        EXPECT_EQ(ControlLeds(), "0000");
        EXPECT_THAT(messages.texts, IsEmpty());
    });
}

TEST_F(SysinfoTest, LedsShowWhatTheRegisterReadsBack)
{
    // A data latch that does not hold bit 0: the LED falls back.
    sim.SetControlReadBack(Lpt1, 0x1F, 0x00);
    Show([this](TSystemInfo& d) {
        d.EdtControl->SetText("0");
        ClearAll();
        ClickLed(d.B7);
        EXPECT_EQ(DataLeds(), "10000000");
        EXPECT_EQ(d.DataValue, 0x80);
        EXPECT_EQ(d.StatusBits, "00000000");
    });
}

TEST_F(SysinfoTest, ControlReadingBackAbove31IsReportedAndNotWrittenBack)
{
    sim.SetRegisters(Lpt1, 0x00, 0x00, 0x04);
    sim.SetControlReadBack(Lpt1, 0x3F, 0xC0);
    Show([this](TSystemInfo& d) {
        EXPECT_THAT(Log(), ElementsAre("R 0378=00", "R 0379=00", "R 037A=C4", "W 0378=00"));
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_CONTROL_OVER_31)));
        EXPECT_EQ(d.EdtControl->Text(), "196");

        // Each click that changes the read-back value shows it again; the
        // click's own write has gone out before.
        for (int round = 0; round < 2; ++round) {
            ClearAll();
            ClickLed(d.C0);
            EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_CONTROL_OVER_31)));
            const std::vector<std::string> log = Log();
            EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& r) { return r.rfind("W 037A", 0) == 0; }),
                      1);
        }
    });
}

// --- read mode and close -----------------------------------------------------------

TEST_F(SysinfoTest, ReadModeDrivesTheControlRegisterWith32UntilClose)
{
    sim.SetRegisters(Lpt1, 0x00, 0x00, 0x04);
    const tk::ModalResult result = Show([this](TSystemInfo& d) {
        ClearAll();
        d.ReadCB->SetChecked(true);
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_READ_MODE_ON)));
        EXPECT_TRUE(d.ReadMode);
        for (TLedButton* led : {d.C3, d.C2, d.C1, d.C0}) EXPECT_FALSE(led->Enabled()) << led->Name();
        EXPECT_FALSE(d.EdtControl->Enabled());
        EXPECT_TRUE(d.EdtControl->ReadOnly());
        EXPECT_EQ(d.EdtControl->Text(), "32");
        // 32 is kept out; the previous control value stays in the register.
        EXPECT_THAT(Log(), ElementsAre("W 037A=04"));

        ClearAll();
        ClickLed(d.B1);
        EXPECT_THAT(Log(), ElementsAre("W 0378=02", "R 0378=02", "W 0378=02", "W 037A=20", "R 037A=20", "R 0379=00"));
        EXPECT_THAT(messages.texts, IsEmpty());

        ClearAll();
        ClickClose();
        EXPECT_THAT(Log(), ElementsAre("W 037A=00", "W 037A=00"));
        EXPECT_THAT(messages.texts, ElementsAre(Text(S_SYSINFO_READ_MODE_OFF)));
        EXPECT_FALSE(d.ReadCB->Checked());
        EXPECT_FALSE(d.ReadMode);
        for (TLedButton* led : {d.C3, d.C2, d.C1, d.C0}) EXPECT_TRUE(led->Enabled()) << led->Name();
        EXPECT_TRUE(d.EdtControl->Enabled());
        EXPECT_FALSE(d.EdtControl->ReadOnly());
        EXPECT_EQ(d.EdtControl->Text(), "0");
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(SysinfoTest, CloseWithoutReadModeWritesZeroOnce)
{
    sim.SetRegisters(Lpt1, 0x00, 0x00, 0x04);
    const tk::ModalResult result = Show([this](TSystemInfo&) {
        ClearAll();
        ClickClose();
        EXPECT_THAT(Log(), ElementsAre("W 037A=00"));
        EXPECT_THAT(messages.texts, IsEmpty());
    });
    EXPECT_EQ(result, tk::mrOk);
}

TEST_F(SysinfoTest, CloseBoxKeepsReadModeForTheNextShowing)
{
    const tk::ModalResult result = Show([this](TSystemInfo& d) {
        d.ReadCB->SetChecked(true);
        ClickLed(d.B0);
        ClearAll();
    });
    EXPECT_EQ(result, tk::mrCancel);
    EXPECT_THAT(Log(), IsEmpty());
    EXPECT_TRUE(dialog->ReadMode);
    EXPECT_EQ(sim.ControlLatch(Lpt1), 0x20);

    Show([this](TSystemInfo& d) {
        EXPECT_TRUE(d.ReadCB->Checked());
        // The control register still reverses the data lines: the data
        // register reads the (idle) inputs, and that is written back.
        EXPECT_THAT(Log(), ElementsAre("R 0378=00", "R 0379=00", "R 037A=20", "W 0378=00"));
        EXPECT_EQ(d.EdtControl->Text(), "32");
        for (TLedButton* led : {d.C3, d.C2, d.C1, d.C0}) EXPECT_FALSE(led->Enabled()) << led->Name();
        EXPECT_FALSE(d.EdtControl->Enabled());
        EXPECT_TRUE(d.B0->Enabled());
        ClickClose();
    });
    EXPECT_FALSE(dialog->ReadMode);
}

// --- no parallel port --------------------------------------------------------------

TEST_F(SysinfoTest, WithoutAParallelPortNoRegisterIsTouched)
{
    sim.SetRegisters(Lpt1, 0x55, 0x78, 0x04);
    dialog->SetPortAddress(0);
    const tk::ModalResult result = Show([this](TSystemInfo& d) {
        EXPECT_EQ(d.UsedPort->Caption(), Text(S_SYSINFO_NO_PORT));
        EXPECT_EQ(d.EdtBase->Text(), "");
        EXPECT_EQ(d.EdtControl->Text(), "");
        EXPECT_EQ(d.EdtFeedback->Text(), "");
        for (TLedButton* led : {d.B7, d.B6, d.B5, d.B4, d.B3, d.B2, d.B1, d.B0, d.F7, d.F6, d.F5, d.F4, d.F3, d.C3,
                                d.C2, d.C1, d.C0}) {
            EXPECT_FALSE(led->Enabled()) << led->Name();
            EXPECT_FALSE(led->State()) << led->Name();
        }
        EXPECT_FALSE(d.EdtBase->Enabled());
        EXPECT_FALSE(d.EdtControl->Enabled());
        EXPECT_FALSE(d.ReadCB->Enabled());

        // Whatever still reaches the handlers stays away from the ports.
        d.EdtBase->SetText("7");
        d.EdtControl->SetText("3");
        d.B7Click(d.B7);
        d.ReadCB->SetChecked(true);
        ClickClose();
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_THAT(Log(), IsEmpty());
    EXPECT_EQ(sim.Peek(0x0002), 0xFF);

    // Once a port is there again, the checkup works as before.
    dialog->SetPortAddress(Lpt1);
    ClearAll();
    Show([this](TSystemInfo& d) {
        EXPECT_THAT(Log(), ElementsAre("R 0378=55", "R 0379=78", "R 037A=04", "W 0378=55", "W 037A=04"));
        EXPECT_EQ(d.UsedPort->Caption(), "Used Port: $378");
        EXPECT_TRUE(d.B7->Enabled());
        EXPECT_TRUE(d.C0->Enabled());
        EXPECT_TRUE(d.EdtBase->Enabled());
        EXPECT_TRUE(d.ReadCB->Enabled());
        EXPECT_FALSE(d.F7->Enabled());
        EXPECT_EQ(DataLeds(), "01010101");
    });
}

TEST_F(SysinfoTest, WithoutAPortComponentNothingIsRead)
{
    dialog->SetPortIO(nullptr);
    Show([this](TSystemInfo& d) {
        EXPECT_EQ(d.UsedPort->Caption(), Text(S_SYSINFO_NO_PORT));
        ClickClose();
    });
    EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(SysinfoTest, ClosedDriverShowsZerosWithoutAMessage)
{
    sim.SetRegisters(Lpt1, 0x55, 0x78, 0x04);
    port->ClosePort();
    Show([this](TSystemInfo& d) {
        EXPECT_EQ(d.EdtBase->Text(), "0");
        EXPECT_EQ(d.EdtControl->Text(), "0");
        EXPECT_EQ(d.EdtFeedback->Text(), "0");
        EXPECT_THAT(messages.texts, IsEmpty());
        ClickClose();
    });
    EXPECT_THAT(Log(), IsEmpty());
}

}  // namespace
