// PortIO: the Varize driver client. See PortIO.h.
#include "components/PortIO.h"

#include <utility>

namespace {

// Device name of the NT driver and file of the 9x virtual device.
constexpr const char* DevicePrefix = "\\\\.\\";
constexpr const char* VxdFileName = "varize.vxd";

// The service road's device type and functions (CTL_CODE layout).
constexpr DWORD VarizeDeviceType = 0xF100;
constexpr DWORD ReadFunction = 0x901;
constexpr DWORD WriteFunction = 0x902;
constexpr DWORD MethodBuffered = 0;
constexpr DWORD ReadAccess = 1;
constexpr DWORD WriteAccess = 2;
// The virtual device takes plain request numbers.
constexpr DWORD VxdReadCode = 2;
constexpr DWORD VxdWriteCode = 3;

constexpr UINT PathBufferSize = 260;

// Closes a service handle when the step that opened it returns.
class ScopedService {
public:
    ScopedService(const PortIOSystem& sys, SC_HANDLE handle) : sys_(sys), handle_(handle) {}
    ~ScopedService()
    {
        if (handle_)
            sys_.CloseServiceHandle(handle_);
    }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;
    SC_HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    const PortIOSystem& sys_;
    SC_HANDLE handle_;
};

} // namespace

PortIOSystem PortIOSystem::Win32()
{
    PortIOSystem s;
    s.GetVersionExA = ::GetVersionExA;
    s.GetSystemDirectoryA = ::GetSystemDirectoryA;
    s.GetModuleFileNameA = ::GetModuleFileNameA;
    s.GetFileAttributesA = ::GetFileAttributesA;
    s.OpenSCManagerA = ::OpenSCManagerA;
    s.CreateServiceA = ::CreateServiceA;
    s.OpenServiceA = ::OpenServiceA;
    s.StartServiceA = ::StartServiceA;
    s.ControlService = ::ControlService;
    s.DeleteService = ::DeleteService;
    s.CloseServiceHandle = ::CloseServiceHandle;
    s.CreateFileA = ::CreateFileA;
    s.DeviceIoControl = ::DeviceIoControl;
    s.CloseHandle = ::CloseHandle;
    s.GetLastError = ::GetLastError;
    return s;
}

TPortIO::TPortIO(PortIOSystem system) : sys_(std::move(system))
{
    osKind_ = DetectWindows();
    if (UsesServiceRoad()) {
        readCode_ = MakeIoControlCode(VarizeDeviceType, ReadFunction, MethodBuffered, ReadAccess);
        writeCode_ = MakeIoControlCode(VarizeDeviceType, WriteFunction, MethodBuffered, WriteAccess);
    } else {
        readCode_ = VxdReadCode;
        writeCode_ = VxdWriteCode;
    }
}

TPortIO::~TPortIO()
{
    ClosePort();
    if (!UsesServiceRoad())
        return;
    bool stop = StopServiceOnClose && startedService_;
    bool remove = RemoveServiceOnClose && createdService_;
    // A copy that neither created nor started the service leaves it alone,
    // so the copy that did keeps a working driver.
    if (!stop && !remove)
        return;
    OpenServiceManager();
    if (!serviceManager_)
        return;
    if (stop)
        StopDriverService();
    if (remove)
        RemoveDriverService();
    CloseServiceManager();
}

DWORD TPortIO::MakeIoControlCode(DWORD deviceType, DWORD function, DWORD method, DWORD access)
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

int TPortIO::DetectWindows()
{
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    sys_.GetVersionExA(&info);
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        return KindWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
        switch (info.dwMinorVersion) {
        case 0:
            return KindWin95;
        case 10:
            return KindWin98;
        case 90:
            return KindWinMe;
        default:
            return KindOther;
        }
    case VER_PLATFORM_WIN32_NT:
        switch (info.dwMajorVersion) {
        case 4:
            return KindWinNT4;
        case 5:
            return KindWin2000;
        default:
            return KindOther;
        }
    default:
        return KindOther;
    }
}

void TPortIO::RecordFailure()
{
    lastError_ = sys_.GetLastError();
}

std::string TPortIO::SystemDirectory() const
{
    char buffer[PathBufferSize] = {};
    UINT length = sys_.GetSystemDirectoryA(buffer, PathBufferSize);
    if (length == 0 || length >= PathBufferSize)
        return {};
    return std::string(buffer, length);
}

std::string TPortIO::DriverBinaryPath() const
{
    const std::string file = driverName_ + ".sys";
    char module[MAX_PATH + 1] = {};
    DWORD length = sys_.GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string directory(module, length);
        directory.erase(directory.find_last_of("\\/:") + 1);
        std::string besideProgram = directory + file;
        DWORD attributes = sys_.GetFileAttributesA(besideProgram.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return besideProgram;
    }
    return SystemDirectory() + "\\" + file;
}

void TPortIO::OpenServiceManager()
{
    lastError_ = 0;
    if (serviceManager_)
        return;
    serviceManager_ = sys_.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!serviceManager_)
        RecordFailure();
}

void TPortIO::CloseServiceManager()
{
    lastError_ = 0;
    if (!serviceManager_)
        return;
    if (!sys_.CloseServiceHandle(serviceManager_))
        RecordFailure();
    serviceManager_ = nullptr;
}

