// Forms: top-level windows built from a window description (or in code), the
// Application object (title on a hidden owner window, the event loop, the one
// exception handler, tooltips) and the Screen (open forms in screen order,
// work area). Modal forms go through the modal-form seam (Services.h).
#pragma once

#include <windows.h>

#include "toolkit/Control.h"
#include "toolkit/Streaming.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace tk {

class ClockService;
class HintWindow;

using ModalResult = int;
constexpr ModalResult mrNone = 0;
constexpr ModalResult mrOk = IDOK;
constexpr ModalResult mrCancel = IDCANCEL;
constexpr ModalResult mrAbort = IDABORT;
constexpr ModalResult mrRetry = IDRETRY;
constexpr ModalResult mrIgnore = IDIGNORE;
constexpr ModalResult mrYes = IDYES;
constexpr ModalResult mrNo = IDNO;

enum FormPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poMainFormCenter };
enum FormStyle { fsNormal, fsStayOnTop };
enum BorderIcon : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using BorderIcons = unsigned;
enum WindowState { wsNormal, wsMinimized, wsMaximized };
enum CloseAction { caNone, caHide, caFree, caMinimize };

using CloseEvent = std::function<void(Component* sender, CloseAction& action)>;
using CloseQueryEvent = std::function<void(Component* sender, bool& canClose)>;
// Runs before menu and action shortcuts; set handled to stop them.
using ShortCutEvent = std::function<void(WORD key, ShiftState shift, bool& handled)>;

// Buttons that Enter (default) and Esc (cancel) click. The form asks only
// controls that are visible and enabled with a visible, enabled parent.
class DialogButton {
public:
    virtual ~DialogButton() = default;
    virtual bool IsDefault() const = 0;
    virtual bool IsCancel() const = 0;
    virtual void Click() = 0;
};

// Anything on a form that owns keyboard shortcuts (action lists, menus).
class ShortCutHandler {
public:
    virtual ~ShortCutHandler() = default;
    // True when the key ran a command.
    virtual bool IsShortCut(WORD key, ShiftState shift) = 0;
};

// The main menu of a form (Menus.h); the form routes its menu messages here.
class MenuSource {
public:
    virtual ~MenuSource() = default;
    virtual HMENU MenuHandle() = 0;
    // WM_COMMAND from the menu; true when an item took it.
    virtual bool DispatchCommand(WORD id) = 0;
    // WM_INITMENUPOPUP for one of its popups; true when it was ours.
    virtual bool DispatchPopup(HMENU popup) = 0;
};

class Form : public WinControl {
public:
    // A form without a description; set properties and add controls in code.
    Form();
    ~Form() override;

    const HandlerTable* Handlers() const override { return &handlers_; }
    // Re-reads the form's descriptions from the active resource module onto
    // the existing components (base class first); creates and destroys
    // nothing and runs no click or change handler. False when none found.
    bool ReloadDescription();

