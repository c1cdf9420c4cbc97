// ZeltoPrg: the program block. Starts the programmer in its fixed order:
// language module, port library's command mode, application title, the
// seven windows, the command line, and then the event loop.
#include <windows.h>

#include "components/OneInstance.h"
#include "programmer/About.h"
#include "programmer/AutoAnswer.h"
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/LanguageModules.h"
#include "programmer/Main.h"
#include "programmer/PlugIns.h"
#include "programmer/ProcessCommands.h"
#include "programmer/SpecialBits.h"
#include "programmer/Sysinfo.h"
#include "resources/StringIds.h"
#include "toolbars/BarCommon.h"
#include "toolkit/Forms.h"
#include "toolkit/Resources.h"

namespace {

// The exit code: 0, or 1 when a command of the command line failed, so that
// whoever started the run can tell, whether the program ended right after
// its commands (EXIT, a syntax error, a missing plug-in) or the user closed
// it later. Fatal ends keep their own codes (200, 101 to 123) and never
// come back here.
int Run()
{
    // The language module of the user's locale, before any window exists,
    // so that every window is built from it.
    LoadStartupLanguageModule();
    // The single-instance probe takes the program's default title.
    StartPreviousInstance(ProgramFileTitle());
    InitCommandMode();

    tk::Application& app = tk::App();
    app.SetTitle(tk::LoadStr(S_APPLICATION_TITLE));

    // The seven windows in their fixed order; the main window's creation
    // opens the port driver and finds the ports.
    TMainForm* mainForm = app.CreateForm<TMainForm>();
    app.CreateForm<TAboutBox>();
    app.CreateForm<TSystemInfo>(&mainForm->Port1, mainForm->FPortCount);
    app.CreateForm<TFillForm>();
    app.CreateForm<TPlugInForm>();
    app.CreateForm<TSBForm>();
    app.CreateForm<TCloneForm>();

    ProcessCommandLine(*mainForm);
    const int exitCode = mainForm->CommandsFailed() ? 1 : 0;

    app.Run();
    return exitCode;
}

// The toolbar buttons' window hooks go when the program ends, on every way
// out of WinMain, after the windows that used them.
struct HookShutdown {
    HookShutdown() = default;
    HookShutdown(const HookShutdown&) = delete;
    HookShutdown& operator=(const HookShutdown&) = delete;
    ~HookShutdown() { ShutdownHooks(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const HookShutdown hooks;
    InstallAutoAnswerFromEnvironment();
    int exitCode = 0;
    try {
        exitCode = Run();
    } catch (const tk::ExitRequested& exit) {
        return exit.code;
    } catch (const std::exception& e) {
        tk::App().ShowException(e);
        return 1;
    }
    tk::App().Reset();
    EndPreviousInstance();
    return exitCode;
}
