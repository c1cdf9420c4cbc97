// Forms: Form (description, showing, closing, modal loop, dialog keys and
// shortcuts), Application (hidden owner window, event loop, exception box,
// tooltips) and Screen.
#include "toolkit/Forms.h"

#include "toolkit/Exceptions.h"
#include "toolkit/HintWindow.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Services.h"
#include "toolkit/WideText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>

namespace tk {

namespace {

constexpr UINT kReleaseMessage = WM_APP + 0x1F0;
constexpr UINT kHintTickMs = 100;
// Hints are wrapped at this width and kept this far below the cursor's hot spot.
constexpr int kHintMaxWidth = 300;
constexpr int kHintBelowCursor = 20;
constexpr DWORD kProcessMessagesEveryMs = 5;

struct RealModalHook : ModalFormHook {
    ModalResult RunModal(Form& form) override { return form.RunModalLoop(); }
};

struct FormIdents {
    FormIdents() {
        RegisterIdents(typeid(FormPosition), {{"poDesigned", poDesigned},
                                              {"poDefault", poDefault},
                                              {"poDefaultPosOnly", poDefaultPosOnly},
                                              {"poDefaultSizeOnly", poDefaultSizeOnly},
                                              {"poScreenCenter", poScreenCenter},
                                              {"poMainFormCenter", poMainFormCenter}});
        RegisterIdents(typeid(FormStyle), {{"fsNormal", fsNormal}, {"fsStayOnTop", fsStayOnTop}});
        RegisterIdents(typeid(WindowState), {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}});
    }
};
const FormIdents g_formIdents;

const IdentTable kBorderIcons = {{"biSystemMenu", biSystemMenu},
                                 {"biMinimize", biMinimize},
                                 {"biMaximize", biMaximize},
                                 {"biHelp", biHelp}};

const ClassRegistration<Form> g_formClass("TForm", "TWinControl", [](ClassBuilder<Form>& c) {
    c.Property("BorderStyle", &Form::GetBorderStyle, &Form::SetBorderStyle);
    c.Property("BorderIcons", &Form::GetBorderIcons, &Form::SetBorderIcons, &kBorderIcons);
    c.Property("Position", &Form::Position, &Form::SetPosition);
    c.Property("FormStyle", &Form::GetFormStyle, &Form::SetFormStyle);
    c.Property("KeyPreview", &Form::KeyPreview, &Form::SetKeyPreview);
    c.Property("WindowState", &Form::GetWindowState, &Form::SetWindowState);
    c.Property("ActiveControl", &Form::ActiveControl, &Form::SetActiveControl);
    c.Property("Menu", &Form::Menu, &Form::SetMenu);
    c.Event("OnCreate", &Form::OnCreate);
    c.Event("OnDestroy", &Form::OnDestroy);
    c.Event("OnShow", &Form::OnShow);
    c.Event("OnHide", &Form::OnHide);
    c.Event("OnActivate", &Form::OnActivate);
    c.Event("OnDeactivate", &Form::OnDeactivate);
    c.Event("OnPaint", &Form::OnPaint);
    c.Event("OnClose", &Form::OnClose);
    c.Event("OnCloseQuery", &Form::OnCloseQuery);
});

bool ControlUsable(const Control* c) {
    for (; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

// Every control below `root`, depth first, in child order.
void CollectControls(const WinControl& root, std::vector<Control*>& out) {
    for (Control* c : root.Children()) {
        out.push_back(c);
        if (auto* wc = dynamic_cast<WinControl*>(c)) CollectControls(*wc, out);
    }
}

void CollectTabStops(const WinControl& root, std::vector<WinControl*>& out) {
    for (WinControl* c : root.TabList()) {
        if (c->TabStop() && c->CanFocus()) out.push_back(c);
        CollectTabStops(*c, out);
    }
}

std::string DefaultTitle() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    for (std::size_t i = 1; i < name.size(); ++i)
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    return name;
}

BOOL CALLBACK CollectEnabledWindow(HWND wnd, LPARAM param) {
    try {
        auto* list = reinterpret_cast<std::vector<HWND>*>(param);
        if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) list->push_back(wnd);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

struct FormWalk {
    const std::vector<Form*>* forms;
    std::vector<Form*>* out;
};

// Top-level windows come in z-order, topmost first.
BOOL CALLBACK CollectFormWindow(HWND wnd, LPARAM param) {
    try {
        auto* walk = reinterpret_cast<FormWalk*>(param);
        for (Form* f : *walk->forms) {
            if (f->HandleIfAllocated() == wnd) walk->out->push_back(f);
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string LongHint(const std::string& hint) {
    std::size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// Keeps a shown window from drawing anything until it goes out of scope.
class RedrawSuspended {
public:
    explicit RedrawSuspended(WinControl& control) : control_(control) {
        HWND wnd = control.HandleIfAllocated();
        if (wnd && ::IsWindowVisible(wnd)) {
            wnd_ = wnd;
            ::SendMessageA(wnd_, WM_SETREDRAW, FALSE, 0);
        }
    }
    ~RedrawSuspended() {
        if (!wnd_) return;
        HWND now = control_.HandleIfAllocated();
        if (now == wnd_) {
            ::SendMessageA(wnd_, WM_SETREDRAW, TRUE, 0);
            ::RedrawWindow(wnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        } else if (now && control_.Visible()) {
            // Made again meanwhile (a new border): it came up hidden.
            ::ShowWindow(now, SW_SHOWNA);
        }
    }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    WinControl& control_;
    HWND wnd_ = nullptr;
};

}  // namespace

Seam<ModalFormHook>& ModalFormSeam() {
    static RealModalHook real;
    static Seam<ModalFormHook> seam(real);
    return seam;
}

// ===========================================================================
// Form

Form::Form() {
    SetControlStyle(GetControlStyle() | csAcceptsControls);
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
    TheScreen().forms_.push_back(this);
}

Form::~Form() {
    auto& forms = TheScreen().forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (App().MainForm() == this) App().SetMainForm(nullptr);
    if (!IsDestroying()) Component::SetStateFlag(csDestroying, true);
    DestroyHandle();
}

void Form::BeforeDestruction() {
    if (created_ && OnDestroy) OnDestroy(this);
}

void Form::ReadDescription() {
    if (!ReadComponentResources(*this, "TForm", ReadMode::Create))
        throw EReadError("No window description found for " + ClassName());
    created_ = true;
    if (OnCreate) OnCreate(this);
}

bool Form::ReloadDescription() {
    // Every stored property lands on a window that is already up: drawn one
    // by one, a switch shows half-translated menus, controls at their old
    // places and scroll bars over scroll bars for seconds. Nothing is drawn
    // and nothing laid out until the whole description is in; then the
    // layout handlers run (they place again what the description put back
    // at its stored place) and the window paints once.
    RedrawSuspended quiet(*this);
    DisableAlign();
    bool read = false;
    try {
        read = ReadComponentResources(*this, "TForm", ReadMode::Update);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    if (!read) return false;
    MenuChanged();
    Realign();
    Resize();
    return true;
}

void Form::Loaded() {
    BindFields();
    WinControl::Loaded();
}

void Form::BindFields() {
    for (const FieldBinding& f : fields_) {
        Component* c = FindComponent(f.name);
        if (!c || !f.bind(c))
            throw EReadError("Window description of " + ClassName() + " has no component " + f.name +
                             " of the kind its field needs");
    }
}

void Form::SetBorderStyle(BorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void Form::SetBorderIcons(BorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void Form::SetFormStyle(FormStyle style) {
    if (style == formStyle_) return;
    formStyle_ = style;
    if (HWND h = HandleIfAllocated())
        ::SetWindowPos(h, style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

WindowState Form::GetWindowState() const {
    if (HWND h = HandleIfAllocated()) {
        if (::IsIconic(h)) return wsMinimized;
        if (::IsZoomed(h)) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void Form::SetWindowState(WindowState state) {
    windowState_ = state;
    if (HWND h = HandleIfAllocated(); h && Showing())
        ::ShowWindow(h, state == wsMinimized ? SW_MINIMIZE : state == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void Form::SetActiveControl(WinControl* control) {
    activeControl_ = control;
    activeToken_ = control ? control->Token() : LifeToken();
}

void Form::SetMenu(Component* menu) {
    if (menu == menu_) return;
    if (menu_) menu_->RemoveFreeNotification(this);
    menu_ = menu;
    if (menu_) menu_->FreeNotification(this);
    MenuChanged();
}

void Form::MenuChanged() {
    HWND h = HandleIfAllocated();
    if (!h || Parent()) return;
    auto* source = dynamic_cast<MenuSource*>(menu_);
    HMENU bar = source ? source->MenuHandle() : nullptr;
    if (::GetMenu(h) != bar) ::SetMenu(h, bar);
    ::DrawMenuBar(h);
    // The bar takes its height from the client area, whatever messages
    // the system sends about it.
    AlignIfClientResized();
}

void Form::CreateParams(WindowCreateParams& p) {
    WinControl::CreateParams(p);
    if (Parent()) return;
    p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    p.exStyle = 0;
    switch (borderStyle_) {
    case bsNone: p.style |= WS_POPUP; break;
    case bsSingle: p.style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        p.style |= WS_POPUP | WS_CAPTION;
        p.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        p.style |= WS_CAPTION;
        p.exStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        p.style |= WS_CAPTION | WS_THICKFRAME;
        p.exStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
        p.style |= WS_SYSMENU;
        bool small = borderStyle_ == bsDialog || borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
        if (!small && (borderIcons_ & biMinimize)) p.style |= WS_MINIMIZEBOX;
        if (!small && (borderIcons_ & biMaximize)) p.style |= WS_MAXIMIZEBOX;
        if (borderStyle_ == bsDialog && (borderIcons_ & biHelp)) p.exStyle |= WS_EX_CONTEXTHELP;
    }
    if (formStyle_ == fsStayOnTop) p.exStyle |= WS_EX_TOPMOST;
    if (App().MainForm() == this) p.exStyle |= WS_EX_APPWINDOW;
    // Made with its menu bar, so the children are first laid out in the
    // client area that is left.
    if (auto* source = dynamic_cast<MenuSource*>(menu_)) p.menuOrId = source->MenuHandle();
    p.parent = App().Handle();
    p.classStyle = CS_DBLCLKS;
}

void Form::CreateWnd() {
    WinControl::CreateWnd();
    // As the system's first size message: the handler sees the real client area.
    Resize();
}

void Form::DestroyWnd() {
    if (HWND h = HandleIfAllocated(); h && !Parent() && ::GetMenu(h)) ::SetMenu(h, nullptr);
    WinControl::DestroyWnd();
}

void Form::PaintWindow(HDC) {
    if (OnPaint && CanFireEvents()) OnPaint(this);
}

RECT Form::ClientRect() const {
    RECT r = WinControl::ClientRect();
    if (!HandleIfAllocated() && menu_ && !Parent()) r.bottom = std::max(0L, r.bottom - ::GetSystemMetrics(SM_CYMENU));
    return r;
}

POINT Form::ClientOrigin() const { return WinControl::ClientOrigin(); }

void Form::SetBounds(int left, int top, int width, int height) { WinControl::SetBounds(left, top, width, height); }

void Form::SetClientSize(int width, int height) { WinControl::SetClientSize(width, height); }

bool Form::Showing() const { return Parent() ? WinControl::Showing() : Visible(); }

void Form::SetVisible(bool visible) { WinControl::SetVisible(visible); }

void Form::PlaceOnScreen() {
    if (Parent()) return;
    RECT area = TheScreen().WorkArea();
    if (position_ == poScreenCenter ||
        (position_ == poMainFormCenter && (!App().MainForm() || App().MainForm() == this))) {
        SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
                  Width(), Height());
    } else if (position_ == poMainFormCenter) {
        Form* main = App().MainForm();
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2, Width(),
                  Height());
    }
}

void Form::ShowingChanged() {
    if (Parent()) {
        WinControl::ShowingChanged();
        return;
    }
    if (Visible()) {
        HandleNeeded();
        PlaceOnScreen();
        DoShow();
        if (HWND h = HandleIfAllocated(); h && Visible()) {
            int cmd = windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                      : windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                                                    : SW_SHOW;
            ::ShowWindow(h, cmd);
        }
    } else {
        DoHide();
        if (HWND h = HandleIfAllocated()) ::ShowWindow(h, SW_HIDE);
    }
    UpdateChildrenShowing();
}

void Form::Show() {
    SetVisible(true);
    BringToFront();
}

void Form::BringToFront() {
    if (HWND h = HandleIfAllocated(); h && Visible()) {
        ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::SetActiveWindow(h);
    }
}

void Form::DoShow() {
    if (OnShow && CanFireEvents()) OnShow(this);
}

void Form::DoHide() {
    if (OnHide && CanFireEvents()) OnHide(this);
}

void Form::DoClose(CloseAction& action) {
    if (OnClose && CanFireEvents()) OnClose(this, action);
}

void Form::Activate() {
    if (OnActivate && CanFireEvents()) OnActivate(this);
}

void Form::Deactivate() {
    if (OnDeactivate && CanFireEvents()) OnDeactivate(this);
}

bool Form::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery && CanFireEvents()) OnCloseQuery(this, canClose);
    return canClose;
}

void Form::Close() {
    if (modal_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    LifeToken alive = Token();
    if (!CloseQuery() || !alive.Alive()) return;
    CloseAction action = caHide;
    DoClose(action);
    if (!alive.Alive() || action == caNone) return;
    if (App().MainForm() == this) {
        App().Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: App().ReleaseLater(this); break;
    default: break;
    }
}

bool Form::CloseModal() {
    closedModal_ = true;
    LifeToken alive = Token();
    CloseAction action = caHide;
    if (!CloseQuery()) action = caNone;
    else if (alive.Alive()) DoClose(action);
    if (!alive.Alive()) return true;
    if (action == caNone) {
        modalResult_ = mrNone;
        return false;
    }
    if (action == caFree) App().ReleaseLater(this);
    return true;
}

ModalResult Form::ShowModal() {
    if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    HWND self = Handle();
    HWND previous = ::GetActiveWindow();
    if (::GetCapture()) ::SendMessageA(::GetCapture(), WM_CANCELMODE, 0, 0);
    ::ReleaseCapture();
    // The thread's other top-level windows take no input meanwhile.
    std::vector<HWND> disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(std::remove(disabled.begin(), disabled.end(), self), disabled.end());
    for (HWND w : disabled) ::EnableWindow(w, FALSE);

    LifeToken alive = Token();
    modal_ = true;
    closedModal_ = false;
    modalResult_ = mrNone;
    App().ModalStarted();
    auto restore = [&] {
        for (HWND w : disabled) {
            if (::IsWindow(w)) ::EnableWindow(w, TRUE);
        }
        App().ModalFinished();
        if (alive.Alive()) {
            modal_ = false;
            Hide();
        }
        if (previous && ::IsWindow(previous)) ::SetActiveWindow(previous);
    };
    ModalResult result = mrNone;
    try {
        Show();
        result = ModalFormSeam()->RunModal(*this);
        if (alive.Alive()) {
            if (!closedModal_) {
                modalResult_ = result;
                CloseModal();
            }
            if (alive.Alive() && modalResult_ != mrNone) result = modalResult_;
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return result;
}

ModalResult Form::RunModalLoop() {
    LifeToken alive = Token();
    for (;;) {
        App().HandleMessage();
        if (!alive.Alive()) return mrCancel;
        if (App().Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
        if (modalResult_ != mrNone) {
            ModalResult result = modalResult_;
            if (CloseModal()) return alive.Alive() ? modalResult_ : result;
            if (!alive.Alive()) return result;
        }
        if (!Visible()) return modalResult_ != mrNone ? modalResult_ : mrCancel;
    }
}

bool Form::IsShortCut(WORD key, ShiftState shift) {
    if (OnShortCut) {
        bool handled = false;
        OnShortCut(key, shift, handled);
        if (handled) return true;
    }
    auto* menuKeys = dynamic_cast<ShortCutHandler*>(menu_);
    if (menuKeys && menuKeys->IsShortCut(key, shift)) return true;
    LifeToken alive = Token();
    for (std::size_t i = 0; alive.Alive() && i < ComponentCount(); ++i) {
        auto* handler = dynamic_cast<ShortCutHandler*>(Components(i));
        if (handler && handler != menuKeys && handler->IsShortCut(key, shift)) return true;
    }
    return false;
}

bool Form::ClickDialogButton(bool defaultButton) {
    std::vector<Control*> all;
    CollectControls(*this, all);
    // Enter on a focused button clicks that button.
    if (defaultButton) {
        if (auto* focused = dynamic_cast<DialogButton*>(WinControl::FindFromHandle(::GetFocus()))) {
            auto* control = dynamic_cast<Control*>(focused);
            if (control && ControlUsable(control) && control->ParentForm() == this) {
                focused->Click();
                return true;
            }
        }
    }
    for (Control* c : all) {
        auto* button = dynamic_cast<DialogButton*>(c);
        if (!button || !ControlUsable(c)) continue;
        if (defaultButton ? button->IsDefault() : button->IsCancel()) {
            button->Click();
            return true;
        }
    }
    return false;
}

bool Form::DialogChar(char key, ShiftState shift) {
    if (shift & ssCtrl) return false;
    std::vector<Control*> all;
    CollectControls(*this, all);
    LifeToken alive = Token();
    for (Control* c : all) {
        if (ControlUsable(c) && c->DialogChar(key, shift)) return true;
        if (!alive.Alive()) return true;
    }
    return false;
}

bool Form::DialogKey(WORD key, ShiftState shift) {
    if (shift & (ssAlt | ssCtrl)) return false;
    switch (key) {
    case VK_TAB: {
        WinControl* current = WinControl::FindFromHandle(::GetFocus());
        SelectNext(current, !(shift & ssShift));
        return true;
    }
    case VK_RETURN: return shift == 0 && ClickDialogButton(true);
    case VK_ESCAPE: return shift == 0 && ClickDialogButton(false);
    default: return false;
    }
}

void Form::SelectNext(WinControl* current, bool forward) {
    std::vector<WinControl*> stops;
    CollectTabStops(*this, stops);
    if (stops.empty()) return;
    auto it = std::find(stops.begin(), stops.end(), current);
    std::size_t index;
    if (it == stops.end()) index = forward ? 0 : stops.size() - 1;
    else {
        std::size_t pos = static_cast<std::size_t>(it - stops.begin());
        index = forward ? (pos + 1) % stops.size() : (pos + stops.size() - 1) % stops.size();
    }
    FocusControl(stops[index]);
}

void Form::FocusControl(WinControl* control) {
    if (!control) return;
    SetActiveControl(control);
    if (control->CanFocus() && Showing()) control->SetFocus();
}

bool Form::PreviewKeyDown(WORD& key, ShiftState shift) {
    if (OnKeyDown && CanFireEvents()) OnKeyDown(this, key, shift);
    return key == 0;
}

bool Form::PreviewKeyUp(WORD& key, ShiftState shift) {
    if (OnKeyUp && CanFireEvents()) OnKeyUp(this, key, shift);
    return key == 0;
}

bool Form::PreviewKeyPress(char& key) {
    if (OnKeyPress && CanFireEvents()) OnKeyPress(this, key);
    return key == 0;
}

LRESULT Form::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE: Close(); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            Activate();
            if (activeToken_.Alive() && activeControl_ && activeControl_->CanFocus() &&
                activeControl_->HandleAllocated() && !::IsIconic(HandleIfAllocated())) {
                ::SetFocus(activeControl_->HandleIfAllocated());
                return 0;
            }
        } else {
            Deactivate();
        }
        break;
    case WM_COMMAND:
        if (lParam == 0) {
            if (auto* source = dynamic_cast<MenuSource*>(menu_); source && source->DispatchCommand(LOWORD(wParam)))
                return 0;
        }
        break;
    case WM_MEASUREITEM:
        if (MeasureMenuPicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (DrawMenuPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_INITMENUPOPUP:
        if (auto* source = dynamic_cast<MenuSource*>(menu_);
            source && source->DispatchPopup(reinterpret_cast<HMENU>(wParam)))
            return 0;
        break;
    case WM_SYSCHAR:
        if (DialogChar(NarrowChar(wParam), KeyboardShiftState())) return 0;
        break;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SizeConstraints& c = Constraints();
        if (c.minWidth > 0) info->ptMinTrackSize.x = c.minWidth;
        if (c.minHeight > 0) info->ptMinTrackSize.y = c.minHeight;
        if (c.maxWidth > 0) info->ptMaxTrackSize.x = c.maxWidth;
        if (c.maxHeight > 0) info->ptMaxTrackSize.y = c.maxHeight;
        return 0;
    }
    default: break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ===========================================================================
// Application

Application::Application() : title_(DefaultTitle()) {
    // The screen must outlive the application's forms at exit.
    (void)TheScreen();
}

Application::~Application() {
    Component::SetStateFlag(csDestroying, true);
    // Forms go while the application's own members still exist.
    while (ComponentCount() > 0) Free(Components(ComponentCount() - 1));
    mainForm_ = nullptr;
    hintWindow_.reset();
    if (handle_) ::DestroyWindow(handle_);
}

Application& App() {
    static Application app;
    return app;
}

HWND Application::Handle() {
    if (handle_) return handle_;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = AppWindowProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = L"TApplication";
        wc.hIcon = ::LoadIconW(wc.hInstance, L"MAINICON");
        ::RegisterClassW(&wc);
        registered = true;
    }
    handle_ = ::CreateWindowExW(0, L"TApplication", Wide(title_).c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    return handle_;
}

void Application::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetTextOf(handle_, title_);
}

std::string Application::ExeName() const {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

HINSTANCE Application::Instance() const { return ::GetModuleHandleA(nullptr); }

void Application::Run() {
    if (mainForm_ && showMainForm && !terminated_) mainForm_->Show();
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException();
        }
    }
}

void Application::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

void Application::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!ProcessMessage(msg)) break;
    }
    lastProcess_ = ClockSeam()->Now();
    ++processCount_;
}

void Application::ProcessMessagesIfDue() {
    DWORD now = ClockSeam()->Now();
    if (now - lastProcess_ >= kProcessMessagesEveryMs) ProcessMessages();
}

void Application::HandleMessage() {
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ProcessMessage(msg);
    } else {
        ::WaitMessage();
    }
}

bool Application::ProcessMessage(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    try {
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            CancelHint();
            if (PreTranslateKey(msg)) return true;
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            if (PreTranslateChar(msg)) return true;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN: CancelHint(); break;
        default: break;
        }
    } catch (...) {
        HandleException();
        return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

bool Application::PreTranslateKey(MSG& msg) {
    WORD key = static_cast<WORD>(msg.wParam);
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    WinControl* target = WinControl::FindFromHandle(msg.hwnd);
    Form* form = target ? target->ParentForm() : nullptr;
    if (!form) return false;
    ShiftState shift = KeyboardShiftState();
    LifeToken alive = form->Token();
    if (form->IsShortCut(key, shift)) return true;
    if (!alive.Alive()) return true;
    if (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) {
        auto code = static_cast<UINT>(::SendMessageA(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)));
        bool wanted = (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) || (key == VK_TAB && (code & DLGC_WANTTAB));
        if (!wanted && alive.Alive() && form->DialogKey(key, shift)) return true;
    }
    return false;
}

// A typed character reaches the focused control, not the form: mnemonics are
// found here, as the system's dialogs do. Alt+letter always asks the form's
// controls; a plain letter only where the focus is on a button, a check box
// or the form itself, since every other control may take it as input.
bool Application::PreTranslateChar(MSG& msg) {
    WinControl* target = WinControl::FindFromHandle(msg.hwnd);
    Form* form = target ? target->ParentForm() : nullptr;
    if (!form) return false;
    const ShiftState shift = KeyboardShiftState();
    if (msg.message == WM_CHAR) {
        if (shift & (ssAlt | ssCtrl)) return false;
        if (target != form) {
            const auto code =
                static_cast<UINT>(::SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg)));
            const UINT buttons = DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON;
            if ((code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) || !(code & buttons)) return false;
        }
    }
    return form->DialogChar(NarrowChar(msg.wParam), shift);
}

void Application::HandleException() {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const ExitRequested&) {
        // A test double of the exit seam has recorded the code already.
    } catch (const std::exception& e) {
        try {
            ShowException(e);
        } catch (...) {
        }
    } catch (...) {
        try {
            ShowException(std::runtime_error("Unknown error"));
        } catch (...) {
        }
    }
}

void Application::ShowException(const std::exception& e) {
    if (OnException) {
        OnException(e);
        return;
    }
    MessageBoxWithCaption(e.what(), title_, mtError, mbOK);
}

void Application::ReleaseLater(Form* form) {
    if (!form) return;
    pendingFree_.emplace_back(form, form->Token());
    ::PostMessageA(Handle(), kReleaseMessage, 0, 0);
}

void Application::Reset() {
    while (ComponentCount() > 0) Free(Components(ComponentCount() - 1));
    mainForm_ = nullptr;
    terminated_ = false;
    modalLevel_ = 0;
    hintsSuspended_ = 0;
    pendingFree_.clear();
    CancelHint();
    StopHintTracking();
    mouseControl_ = nullptr;
    mouseToken_ = LifeToken();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void Application::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::Remove && component == mainForm_) mainForm_ = nullptr;
}

LRESULT CALLBACK Application::AppWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        Application& app = App();
        switch (msg) {
        case kReleaseMessage: {
            auto pending = std::move(app.pendingFree_);
            app.pendingFree_.clear();
            for (auto& [component, token] : pending) {
                if (token.Alive()) Free(component);
            }
            return 0;
        }
        case WM_CLOSE:
            if (app.mainForm_) app.mainForm_->Close();
            return 0;
        // Pictures of a popup menu shown for no form.
        case WM_MEASUREITEM:
            if (MeasureMenuPicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (DrawMenuPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_WINDOWPOSCHANGING: {
            // The application window stays hidden; showing it (a second
            // instance bringing the first to the front) shows the main form.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (pos->flags & SWP_SHOWWINDOW) {
                pos->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
                if (Form* main = app.mainForm_) {
                    if (HWND h = main->HandleIfAllocated(); h && ::IsIconic(h)) ::ShowWindow(h, SW_RESTORE);
                    main->Show();
                }
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && app.mainForm_ && app.mainForm_->Visible())
                ::SetActiveWindow(app.mainForm_->Handle());
            return 0;
        default: break;
        }
    } catch (...) {
        App().HandleException();
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

// --- hints -------------------------------------------------------------------
void Application::MouseOver(Control* control, POINT) {
    Control* old = mouseToken_.Alive() ? mouseControl_ : nullptr;
    if (control == old) return;
    mouseControl_ = control;
    mouseToken_ = control ? control->Token() : LifeToken();
    if (old) old->MouseLeave();
    if (control && mouseToken_.Alive()) control->MouseEnter();
    // A new control under the mouse: the hint starts over.
    CancelHint();
    hintDone_ = false;
    hintRestSince_ = ClockSeam()->Now();
    Control* hinted = nullptr;
    for (Control* c = mouseToken_.Alive() ? mouseControl_ : nullptr; c; c = c->Parent()) {
        if (!c->Hint().empty()) {
            hinted = c;
            break;
        }
    }
    std::string longHint = hinted ? LongHint(hinted->Hint()) : std::string();
    if (longHint != currentHint_) {
        currentHint_ = longHint;
        if (OnHint) OnHint(this);
    }
    hintControl_ = hinted;
    hintToken_ = hinted ? hinted->Token() : LifeToken();
    if (hinted && hintsSuspended_ == 0 && (!hintTimer_ || hintClock_ != &ClockSeam().Get())) {
        StopHintTracking();
        hintClock_ = &ClockSeam().Get();
        hintTimer_ = hintClock_->StartTimer(kHintTickMs, [this] { HintTimerTick(); });
    }
}

void Application::StopHintTracking() {
    // A test clock that started the timer may be gone: its timers went with it.
    if (hintTimer_ && hintClock_ == &ClockSeam().Get()) hintClock_->StopTimer(hintTimer_);
    hintTimer_ = 0;
    hintClock_ = nullptr;
}

void Application::HintTimerTick() {
    POINT cursor = InputSeam()->CursorPos();
    Control* under = WinControl::FindControlAtScreen(cursor, true);
    if (!under) {
        // The mouse has left the program's windows.
        MouseOver(nullptr, cursor);
        CancelHint();
        StopHintTracking();
        return;
    }
    if (under != (mouseToken_.Alive() ? mouseControl_ : nullptr)) MouseOver(under, cursor);
    Control* hinted = hintToken_.Alive() ? hintControl_ : nullptr;
    DWORD now = ClockSeam()->Now();
    if (!hinted) return;
    if (!hintShown_ && !hintDone_ && now - hintRestSince_ >= static_cast<DWORD>(hintPause)) ShowHintFor(hinted);
    else if (hintShown_ && now - hintShownAt_ >= static_cast<DWORD>(hintHidePause)) {
        CancelHint();
        hintDone_ = true;
    }
}

void Application::ShowHintFor(Control* control) {
    if (!showHint || hintsSuspended_ > 0 || !control->ShowHint()) return;
    std::string text = ShortHint(control->Hint());
    if (text.empty()) return;
    if (!hintWindow_) hintWindow_ = std::make_unique<HintWindow>();
    RECT r = hintWindow_->CalcHintRect(kHintMaxWidth, text);
    POINT cursor = InputSeam()->CursorPos();
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    // Below the cursor, kept on the screen: above it when there is no room.
    RECT area = TheScreen().WorkArea();
    int x = std::max<int>(area.left, std::min<int>(cursor.x, area.right - w));
    int y = cursor.y + kHintBelowCursor;
    if (y + h > area.bottom) y = std::max<int>(area.top, cursor.y - h);
    hintWindow_->ActivateHint(RECT{x, y, x + w, y + h}, text);
    hintShown_ = true;
    hintShownAt_ = ClockSeam()->Now();
}

void Application::CancelHint() {
    if (hintWindow_) hintWindow_->ReleaseHint();
    // Until the mouse moves on to another control.
    hintDone_ = true;
    hintShown_ = false;
}

void Application::SuspendHints() {
    if (hintsSuspended_++ > 0) return;
    CancelHint();
    StopHintTracking();
}

void Application::ResumeHints() {
    if (hintsSuspended_ > 0) --hintsSuspended_;
}

// ===========================================================================
// Screen

Screen& TheScreen() {
    static Screen screen;
    return screen;
}

std::vector<Form*> Screen::Forms() const {
    std::vector<Form*> ordered;
    FormWalk walk{&forms_, &ordered};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectFormWindow, reinterpret_cast<LPARAM>(&walk));
    for (Form* f : forms_) {
        if (std::find(ordered.begin(), ordered.end(), f) == ordered.end()) ordered.push_back(f);
    }
    return ordered;
}

Form* Screen::ActiveForm() const {
    WinControl* c = WinControl::FindFromHandle(::GetActiveWindow());
    return c ? dynamic_cast<Form*>(c) : nullptr;
}

RECT Screen::WorkArea() const {
    RECT r{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
        r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

int Screen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }

int Screen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

namespace {

HWND OwnerOf(HWND wnd) { return ::GetWindow(wnd, GW_OWNER); }

bool OwnedBy(HWND wnd, HWND owner) {
    for (HWND o = OwnerOf(wnd); o; o = OwnerOf(o)) {
        if (o == owner) return true;
    }
    return false;
}

bool ShowsNothing(HWND wnd) {
    RECT r{};
    return !::IsWindowVisible(wnd) || !::GetWindowRect(wnd, &r) || ::IsRectEmpty(&r);
}

}  // namespace

HWND PreviousUnownedWindow(HWND owner) {
    for (HWND w = ::GetWindow(owner, GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV)) {
        if (!OwnedBy(w, owner) && !ShowsNothing(w)) return w;
    }
    return nullptr;
}

void KeepOwnedWindowsInFront(HWND owner) {
    if (!owner) return;
    std::vector<HWND> owned;  // top first
    for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        if (w != owner && ::IsWindowVisible(w) && !(::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
            OwnedBy(w, owner))
            owned.push_back(w);
    }
    // Wine restacks a window on the screen only when it changes place in the
    // z-order and lands in front of every other visible window: each goes
    // behind the owner first, then to the top, the lowest first. The
    // z-order it reports may already have them in front while the screen
    // does not, so they are restacked every time.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        ::SetWindowPos(*it, owner, 0, 0, 0, 0, flags);
        ::SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, flags);
    }
}

void ReloadAllForms() {
    for (Form* f : TheScreen().Forms()) f->ReloadDescription();
}

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitForms = 1;
}  // namespace tk
