// A plug-in that faults or answers out of range (HostilePlugIn.dll, told
// what to do through ZP_HOSTILE): a fault ends the command it happened in,
// with the device switched off, the busy flag cleared and an error box that
// names the plug-in, and the program goes on; texts the plug-in takes back
// after returning were copied at once; a read's Data is kept as its byte.
#include "DeviceTestSupport.h"

#include "programmer/SpecialBits.h"
#include "tests/support/TestLibraries.h"
#include "toolkit/Menus.h"

#include <gmock/gmock.h>

#include <memory>

namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::string kHostile = TestLibraryFolderFromProgram() + "HostilePlugIn.dll";

class PlugInFaults : public DeviceFixture {
protected:
    TMainForm& StartHostile()
    {
        Behave("");
        return StartWith("", "PORTS=378\n", kHostile);
    }
    void Behave(const std::string& behaviour)
    {
        behaviour_.reset();
        behaviour_ = std::make_unique<EnvironmentOverride>("ZP_HOSTILE", behaviour);
    }
    // The error text up to the fault's address, from what `command` raised.
    static std::string FaultOf(const std::function<void()>& command)
    {
        try {
            command();
        } catch (const EPlugInFault& e) {
            return e.Message().substr(0, e.Message().find(" at address $"));
        }
        return "no fault";
    }
    static std::string Expected(const char* function, const char* code)
    {
        return "The plug-in " + kHostile + " failed in " + function + ": exception $" + code;
    }

    std::unique_ptr<EnvironmentOverride> behaviour_;
};

TEST_F(PlugInFaults, AFaultInTheMiddleOfAReadEndsThatCommandOnlyWithTheDeviceOff)
{
    TMainForm& form = StartHostile();
    Behave("read-fault=40");
    WatchCalls();
    // A user's menu choice: the exception takes the program's own way to the box.
    messages_.Answer(tk::mrOk);
    ::PostMessageA(form.Handle(), WM_COMMAND, form.MnuReadFlash->Command(), 0);
    PumpMessages();
    std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 7u) << ::testing::PrintToString(calls);
    EXPECT_THAT(calls.back(), StartsWith("box " + Expected("ReadFlashAddress", "C0000005") + " at address $"));
    calls.pop_back();
    EXPECT_THAT(calls, ElementsAre("CheckProgrammingDevice", "PowerOffDevice", "PowerUpDevice", "EnableProgramming",
                                   "ReadFlashAddress 0000-003F", "PowerOffDevice"));
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_FALSE(form.DeviceLoopRunning());

    Behave("");
    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "Flash read successfully");
}

TEST_F(PlugInFaults, AStackOverflowIsCaughtTooAndAnExceptionThePlugInHandlesIsNoneOfOurs)
{
    TMainForm& form = StartHostile();
    for (int round = 0; round < 2; ++round) {
        Behave("read-fault=3,fault=stack");
        EXPECT_EQ(FaultOf([&] { form.Action_ReadPromExecute(nullptr); }), Expected("ReadEEpromAddress", "C00000FD"));
        EXPECT_EQ(MainUnit().Busy, 0);
    }
    Behave("read-raise=1");
    form.Action_ReadPromExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "EEprom read successfully");
}

// The program's own arithmetic goes on as before a plug-in faulted with its
// own rounding, precision and direction flag in force.
TEST_F(PlugInFaults, AFaultLeavesTheCallersFloatingPointStateAsItWas)
{
    TMainForm& form = StartHostile();
    std::uint16_t controlBefore = 0, controlAfter = 0;
    std::uint32_t sseBefore = 0, sseAfter = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(controlBefore));
#if defined(__x86_64__)
    __asm__ __volatile__("stmxcsr %0" : "=m"(sseBefore));
#endif
    Behave("read-fault=5,fpu=mess");
    EXPECT_EQ(FaultOf([&] { form.Action_ReadPromExecute(nullptr); }), Expected("ReadEEpromAddress", "C0000005"));
    __asm__ __volatile__("fnstcw %0" : "=m"(controlAfter));
#if defined(__x86_64__)
    __asm__ __volatile__("stmxcsr %0" : "=m"(sseAfter));
#endif
    EXPECT_EQ(controlAfter, controlBefore);
    EXPECT_EQ(sseAfter, sseBefore);
    volatile double third = 1.0;
    third = third / 3.0;
    EXPECT_EQ(third * 3.0, 1.0);
}

TEST_F(PlugInFaults, TextsAreCopiedAtOnceAndUnreadableOnesEndTheCommand)
{
    Behave("categories=released");
    TMainForm& form = StartWith("", "PORTS=378\n", kHostile);
    EXPECT_EQ(form.MnuSpecialBits2->Caption(), "Hostile Locks");
    form.FCommandMode = 1;
    form.ProgramSpecialBits(form.BtSpecialBits1);
    ASSERT_NE(SBForm(), nullptr);
    EXPECT_EQ(SBForm()->Caption(), "Hostile Fuses");

    Behave("categories=garbage");
    EXPECT_EQ(FaultOf([&] { form.Action_LoadPluginExecute(nullptr); }),
              Expected("GetSpecialBitsCategoryName", "C0000005"));
    Behave("name=unterminated");
    EXPECT_EQ(FaultOf([&] { form.Action_GetChipIdExecute(nullptr); }), Expected("GetDeviceFoundName", "C0000005"));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(PlugInFaults, ReadDataIsKeptAsItsLowByte)
{
    TMainForm& form = StartHostile();
    for (const auto& [data, byte] : {std::pair{"0x12345678", 0x78}, {"-1", 0xFF}, {"256", 0x00}}) {
        Behave(std::string("read-data=") + data);
        form.Action_ReadFlashExecute(nullptr);
        EXPECT_EQ(MainUnit().FlashBuffer, std::vector<std::int32_t>(256, byte)) << data;
        form.Action_VerifyFlashExecute(nullptr);
        EXPECT_EQ(form.PanelText(1), "Flash read successfully") << data;
    }
}

}  // namespace
