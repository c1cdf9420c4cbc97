// A plug-in that faults or answers out of range (HostilePlugIn.dll, told
// what to do through ZP_HOSTILE): a fault ends the command it happened in,
// with the device switched off, the busy flag cleared and an error box that
// names the plug-in, and the program goes on; texts the plug-in takes back
// after returning were copied at once; a read's Data is kept as its byte.
#include "DeviceTestSupport.h"

#include "programmer/SpecialBits.h"
#include "toolkit/Menus.h"

#include <gmock/gmock.h>

#include <memory>

namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::string kHostile = "testplugins\\HostilePlugIn.dll";

class PlugInFaults : public DeviceFixture {
protected:
    TMainForm& StartHostile(const std::string& behaviour)
    {
        Behave(behaviour);
        return StartWith("", "PORTS=378\n", kHostile);
    }
    void Behave(const std::string& behaviour)
    {
        behaviour_.reset();
        behaviour_ = std::make_unique<EnvironmentOverride>("ZP_HOSTILE", behaviour);
    }
    // The start of the error text, up to the address of the fault.
    static std::string FaultText(const char* function, const char* code)
    {
        return "The plug-in " + kHostile + " failed in " + function + ": exception $" + code + " at address $";
    }

    std::unique_ptr<EnvironmentOverride> behaviour_;
};

TEST_F(PlugInFaults, AFaultInTheMiddleOfAReadEndsThatCommandOnlyWithTheDeviceOff)
{
    TMainForm& form = StartHostile("read-fault=40");
    WatchCalls();
    // As a user's menu choice, so the exception takes the program's own way
    // to the error box.
    messages_.Answer(tk::mrOk);
    ::PostMessageA(form.Handle(), WM_COMMAND, form.MnuReadFlash->Command(), 0);
    PumpMessages();
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 7u) << ::testing::PrintToString(calls);
    EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.end() - 1),
                ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                            "ReadFlashAddress 0000-003F", "PowerOffDevice"));
    EXPECT_THAT(calls.back(), StartsWith("box " + FaultText("ReadFlashAddress", "C0000005")));
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_FALSE(form.DeviceLoopRunning());

    // The next command works.
    Behave("");
    ClearCalls();
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
    EXPECT_EQ(Calls().back(), "PowerOffDevice");
}

TEST_F(PlugInFaults, EveryKindOfHardwareExceptionBecomesTheToolkitsException)
{
    TMainForm& form = StartHostile("");
    const std::pair<const char*, const char*> kinds[] = {
        {"av", "C0000005"}, {"ud", "C000001D"}, {"div", "C0000094"}, {"stack", "C00000FD"}};
    for (const auto& [kind, code] : kinds) {
        Behave(std::string("read-fault=3,fault=") + kind);
        try {
            form.Action_ReadPromExecute(nullptr);
            ADD_FAILURE() << kind << ": no exception";
        } catch (const EPlugInFault& e) {
            EXPECT_THAT(e.Message(), StartsWith(FaultText("ReadEEpromAddress", code))) << kind;
        }
        EXPECT_EQ(MainUnit().Busy, 0);
    }
    // The stack is whole again and later faults are caught as well.
    Behave("read-fault=3,fault=stack");
    EXPECT_THROW(form.Action_ReadPromExecute(nullptr), EPlugInFault);

    // An exception the plug-in handles itself is none of the program's.
    Behave("read-raise=1");
    form.Action_ReadPromExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "EEprom read successfully");
}

TEST_F(PlugInFaults, TextsAreCopiedAtOnceAndUnreadableOnesEndTheCommand)
{
    // The category names are gone once the plug-in has returned.
    TMainForm& form = StartHostile("categories=released");
    EXPECT_EQ(form.MnuSpecialBits2->Caption(), "Hostile Locks");
    form.FCommandMode = 1;
    form.ProgramSpecialBits(form.BtSpecialBits1);
    ASSERT_NE(SBForm(), nullptr);
    EXPECT_EQ(SBForm()->Caption(), "Hostile Fuses");

    // Names that cannot be read at all.
    Behave("categories=garbage");
    try {
        form.Action_LoadPluginExecute(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EPlugInFault& e) {
        EXPECT_THAT(e.Message(), StartsWith(FaultText("GetSpecialBitsCategoryName", "C0000005")));
    }
    EXPECT_EQ(MainUnit().Busy, 0);

    // A name that runs into an unreadable page.
    Behave("name=unterminated");
    WatchCalls();
    try {
        form.Action_GetChipIdExecute(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EPlugInFault& e) {
        EXPECT_THAT(e.Message(), StartsWith(FaultText("GetDeviceFoundName", "C0000005")));
    }
    EXPECT_EQ(Calls().back(), "GetDeviceFoundName");
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(PlugInFaults, ReadDataIsKeptAsItsLowByte)
{
    TMainForm& form = StartHostile("");
    for (const auto& [data, byte] : {std::pair{"0x12345678", 0x78}, {"-1", 0xFF}, {"256", 0x00}}) {
        Behave(std::string("read-data=") + data);
        form.Action_ReadFlashExecute(nullptr);
        EXPECT_EQ(MainUnit().FlashBuffer, std::vector<std::int32_t>(256, byte)) << data;
        form.Action_VerifyFlashExecute(nullptr);
        EXPECT_EQ(form.PanelText(1), "Flash read successfully") << data;
    }
}

}  // namespace
