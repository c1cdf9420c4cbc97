// Services: the seams. Every modal or process-wide effect (message boxes,
// file dialogs, modal forms, sleeping and beeping, ending the process, the
// clock behind timers, the cursor and key state of mouse loops) goes through
// one replaceable object with a real default, so tests answer them and
// nothing blocks. TestSeams.h holds ready test doubles.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tk {

class Form;
using ModalResult = int;

// A slot holding the current implementation of one service.
template <class Interface>
class Seam {
public:
    explicit Seam(Interface& defaultImpl) : default_(&defaultImpl), current_(&defaultImpl) {}
    Interface& Get() const { return *current_; }
    Interface* operator->() const { return current_; }
    // nullptr puts the default back; returns the previous implementation.
    Interface* Replace(Interface* impl) {
        Interface* old = current_;
        current_ = impl ? impl : default_;
        return old;
    }
    Interface& Default() const { return *default_; }

private:
    Interface* default_;
    Interface* current_;
};

// Installs an implementation for a scope (a test) and restores the previous.
template <class Interface>
class SeamOverride {
public:
    SeamOverride(Seam<Interface>& seam, Interface& impl) : seam_(seam), previous_(seam.Replace(&impl)) {}
    ~SeamOverride() { seam_.Replace(previous_); }
    SeamOverride(const SeamOverride&) = delete;
    SeamOverride& operator=(const SeamOverride&) = delete;

private:
    Seam<Interface>& seam_;
    Interface* previous_;
};

// --- message boxes ------------------------------------------------------------
enum MsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum MsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };

struct MessageRequest {
    std::string text;
    std::string caption;
    MsgDlgType type = mtCustom;
    MsgDlgButtons buttons = mbOK;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows the box and returns mrOk, mrCancel, mrYes or mrNo.
    virtual ModalResult Show(const MessageRequest& request) = 0;
};
Seam<MessageService>& MessageSeam();

// --- file dialogs (implemented in Dialogs.cpp) ---------------------------------
struct FileDialogRequest {
    bool save = false;
    HWND owner = nullptr;
    std::string title;
    std::string filter;  // "Hex files (*.hex)|*.hex|All files (*.*)|*.*"
    int filterIndex = 1;
    std::string initialDir;
    std::string defaultExt;
    std::string fileName;  // in: proposed name; out: the chosen file
    DWORD options = 0;     // OFN_* flags
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // False when the user cancelled.
    virtual bool Execute(FileDialogRequest& request) = 0;
};
Seam<FileDialogService>& FileDialogSeam();

// --- modal forms ---------------------------------------------------------------
// Runs a form that ShowModal has prepared (shown, other windows disabled) and
// returns its modal result. Tests operate the form's real controls here.
class ModalFormHook {
public:
    virtual ~ModalFormHook() = default;
    virtual ModalResult RunModal(Form& form) = 0;
};
Seam<ModalFormHook>& ModalFormSeam();

// --- sleeping and beeping ------------------------------------------------------
class SleepBeepService {
public:
    virtual ~SleepBeepService() = default;
    virtual void Sleep(unsigned milliseconds);
    virtual void Beep(unsigned frequency, unsigned milliseconds);
};
Seam<SleepBeepService>& SleepBeepSeam();

// --- ending the process --------------------------------------------------------
class ExitService {
public:
    virtual ~ExitService() = default;
    // Ends the process with `code`; test doubles throw ExitRequested instead.
    [[noreturn]] virtual void Exit(int code);
};
Seam<ExitService>& ExitSeam();

// Thrown by test doubles of ExitService; the application's exception handler
// lets it pass silently.
struct ExitRequested {
    int code;
};

// --- the clock behind timers ---------------------------------------------------
class ClockService {
public:
    virtual ~ClockService() = default;
    // Milliseconds since some start.
    virtual DWORD Now();
    // Calls onTick every interval until StopTimer; returns a nonzero id.
    virtual UINT_PTR StartTimer(unsigned intervalMs, std::function<void()> onTick);
    virtual void StopTimer(UINT_PTR id);
};
Seam<ClockService>& ClockSeam();

// --- cursor and keys for modal mouse loops -------------------------------------
class InputSource {
public:
    virtual ~InputSource() = default;
    virtual POINT CursorPos();
    // As GetKeyState: high bit set while the key is down.
    virtual SHORT KeyState(int virtualKey);
    // As GetAsyncKeyState's high bit.
    virtual bool AsyncKeyDown(int virtualKey);
};
Seam<InputSource>& InputSeam();

// --- popup menus -----------------------------------------------------------
// Shows a popup menu where TrackPopupMenu would (TPM_RETURNCMD is always set)
// and returns the chosen command id, 0 when the menu closed without one.
struct PopupMenuRequest {
    HMENU menu = nullptr;
    UINT flags = 0;  // TPM_* alignment and track-button flags
    int x = 0;
    int y = 0;
    HWND owner = nullptr;
};

class PopupMenuService {
public:
    virtual ~PopupMenuService() = default;
    virtual UINT Track(const PopupMenuRequest& request);
};
Seam<PopupMenuService>& PopupMenuSeam();

}  // namespace tk
