// ProgramLauncher: the configuration of an external program, streamed from
// window descriptions.
#include "components/ProgramLauncher.h"

#include "toolkit/Streaming.h"

TProgramLauncher::TProgramLauncher() = default;

TProgramLauncher::~TProgramLauncher() = default;

void TProgramLauncher::SetExePath(const std::string& path)
{
    if (path != exePath_) exePath_ = path;
    const bool driveRoot = exePath_.size() == 3 && exePath_[1] == ':' && exePath_[2] == '\\';
    if (exePath_.size() > 1 && exePath_.back() == '\\' && !driveRoot) exePath_.pop_back();
}

void TProgramLauncher::SetExeParams(const std::vector<std::string>& params)
{
    if (&params != &exeParams_) exeParams_.assign(params.begin(), params.end());
}

void TProgramLauncher::SetWindowState(tk::WindowState state)
{
    if (state == windowState_) return;
    switch (state) {
    case tk::wsNormal: showCommand_ = SW_SHOWNORMAL; break;
    case tk::wsMinimized: showCommand_ = SW_SHOWMINIMIZED; break;
    case tk::wsMaximized: showCommand_ = SW_SHOWMAXIMIZED; break;
    }
    windowState_ = state;
}

namespace {

const tk::IdentTable kWindowStateIdents = {
    {"wsNormal", tk::wsNormal}, {"wsMinimized", tk::wsMinimized}, {"wsMaximized", tk::wsMaximized}};

const tk::ClassRegistration<TProgramLauncher> kLauncherReg(
    "TProgramLauncher", "TComponent", [](tk::ClassBuilder<TProgramLauncher>& c) {
        c.Property("ExeName", &TProgramLauncher::ExeName, &TProgramLauncher::SetExeName)
            .Property("ExePath", &TProgramLauncher::ExePath, &TProgramLauncher::SetExePath)
            .Property("ExeParams", &TProgramLauncher::ExeParams, &TProgramLauncher::SetExeParams)
            .Property("ExeParams.Strings", &TProgramLauncher::ExeParams, &TProgramLauncher::SetExeParams)
            .Property("WindowState", &TProgramLauncher::WindowState, &TProgramLauncher::SetWindowState,
                      &kWindowStateIdents)
            .Property("ChangeDir", &TProgramLauncher::ChangeDir, &TProgramLauncher::SetChangeDir)
            .Property("Wait", &TProgramLauncher::Wait, &TProgramLauncher::SetWait);
        // Published but read-only: a description may show it, never set it.
        tk::PropertyInfo errNo;
        errNo.name = "ErrNo";
        errNo.set = [](tk::Persistent&, const tk::Value&, tk::ReadContext& ctx) {
            ctx.Fail("property ErrNo is read-only");
        };
        errNo.get = [](const tk::Persistent& object) {
            return tk::streaming_detail::ToValue(dynamic_cast<const TProgramLauncher&>(object).ErrNo(), nullptr);
        };
        c.Info().properties.push_back(std::move(errNo));
    });

}  // namespace
