// Shared fixture of the device tests.
#include "DeviceTestSupport.h"

#include "toolkit/StrConv.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>

// --- allocation counter ------------------------------------------------------------------

namespace {
std::atomic<long> g_allocations{0};
}

long AllocationCount() { return g_allocations.load(); }

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// --- shims -------------------------------------------------------------------------------

namespace {
DeviceFixture* g_fixture = nullptr;
TPlugInEntryPoints g_real;
}  // namespace

// The host calls these instead of the plug-in; each logs and forwards.
struct DeviceShims {
    static void Before(const char* name, std::int32_t address = -1)
    {
        if (g_fixture->onCall)
            g_fixture->onCall(name, address);
    }
    static std::string Result(const char* name, std::uint8_t ok)
    {
        return ok ? std::string(name) : std::string(name) + " FAIL";
    }

    static void __stdcall PowerOffDevice(std::int32_t port)
    {
        Before("PowerOffDevice");
        g_fixture->Log("PowerOffDevice");
        g_real.PowerOffDevice(port);
    }
    static std::uint8_t __stdcall PowerUpDevice(std::int32_t port)
    {
        Before("PowerUpDevice");
        const std::uint8_t ok = g_real.PowerUpDevice(port);
        g_fixture->Log(Result("PowerUpDevice", ok));
        return ok;
    }
    static std::uint8_t __stdcall CheckProgrammingDevice(std::int32_t port)
    {
        Before("CheckProgrammingDevice");
        const std::uint8_t ok = g_real.CheckProgrammingDevice(port);
        g_fixture->Log(Result("CheckProgrammingDevice", ok));
        return ok;
    }
    static void __stdcall CheckSignature(std::int32_t port)
    {
        Before("CheckSignature");
        g_fixture->Log("CheckSignature");
        g_real.CheckSignature(port);
    }
    static std::uint8_t __stdcall EnableProgramming(std::int32_t port)
    {
        Before("EnableProgramming");
        const std::uint8_t ok = g_real.EnableProgramming(port);
        g_fixture->Log(Result("EnableProgramming", ok));
        return ok;
    }
    static void __stdcall EraseChip(std::int32_t port)
    {
        Before("EraseChip");
        g_fixture->Log("EraseChip");
        g_real.EraseChip(port);
    }
    static const char* __stdcall GetDeviceFoundName()
    {
        Before("GetDeviceFoundName");
        g_fixture->Log("GetDeviceFoundName");
        const char* name = g_real.GetDeviceFoundName();
        return g_fixture->deviceNameAnswer ? g_fixture->deviceNameAnswer() : name;
    }
    static std::int32_t __stdcall GetDeviceFoundFlashSize()
    {
        Before("GetDeviceFoundFlashSize");
        g_fixture->Log("GetDeviceFoundFlashSize");
        const std::int32_t size = g_real.GetDeviceFoundFlashSize();
        return g_fixture->flashSizeAnswer ? g_fixture->flashSizeAnswer() : size;
    }
    static std::int32_t __stdcall GetDeviceFoundEEpromSize()
    {
        Before("GetDeviceFoundEEpromSize");
        g_fixture->Log("GetDeviceFoundEEpromSize");
        const std::int32_t size = g_real.GetDeviceFoundEEpromSize();
        return g_fixture->eepromSizeAnswer ? g_fixture->eepromSizeAnswer() : size;
    }
    static std::uint8_t __stdcall ReadFlashAddress(std::int32_t port, std::int32_t address, std::int32_t* data)
    {
        Before("ReadFlashAddress", address);
        const std::uint8_t ok = g_real.ReadFlashAddress(port, address, data);
        g_fixture->LogAddress("ReadFlashAddress", address, ok != 0);
        return ok;
    }
    static std::uint8_t __stdcall WriteFlashAddress(std::int32_t port, std::int32_t address, std::int32_t data)
    {
        Before("WriteFlashAddress", address);
        const std::uint8_t ok = g_real.WriteFlashAddress(port, address, data);
        g_fixture->LogAddress("WriteFlashAddress", address, ok != 0);
        return ok;
    }
    static std::uint8_t __stdcall ReadEEpromAddress(std::int32_t port, std::int32_t address, std::int32_t* data)
    {
        Before("ReadEEpromAddress", address);
        const std::uint8_t ok = g_real.ReadEEpromAddress(port, address, data);
        g_fixture->LogAddress("ReadEEpromAddress", address, ok != 0);
        return ok;
    }
    static std::uint8_t __stdcall WriteEEpromAddress(std::int32_t port, std::int32_t address, std::int32_t data)
    {
        Before("WriteEEpromAddress", address);
        const std::uint8_t ok = g_real.WriteEEpromAddress(port, address, data);
        g_fixture->LogAddress("WriteEEpromAddress", address, ok != 0);
        return ok;
    }
};

// --- fixture -----------------------------------------------------------------------------

DeviceFixture::LoggingMessages::LoggingMessages(DeviceFixture& fixture, tk::MessageService& answers)
    : fixture_(fixture), answers_(answers), override_(tk::MessageSeam(), *this)
{
}

