// A program started as its own process by an end-to-end test: the real
// ZeltoPrg.exe under the unattended mode, or a second copy of anything.
// A process still running when the object goes is ended, so a failing test
// never leaves a program behind.
#pragma once

#include <windows.h>

#include <string>

class ProgramProcess {
public:
    ProgramProcess() = default;
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    ~ProgramProcess()
    {
        if (info_.hProcess) {
            if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(info_.hProcess, 1);
            ::CloseHandle(info_.hProcess);
        }
        if (info_.hThread)
            ::CloseHandle(info_.hThread);
    }

    // Starts `commandLine` in `folder`; false when it cannot be started.
    bool Start(std::string commandLine, const std::string& folder)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        return ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                &startup, &info_) != FALSE;
    }

    DWORD Id() const { return info_.dwProcessId; }

    // The exit code; -1 when the program did not end in time.
    long WaitForExit(DWORD timeoutMs)
    {
        if (::WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(info_.hProcess, &code);
        return static_cast<long>(code);
    }

    // This process's visible top-level window of that title, once it is on
    // the screen; nullptr when the process ended or the time ran out first.
    // Every window of that title is looked at, not just the first: a copy
    // started by an earlier test may still be closing, and on a slow machine
    // its window hid this one's for the whole wait.
    HWND WaitForWindow(const char* title, DWORD timeoutMs)
    {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < timeoutMs) {
            for (HWND wnd = nullptr; (wnd = ::FindWindowExA(nullptr, wnd, nullptr, title)) != nullptr;) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(wnd, &pid);
                if (pid == info_.dwProcessId && ::IsWindowVisible(wnd))
                    return wnd;
            }
            if (::WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }

private:
    PROCESS_INFORMATION info_{};
};
