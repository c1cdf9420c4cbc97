// TPortIO against the simulated platform: both driver roads, the service's
// life, the exact driver requests, and failures reported through fields.
#include "components/PortIO.h"
#include "tests/components/PortDriverSim.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const ProgramDriver = "C:\\Zelto\\Varize.sys";
const char* const SystemDriver = "C:\\WINDOWS\\system32\\Varize.sys";

class PortIOTest : public ::testing::Test {
protected:
    std::unique_ptr<TPortIO> Make() { return std::make_unique<TPortIO>(sim.System()); }

    PortDriverSim sim;
};

// Platform kinds and roads ------------------------------------------------

TEST_F(PortIOTest, PlatformKindsPickTheRoadAndTheCodes)
{
    struct Case {
        DWORD platform, major, minor;
        int kind;
    };
    const Case cases[] = {
        {VER_PLATFORM_WIN32s, 3, 11, 1}, {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 2},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 3}, {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 6},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 3, 0}, {VER_PLATFORM_WIN32_NT, 4, 0, 4},
        {VER_PLATFORM_WIN32_NT, 5, 1, 5}, {VER_PLATFORM_WIN32_NT, 5, 0, 5},
        {VER_PLATFORM_WIN32_NT, 3, 51, 0}, {VER_PLATFORM_WIN32_NT, 6, 1, 0},
        {VER_PLATFORM_WIN32_NT, 10, 0, 0}, {3, 5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
        sim.SetWindows(c.platform, c.major, c.minor);
        TPortIO port(sim.System());
        EXPECT_EQ(port.OsKind(), c.kind);
        const bool service = c.kind == 4 || c.kind == 5;
        EXPECT_EQ(port.UsesServiceRoad(), service);
        EXPECT_EQ(port.ReadCode(), service ? 0xF1006404u : 2u);
        EXPECT_EQ(port.WriteCode(), service ? 0xF100A408u : 3u);
    }
    // The version record is asked for with its full 148-byte size.
    EXPECT_EQ(sim.Calls().front(), "GetVersionExA(148)");
}

TEST_F(PortIOTest, IoControlCodesFollowTheWindowsLayout)
{
    EXPECT_EQ(TPortIO::MakeIoControlCode(0xF100, 0x901, 0, 1), 0xF1006404u);
    EXPECT_EQ(TPortIO::MakeIoControlCode(0xF100, 0x902, 0, 2), 0xF100A408u);
    EXPECT_EQ(TPortIO::MakeIoControlCode(0x22, 0x800, 3, 3), 0x0022E003u);
}

TEST_F(PortIOTest, StartsClosedAndTouchesNothingButTheVersion)
{
    auto port = Make();
    EXPECT_FALSE(port->Opened());
    EXPECT_EQ(port->DriverHandle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(port->ServiceManager(), nullptr);
    EXPECT_EQ(port->DriverName(), "Varize");
    EXPECT_TRUE(port->RemoveServiceOnClose);
    EXPECT_TRUE(port->StopServiceOnClose);
    EXPECT_FALSE(port->CreatedService());
    EXPECT_FALSE(port->StartedService());
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_THAT(sim.CallNames(), ElementsAre("GetVersionExA"));
}

// Service road ------------------------------------------------------------

TEST_F(PortIOTest, FirstRunCreatesServiceFromDriverBesideProgramAndRemovesItAgain)
{
    sim.AddFile(ProgramDriver);
    auto port = Make();
    sim.ClearLogs();

    ASSERT_TRUE(port->OpenPort());
    EXPECT_TRUE(port->Opened());
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_EQ(sim.ServiceBinaryPath(), ProgramDriver);
    EXPECT_TRUE(sim.ServiceRunning());
    EXPECT_TRUE(port->CreatedService());
    EXPECT_TRUE(port->StartedService());
    EXPECT_EQ(port->ServiceManager(), nullptr);
    // Only the driver handle stays open: every service handle was closed.
    EXPECT_EQ(sim.OpenHandleCount(), 1);
    EXPECT_THAT(sim.Calls(),
                ElementsAre("OpenSCManagerA(null,null,F003F)", "GetModuleFileNameA(null)",
                            "GetFileAttributesA(C:\\Zelto\\Varize.sys)",
                            "CreateServiceA(Varize,Varize,F01FF,1,3,1,C:\\Zelto\\Varize.sys)",
                            "CloseServiceHandle(service)", "OpenServiceA(Varize,F01FF)",
                            "StartServiceA(0,null)", "CloseServiceHandle(service)",
                            "CloseServiceHandle(manager)", "CreateFileA(\\\\.\\Varize,C0000000,0,3,80)"));

    sim.ClearLogs();
    port.reset();
    EXPECT_THAT(sim.Calls(),
                ElementsAre("CloseHandle()", "OpenSCManagerA(null,null,F003F)",
                            "OpenServiceA(Varize,F01FF)", "ControlService(1)",
                            "CloseServiceHandle(service)", "OpenServiceA(Varize,F01FF)",
                            "DeleteService()", "CloseServiceHandle(service)",
                            "CloseServiceHandle(manager)"));
    EXPECT_FALSE(sim.ServiceInstalled());
    EXPECT_EQ(sim.OpenHandleCount(), 0);
}

TEST_F(PortIOTest, FirstRunWithoutDriverBesideProgramTakesTheSystemFolder)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_EQ(sim.ServiceBinaryPath(), SystemDriver);
    EXPECT_EQ(sim.CallCount("GetSystemDirectoryA"), 1);
    EXPECT_EQ(port->DriverBinaryPath(), SystemDriver);
    port.reset();
    EXPECT_FALSE(sim.ServiceInstalled());
}

