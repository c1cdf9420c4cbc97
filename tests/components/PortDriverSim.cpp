// PortDriverSim: simulated platform, service manager, Varize driver and
// parallel-port registers for TPortIO. See PortDriverSim.h.
#include "tests/components/PortDriverSim.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD NtReadCode = 0xF1006404;
constexpr DWORD NtWriteCode = 0xF100A408;
constexpr DWORD VxdReadCode = 2;
constexpr DWORD VxdWriteCode = 3;
constexpr std::uint8_t ReplyHighByte = 0xCC;

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Hex(unsigned long value, int digits = 0)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*lX", digits, value);
    return buffer;
}

std::string Text(const char* s)
{
    return s ? std::string(s) : std::string("null");
}

} // namespace

PortDriverSim::PortDriverSim()
{
    SetWindowsNT(5, 1);
    AddFile(systemDirectory_ + "\\Varize.sys");
    for (std::uint16_t base : {0x278, 0x378, 0x3BC})
        ports_[base] = Port{};
}

PortIOSystem PortDriverSim::System()
{
    PortIOSystem s;
    s.GetVersionExA = [this](OSVERSIONINFOA* i) { return GetVersionEx(i); };
    s.GetSystemDirectoryA = [this](LPSTR b, UINT n) { return GetSystemDirectory(b, n); };
    s.GetModuleFileNameA = [this](HMODULE m, LPSTR b, DWORD n) { return GetModuleFileName(m, b, n); };
    s.GetFileAttributesA = [this](LPCSTR p) { return GetFileAttributes(p); };
    s.OpenSCManagerA = [this](LPCSTR m, LPCSTR d, DWORD a) { return OpenSCManager(m, d, a); };
    s.CreateServiceA = [this](SC_HANDLE m, LPCSTR n, LPCSTR dn, DWORD a, DWORD t, DWORD st,
                              DWORD ec, LPCSTR p, LPCSTR g, LPDWORD tag, LPCSTR dep, LPCSTR acc,
                              LPCSTR pw) {
        return CreateService(m, n, dn, a, t, st, ec, p, g, tag, dep, acc, pw);
    };
    s.OpenServiceA = [this](SC_HANDLE m, LPCSTR n, DWORD a) { return OpenService(m, n, a); };
    s.StartServiceA = [this](SC_HANDLE h, DWORD c, LPCSTR* v) { return StartService(h, c, v); };
    s.ControlService = [this](SC_HANDLE h, DWORD c, LPSERVICE_STATUS st) {
        return ControlService(h, c, st);
    };
    s.DeleteService = [this](SC_HANDLE h) { return DeleteService(h); };
    s.CloseServiceHandle = [this](SC_HANDLE h) { return CloseServiceHandle(h); };
    s.CreateFileA = [this](LPCSTR n, DWORD a, DWORD sh, LPSECURITY_ATTRIBUTES sa, DWORD d,
                           DWORD f, HANDLE t) { return CreateFile(n, a, sh, sa, d, f, t); };
    s.DeviceIoControl = [this](HANDLE h, DWORD c, LPVOID i, DWORD is, LPVOID o, DWORD os,
                               LPDWORD r, LPOVERLAPPED ov) {
        return DeviceIoControl(h, c, i, is, o, os, r, ov);
    };
    s.CloseHandle = [this](HANDLE h) { return CloseHandle(h); };
    s.GetLastError = [this] { return lastError_; };
    return s;
}

// Platform ---------------------------------------------------------------

void PortDriverSim::SetWindows(DWORD platformId, DWORD major, DWORD minor)
{
    version_ = {};
    version_.dwPlatformId = platformId;
    version_.dwMajorVersion = major;
    version_.dwMinorVersion = minor;
}

std::string PortDriverSim::ProgramDirectory() const
{
    return programPath_.substr(0, programPath_.find_last_of('\\') + 1);
}

void PortDriverSim::AddFile(const std::string& path)
{
    files_.insert(Upper(path));
}

void PortDriverSim::RemoveFile(const std::string& path)
{
    files_.erase(Upper(path));
}

bool PortDriverSim::FileExists(const std::string& path) const
{
    return files_.count(Upper(path)) != 0;
}

// Service manager --------------------------------------------------------

void PortDriverSim::InstallService(const std::string& binaryPath, bool running)
{
    service_.installed = true;
    service_.running = running;
    service_.binaryPath = binaryPath;
}

