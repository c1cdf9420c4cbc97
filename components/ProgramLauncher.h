// ProgramLauncher: a non-visual component that describes an external program
// to be started (file, directory, parameters, window state, whether to wait
// and whether to change into its directory). It holds the configuration only;
// nothing in the application starts the program.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

class TProgramLauncher : public tk::Component {
public:
    TProgramLauncher();
    ~TProgramLauncher() override;

    // Result code of a launch; -1 until one has run.
    std::int32_t ErrNo() const { return errNo_; }

    const std::string& ExeName() const { return exeName_; }
    void SetExeName(const std::string& name) { exeName_ = name; }

    // Stored without one trailing backslash, except for "\" itself and a
    // drive root such as "C:\".
    const std::string& ExePath() const { return exePath_; }
    void SetExePath(const std::string& path);

    const std::vector<std::string>& ExeParams() const { return exeParams_; }
    // The launcher keeps its own copy of the lines.
    void SetExeParams(const std::vector<std::string>& params);

    tk::WindowState WindowState() const { return windowState_; }
    void SetWindowState(tk::WindowState state);
    // The ShowWindow command that matches WindowState.
    std::uint16_t ShowCommand() const { return showCommand_; }

    bool ChangeDir() const { return changeDir_; }
    void SetChangeDir(bool on) { changeDir_ = on; }
    bool Wait() const { return wait_; }
    void SetWait(bool on) { wait_ = on; }

private:
    std::int32_t errNo_ = -1;
    std::string exeName_;
    std::string exePath_;
    std::vector<std::string> exeParams_;
    tk::WindowState windowState_ = tk::wsNormal;
    std::uint16_t showCommand_ = SW_SHOWNORMAL;
    bool changeDir_ = true;
    bool wait_ = false;
};
