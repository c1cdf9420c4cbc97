// The single-instance guard: the mutex probe, the search for the running
// copy's window, and a real second copy of this program as a child process.
#include "components/OneInstance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using ::testing::ElementsAre;

namespace {

const char* const WindowClass = "ZpOneInstanceTestWindow";
const char* const ChildTitleVariable = "ZP_ONEINSTANCE_CHILD_TITLE";

std::string UniqueTitle(const char* what)
{
    static int counter = 0;
    return std::string("Zp ") + what + " " + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(++counter);
}

void RegisterTestClass()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = WindowClass;
    RegisterClassA(&wc); // a second registration fails harmlessly
}

// A hidden top-level window like the toolkit's application window.
class AppWindow {
public:
    explicit AppWindow(const std::string& title, DWORD style = WS_OVERLAPPEDWINDOW)
    {
        RegisterTestClass();
        hwnd_ = CreateWindowExA(0, WindowClass, title.c_str(), style, 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~AppWindow() { DestroyWindow(hwnd_); }
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;
    HWND hwnd() const { return hwnd_; }
    std::string Text() const
    {
        char buffer[512] = {};
        GetWindowTextA(hwnd_, buffer, sizeof buffer);
        return buffer;
    }

private:
    HWND hwnd_ = nullptr;
};

void PumpMessages()
{
    MSG msg;
    for (int i = 0; i < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Mutex probe -------------------------------------------------------------

TEST(PreviousInstance, FirstCopyHoldsTheMutexAndASecondSeesIt)
{
    const std::string title = UniqueTitle("Probe");
    TPreviousInstance first;
    first.Check(title);
    EXPECT_FALSE(first.Exists());
    EXPECT_NE(first.MutexHandle(), nullptr);

    TPreviousInstance second;
    second.Check(title);
    EXPECT_TRUE(second.Exists());
    EXPECT_EQ(second.MutexHandle(), nullptr);
}

TEST(PreviousInstance, ANewStartAfterTheFirstCopyEndedRunsNormally)
{
    const std::string title = UniqueTitle("Restart");
    {
        TPreviousInstance first;
        first.Check(title);
        ASSERT_FALSE(first.Exists());
    }
    TPreviousInstance again;
    again.Check(title);
    EXPECT_FALSE(again.Exists());
    EXPECT_NE(again.MutexHandle(), nullptr);
}

TEST(PreviousInstance, DifferentProgramsDoNotBlockEachOther)
{
    const std::string suffix = UniqueTitle("");
    TPreviousInstance programmer;
    programmer.Check("Zeltoprg" + suffix);
    TPreviousInstance installer;
    installer.Check("Setup" + suffix);
    EXPECT_FALSE(programmer.Exists());
    EXPECT_FALSE(installer.Exists());
}

TEST(PreviousInstance, NamesAreCutAfter260Characters)
{
    const std::string base = UniqueTitle("Long");
    const std::string stem = base + std::string(OneInstanceNameLimit - base.size(), 'x');
    TPreviousInstance first;
    first.Check(stem + "-first");
    TPreviousInstance second;
    second.Check(stem + "-second");
    EXPECT_FALSE(first.Exists());
    EXPECT_TRUE(second.Exists());
}

TEST(PreviousInstance, ProbingAgainReleasesTheEarlierHandle)
{
    const std::string title = UniqueTitle("Twice");
    TPreviousInstance probe;
    probe.Check(title);
    probe.Check(title);
    EXPECT_FALSE(probe.Exists());
    TPreviousInstance other;
    other.Check(title);
    EXPECT_TRUE(other.Exists());
}

// Scripted platform calls, for outcomes the real platform cannot be made to give.
struct FakeDesktop {
    struct Window {
        HWND hwnd;
        std::string title;
        DWORD process;
        bool iconic;
    };
    std::vector<Window> windows; // front to back
    HANDLE mutexResult = nullptr;
    DWORD lastError = 0;
    std::vector<std::string> calls;

    Window* Find(HWND h)
    {
        for (Window& w : windows)
            if (w.hwnd == h)
                return &w;
        return nullptr;
    }

    OneInstanceSystem System()
    {
        OneInstanceSystem s;
        s.CreateMutexA = [this](LPSECURITY_ATTRIBUTES sa, BOOL owner, LPCSTR name) {
            calls.push_back("CreateMutexA(" + std::string(sa ? "sa" : "null") + "," +
                            (owner ? "1" : "0") + "," + std::to_string(std::string(name).size()) +
                            ")");
            return mutexResult;
        };
        s.GetLastError = [this] { return lastError; };
        s.CloseHandle = [this](HANDLE) {
            calls.push_back("CloseHandle");
            return TRUE;
        };
        s.FindWindowA = [this](LPCSTR cls, LPCSTR title) -> HWND {
            calls.push_back("FindWindowA(" + std::string(cls ? cls : "null") + "," + title + ")");
            for (Window& w : windows)
                if (w.title == title)
                    return w.hwnd;
            return nullptr;
        };
        s.SetWindowTextA = [this](HWND h, LPCSTR text) {
            calls.push_back("SetWindowTextA(" + std::to_string(reinterpret_cast<uintptr_t>(h)) +
                            ",'" + text + "')");
            Find(h)->title = text;
            return TRUE;
        };
        s.IsIconic = [this](HWND h) { return Find(h)->iconic ? TRUE : FALSE; };
        s.ShowWindow = [this](HWND h, int cmd) {
            calls.push_back("ShowWindow(" + std::to_string(reinterpret_cast<uintptr_t>(h)) + "," +
                            std::to_string(cmd) + ")");
            return TRUE;
        };
        s.BringWindowToTop = [this](HWND h) {
            calls.push_back("BringWindowToTop(" + std::to_string(reinterpret_cast<uintptr_t>(h)) +
                            ")");
            return TRUE;
        };
        s.GetWindowThreadProcessId = [this](HWND h, LPDWORD process) -> DWORD {
            *process = Find(h)->process;
            return 1;
        };
        s.GetCurrentProcessId = [] { return DWORD{100}; };
        return s;
    }
};

HWND FakeWindow(uintptr_t n)
{
    return reinterpret_cast<HWND>(n);
}

TEST(PreviousInstance, FailedMutexMeansFirstCopy)
{
    FakeDesktop desk;
    desk.lastError = ERROR_ALREADY_EXISTS; // stale code from an earlier call
    TPreviousInstance probe(desk.System());
    probe.Check(std::string(300, 'T'));
    EXPECT_FALSE(probe.Exists());
    EXPECT_EQ(probe.MutexHandle(), nullptr);
    EXPECT_THAT(desk.calls, ElementsAre("CreateMutexA(null,1,260)"));
}

TEST(PreviousInstance, ProgramFileTitleIsTheToolkitDefault)
{
    EXPECT_EQ(ProgramFileTitle("C:\\Program Files\\Zelto\\ZeltoPrg.exe"), "Zeltoprg");
    EXPECT_EQ(ProgramFileTitle("C:\\Zelto\\SETUP.EXE"), "Setup");
    EXPECT_EQ(ProgramFileTitle("C:\\a.b\\setup"), "setup");
    EXPECT_EQ(ProgramFileTitle("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(ProgramFileTitle(), "components_tests");
}

TEST(PreviousInstance, ProgramWideProbeIsMadeAndDroppedExplicitly)
{
    const std::string title = UniqueTitle("Global");
    EXPECT_EQ(PreviousInstance(), nullptr);
    StartPreviousInstance(title);
    ASSERT_NE(PreviousInstance(), nullptr);
    EXPECT_FALSE(PreviousInstance()->Exists());
    EndPreviousInstance();
    EXPECT_EQ(PreviousInstance(), nullptr);
    TPreviousInstance after;
    after.Check(title);
    EXPECT_FALSE(after.Exists());
}

// Bringing the running copy forward -----------------------------------------

TEST(OneInstance, FirstCopyDoesNothing)
{
    const std::string title = UniqueTitle("Alone");
    AppWindow own(title);
    TPreviousInstance probe;
    probe.Check(title);
    bool terminated = false;
    TOneInstance guard(&probe, title, WindowClass, [&] { terminated = true; });
    EXPECT_FALSE(terminated);
    EXPECT_FALSE(guard.TerminateRequested());
    EXPECT_EQ(own.Text(), title);

    TOneInstance noProbe(nullptr, title, WindowClass, [&] { terminated = true; });
    EXPECT_FALSE(terminated);
}

TEST(OneInstance, SecondCopyRestoresTheMinimisedFirstAndEnds)
{
    const std::string title = UniqueTitle("Restore");
    TPreviousInstance firstProbe;
    firstProbe.Check(title);
    AppWindow first(title, WS_OVERLAPPEDWINDOW | WS_MINIMIZE);
    ASSERT_TRUE(IsIconic(first.hwnd()));

    TPreviousInstance secondProbe;
    secondProbe.Check(title);
    ASSERT_TRUE(secondProbe.Exists());
    AppWindow second(title);
    int terminations = 0;
    TOneInstance guard(&secondProbe, title, WindowClass, [&] { ++terminations; });
    PumpMessages();

    EXPECT_EQ(terminations, 1);
    EXPECT_EQ(guard.ActivatedWindow(), first.hwnd());
    EXPECT_FALSE(IsIconic(first.hwnd()));
    EXPECT_EQ(first.Text(), title);
    EXPECT_EQ(second.Text(), "");
}

TEST(OneInstance, SecondCopyBringsTheFirstToTheTop)
{
    const std::string title = UniqueTitle("Front");
    TPreviousInstance firstProbe;
    firstProbe.Check(title);
    AppWindow first(title);
    TPreviousInstance secondProbe;
    secondProbe.Check(title);
    AppWindow second(title);

    TOneInstance guard(&secondProbe, title, WindowClass, [] {});
    EXPECT_EQ(guard.ActivatedWindow(), first.hwnd());
    // With both titles equal again, a search meets the first copy first now.
    SetWindowTextA(second.hwnd(), title.c_str());
    EXPECT_EQ(FindWindowA(WindowClass, title.c_str()), first.hwnd());
}

TEST(OneInstance, SecondCopyEndsEvenWhenNoWindowIsFound)
{
    const std::string title = UniqueTitle("Nowhere");
    TPreviousInstance firstProbe;
    firstProbe.Check(title);
    TPreviousInstance secondProbe;
    secondProbe.Check(title);

    bool terminated = false;
    TOneInstance nothing(&secondProbe, title, WindowClass, [&] { terminated = true; });
    EXPECT_TRUE(terminated);
    EXPECT_EQ(nothing.ActivatedWindow(), nullptr);

    // Only its own window: blanked, nothing brought forward, still ends.
    AppWindow own(title);
    terminated = false;
    TOneInstance onlyOwn(&secondProbe, title, WindowClass, [&] { terminated = true; });
    EXPECT_TRUE(terminated);
    EXPECT_EQ(onlyOwn.ActivatedWindow(), nullptr);
    EXPECT_EQ(own.Text(), "");
}

TEST(OneInstance, WithoutTerminateRequestTheMessageLoopIsToldToQuit)
{
    const std::string title = UniqueTitle("Quit");
    TPreviousInstance firstProbe;
    firstProbe.Check(title);
    TPreviousInstance secondProbe;
    secondProbe.Check(title);
    TOneInstance guard(&secondProbe, title, WindowClass, nullptr);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
}

TEST(OneInstance, SearchOrderAndCalls)
{
    FakeDesktop desk;
    desk.windows = {{FakeWindow(2), "Zelto", 100, false}, {FakeWindow(1), "Zelto", 7, false}};
    desk.mutexResult = FakeWindow(0x99);
    desk.lastError = ERROR_ALREADY_EXISTS;
    TPreviousInstance probe(desk.System());
    probe.Check("Zelto");
    ASSERT_TRUE(probe.Exists());
    desk.calls.clear();

    TOneInstance guard(&probe, "Zelto", "", [] {}, desk.System());
    EXPECT_THAT(desk.calls, ElementsAre("FindWindowA(null,Zelto)", "SetWindowTextA(2,'')",
                                        "FindWindowA(null,Zelto)", "BringWindowToTop(1)"));
}

TEST(OneInstance, RunningCopysWindowFoundFirstKeepsItsTitle)
{
    FakeDesktop desk;
    desk.windows = {{FakeWindow(1), "Zelto", 7, true}, {FakeWindow(2), "Zelto", 100, false}};
    desk.mutexResult = FakeWindow(0x99);
    desk.lastError = ERROR_ALREADY_EXISTS;
    TPreviousInstance probe(desk.System());
    probe.Check("Zelto");
    desk.calls.clear();

    TOneInstance guard(&probe, "Zelto", "TApplication", [] {}, desk.System());
    EXPECT_THAT(desk.calls, ElementsAre("FindWindowA(TApplication,Zelto)", "ShowWindow(1,9)"));
    EXPECT_EQ(desk.windows[0].title, "Zelto");
    EXPECT_EQ(guard.ActivatedWindow(), FakeWindow(1));
}

// A real second copy --------------------------------------------------------

// Runs only inside the child process that the next test starts: probes the
// mutex like a fresh program, makes its own application window, lets the
// guard act, and reports through its exit code (1 first copy, 2 second copy
// that found no window, 3 second copy that brought a window forward).
TEST(OneInstanceChild, ActAsSecondCopy)
{
    const char* title = std::getenv(ChildTitleVariable);
    if (!title)
        GTEST_SKIP() << "only runs as the child of OneInstanceProcess tests";
    StartPreviousInstance(title);
    UINT code = 1;
    if (PreviousInstance()->Exists()) {
        AppWindow own(title);
        TOneInstance guard(PreviousInstance(), title, WindowClass, [] {});
        code = guard.ActivatedWindow() ? 3 : 2;
    }
    EndPreviousInstance();
    std::fflush(stdout);
    ExitProcess(code);
}

DWORD RunSecondCopy(const std::string& title)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=OneInstanceChild.ActAsSecondCopy";
    SetEnvironmentVariableA(ChildTitleVariable, title.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi);
    SetEnvironmentVariableA(ChildTitleVariable, nullptr);
    if (!started)
        return 0xFFFFFFFF;
    // The child shows our window; keep answering its messages meanwhile.
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 30000, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0 || r == WAIT_TIMEOUT || r == WAIT_FAILED)
            break;
        PumpMessages();
    }
    DWORD code = 0xFFFFFFFE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(OneInstanceProcess, SecondProgramBringsTheFirstForwardAndEnds)
{
    const std::string title = UniqueTitle("Process");
    StartPreviousInstance(title);
    ASSERT_FALSE(PreviousInstance()->Exists());
    AppWindow first(title, WS_OVERLAPPEDWINDOW | WS_MINIMIZE);
    ASSERT_TRUE(IsIconic(first.hwnd()));

    EXPECT_EQ(RunSecondCopy(title), 3u);
    PumpMessages();
    EXPECT_FALSE(IsIconic(first.hwnd()));
    EXPECT_EQ(first.Text(), title);

    // Once the first copy has ended, the next start runs as a first copy.
    EndPreviousInstance();
    EXPECT_EQ(RunSecondCopy(title), 1u);
}

} // namespace
