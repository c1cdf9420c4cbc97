// AutoAnswer: unattended runs of the real programs, the programmer and setup.
// With the environment variable ZP_AUTO_ANSWER=1 every message box is
// answered with its default button (OK, or Yes) instead of being shown, every
// file dialog is cancelled and every modal form is closed with Cancel; each
// of them is appended as one line to the file named by ZP_MESSAGE_LOG (when
// set). End-to-end tests and demonstration scripts use this so a program
// never waits for a user.
//
// Log lines (CR, LF and backslash in texts written as \r, \n and \\):
//   box <caption>|<text>
//   file-dialog <open|save>|<title>
//   modal-form <class name>
#pragma once

#include "toolkit/Services.h"

#include <string>

// One log line's text part with CR, LF and backslash escaped.
std::string EscapeLogText(const std::string& text);

class TAutoAnswer : public tk::MessageService, public tk::FileDialogService, public tk::ModalFormHook {
public:
    explicit TAutoAnswer(std::string logPath);

    tk::ModalResult Show(const tk::MessageRequest& request) override;
    bool Execute(tk::FileDialogRequest& request) override;
    tk::ModalResult RunModal(tk::Form& form) override;

    // The button a box's Enter key would press.
    static tk::ModalResult DefaultAnswer(tk::MsgDlgButtons buttons);

private:
    void Append(const std::string& line) const;

    std::string logPath_;
};

// Installs one process-wide TAutoAnswer in the message, file-dialog and
// modal-form seams when ZP_AUTO_ANSWER is "1"; returns whether it did.
bool InstallAutoAnswerFromEnvironment();
