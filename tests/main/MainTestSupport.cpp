// Shared fixture of the main-window tests.
#include "MainTestSupport.h"

#include "programmer/PortLibrary.h"
#include "toolkit/Forms.h"
#include "toolkit/Resources.h"

void PumpMessages()
{
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT)
            break;
        tk::App().ProcessMessage(msg);
    }
}

std::string Text(unsigned id) { return tk::LoadStr(id); }

std::string Text(unsigned id, std::initializer_list<tk::FormatArg> args) { return tk::FmtLoadStr(id, args); }

MainFormFixture::MainFormFixture()
    : configEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
      messages_([](const tk::MessageRequest& request) { ADD_FAILURE() << "unexpected message box: " << request.text; })
{
    ResetMainUnit();
    tk::App().Reset();
}

MainFormFixture::~MainFormFixture()
{
    DestroyMainForm();
    tk::App().Reset();
    ResetMainUnit();
    ZpSetCommandMode(0);
}

void MainFormFixture::Configure(const std::string& config)
{
    ASSERT_TRUE(WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), config + "TRACE=1\n"));
    ::DeleteFileA(scratch_.File("ZeltoProgBasic.trace").c_str());
}

TMainForm& MainFormFixture::CreateMainForm(const std::string& config, bool commandMode)
{
    Configure(config);
    ZpSetCommandMode(commandMode ? 1 : 0);
    // The trace starts with what the window itself asks.
    ::DeleteFileA(scratch_.File("ZeltoProgBasic.trace").c_str());
    form_ = tk::App().CreateForm<TMainForm>(driver_.System());
    return *form_;
}

void MainFormFixture::DestroyMainForm()
{
    if (form_) {
        tk::Free(form_);
        form_ = nullptr;
    }
}

std::vector<std::string> MainFormFixture::PortLibraryTrace() const
{
    return ReadLines(scratch_.File("ZeltoProgBasic.trace"));
}
