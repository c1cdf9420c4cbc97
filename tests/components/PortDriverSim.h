// PortDriverSim: a simulated machine behind TPortIO's system table. It plays
// the platform version, the program and system folders, the service control
// manager with the Varize service, both driver device names, and the three
// parallel ports' register files; it logs every call and every port request.
//
// Defaults: Windows XP (NT 5.1, service road), program "C:\Zelto\ZeltoPrg.exe",
// system folder "C:\WINDOWS\system32" holding Varize.sys, no service installed,
// all registers 0.
//
// Register model per port P of $278, $378, $3BC:
//   P      data latch; reads give the latch, or the external input set by
//          SetDataInput while control bit 5 (reverse direction) is set
//   P + 1  status, read-only to the driver, set by the test with SetStatus
//   P + 2  control latch; reads give (latch & latchMask) | fixedBits,
//          by default mask $3F and fixed bits 0 (SetControlReadBack)
// Other ports read $FF and ignore writes (no hardware there).
// A read reply carries $CC in its high byte: callers must take the low byte.
#pragma once

#include "components/PortIO.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

class PortDriverSim {
public:
    struct Request {
        bool write;
        std::uint16_t port;
        std::uint8_t value; // the byte written, or the byte read back
        bool operator==(const Request&) const = default;
    };

    PortDriverSim();
    PortDriverSim(const PortDriverSim&) = delete;
    PortDriverSim& operator=(const PortDriverSim&) = delete;

    // A table bound to this simulator; the simulator must outlive its users.
    PortIOSystem System();

    // Platform -----------------------------------------------------------
    void SetWindows(DWORD platformId, DWORD major, DWORD minor);
    void SetWindowsNT(DWORD major, DWORD minor = 0) { SetWindows(VER_PLATFORM_WIN32_NT, major, minor); }
    void SetWindows9x(DWORD minor) { SetWindows(VER_PLATFORM_WIN32_WINDOWS, 4, minor); }
    // Full path of the running program, e.g. "C:\Zelto\ZeltoPrg.exe".
    void SetProgramPath(const std::string& path) { programPath_ = path; }
    std::string ProgramDirectory() const; // with trailing backslash
    void SetSystemDirectory(const std::string& dir) { systemDirectory_ = dir; }
    const std::string& SystemDirectory() const { return systemDirectory_; }
    // Files that exist, by full path (case-insensitive).
    void AddFile(const std::string& path);
    void RemoveFile(const std::string& path);
    bool FileExists(const std::string& path) const;

    // Service manager ----------------------------------------------------
    // Puts the service in place as another program would have.
    void InstallService(const std::string& binaryPath, bool running);
    bool ServiceInstalled() const { return service_.installed; }
    bool ServiceRunning() const { return service_.running; }
    const std::string& ServiceBinaryPath() const { return service_.binaryPath; }
    // The next call of the named table function fails with the error.
    void FailNext(const std::string& function, DWORD error);

    // Registers ----------------------------------------------------------
    void SetStatus(std::uint16_t base, std::uint8_t value);
    void SetDataInput(std::uint16_t base, std::uint8_t value);
    void SetControlReadBack(std::uint16_t base, std::uint8_t latchMask, std::uint8_t fixedBits);
    void SetRegisters(std::uint16_t base, std::uint8_t data, std::uint8_t status, std::uint8_t control);
    std::uint8_t DataLatch(std::uint16_t base) const;
    std::uint8_t ControlLatch(std::uint16_t base) const;
    // What the driver answers for a read of that port, without logging it.
    std::uint8_t Peek(std::uint16_t port) const;

    // Logs ---------------------------------------------------------------
    // Port requests that reached the registers, in order.
    const std::vector<Request>& Requests() const { return requests_; }
    // The same as text, one entry each: "R 0379=78" (read of $379 gave $78),
    // "W 037A=04" (write of $04 to $37A).
    std::vector<std::string> RequestLog() const;
    // Every table call with its arguments, e.g.
    //   OpenSCManagerA(null,null,F003F)
    //   CreateServiceA(Varize,Varize,F01FF,1,3,1,C:\WINDOWS\system32\Varize.sys)
    //   CreateFileA(\\.\Varize,C0000000,0,3,80)   -> failing calls end " -> error N"
    //   DeviceIoControl(F1006404,0378)            (code, port)
    const std::vector<std::string>& Calls() const { return calls_; }
    // Just the function names of Calls(), in order.
    std::vector<std::string> CallNames() const;
    int CallCount(const std::string& function) const;
    void ClearLogs();
    // Handles of any kind handed out and not closed yet.
    int OpenHandleCount() const { return static_cast<int>(handles_.size()); }
    int OpenDriverHandleCount() const;

private:
    enum class HandleKind { Manager, Service, NtDevice, VxdDevice };
    struct Port {
        std::uint8_t data = 0, status = 0, control = 0, input = 0;
        std::uint8_t controlMask = 0x3F, controlFixed = 0;
    };
    struct Service {
        bool installed = false;
        bool running = false;
        std::string binaryPath;
    };

    bool Injected(const std::string& function);
    void Log(std::string entry);
    void Fail(DWORD error);
    void* NewHandle(HandleKind kind);
    bool IsHandle(const void* handle, HandleKind kind) const;
    Port* FindPort(std::uint16_t port, int& offset);
    const Port* FindPort(std::uint16_t port, int& offset) const;
    std::uint8_t ReadRegister(std::uint16_t port) const;
    void WriteRegister(std::uint16_t port, std::uint8_t value);

    BOOL GetVersionEx(OSVERSIONINFOA* info);
    UINT GetSystemDirectory(LPSTR buffer, UINT size);
    DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size);
    DWORD GetFileAttributes(LPCSTR path);
    SC_HANDLE OpenSCManager(LPCSTR machine, LPCSTR database, DWORD access);
    SC_HANDLE CreateService(SC_HANDLE manager, LPCSTR name, LPCSTR display, DWORD access,
                            DWORD type, DWORD start, DWORD errorControl, LPCSTR path,
                            LPCSTR group, LPDWORD tag, LPCSTR dependencies, LPCSTR account,
                            LPCSTR password);
    SC_HANDLE OpenService(SC_HANDLE manager, LPCSTR name, DWORD access);
    BOOL StartService(SC_HANDLE service, DWORD argc, LPCSTR* argv);
    BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status);
    BOOL DeleteService(SC_HANDLE service);
    BOOL CloseServiceHandle(SC_HANDLE handle);
    HANDLE CreateFile(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                      DWORD disposition, DWORD flags, HANDLE templateFile);
    BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                         DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped);
    BOOL CloseHandle(HANDLE handle);

    OSVERSIONINFOA version_{};
    std::string programPath_ = "C:\\Zelto\\ZeltoPrg.exe";
    std::string systemDirectory_ = "C:\\WINDOWS\\system32";
    std::set<std::string> files_; // upper-cased full paths
    Service service_;
    std::map<std::string, std::deque<DWORD>> failures_;
    std::map<std::uint16_t, Port> ports_;
    std::map<std::uintptr_t, HandleKind> handles_;
    std::uintptr_t nextHandle_ = 0x4000;
    DWORD lastError_ = 0;
    std::vector<Request> requests_;
    std::vector<std::string> calls_;
};
