// The simulated parallel ports behave like the hardware the system-information
// window drives, so tests built on them check real register effects.
#include "components/PortIO.h"
#include "tests/components/PortDriverSim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

class PortDriverSimTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.OpenPort()); }

    PortDriverSim sim;
    TPortIO port{sim.System()};
};

TEST_F(PortDriverSimTest, StatusIsReadOnlyAndSetByTheTest)
{
    sim.SetStatus(0x378, 0x78);
    port.WritePort(0x379, 0x00);
    EXPECT_EQ(port.ReadPort(0x379), 0x78);
    sim.SetStatus(0x378, 0x87);
    EXPECT_EQ(port.ReadPort(0x379), 0x87);
}

TEST_F(PortDriverSimTest, ControlReadsBackItsLatchedBitsAndFixedBits)
{
    port.WritePort(0x37A, 0xFF);
    EXPECT_EQ(sim.ControlLatch(0x378), 0xFF);
    EXPECT_EQ(port.ReadPort(0x37A), 0x3F);
    // A port whose unused upper bits read as ones and whose bit 5 is not latched.
    sim.SetControlReadBack(0x278, 0x1F, 0xC0);
    port.WritePort(0x27A, 0x24);
    EXPECT_EQ(port.ReadPort(0x27A), 0xC4);
}

TEST_F(PortDriverSimTest, DataReadsTheLatchOrInReverseModeTheLines)
{
    sim.SetDataInput(0x3BC, 0xA5);
    port.WritePort(0x3BC, 0x3C);
    EXPECT_EQ(port.ReadPort(0x3BC), 0x3C);
    port.WritePort(0x3BE, 0x20);
    EXPECT_EQ(port.ReadPort(0x3BC), 0xA5);
    EXPECT_EQ(sim.DataLatch(0x3BC), 0x3C);
    port.WritePort(0x3BE, 0x00);
    EXPECT_EQ(port.ReadPort(0x3BC), 0x3C);
}

TEST_F(PortDriverSimTest, PortsAreIndependentAndUnknownPortsFloat)
{
    port.WritePort(0x278, 1);
    port.WritePort(0x378, 2);
    port.WritePort(0x3BC, 3);
    EXPECT_EQ(sim.DataLatch(0x278), 1);
    EXPECT_EQ(sim.DataLatch(0x378), 2);
    EXPECT_EQ(sim.DataLatch(0x3BC), 3);
    port.WritePort(0x2F8, 0x12);
    EXPECT_EQ(port.ReadPort(0x2F8), 0xFF);
    EXPECT_EQ(sim.Peek(0x37A), 0x00);
}

TEST_F(PortDriverSimTest, EveryRequestIsLoggedInOrder)
{
    sim.SetRegisters(0x378, 0x11, 0x22, 0x0C);
    sim.ClearLogs();
    port.ReadPort(0x378);
    port.ReadPort(0x379);
    port.ReadPort(0x37A);
    port.WritePort(0x37A, 0x04);
    EXPECT_THAT(sim.RequestLog(), ElementsAre("R 0378=11", "R 0379=22", "R 037A=0C", "W 037A=04"));
    ASSERT_EQ(sim.Requests().size(), 4u);
    EXPECT_EQ(sim.Requests()[3], (PortDriverSim::Request{true, 0x37A, 0x04}));
}

TEST_F(PortDriverSimTest, RequestsOnAClosedOrForeignHandleAreRefused)
{
    HANDLE stale = port.DriverHandle();
    port.ClosePort();
    PortIOSystem system = sim.System();
    std::uint8_t in[2] = {0x78, 0x03};
    std::uint8_t out[2] = {};
    DWORD returned = 0;
    EXPECT_FALSE(system.DeviceIoControl(stale, 0xF1006404, in, 2, out, 2, &returned, nullptr));
    EXPECT_EQ(system.GetLastError(), DWORD{ERROR_INVALID_HANDLE});
    EXPECT_TRUE(sim.Requests().empty());
}

} // namespace