TEST_F(PortIOTest, ServiceInstalledAndRunningIsUsedAndLeftAlone)
{
    sim.InstallService(SystemDriver, true);
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_FALSE(port->CreatedService());
    EXPECT_FALSE(port->StartedService());
    port->ClosePort();
    sim.ClearLogs();
    port.reset();
    // Nothing to undo, so the service manager is not even opened.
    EXPECT_THAT(sim.Calls(), IsEmpty());
    EXPECT_TRUE(sim.ServiceInstalled());
    EXPECT_TRUE(sim.ServiceRunning());
}

TEST_F(PortIOTest, ServiceInstalledButStoppedIsStartedAndStoppedButNotRemoved)
{
    sim.InstallService(SystemDriver, false);
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_FALSE(port->CreatedService());
    EXPECT_TRUE(port->StartedService());
    sim.ClearLogs();
    port.reset();
    EXPECT_EQ(sim.CallCount("ControlService"), 1);
    EXPECT_EQ(sim.CallCount("DeleteService"), 0);
    EXPECT_TRUE(sim.ServiceInstalled());
    EXPECT_FALSE(sim.ServiceRunning());
}

TEST_F(PortIOTest, ReopeningKeepsKnowingThatThisInstanceCreatedTheService)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    port->ClosePort();
    // The second opening meets "exists" and "already running"; both are fine.
    ASSERT_TRUE(port->OpenPort());
    EXPECT_EQ(port->LastError(), 0u);
    ASSERT_TRUE(port->OpenPort());
    EXPECT_TRUE(port->CreatedService());
    EXPECT_TRUE(port->StartedService());
    port.reset();
    EXPECT_FALSE(sim.ServiceInstalled());
}

TEST_F(PortIOTest, CopyThatNeverOpenedLeavesTheRunningServiceAlone)
{
    auto first = Make();
    ASSERT_TRUE(first->OpenPort());
    {
        // A second copy of the program that ends early without using the port.
        TPortIO second(sim.System());
    }
    EXPECT_TRUE(sim.ServiceRunning());
    {
        // A second copy that opened and closed the port in between.
        TPortIO second(sim.System());
        ASSERT_TRUE(second.OpenPort());
        EXPECT_EQ(first->ReadPort(0x378), 0);
        EXPECT_TRUE(first->LastOpOk());
    }
    EXPECT_TRUE(sim.ServiceInstalled());
    EXPECT_TRUE(sim.ServiceRunning());
    first.reset();
    EXPECT_FALSE(sim.ServiceInstalled());
    EXPECT_EQ(sim.OpenHandleCount(), 0);
}