    // --- window properties ----------------------------------------------
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle style);
    BorderIcons GetBorderIcons() const { return borderIcons_; }
    void SetBorderIcons(BorderIcons icons);
    FormPosition Position() const { return position_; }
    void SetPosition(FormPosition position) { position_ = position; }
    FormStyle GetFormStyle() const { return formStyle_; }
    void SetFormStyle(FormStyle style);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }
    WindowState GetWindowState() const;
    void SetWindowState(WindowState state);
    WinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(WinControl* control);
    // The main menu component; it must implement MenuSource.
    Component* Menu() const { return menu_; }
    void SetMenu(Component* menu);
    // Re-reads the menu bar after the menu changed its items.
    void MenuChanged();

    // --- showing and closing --------------------------------------------
    void Show();
    void Close();
    // OnCloseQuery; false keeps the form open.
    virtual bool CloseQuery();
    // Shows the form modally: the thread's other top-level windows are
    // disabled, then the modal-form seam runs the dialog (the real one runs
    // a message loop until ModalResult is set).
    ModalResult ShowModal();
    bool IsModal() const { return modal_; }
    ModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(ModalResult result) { modalResult_ = result; }
    // The real modal loop (the default modal-form seam calls this).
    ModalResult RunModalLoop();
    // Brings the form to the front and activates it.
    void BringToFront();

    // --- keys -----------------------------------------------------------
    // Shortcut dispatch: OnShortCut, then the main menu, then every owned
    // component that is a ShortCutHandler (action lists). True when taken.
    virtual bool IsShortCut(WORD key, ShiftState shift);
    // Tab / Shift+Tab moves the focus; Enter clicks the default button (or
    // the focused one), Esc the cancel button. True when taken.
    virtual bool DialogKey(WORD key, ShiftState shift);
    // A mnemonic (Alt+letter, or a letter typed where no control takes
    // text) offered to the form's controls in order. True when taken.
    bool DialogChar(char key, ShiftState shift) override;
    // Focus to the next (or previous) tab stop after `current`.
    void SelectNext(WinControl* current, bool forward);
    void FocusControl(WinControl* control);
    // The form's own key events run first when KeyPreview is set.
    bool PreviewKeyDown(WORD& key, ShiftState shift);
    bool PreviewKeyUp(WORD& key, ShiftState shift);
    bool PreviewKeyPress(char& key);

    NotifyEvent OnCreate;
    NotifyEvent OnDestroy;
    NotifyEvent OnShow;
    NotifyEvent OnHide;
    NotifyEvent OnActivate;
    NotifyEvent OnDeactivate;
    NotifyEvent OnPaint;
    CloseEvent OnClose;
    CloseQueryEvent OnCloseQuery;
    ShortCutEvent OnShortCut;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool Showing() const override;
    void ShowingChanged() override;
    void SetVisible(bool visible) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetClientSize(int width, int height) override;
    RECT ClientRect() const override;
    POINT ClientOrigin() const override;

protected:
    // Builds the form from its descriptions (its class chain below TForm,
    // base first, from the active resource module), binds the fields, runs
    // Loaded and then OnCreate. Call it as the last statement of the most
    // derived constructor, after BindHandler / BindField.
    void ReadDescription();
    // Makes a member function available to descriptions under `name`.
    template <class F, class... A>
    void BindHandler(const std::string& name, void (F::*method)(A...)) {
        F* self = static_cast<F*>(this);
        handlers_.Add(name, std::function<void(A...)>([self, method](A... args) { (self->*method)(args...); }));
    }
    // After reading, `field` points to the component of that name (which
    // must exist and be of type T).
    template <class T>
    void BindField(const std::string& name, T*& field) {
        fields_.push_back(FieldBinding{name, [&field](Component* c) {
                                           field = dynamic_cast<T*>(c);
                                           return field != nullptr;
                                       }});
    }

    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;
    // Takes the menu bar off first: the system would destroy it with the window.
    void DestroyWnd() override;
    void PaintWindow(HDC dc) override;
    void Loaded() override;
    void BeforeDestruction() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(CloseAction& action);
    virtual void Activate();
    virtual void Deactivate();

private:
    struct FieldBinding {
        std::string name;
        std::function<bool(Component*)> bind;
    };
    void BindFields();
    void PlaceOnScreen();
    // OnCloseQuery and OnClose for a modal form; false when they refused.
    bool CloseModal();
    bool ClickDialogButton(bool defaultButton);

    HandlerTable handlers_;
    std::vector<FieldBinding> fields_;
    BorderStyle borderStyle_ = bsSizeable;
    BorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    FormPosition position_ = poDesigned;
    FormStyle formStyle_ = fsNormal;
    bool keyPreview_ = false;
    WindowState windowState_ = wsNormal;
    WinControl* activeControl_ = nullptr;
    LifeToken activeToken_;
    Component* menu_ = nullptr;
    ModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool closedModal_ = false;
    bool created_ = false;
};

class Application : public Component {
public:
    Application();
    ~Application() override;

    // The hidden window that carries the title and owns the forms. It never
    // shows itself: showing or activating it brings the main form instead.
    HWND Handle();
    // Defaults to the program file's name with every letter after the first
    // in lower case.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    // Full path of the program file.
    std::string ExeName() const;
    HINSTANCE Instance() const;

    Form* MainForm() const { return mainForm_; }
    void SetMainForm(Form* form) { mainForm_ = form; }
    // Creates a form owned by the application; the first becomes the main form.
    template <class T, class... Args>
    T* CreateForm(Args&&... args) {
        T* form = Create<T>(*this, std::forward<Args>(args)...);
        if (!mainForm_) mainForm_ = form;
        return form;
    }
    bool showMainForm = true;

