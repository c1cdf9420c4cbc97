// OneInstance: keeps a second copy of a program from running beside the
// first. At start the program probes a named mutex (TPreviousInstance); when
// another copy holds it, TOneInstance, made with the main window, brings that
// copy's application window to the front and asks this copy to end. Used by
// the programmer application and the installer alike, each with its own title.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// The calls the guard makes; Win32() binds the real functions.
struct OneInstanceSystem {
    std::function<HANDLE(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR)> CreateMutexA;
    std::function<DWORD()> GetLastError;
    std::function<BOOL(HANDLE)> CloseHandle;
    std::function<HWND(LPCSTR, LPCSTR)> FindWindowA;
    std::function<BOOL(HWND, LPCSTR)> SetWindowTextA;
    std::function<BOOL(HWND)> IsIconic;
    std::function<BOOL(HWND, int)> ShowWindow;
    std::function<BOOL(HWND)> BringWindowToTop;
    std::function<DWORD(HWND, LPDWORD)> GetWindowThreadProcessId;
    std::function<DWORD()> GetCurrentProcessId;

    static OneInstanceSystem Win32();
};

// Titles and mutex names are cut to this many characters.
constexpr std::size_t OneInstanceNameLimit = 260;

class TPreviousInstance {
public:
    explicit TPreviousInstance(OneInstanceSystem system = OneInstanceSystem::Win32());
    // Releases the mutex when this copy holds it.
    ~TPreviousInstance();
    TPreviousInstance(const TPreviousInstance&) = delete;
    TPreviousInstance& operator=(const TPreviousInstance&) = delete;

    // Probes the mutex named after title. Another copy holds it: Exists, and
    // the handle is closed at once. New mutex, or none could be made: this
    // copy runs as the first one (and holds the mutex when it got one).
    void Check(const std::string& title);

    HANDLE MutexHandle() const { return mutexHandle_; }
    bool Exists() const { return exists_; }

private:
    void Release();

    OneInstanceSystem sys_;
    HANDLE mutexHandle_ = nullptr;
    bool exists_ = false;
};

// The program-wide probe. The program's start code makes it, before it sets
// its own application title, and drops it when the program ends.
TPreviousInstance* PreviousInstance();
void StartPreviousInstance(const std::string& title,
                           OneInstanceSystem system = OneInstanceSystem::Win32());
void EndPreviousInstance();

// The application title a program has before its start code sets one: the
// program file's name without folder and extension, all letters after the
// first in lower case ("C:\Zelto\ZeltoPrg.exe" gives "Zeltoprg").
std::string ProgramFileTitle(const std::string& programPath);
std::string ProgramFileTitle();

class TOneInstance {
public:
    // When previous tells of another copy: finds the application window that
    // carries title (of windowClass; empty means any class), brings it to the
    // front - restoring it when minimised - and calls requestTerminate, which
    // should end the message loop when it next runs (empty: PostQuitMessage).
    // The first search normally meets this copy's own, newer window; its
    // title is blanked so that a second search reaches the running copy.
    TOneInstance(const TPreviousInstance* previous, const std::string& title,
                 const std::string& windowClass, std::function<void()> requestTerminate,
                 OneInstanceSystem system = OneInstanceSystem::Win32());
    TOneInstance(const TOneInstance&) = delete;
    TOneInstance& operator=(const TOneInstance&) = delete;

    // The other copy's window that was brought forward, or null.
    HWND ActivatedWindow() const { return activated_; }
    bool TerminateRequested() const { return terminateRequested_; }

    // Published for the designer only; has no effect.
    std::string About;

private:
    HWND activated_ = nullptr;
    bool terminateRequested_ = false;
};