TEST_F(PortIOTest, PolicyFlagsLimitWhatTheDestructorUndoes)
{
    auto keepInstalled = Make();
    keepInstalled->RemoveServiceOnClose = false;
    ASSERT_TRUE(keepInstalled->OpenPort());
    keepInstalled.reset();
    EXPECT_TRUE(sim.ServiceInstalled());
    EXPECT_FALSE(sim.ServiceRunning());

    auto keepRunning = Make();
    keepRunning->StopServiceOnClose = false;
    ASSERT_TRUE(keepRunning->OpenPort());
    keepRunning.reset();
    EXPECT_TRUE(sim.ServiceRunning());
    EXPECT_EQ(sim.CallCount("DeleteService"), 0);
}

TEST_F(PortIOTest, DestructorRemovesTheServiceAlsoWhenStoppingFails)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    sim.FailNext("ControlService", ERROR_DEPENDENT_SERVICES_RUNNING);
    port.reset();
    EXPECT_EQ(sim.CallCount("DeleteService"), 1);
    EXPECT_FALSE(sim.ServiceInstalled());
    EXPECT_EQ(sim.OpenHandleCount(), 0);
}

TEST_F(PortIOTest, DestructorWithoutServiceManagerGivesUpQuietly)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    sim.FailNext("OpenSCManagerA", ERROR_ACCESS_DENIED);
    sim.ClearLogs();
    port.reset();
    EXPECT_THAT(sim.CallNames(), ElementsAre("CloseHandle", "OpenSCManagerA"));
    EXPECT_TRUE(sim.ServiceRunning());
}