    // Shows the main form and runs the event loop until Terminate.
    void Run();
    // Ends Run once the running handler returns, also from nested loops.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every pending message, then returns.
    void ProcessMessages();
    // ProcessMessages, but only when the last pass is older than a few
    // milliseconds: cheap enough to call after every step of a long loop.
    void ProcessMessagesIfDue();
    // Passes ProcessMessages has made so far (for measurements).
    unsigned ProcessMessagesCount() const { return processCount_; }
    // Waits for one message and handles it.
    void HandleMessage();
    // One message through the toolkit's key and hint handling; false for WM_QUIT.
    bool ProcessMessage(MSG& msg);
    // Number of modal forms and mouse loops running.
    int ModalLevel() const { return modalLevel_; }
    void ModalStarted() { ++modalLevel_; }
    void ModalFinished() { --modalLevel_; }

    // The one exception handler: call from a catch block. Shows the
    // exception's message in an error box captioned with the title (or
    // hands it to OnException) and returns.
    void HandleException();
    void ShowException(const std::exception& e);
    std::function<void(const std::exception& e)> OnException;

    // Tooltips: a control's Hint (the part before "|") is shown in the hint
    // window when the mouse has rested on it for hintPause and ShowHint is
    // on. A timer of the clock seam tracks the mouse every 100 ms while it
    // is over the program's windows and cancels the hint once it left them.
    bool showHint = true;
    int hintPause = 500;
    int hintHidePause = 2500;
    // Hides the hint; it comes back only when the mouse moves to another control.
    void CancelHint();
    // No hint while a modal mouse loop runs (counted): one that shows goes
    // at once, and none comes until the last resume.
    void SuspendHints();
    void ResumeHints();
    // The hint window, made when a control with a hint first has the mouse.
    HintWindow* GetHintWindow() const { return hintWindow_.get(); }
    // The hint of the control under the mouse (the part after "|" if any).
    const std::string& CurrentHint() const { return currentHint_; }
    NotifyEvent OnHint;

    // Back to a fresh start for tests: forms destroyed, flags cleared.
    void Reset();

    // Called by controls with every mouse message: hint tracking and the
    // mouse enter / leave notifications of windowless controls.
    void MouseOver(Control* control, POINT screen);

    // Destroys the form once the running handler has returned (caFree).
    void ReleaseLater(Form* form);

protected:
    void Notification(Component* component, Operation operation) override;

private:
    bool PreTranslateKey(MSG& msg);
    bool PreTranslateChar(MSG& msg);
    void HintTimerTick();
    void ShowHintFor(Control* control);
    void StopHintTracking();
    static LRESULT CALLBACK AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::string title_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    int modalLevel_ = 0;
    DWORD lastProcess_ = 0;
    unsigned processCount_ = 0;
    // Hints.
    std::unique_ptr<HintWindow> hintWindow_;
    // The tracking timer and the clock that runs it.
    UINT_PTR hintTimer_ = 0;
    ClockService* hintClock_ = nullptr;
    Control* hintControl_ = nullptr;
    LifeToken hintToken_;
    Control* mouseControl_ = nullptr;
    LifeToken mouseToken_;
    DWORD hintRestSince_ = 0;
    DWORD hintShownAt_ = 0;
    bool hintShown_ = false;
    int hintsSuspended_ = 0;
    bool hintDone_ = false;
    std::string currentHint_;
    std::vector<std::pair<Component*, LifeToken>> pendingFree_;
};

// The one application object.
Application& App();

class Screen {
public:
    // Open forms, topmost first (forms without a window last).
    std::vector<Form*> Forms() const;
    std::size_t FormCount() const { return forms_.size(); }
    Form* ActiveForm() const;
    RECT WorkArea() const;
    int Width() const;
    int Height() const;

private:
    friend class Form;
    std::vector<Form*> forms_;
};

Screen& TheScreen();

// The nearest window above `owner` in the z-order that `owner` does not own
// (directly or further down) and that shows something (visible, not empty);
// nullptr when there is none. A window put just after it is in front of
// `owner` and of everything `owner` owns.
HWND PreviousUnownedWindow(HWND owner);
// Puts the visible windows that `owner` owns back in front of it, in their
// order. Wine without a window manager raises a window that takes the focus
// above the windows it owns, which the system never does.
void KeepOwnedWindowsInFront(HWND owner);

// Re-reads every open form from the active resource module, in screen order.
void ReloadAllForms();

}  // namespace tk
