// AutoAnswer: the unattended message, file-dialog and modal-form services.
#include "components/AutoAnswer.h"

#include "toolkit/Forms.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

std::string EscapeLogText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += c; break;
        }
    }
    return out;
}

TAutoAnswer::TAutoAnswer(std::string logPath) : logPath_(std::move(logPath)) {}

tk::ModalResult TAutoAnswer::DefaultAnswer(tk::MsgDlgButtons buttons)
{
    switch (buttons) {
    case tk::mbYesNo:
    case tk::mbYesNoCancel:
        return tk::mrYes;
    case tk::mbOK:
    case tk::mbOKCancel:
    default:
        return tk::mrOk;
    }
}

tk::ModalResult TAutoAnswer::Show(const tk::MessageRequest& request)
{
    Append("box " + EscapeLogText(request.caption) + "|" + EscapeLogText(request.text));
    return DefaultAnswer(request.buttons);
}

bool TAutoAnswer::Execute(tk::FileDialogRequest& request)
{
    Append(std::string("file-dialog ") + (request.save ? "save" : "open") + "|" + EscapeLogText(request.title));
    return false;
}

tk::ModalResult TAutoAnswer::RunModal(tk::Form& form)
{
    Append("modal-form " + form.ClassName());
    return tk::mrCancel;
}

void TAutoAnswer::Append(const std::string& line) const
{
    if (logPath_.empty())
        return;
    // Opened per line so that the log is complete even when the process is
    // ended abruptly right after a box (exit code 200 and the like).
    std::FILE* file = std::fopen(logPath_.c_str(), "ab");
    if (!file)
        return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fwrite("\r\n", 1, 2, file);
    std::fclose(file);
}

bool InstallAutoAnswerFromEnvironment()
{
    const char* flag = std::getenv("ZP_AUTO_ANSWER");
    if (!flag || std::string(flag) != "1")
        return false;
    const char* log = std::getenv("ZP_MESSAGE_LOG");
    static TAutoAnswer answer(log ? log : "");
    tk::MessageSeam().Replace(&answer);
    tk::FileDialogSeam().Replace(&answer);
    tk::ModalFormSeam().Replace(&answer);
    return true;
}