void TPortIO::InstallDriverService()
{
    lastError_ = 0;
    const std::string path = DriverBinaryPath();
    SC_HANDLE service = sys_.CreateServiceA(
        serviceManager_, driverName_.c_str(), driverName_.c_str(), SERVICE_ALL_ACCESS,
        SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, path.c_str(), nullptr,
        nullptr, nullptr, nullptr, nullptr);
    if (!service) {
        RecordFailure();
        return;
    }
    createdService_ = true;
    sys_.CloseServiceHandle(service);
}

void TPortIO::StartDriverService()
{
    lastError_ = 0;
    ScopedService service(sys_, sys_.OpenServiceA(serviceManager_, driverName_.c_str(),
                                                  SERVICE_ALL_ACCESS));
    if (!service) {
        RecordFailure();
        return;
    }
    if (!sys_.StartServiceA(service.get(), 0, nullptr)) {
        RecordFailure();
        return;
    }
    startedService_ = true;
}

void TPortIO::StopDriverService()
{
    lastError_ = 0;
    ScopedService service(sys_, sys_.OpenServiceA(serviceManager_, driverName_.c_str(),
                                                  SERVICE_ALL_ACCESS));
    if (!service) {
        RecordFailure();
        return;
    }
    SERVICE_STATUS status{};
    if (!sys_.ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
        RecordFailure();
        return;
    }
    startedService_ = false;
}

void TPortIO::RemoveDriverService()
{
    lastError_ = 0;
    ScopedService service(sys_, sys_.OpenServiceA(serviceManager_, driverName_.c_str(),
                                                  SERVICE_ALL_ACCESS));
    if (!service) {
        RecordFailure();
        return;
    }
    if (!sys_.DeleteService(service.get())) {
        RecordFailure();
        return;
    }
    createdService_ = false;
}

bool TPortIO::OpenPort()
{
    if (Opened())
        ClosePort();
    if (!UsesServiceRoad())
        return OpenDeviceRoad();

    OpenServiceManager();
    if (lastError_ != 0)
        return false;
    InstallDriverService();
    if (lastError_ == ServiceExists) {
        lastError_ = 0;
    } else if (lastError_ != 0) {
        DWORD installError = lastError_;
        CloseServiceManager();
        lastError_ = installError;
        return false;
    }
    StartDriverService();
    if (lastError_ == ServiceAlreadyRunning)
        lastError_ = 0;
    // Closing the manager must not hide why the start failed.
    DWORD startError = lastError_;
    CloseServiceManager();
    if (startError != 0)
        lastError_ = startError;
    if (lastError_ != 0)
        return false;

    const std::string device = DevicePrefix + driverName_;
    HANDLE handle = sys_.CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        RecordFailure();
        return false;
    }
    driverHandle_ = handle;
    return true;
}

bool TPortIO::OpenDeviceRoad()
{
    const std::string shortName = std::string(DevicePrefix) + VxdFileName;
    HANDLE handle = sys_.CreateFileA(shortName.c_str(), 0, 0, nullptr, 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const std::string fullName = DevicePrefix + SystemDirectory() + "\\" + VxdFileName;
        handle = sys_.CreateFileA(fullName.c_str(), 0, 0, nullptr, 0, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            RecordFailure();
            return false;
        }
    }
    lastError_ = 0;
    driverHandle_ = handle;
    return true;
}

void TPortIO::ClosePort()
{
    if (!Opened())
        return;
    sys_.CloseHandle(driverHandle_);
    driverHandle_ = INVALID_HANDLE_VALUE;
}

void TPortIO::SetOpened(bool value)
{
    if (value == Opened())
        return;
    if (value)
        OpenPort();
    else
        ClosePort();
}

std::uint16_t TPortIO::ReadPort(std::uint16_t port)
{
    if (!Opened()) {
        lastOpOk_ = false;
        lastError_ = InvalidHandle;
        return 0;
    }
    std::uint8_t request[2] = {static_cast<std::uint8_t>(port & 0xFF),
                               static_cast<std::uint8_t>(port >> 8)};
    std::uint8_t reply[2] = {0, 0};
    lastOpOk_ = sys_.DeviceIoControl(driverHandle_, readCode_, request, sizeof request, reply,
                                     sizeof reply, &bytesReturned_, nullptr) != FALSE;
    if (!lastOpOk_) {
        RecordFailure();
        return 0;
    }
    lastError_ = 0;
    return reply[0];
}

void TPortIO::WritePort(std::uint16_t port, std::uint16_t value)
{
    if (!Opened()) {
        lastOpOk_ = false;
        lastError_ = InvalidHandle;
        return;
    }
    writeRequest_[0] = static_cast<std::uint8_t>(port & 0xFF);
    writeRequest_[1] = static_cast<std::uint8_t>(port >> 8);
    writeRequest_[2] = static_cast<std::uint8_t>(value & 0xFF);
    writeRequest_[3] = 0;
    std::uint8_t reply[2] = {0, 0};
    lastOpOk_ = sys_.DeviceIoControl(driverHandle_, writeCode_, writeRequest_, sizeof writeRequest_,
                                     reply, sizeof reply, &bytesReturned_, nullptr) != FALSE;
    if (!lastOpOk_)
        RecordFailure();
    else
        lastError_ = 0;
}
