// Test doubles for the System Info tests: recorded message boxes and waits,
// a modal-form hook that runs a test's actions on the shown dialog, the
// stand-in port library's configuration and trace, and message pumping.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Services.h"

#include <functional>
#include <string>
#include <vector>

class RecordingMessages : public tk::MessageService {
public:
    tk::ModalResult Show(const tk::MessageRequest& request) override;
    std::vector<std::string> texts;
};

class RecordingSleeps : public tk::SleepBeepService {
public:
    void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
    void Beep(unsigned, unsigned) override {}
    std::vector<unsigned> sleeps;
};

// Runs `actions` while the form is shown modally; the dialog's result is
// its ModalResult then, or mrCancel (the close box) when none was set.
class ScriptedModal : public tk::ModalFormHook {
public:
    tk::ModalResult RunModal(tk::Form& form) override;
    std::function<void(tk::Form&)> actions;
    int runs = 0;
};

// A private configuration file for ZeltoProgBasic.dll (named through
// ZP_PORTLIB_CONFIG) with its trace beside it; removed again at the end.
class PortLibraryConfig {
public:
    PortLibraryConfig();
    ~PortLibraryConfig();
    PortLibraryConfig(const PortLibraryConfig&) = delete;
    PortLibraryConfig& operator=(const PortLibraryConfig&) = delete;

    void Write(const std::string& text);
    std::vector<std::string> TraceLines() const;
    void ClearTrace();

private:
    std::string dir_;
    std::string configPath_;
    std::string tracePath_;
};

// Handles the thread's pending messages (a bounded number of them).
void PumpMessages();

// Texts of the string table as the dialog shows them.
std::string Text(unsigned id);
