// OneInstance: the single-instance guard. See OneInstance.h.
#include "components/OneInstance.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

std::unique_ptr<TPreviousInstance> previousInstance;

std::string Cut(const std::string& text)
{
    return text.substr(0, std::min(text.size(), OneInstanceNameLimit));
}

} // namespace

OneInstanceSystem OneInstanceSystem::Win32()
{
    OneInstanceSystem s;
    s.CreateMutexA = ::CreateMutexA;
    s.GetLastError = ::GetLastError;
    s.CloseHandle = ::CloseHandle;
    s.FindWindowA = ::FindWindowA;
    s.SetWindowTextA = ::SetWindowTextA;
    s.IsIconic = ::IsIconic;
    s.ShowWindow = ::ShowWindow;
    s.BringWindowToTop = ::BringWindowToTop;
    s.GetWindowThreadProcessId = ::GetWindowThreadProcessId;
    s.GetCurrentProcessId = ::GetCurrentProcessId;
    return s;
}

TPreviousInstance::TPreviousInstance(OneInstanceSystem system) : sys_(std::move(system)) {}

TPreviousInstance::~TPreviousInstance()
{
    Release();
}

void TPreviousInstance::Release()
{
    if (mutexHandle_)
        sys_.CloseHandle(mutexHandle_);
    mutexHandle_ = nullptr;
}

void TPreviousInstance::Check(const std::string& title)
{
    // A repeated probe must not leave the earlier handle behind.
    Release();
    const std::string name = Cut(title);
    HANDLE handle = sys_.CreateMutexA(nullptr, TRUE, name.c_str());
    exists_ = handle && sys_.GetLastError() == ERROR_ALREADY_EXISTS;
    if (exists_)
        sys_.CloseHandle(handle);
    else
        mutexHandle_ = handle;
}

TPreviousInstance* PreviousInstance()
{
    return previousInstance.get();
}

void StartPreviousInstance(const std::string& title, OneInstanceSystem system)
{
    previousInstance.reset();
    previousInstance = std::make_unique<TPreviousInstance>(std::move(system));
    previousInstance->Check(title);
}

void EndPreviousInstance()
{
    previousInstance.reset();
}

std::string ProgramFileTitle(const std::string& programPath)
{
    std::string name = programPath.substr(programPath.find_last_of("\\/:") + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    for (std::size_t i = 1; i < name.size(); ++i)
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return name;
}

std::string ProgramFileTitle()
{
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ProgramFileTitle(std::string(path, std::min<DWORD>(length, MAX_PATH)));
}

TOneInstance::TOneInstance(const TPreviousInstance* previous, const std::string& title,
                           const std::string& windowClass, std::function<void()> requestTerminate,
                           OneInstanceSystem system)
{
    if (!previous || !previous->Exists())
        return;
    const std::string caption = Cut(title);
    const std::string className = Cut(windowClass);
    const char* classArg = className.empty() ? nullptr : className.c_str();

    // Both copies' application windows carry the same title and this copy's
    // is normally the newest, so the first search finds it; blanking it lets
    // the second search reach the running copy. A window of another process
    // found first is the running copy's own and keeps its title.
    HWND other = system.FindWindowA(classArg, caption.c_str());
    DWORD owner = 0;
    if (other && system.GetWindowThreadProcessId(other, &owner) &&
        owner == system.GetCurrentProcessId()) {
        system.SetWindowTextA(other, "");
        other = system.FindWindowA(classArg, caption.c_str());
    }
    if (other) {
        if (system.IsIconic(other))
            system.ShowWindow(other, SW_RESTORE);
        else
            system.BringWindowToTop(other);
        activated_ = other;
    }
    terminateRequested_ = true;
    if (requestTerminate)
        requestTerminate();
    else
        ::PostQuitMessage(0);
}