TEST_F(PortIOTest, ServiceRoadFailuresLeaveTheCodeAndAClosedComponent)
{
    auto port = Make();

    sim.FailNext("OpenSCManagerA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(port->OpenPort());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_ACCESS_DENIED});
    EXPECT_EQ(sim.CallCount("CreateServiceA"), 0);

    sim.FailNext("CreateServiceA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(port->OpenPort());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_ACCESS_DENIED});
    EXPECT_EQ(sim.CallCount("StartServiceA"), 0);
    EXPECT_EQ(port->ServiceManager(), nullptr);

    // The driver file is nowhere: the service is created but cannot start.
    sim.RemoveFile(SystemDriver);
    sim.ClearLogs();
    EXPECT_FALSE(port->OpenPort());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(sim.CallCount("CreateFileA"), 0);
    EXPECT_TRUE(port->CreatedService());
    EXPECT_FALSE(port->StartedService());

    sim.AddFile(SystemDriver);
    sim.FailNext("CreateFileA", ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(port->OpenPort());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_SHARING_VIOLATION});
    EXPECT_FALSE(port->Opened());
    EXPECT_EQ(sim.OpenHandleCount(), 0);

    // The next attempt walks the whole road again and succeeds.
    EXPECT_TRUE(port->OpenPort());
    EXPECT_EQ(port->LastError(), 0u);
    port.reset();
    EXPECT_FALSE(sim.ServiceInstalled());
}

TEST_F(PortIOTest, ServiceStepsClearTheErrorAndKeepOneManager)
{
    auto port = Make();
    sim.FailNext("OpenSCManagerA", ERROR_ACCESS_DENIED);
    port->OpenServiceManager();
    EXPECT_EQ(port->LastError(), DWORD{ERROR_ACCESS_DENIED});
    EXPECT_EQ(port->ServiceManager(), nullptr);

    port->OpenServiceManager();
    EXPECT_EQ(port->LastError(), 0u);
    SC_HANDLE manager = port->ServiceManager();
    ASSERT_NE(manager, nullptr);
    port->OpenServiceManager();
    EXPECT_EQ(port->ServiceManager(), manager);
    EXPECT_EQ(sim.CallCount("OpenSCManagerA"), 2);

    port->StopDriverService();
    EXPECT_EQ(port->LastError(), DWORD{ERROR_SERVICE_DOES_NOT_EXIST});
    port->InstallDriverService();
    EXPECT_EQ(port->LastError(), 0u);
    port->InstallDriverService();
    EXPECT_EQ(port->LastError(), TPortIO::ServiceExists);
    port->StartDriverService();
    port->StartDriverService();
    EXPECT_EQ(port->LastError(), TPortIO::ServiceAlreadyRunning);
    port->StopDriverService();
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_FALSE(port->StartedService());
    port->RemoveDriverService();
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_FALSE(port->CreatedService());

    port->CloseServiceManager();
    EXPECT_EQ(port->ServiceManager(), nullptr);
    port->CloseServiceManager();
    EXPECT_EQ(sim.OpenHandleCount(), 0);
}

// Device road -------------------------------------------------------------

TEST_F(PortIOTest, NewerNtTakesTheDeviceRoadAndNeverTheServiceManager)
{
    sim.SetWindowsNT(6, 1);
    sim.AddFile("C:\\WINDOWS\\system32\\varize.vxd");
    auto port = Make();
    sim.ClearLogs();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_THAT(sim.Calls(),
                ElementsAre("CreateFileA(\\\\.\\varize.vxd,0,0,0,0) -> error 2",
                            "GetSystemDirectoryA(260)",
                            "CreateFileA(\\\\.\\C:\\WINDOWS\\system32\\varize.vxd,0,0,0,0)"));
    port.reset();
    EXPECT_EQ(sim.CallCount("OpenSCManagerA"), 0);
    EXPECT_EQ(sim.OpenHandleCount(), 0);
}

TEST_F(PortIOTest, DeviceRoadOpensTheShortNameFirst)
{
    sim.SetWindows9x(10);
    sim.AddFile("C:\\Zelto\\varize.vxd");
    auto port = Make();
    sim.ClearLogs();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_THAT(sim.Calls(), ElementsAre("CreateFileA(\\\\.\\varize.vxd,0,0,0,0)"));
}

TEST_F(PortIOTest, DeviceRoadWithNoDriverReportsTheSecondFailure)
{
    sim.SetWindows9x(90);
    sim.SetSystemDirectory("C:\\WINDOWS\\SYSTEM");
    auto port = Make();
    sim.FailNext("CreateFileA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(port->OpenPort());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_FALSE(port->Opened());
    EXPECT_EQ(sim.Calls().back(), "CreateFileA(\\\\.\\C:\\WINDOWS\\SYSTEM\\varize.vxd,0,0,0,0) -> error 2");
}

// Requests ----------------------------------------------------------------

TEST_F(PortIOTest, ServiceRoadRequestsCarryPortAndLowByte)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    sim.SetStatus(0x378, 0x78);
    sim.ClearLogs();

    port->WritePort(0x378, 0x1FF);
    EXPECT_TRUE(port->LastOpOk());
    EXPECT_EQ(sim.DataLatch(0x378), 0xFF);
    const std::uint8_t* request = port->WriteRequest();
    EXPECT_EQ(request[0], 0x78);
    EXPECT_EQ(request[1], 0x03);
    EXPECT_EQ(request[2], 0xFF);
    EXPECT_EQ(request[3], 0x00);

    // The reply's high byte is noise that must not reach the caller.
    EXPECT_EQ(port->ReadPort(0x379), 0x78);
    EXPECT_TRUE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), 0u);
    EXPECT_EQ(port->BytesReturned(), 2u);
    EXPECT_EQ(port->ReadPort(0x378), 0xFF);

    port->WritePort(0x3BE, 0x104);
    EXPECT_THAT(sim.RequestLog(), ElementsAre("W 0378=FF", "R 0379=78", "R 0378=FF", "W 03BE=04"));
    EXPECT_THAT(sim.Calls(), ElementsAre("DeviceIoControl(F100A408,0378)",
                                         "DeviceIoControl(F1006404,0379)",
                                         "DeviceIoControl(F1006404,0378)",
                                         "DeviceIoControl(F100A408,03BE)"));
}

TEST_F(PortIOTest, DeviceRoadRequestsUseThePlainCodes)
{
    sim.SetWindows9x(0);
    sim.AddFile("C:\\Zelto\\varize.vxd");
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    sim.ClearLogs();
    port->WritePort(0x27A, 0x0B);
    EXPECT_EQ(port->ReadPort(0x27A), 0x0B);
    EXPECT_THAT(sim.Calls(), ElementsAre("DeviceIoControl(3,027A)", "DeviceIoControl(2,027A)"));
    EXPECT_THAT(sim.RequestLog(), ElementsAre("W 027A=0B", "R 027A=0B"));
}

