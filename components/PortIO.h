// PortIO: reads and writes single bytes of PC I/O ports through the Varize
// kernel driver. On NT-family systems the driver runs as a kernel service
// that this component installs and starts on demand; on other platforms it
// is a virtual device opened by file name. Failures are reported through
// LastOpOk and LastError only.
#pragma once

#include <windows.h>
#include <winsvc.h>

#include <cstdint>
#include <functional>
#include <string>

// Every operating-system call the port component makes. Win32() binds the
// real functions; tests put a simulated driver and service manager in place.
struct PortIOSystem {
    std::function<BOOL(OSVERSIONINFOA*)> GetVersionExA;
    std::function<UINT(LPSTR, UINT)> GetSystemDirectoryA;
    std::function<DWORD(HMODULE, LPSTR, DWORD)> GetModuleFileNameA;
    std::function<DWORD(LPCSTR)> GetFileAttributesA;
    std::function<SC_HANDLE(LPCSTR, LPCSTR, DWORD)> OpenSCManagerA;
    std::function<SC_HANDLE(SC_HANDLE, LPCSTR, LPCSTR, DWORD, DWORD, DWORD, DWORD, LPCSTR,
                            LPCSTR, LPDWORD, LPCSTR, LPCSTR, LPCSTR)>
        CreateServiceA;
    std::function<SC_HANDLE(SC_HANDLE, LPCSTR, DWORD)> OpenServiceA;
    std::function<BOOL(SC_HANDLE, DWORD, LPCSTR*)> StartServiceA;
    std::function<BOOL(SC_HANDLE, DWORD, LPSERVICE_STATUS)> ControlService;
    std::function<BOOL(SC_HANDLE)> DeleteService;
    std::function<BOOL(SC_HANDLE)> CloseServiceHandle;
    std::function<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>
        CreateFileA;
    std::function<BOOL(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>
        DeviceIoControl;
    std::function<BOOL(HANDLE)> CloseHandle;
    std::function<DWORD()> GetLastError;

    static PortIOSystem Win32();
};

class TPortIO {
public:
    // Platform kinds that DetectWindows reports; only the two NT kinds take
    // the service road.
    static constexpr int KindOther = 0;
    static constexpr int KindWin32s = 1;
    static constexpr int KindWin95 = 2;
    static constexpr int KindWin98 = 3;
    static constexpr int KindWinNT4 = 4;
    static constexpr int KindWin2000 = 5;
    static constexpr int KindWinMe = 6;

    static constexpr DWORD ServiceExists = 1073;         // ERROR_SERVICE_EXISTS
    static constexpr DWORD ServiceAlreadyRunning = 1056; // ERROR_SERVICE_ALREADY_RUNNING
    static constexpr DWORD InvalidHandle = 6;            // ERROR_INVALID_HANDLE

    explicit TPortIO(PortIOSystem system = PortIOSystem::Win32());
    // Closes the driver; on the service road also stops and removes the
    // service, but only what this instance itself started and created.
    ~TPortIO();
    TPortIO(const TPortIO&) = delete;
    TPortIO& operator=(const TPortIO&) = delete;

    // Opens the driver, installing and starting the service first on the
    // service road. True when DriverHandle is open on return.
    bool OpenPort();
    void ClosePort();
    // One read request; 0 when closed or when the request fails.
    std::uint16_t ReadPort(std::uint16_t port);
    // One write request carrying the low byte of value.
    void WritePort(std::uint16_t port, std::uint16_t value);

    bool Opened() const { return driverHandle_ != INVALID_HANDLE_VALUE; }
    // Brings the component into the requested state; already there, nothing.
    void SetOpened(bool value);
    HANDLE DriverHandle() const { return driverHandle_; }

    // Service steps: each clears LastError, then records the failing call's code.
    void OpenServiceManager();
    void CloseServiceManager();
    void InstallDriverService();
    void StartDriverService();
    void StopDriverService();
    void RemoveDriverService();
    int DetectWindows();

    static DWORD MakeIoControlCode(DWORD deviceType, DWORD function, DWORD method, DWORD access);

    bool LastOpOk() const { return lastOpOk_; }
    DWORD LastError() const { return lastError_; }
    int OsKind() const { return osKind_; }
    bool UsesServiceRoad() const { return osKind_ == KindWinNT4 || osKind_ == KindWin2000; }
    DWORD ReadCode() const { return readCode_; }
    DWORD WriteCode() const { return writeCode_; }
    const std::string& DriverName() const { return driverName_; }
    SC_HANDLE ServiceManager() const { return serviceManager_; }
    DWORD BytesReturned() const { return bytesReturned_; }
    const std::uint8_t* WriteRequest() const { return writeRequest_; }

    // Whether the destructor may stop or remove the service at all; both
    // start True and only the owner changes them.
    bool RemoveServiceOnClose = true;
    bool StopServiceOnClose = true;
    // What this instance did to the service: it created it / it started it.
    // Finding the service already there or running later never clears them,
    // so reopening the port keeps the knowledge for the destructor.
    bool CreatedService() const { return createdService_; }
    bool StartedService() const { return startedService_; }

    // Driver file the service is created from: Varize.sys beside the program
    // when it is there, otherwise in the Windows system folder.
    std::string DriverBinaryPath() const;

private:
    std::string SystemDirectory() const;
    bool OpenDeviceRoad();
    void RecordFailure();

    PortIOSystem sys_;
    bool lastOpOk_ = false;
    DWORD lastError_ = 0;
    int osKind_ = KindOther;
    DWORD readCode_ = 0;
    DWORD writeCode_ = 0;
    std::string driverName_ = "Varize";
    bool createdService_ = false;
    bool startedService_ = false;
    SC_HANDLE serviceManager_ = nullptr;
    HANDLE driverHandle_ = INVALID_HANDLE_VALUE;
    DWORD bytesReturned_ = 0;
    std::uint8_t writeRequest_[4] = {0, 0, 0, 0};
};