void PortDriverSim::FailNext(const std::string& function, DWORD error)
{
    failures_[function].push_back(error);
}

// Registers --------------------------------------------------------------

void PortDriverSim::SetStatus(std::uint16_t base, std::uint8_t value)
{
    ports_.at(base).status = value;
}

void PortDriverSim::SetDataInput(std::uint16_t base, std::uint8_t value)
{
    ports_.at(base).input = value;
}

void PortDriverSim::SetControlReadBack(std::uint16_t base, std::uint8_t latchMask,
                                       std::uint8_t fixedBits)
{
    Port& p = ports_.at(base);
    p.controlMask = latchMask;
    p.controlFixed = fixedBits;
}

void PortDriverSim::SetRegisters(std::uint16_t base, std::uint8_t data, std::uint8_t status,
                                 std::uint8_t control)
{
    Port& p = ports_.at(base);
    p.data = data;
    p.status = status;
    p.control = control;
}

std::uint8_t PortDriverSim::DataLatch(std::uint16_t base) const
{
    return ports_.at(base).data;
}

std::uint8_t PortDriverSim::ControlLatch(std::uint16_t base) const
{
    return ports_.at(base).control;
}

PortDriverSim::Port* PortDriverSim::FindPort(std::uint16_t port, int& offset)
{
    for (offset = 0; offset < 3; ++offset) {
        auto it = ports_.find(static_cast<std::uint16_t>(port - offset));
        if (it != ports_.end())
            return &it->second;
    }
    return nullptr;
}

const PortDriverSim::Port* PortDriverSim::FindPort(std::uint16_t port, int& offset) const
{
    return const_cast<PortDriverSim*>(this)->FindPort(port, offset);
}

std::uint8_t PortDriverSim::ReadRegister(std::uint16_t port) const
{
    int offset = 0;
    const Port* p = FindPort(port, offset);
    if (!p)
        return 0xFF;
    switch (offset) {
    case 0:
        return (p->control & 0x20) ? p->input : p->data;
    case 1:
        return p->status;
    default:
        return static_cast<std::uint8_t>((p->control & p->controlMask) | p->controlFixed);
    }
}

std::uint8_t PortDriverSim::Peek(std::uint16_t port) const
{
    return ReadRegister(port);
}

void PortDriverSim::WriteRegister(std::uint16_t port, std::uint8_t value)
{
    int offset = 0;
    Port* p = FindPort(port, offset);
    if (!p)
        return;
    if (offset == 0)
        p->data = value;
    else if (offset == 2)
        p->control = value;
}

// Logs -------------------------------------------------------------------

std::vector<std::string> PortDriverSim::RequestLog() const
{
    std::vector<std::string> lines;
    for (const Request& r : requests_)
        lines.push_back(std::string(r.write ? "W " : "R ") + Hex(r.port, 4) + "=" + Hex(r.value, 2));
    return lines;
}

std::vector<std::string> PortDriverSim::CallNames() const
{
    std::vector<std::string> names;
    for (const std::string& c : calls_)
        names.push_back(c.substr(0, c.find('(')));
    return names;
}

int PortDriverSim::CallCount(const std::string& function) const
{
    auto names = CallNames();
    return static_cast<int>(std::count(names.begin(), names.end(), function));
}

void PortDriverSim::ClearLogs()
{
    requests_.clear();
    calls_.clear();
}

int PortDriverSim::OpenDriverHandleCount() const
{
    return static_cast<int>(std::count_if(handles_.begin(), handles_.end(), [](const auto& h) {
        return h.second == HandleKind::NtDevice || h.second == HandleKind::VxdDevice;
    }));
}

// Table functions --------------------------------------------------------

bool PortDriverSim::Injected(const std::string& function)
{
    auto it = failures_.find(function);
    if (it == failures_.end() || it->second.empty())
        return false;
    Fail(it->second.front());
    it->second.pop_front();
    return true;
}

void PortDriverSim::Log(std::string entry)
{
    calls_.push_back(std::move(entry));
}

void PortDriverSim::Fail(DWORD error)
{
    lastError_ = error;
    calls_.back() += " -> error " + std::to_string(error);
}

void* PortDriverSim::NewHandle(HandleKind kind)
{
    std::uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    handles_[value] = kind;
    return reinterpret_cast<void*>(value);
}

bool PortDriverSim::IsHandle(const void* handle, HandleKind kind) const
{
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it != handles_.end() && it->second == kind;
}