TEST_F(PortIOTest, ClosedComponentSendsNothing)
{
    auto port = Make();
    EXPECT_EQ(port->ReadPort(0x378), 0);
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), 6u);
    port->WritePort(0x378, 0x55);
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), 6u);

    ASSERT_TRUE(port->OpenPort());
    port->ReadPort(0x378);
    EXPECT_TRUE(port->LastOpOk());
    port->ClosePort();
    sim.ClearLogs();
    EXPECT_EQ(port->ReadPort(0x379), 0);
    EXPECT_EQ(port->LastError(), 6u);
    port->WritePort(0x378, 0x55);
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_THAT(sim.Calls(), IsEmpty());
    EXPECT_EQ(sim.DataLatch(0x378), 0);
}

TEST_F(PortIOTest, FailedRequestReadsZeroAndKeepsTheCode)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    sim.SetRegisters(0x378, 0x5A, 0, 0);
    sim.FailNext("DeviceIoControl", ERROR_GEN_FAILURE);
    EXPECT_EQ(port->ReadPort(0x378), 0);
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), DWORD{ERROR_GEN_FAILURE});
    sim.FailNext("DeviceIoControl", ERROR_GEN_FAILURE);
    port->WritePort(0x378, 0x11);
    EXPECT_FALSE(port->LastOpOk());
    EXPECT_EQ(sim.DataLatch(0x378), 0x5A);
    EXPECT_EQ(port->ReadPort(0x378), 0x5A);
    EXPECT_TRUE(port->LastOpOk());
    EXPECT_EQ(port->LastError(), 0u);
}

// Open and close ----------------------------------------------------------

TEST_F(PortIOTest, ClosingTwiceOrClosedIsHarmless)
{
    auto port = Make();
    port->ClosePort();
    ASSERT_TRUE(port->OpenPort());
    sim.ClearLogs();
    port->ClosePort();
    port->ClosePort();
    EXPECT_THAT(sim.CallNames(), ElementsAre("CloseHandle"));
    EXPECT_FALSE(port->Opened());
    EXPECT_EQ(port->DriverHandle(), INVALID_HANDLE_VALUE);
}

TEST_F(PortIOTest, OpeningAnOpenComponentReplacesItsHandle)
{
    auto port = Make();
    ASSERT_TRUE(port->OpenPort());
    HANDLE first = port->DriverHandle();
    sim.ClearLogs();
    ASSERT_TRUE(port->OpenPort());
    EXPECT_EQ(sim.CallNames().front(), "CloseHandle");
    EXPECT_NE(port->DriverHandle(), first);
    EXPECT_EQ(sim.OpenDriverHandleCount(), 1);
}

TEST_F(PortIOTest, OpenedPropertyFollowsTheAssignedValue)
{
    auto port = Make();
    port->SetOpened(false);
    EXPECT_FALSE(port->Opened());
    port->SetOpened(true);
    EXPECT_TRUE(port->Opened());
    HANDLE handle = port->DriverHandle();
    port->SetOpened(true);
    EXPECT_TRUE(port->Opened());
    EXPECT_EQ(port->DriverHandle(), handle);
    port->SetOpened(false);
    EXPECT_FALSE(port->Opened());
    EXPECT_EQ(sim.OpenDriverHandleCount(), 0);
}

// The real platform: under Wine no Varize driver exists, so opening fails
// with a code and reads and writes stay harmless.
TEST(PortIOWin32, WithoutTheDriverFailuresStayInTheFields)
{
    TPortIO port;
    if (port.UsesServiceRoad())
        GTEST_SKIP() << "would install a kernel service on this platform";
    EXPECT_FALSE(port.OpenPort());
    EXPECT_NE(port.LastError(), 0u);
    EXPECT_EQ(port.ReadPort(0x378), 0);
    EXPECT_EQ(port.LastError(), 6u);
    port.WritePort(0x378, 0xFF);
    EXPECT_FALSE(port.LastOpOk());
}

} // namespace
