// setup: the installer's program block. One window, no command-line
// parameters: the title, the window, the message loop. With the environment
// variable ZP_AUTO_ANSWER=1 its message boxes are answered unattended, as
// the programmer's are (components/AutoAnswer.h).
#include <windows.h>

#include <objbase.h>

#include "components/AutoAnswer.h"
#include "components/OneInstance.h"
#include "installer/Main.h"
#include "resources/SetupStringIds.h"
#include "toolkit/Forms.h"
#include "toolkit/Resources.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InstallAutoAnswerFromEnvironment();
    // The shell-link object lives in this thread's apartment.
    const HRESULT com = ::CoInitialize(nullptr);
    int code = 0;
    try {
        // The single-instance probe takes the program's default title.
        StartPreviousInstance(ProgramFileTitle());
        tk::Application& app = tk::App();
        app.SetTitle(tk::LoadStr(S_SETUP_TITLE));
        app.CreateForm<TMainForm>();
        app.Run();
        app.Reset();
    } catch (const tk::ExitRequested& exit) {
        code = exit.code;
    } catch (const std::exception& e) {
        tk::App().ShowException(e);
        code = 1;
    }
    EndPreviousInstance();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return code;
}