BOOL PortDriverSim::GetVersionEx(OSVERSIONINFOA* info)
{
    Log("GetVersionExA(" + std::to_string(info ? info->dwOSVersionInfoSize : 0) + ")");
    if (Injected("GetVersionExA"))
        return FALSE;
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        Fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *info = version_;
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return TRUE;
}

UINT PortDriverSim::GetSystemDirectory(LPSTR buffer, UINT size)
{
    Log("GetSystemDirectoryA(" + std::to_string(size) + ")");
    if (Injected("GetSystemDirectoryA"))
        return 0;
    if (systemDirectory_.size() + 1 > size)
        return static_cast<UINT>(systemDirectory_.size() + 1);
    std::memcpy(buffer, systemDirectory_.c_str(), systemDirectory_.size() + 1);
    return static_cast<UINT>(systemDirectory_.size());
}

DWORD PortDriverSim::GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size)
{
    Log(std::string("GetModuleFileNameA(") + (module ? "module" : "null") + ")");
    if (Injected("GetModuleFileNameA"))
        return 0;
    if (module || size == 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD length = static_cast<DWORD>(std::min<std::size_t>(programPath_.size(), size - 1));
    std::memcpy(buffer, programPath_.data(), length);
    buffer[length] = 0;
    return length;
}

DWORD PortDriverSim::GetFileAttributes(LPCSTR path)
{
    Log("GetFileAttributesA(" + Text(path) + ")");
    if (Injected("GetFileAttributesA"))
        return INVALID_FILE_ATTRIBUTES;
    if (!path || !FileExists(path)) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return FILE_ATTRIBUTE_ARCHIVE;
}

SC_HANDLE PortDriverSim::OpenSCManager(LPCSTR machine, LPCSTR database, DWORD access)
{
    Log("OpenSCManagerA(" + Text(machine) + "," + Text(database) + "," + Hex(access) + ")");
    if (Injected("OpenSCManagerA"))
        return nullptr;
    return static_cast<SC_HANDLE>(NewHandle(HandleKind::Manager));
}

SC_HANDLE PortDriverSim::CreateService(SC_HANDLE manager, LPCSTR name, LPCSTR display,
                                       DWORD access, DWORD type, DWORD start, DWORD errorControl,
                                       LPCSTR path, LPCSTR group, LPDWORD tag,
                                       LPCSTR dependencies, LPCSTR account, LPCSTR password)
{
    std::string entry = "CreateServiceA(" + Text(name) + "," + Text(display) + "," + Hex(access) +
                        "," + Hex(type) + "," + Hex(start) + "," + Hex(errorControl) + "," +
                        Text(path);
    if (group || tag || dependencies || account || password)
        entry += ",extras";
    Log(entry + ")");
    if (Injected("CreateServiceA"))
        return nullptr;
    if (!IsHandle(manager, HandleKind::Manager)) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!name || Upper(name) != "VARIZE") {
        Fail(ERROR_INVALID_NAME);
        return nullptr;
    }
    if (service_.installed) {
        Fail(ERROR_SERVICE_EXISTS);
        return nullptr;
    }
    service_.installed = true;
    service_.running = false;
    service_.binaryPath = path ? path : "";
    return static_cast<SC_HANDLE>(NewHandle(HandleKind::Service));
}

