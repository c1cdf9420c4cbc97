// language_bench: how long a language switch keeps the main window from
// being whole again. The real main window is shown (with the demonstration
// plug-in loaded, so the special-bits names and pictures come back too) and
// switched through French, Italian, Romanian and English several times; each
// switch is timed from the menu click until every window of the program has
// painted (no update region left), which is what a user waits for.
// Needs the language modules and the stand-in DLLs beside it.
// Usage: language_bench
#include "bench/BenchSupport.h"
#include "programmer/LanguageModules.h"
#include "programmer/Main.h"
#include "programmer/PortLibrary.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/TestSeams.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 5;
constexpr double kTargetMs = 500.0;

// Paints whatever is pending in every window of this thread, as the message
// loop would before the user sees the result.
BOOL CALLBACK RedrawNow(HWND wnd, LPARAM)
{
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

void PaintEverything()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), RedrawNow, 0);
}

}  // namespace

int main()
{
    const std::string folder = ScratchFolder("language_bench");
    WriteFile(folder + "\\ZeltoProgBasic.cfg", "PORTS=378\nBIDIR=378\n");
    ::SetEnvironmentVariableA("ZP_PORTLIB_CONFIG", (folder + "\\ZeltoProgBasic.cfg").c_str());
    ::SetEnvironmentVariableA("ZP_DEMO_DIR", folder.c_str());

    tk::ScriptedMessages messages([](const tk::MessageRequest& request) {
        std::printf("unexpected message box: %s\n", request.text.c_str());
    });
    tk::RecordingSleepBeep sleeps;
    // The modules are found beside the program file: ZeltoPrg.fra and so on.
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "ZeltoPrg.exe";
    SetProgramFilePath(program);

    ZpSetCommandMode(1);
    TMainForm* form = tk::App().CreateForm<TMainForm>();
    form->HandleNeeded();
    form->FScriptPlugInName = "DemoPlugin.dll";
    form->Action_LoadPluginExecute(nullptr);
    form->FCommandMode = 0;
    form->MarkCommandLineProcessed();
    form->Show();
    PaintEverything();

    tk::MenuItem* languages[] = {form->LanguageFrench, form->LanguageItalian, form->LanguageRomanian,
                                 form->LanguageEnglish};
    const char* names[] = {"French", "Italian", "Romanian", "English"};
    std::vector<double> best(4, 1e30), worst(4, 0);
    for (int round = 0; round < kRounds; ++round) {
        for (int n = 0; n < 4; ++n) {
            const double t0 = NowMs();
            languages[n]->Click();
            PaintEverything();
            const double ms = NowMs() - t0;
            best[static_cast<std::size_t>(n)] = std::min(best[static_cast<std::size_t>(n)], ms);
            worst[static_cast<std::size_t>(n)] = std::max(worst[static_cast<std::size_t>(n)], ms);
        }
    }
    std::printf("language_bench: main window shown, demonstration plug-in loaded, %d rounds\n", kRounds);
    std::printf("  %-9s %9s %9s\n", "switch to", "best", "worst");
    double slowest = 0;
    for (int n = 0; n < 4; ++n) {
        std::printf("  %-9s %6.1f ms %6.1f ms\n", names[n], best[static_cast<std::size_t>(n)],
                    worst[static_cast<std::size_t>(n)]);
        slowest = std::max(slowest, worst[static_cast<std::size_t>(n)]);
    }
    std::printf("  target: every switch whole on the screen within %.0f ms (slowest: %.1f ms, %s)\n", kTargetMs,
                slowest, slowest <= kTargetMs ? "met" : "NOT met");
    if (!messages.Shown().empty())
        std::printf("  %zu message boxes were shown\n", messages.Shown().size());
    std::fflush(stdout);
    for (const char* name : {"\\ZeltoProgBasic.cfg"})
        ::DeleteFileA((folder + name).c_str());
    ::ExitProcess(0);
}