tk::ModalResult DeviceFixture::LoggingMessages::Show(const tk::MessageRequest& request)
{
    fixture_.Log("box " + request.text);
    return answers_.Show(request);
}

DeviceFixture::LoggingSleeps::LoggingSleeps(DeviceFixture& fixture)
    : fixture_(fixture), override_(tk::SleepBeepSeam(), *this)
{
}

void DeviceFixture::LoggingSleeps::Sleep(unsigned milliseconds)
{
    fixture_.sleeps_.push_back(milliseconds);
    fixture_.Log("Sleep " + std::to_string(milliseconds));
}

DeviceFixture::DeviceFixture()
    : demoDir_("ZP_DEMO_DIR", demo_.Path()), loggingMessages_(*this, messages_), loggingSleeps_(*this)
{
    log_.reserve(4096);
}

DeviceFixture::~DeviceFixture()
{
    // The plug-in writes its chip back when it is freed: before its folder goes.
    DestroyMainForm();
    ResetMainUnit();
    g_fixture = nullptr;
    // A quit message left by a test that ended the program must not reach the next.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void DeviceFixture::ConfigureDemo(const std::string& config)
{
    ASSERT_TRUE(WriteTextFile(demo_.File("DemoPlugin.cfg"), config + "TRACE=1\nTRACE_PORTS=1\nSTRICT=1\n"));
}

TMainForm& DeviceFixture::StartWith(const std::string& demoConfig, const std::string& ports,
                                    const std::string& library)
{
    ConfigureDemo(demoConfig);
    TMainForm& form = CreateMainForm(ports, /*commandMode=*/true);
    form.FScriptPlugInName = library;
    form.Action_LoadPluginExecute(nullptr);
    form.FCommandMode = 0;
    form.MarkCommandLineProcessed();
    return form;
}

void DeviceFixture::WatchCalls()
{
    g_fixture = this;
    TPlugInEntryPoints& p = MainUnit().PlugIn;
    g_real = p;
    p.PowerOffDevice = &DeviceShims::PowerOffDevice;
    p.PowerUpDevice = &DeviceShims::PowerUpDevice;
    p.CheckProgrammingDevice = &DeviceShims::CheckProgrammingDevice;
    p.CheckSignature = &DeviceShims::CheckSignature;
    p.EnableProgramming = &DeviceShims::EnableProgramming;
    p.EraseChip = &DeviceShims::EraseChip;
    p.GetDeviceFoundName = &DeviceShims::GetDeviceFoundName;
    p.GetDeviceFoundFlashSize = &DeviceShims::GetDeviceFoundFlashSize;
    p.GetDeviceFoundEEpromSize = &DeviceShims::GetDeviceFoundEEpromSize;
    p.ReadFlashAddress = &DeviceShims::ReadFlashAddress;
    p.WriteFlashAddress = &DeviceShims::WriteFlashAddress;
    p.ReadEEpromAddress = &DeviceShims::ReadEEpromAddress;
    p.WriteEEpromAddress = &DeviceShims::WriteEEpromAddress;
    ClearCalls();
}

void DeviceFixture::ClearCalls()
{
    log_.clear();
    sleeps_.clear();
}

void DeviceFixture::Log(std::string line)
{
    Entry entry;
    entry.name = std::move(line);
    log_.push_back(std::move(entry));
}

void DeviceFixture::LogAddress(const char* name, std::int32_t address, bool ok)
{
    if (!log_.empty()) {
        Entry& last = log_.back();
        if (last.perAddress && last.name == name && last.last + 1 == address) {
            last.last = address;
            last.failed += ok ? 0 : 1;
            return;
        }
    }
    Entry entry;
    entry.name = name;
    entry.perAddress = true;
    entry.first = entry.last = address;
    entry.failed = ok ? 0 : 1;
    log_.push_back(std::move(entry));
}

std::vector<std::string> DeviceFixture::Calls() const
{
    std::vector<std::string> lines;
    for (const Entry& entry : log_) {
        if (!entry.perAddress) {
            lines.push_back(entry.name);
            continue;
        }
        std::string line = entry.name + " " + tk::IntToHex(entry.first, 4) + "-" + tk::IntToHex(entry.last, 4);
        if (entry.failed)
            line += " failed=" + std::to_string(entry.failed);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> DeviceFixture::Trace() const { return ReadLines(demo_.File("DemoPlugin.trace")); }

void DeviceFixture::ClearTrace() const { ::DeleteFileA(demo_.File("DemoPlugin.trace").c_str()); }

std::vector<std::uint8_t> DeviceFixture::Chip(const std::string& file, std::size_t size) const
{
    std::ifstream in(demo_.File(file), std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(size, 0xFF);
    return bytes;
}

void DeviceFixture::Seed(const std::string& file, const std::vector<std::uint8_t>& bytes) const
{
    std::ofstream out(demo_.File(file), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> DeviceFixture::Pattern(std::size_t size, int seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 13 + static_cast<std::size_t>(seed)) & 0xFF);
    return bytes;
}

std::vector<std::int32_t> DeviceFixture::AsBuffer(const std::vector<std::uint8_t>& bytes)
{
    return std::vector<std::int32_t>(bytes.begin(), bytes.end());
}