SC_HANDLE PortDriverSim::OpenService(SC_HANDLE manager, LPCSTR name, DWORD access)
{
    Log("OpenServiceA(" + Text(name) + "," + Hex(access) + ")");
    if (Injected("OpenServiceA"))
        return nullptr;
    if (!IsHandle(manager, HandleKind::Manager)) {
        Fail(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!name || Upper(name) != "VARIZE" || !service_.installed) {
        Fail(ERROR_SERVICE_DOES_NOT_EXIST);
        return nullptr;
    }
    return static_cast<SC_HANDLE>(NewHandle(HandleKind::Service));
}

BOOL PortDriverSim::StartService(SC_HANDLE service, DWORD argc, LPCSTR* argv)
{
    Log("StartServiceA(" + std::to_string(argc) + (argv ? ",args" : ",null") + ")");
    if (Injected("StartServiceA"))
        return FALSE;
    if (!IsHandle(service, HandleKind::Service) || !service_.installed) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (service_.running) {
        Fail(ERROR_SERVICE_ALREADY_RUNNING);
        return FALSE;
    }
    if (!FileExists(service_.binaryPath)) {
        Fail(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    service_.running = true;
    return TRUE;
}

BOOL PortDriverSim::ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status)
{
    Log("ControlService(" + std::to_string(control) + ")");
    if (Injected("ControlService"))
        return FALSE;
    if (!IsHandle(service, HandleKind::Service) || !service_.installed || !status) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (control != SERVICE_CONTROL_STOP) {
        Fail(ERROR_INVALID_SERVICE_CONTROL);
        return FALSE;
    }
    if (!service_.running) {
        Fail(ERROR_SERVICE_NOT_ACTIVE);
        return FALSE;
    }
    service_.running = false;
    *status = {};
    status->dwServiceType = SERVICE_KERNEL_DRIVER;
    status->dwCurrentState = SERVICE_STOPPED;
    return TRUE;
}

BOOL PortDriverSim::DeleteService(SC_HANDLE service)
{
    Log("DeleteService()");
    if (Injected("DeleteService"))
        return FALSE;
    if (!IsHandle(service, HandleKind::Service) || !service_.installed) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    service_ = Service{};
    return TRUE;
}

BOOL PortDriverSim::CloseServiceHandle(SC_HANDLE handle)
{
    const bool manager = IsHandle(handle, HandleKind::Manager);
    Log(std::string("CloseServiceHandle(") + (manager ? "manager" : "service") + ")");
    if (Injected("CloseServiceHandle"))
        return FALSE;
    if (!manager && !IsHandle(handle, HandleKind::Service)) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
    return TRUE;
}

HANDLE PortDriverSim::CreateFile(LPCSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile)
{
    std::string entry = "CreateFileA(" + Text(name) + "," + Hex(access) + "," + Hex(share) + "," +
                        Hex(disposition) + "," + Hex(flags);
    if (security || templateFile)
        entry += ",extras";
    Log(entry + ")");
    if (Injected("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    const std::string device = name ? Upper(name) : "";
    const std::string prefix = "\\\\.\\";
    if (device == prefix + "VARIZE") {
        if (!service_.running) {
            Fail(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        return NewHandle(HandleKind::NtDevice);
    }
    // A 9x virtual device opens when its file is where the name leads: the
    // short name finds it beside the program, a full path finds it there.
    if (device == prefix + "VARIZE.VXD") {
        if (FileExists(ProgramDirectory() + "varize.vxd"))
            return NewHandle(HandleKind::VxdDevice);
    } else if (device.starts_with(prefix) && device.ends_with("\\VARIZE.VXD")) {
        if (FileExists(device.substr(prefix.size())))
            return NewHandle(HandleKind::VxdDevice);
    }
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL PortDriverSim::DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize,
                                    LPVOID out, DWORD outSize, LPDWORD returned,
                                    LPOVERLAPPED overlapped)
{
    const auto* input = static_cast<const std::uint8_t*>(in);
    const std::uint16_t port =
        (input && inSize >= 2) ? static_cast<std::uint16_t>(input[0] | (input[1] << 8)) : 0;
    Log("DeviceIoControl(" + Hex(code) + "," + Hex(port, 4) + ")");
    if (Injected("DeviceIoControl"))
        return FALSE;
    const bool nt = IsHandle(device, HandleKind::NtDevice);
    if (!nt && !IsHandle(device, HandleKind::VxdDevice)) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (overlapped || !returned) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD readCode = nt ? NtReadCode : VxdReadCode;
    const DWORD writeCode = nt ? NtWriteCode : VxdWriteCode;
    if (code == readCode) {
        if (!input || inSize != 2 || !out) {
            Fail(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (outSize < 2) {
            Fail(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        const std::uint8_t value = ReadRegister(port);
        auto* reply = static_cast<std::uint8_t*>(out);
        reply[0] = value;
        reply[1] = ReplyHighByte;
        *returned = 2;
        requests_.push_back({false, port, value});
        return TRUE;
    }
    if (code == writeCode) {
        if (!input || inSize != 4 || input[3] != 0) {
            Fail(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        WriteRegister(port, input[2]);
        *returned = 0;
        requests_.push_back({true, port, input[2]});
        return TRUE;
    }
    Fail(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL PortDriverSim::CloseHandle(HANDLE handle)
{
    Log("CloseHandle()");
    if (Injected("CloseHandle"))
        return FALSE;
    if (!IsHandle(handle, HandleKind::NtDevice) && !IsHandle(handle, HandleKind::VxdDevice)) {
        Fail(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
    return TRUE;
}
