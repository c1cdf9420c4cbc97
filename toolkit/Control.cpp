// Control: windowless and windowed controls, the window procedure, alignment,
// painting, mouse routing to windowless children and message reflection.
#include "toolkit/Control.h"

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/Services.h"
#include "toolkit/Streaming.h"
#include "toolkit/WideText.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace tk {

namespace {

// The control holding the mouse capture (a windowless one captures through
// its parent's window).
Control* g_captureControl = nullptr;
LifeToken g_captureToken;

Control* CaptureControl() { return g_captureToken.Alive() ? g_captureControl : nullptr; }

// Procedures of superclassed system classes, by class atom.
std::map<ATOM, WNDPROC>& BaseProcs() {
    static std::map<ATOM, WNDPROC> procs;
    return procs;
}

struct ClassKey {
    std::string name;
    std::string systemClass;
    UINT style;
    bool operator<(const ClassKey& o) const {
        return std::tie(name, systemClass, style) < std::tie(o.name, o.systemClass, o.style);
    }
};

// Class names are ASCII.
std::wstring AsciiWide(const std::string& name) { return std::wstring(name.begin(), name.end()); }

// Registers (once) the window class for these parameters and returns its
// name; the same control class with another class style gets its own class.
std::string EnsureWindowClass(const WindowCreateParams& p, WNDPROC& baseProc) {
    static std::map<ClassKey, std::pair<std::string, WNDPROC>> registered;
    ClassKey key{p.className, p.systemClass, p.classStyle};
    auto it = registered.find(key);
    if (it != registered.end()) {
        baseProc = it->second.second;
        return it->second.first;
    }
    // Unicode classes: the windows keep their texts in UTF-16, so that texts
    // of any code page (WideText.h) reach the screen whole.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    baseProc = ::DefWindowProcW;
    if (!p.systemClass.empty()) {
        WNDCLASSEXW sys{};
        sys.cbSize = sizeof(sys);
        const std::wstring systemClass = AsciiWide(p.systemClass);
        if (!::GetClassInfoExW(nullptr, systemClass.c_str(), &sys))
            throw EInvalidOperation("Window class " + p.systemClass + " is not available");
        wc = sys;
        wc.cbSize = sizeof(wc);
        wc.style = sys.style & ~static_cast<UINT>(CS_GLOBALCLASS);
        baseProc = sys.lpfnWndProc;
    } else {
        wc.style = p.classStyle;
        wc.hCursor = p.cursor ? p.cursor : ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = p.background;
    }
    wc.lpfnWndProc = ToolkitWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszMenuName = nullptr;
    // Unique name per key: "TPanel", then "TPanel.1" for another class style.
    std::string name = p.className.empty() ? "TkWindow" : p.className;
    for (int n = 1;; ++n) {
        bool used = false;
        for (const auto& [k, v] : registered) used = used || v.first == name;
        WNDCLASSEXW probe{};
        probe.cbSize = sizeof(probe);
        if (!used && !::GetClassInfoExW(wc.hInstance, AsciiWide(name).c_str(), &probe)) break;
        name = (p.className.empty() ? "TkWindow" : p.className) + "." + std::to_string(n);
    }
    const std::wstring wideName = AsciiWide(name);
    wc.lpszClassName = wideName.c_str();
    ATOM atom = ::RegisterClassExW(&wc);
    if (!atom) throw EInvalidOperation("Cannot register window class " + name);
    BaseProcs()[atom] = baseProc;
    registered[key] = {name, baseProc};
    return name;
}

bool IsMouseClientMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK && msg != WM_MOUSEWHEEL;
}

const IdentTable kFontStyles = {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
                                {"fsStrikeOut", fsStrikeOut}};

void ModifyFont(Control& c, const std::function<void(Font&)>& change) {
    Font f = c.GetFont();
    change(f);
    c.SetFont(f);
}

struct ControlIdents {
    ControlIdents() {
        RegisterIdents(typeid(Align), {{"alNone", alNone},
                                       {"alTop", alTop},
                                       {"alBottom", alBottom},
                                       {"alLeft", alLeft},
                                       {"alRight", alRight},
                                       {"alClient", alClient}});
        RegisterIdents(typeid(BorderStyle), {{"bsNone", bsNone},
                                             {"bsSingle", bsSingle},
                                             {"bsSizeable", bsSizeable},
                                             {"bsDialog", bsDialog},
                                             {"bsToolWindow", bsToolWindow},
                                             {"bsSizeToolWin", bsSizeToolWin}});
    }
};
const ControlIdents g_controlIdents;

const ClassRegistration<Component> g_componentClass("TComponent", "", [](ClassBuilder<Component>& c) {
    c.Property("Tag", &Component::Tag, &Component::SetTag);
});

const ClassRegistration<Control> g_controlClass("TControl", "TComponent", [](ClassBuilder<Control>& c) {
    c.Property("Left", &Control::Left, &Control::SetLeft);
    c.Property("Top", &Control::Top, &Control::SetTop);
    c.Property("Width", &Control::Width, &Control::SetWidth);
    c.Property("Height", &Control::Height, &Control::SetHeight);
    c.Property("ClientWidth", &Control::ClientWidth, &Control::SetClientWidth);
    c.Property("ClientHeight", &Control::ClientHeight, &Control::SetClientHeight);
    c.Property("Align", &Control::GetAlign, &Control::SetAlign);
    c.Property("Visible", &Control::Visible, &Control::SetVisible);
    c.Property("Enabled", &Control::Enabled, &Control::SetEnabled);
    c.Property("Caption", &Control::Caption, &Control::SetCaption);
    c.Property("Text", &Control::Text, &Control::SetText);
    c.Property("Hint", &Control::Hint, &Control::SetHint);
    c.Property("ShowHint", &Control::ShowHint, &Control::SetShowHint);
    c.Property("ParentShowHint", &Control::ParentShowHint, &Control::SetParentShowHint);
    c.Custom("Color", [](Control& self, const Value& v, ReadContext& ctx) { self.SetColor(ColorFromValue(v, ctx)); });
    c.Property("ParentColor", &Control::ParentColor, &Control::SetParentColor);
    c.Property("ParentFont", &Control::ParentFont, &Control::SetParentFont);
    c.Custom("Font.Name", [](Control& self, const Value& v, ReadContext& ctx) {
        if (v.kind != Value::Kind::String) streaming_detail::BadValue(ctx, v, "a font name");
        ModifyFont(self, [&](Font& f) { f.name = v.text; });
    });
    c.Custom("Font.Height", [](Control& self, const Value& v, ReadContext& ctx) {
        int h = static_cast<int>(streaming_detail::ToInteger(v, ctx, nullptr));
        ModifyFont(self, [&](Font& f) { f.height = h; });
    });
    c.Custom("Font.Size", [](Control& self, const Value& v, ReadContext& ctx) {
        int size = static_cast<int>(streaming_detail::ToInteger(v, ctx, nullptr));
        ModifyFont(self, [&](Font& f) { f.SetSize(size); });
    });
    c.Custom("Font.Style", [](Control& self, const Value& v, ReadContext& ctx) {
        unsigned style = static_cast<unsigned>(streaming_detail::ToInteger(v, ctx, &kFontStyles));
        ModifyFont(self, [&](Font& f) { f.style = style; });
    });
    c.Custom("Font.Color", [](Control& self, const Value& v, ReadContext& ctx) {
        Color color = ColorFromValue(v, ctx);
        ModifyFont(self, [&](Font& f) { f.color = color; });
    });
    c.Custom("Font.Charset", [](Control& self, const Value& v, ReadContext& ctx) {
        static const IdentTable charsets = {{"DEFAULT_CHARSET", DEFAULT_CHARSET},
                                            {"ANSI_CHARSET", ANSI_CHARSET},
                                            {"SYMBOL_CHARSET", SYMBOL_CHARSET},
                                            {"OEM_CHARSET", OEM_CHARSET},
                                            {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET}};
        BYTE cs = static_cast<BYTE>(streaming_detail::ToInteger(v, ctx, &charsets));
        ModifyFont(self, [&](Font& f) { f.charset = cs; });
    });
    auto constraint = [](int SizeConstraints::*field) {
        return [field](Control& self, const Value& v, ReadContext& ctx) {
            SizeConstraints sc = self.Constraints();
            sc.*field = static_cast<int>(streaming_detail::ToInteger(v, ctx, nullptr));
            self.SetConstraints(sc);
        };
    };
    c.Custom("Constraints.MinWidth", constraint(&SizeConstraints::minWidth));
    c.Custom("Constraints.MinHeight", constraint(&SizeConstraints::minHeight));
    c.Custom("Constraints.MaxWidth", constraint(&SizeConstraints::maxWidth));
    c.Custom("Constraints.MaxHeight", constraint(&SizeConstraints::maxHeight));
    c.Property("PopupMenu", &Control::PopupMenu, &Control::SetPopupMenu);
    c.Property("Action", &Control::Action, &Control::SetAction);
    c.Event("OnClick", &Control::OnClick);
    c.Event("OnDblClick", &Control::OnDblClick);
    c.Event("OnResize", &Control::OnResize);
    c.Event("OnMouseDown", &Control::OnMouseDown);
    c.Event("OnMouseUp", &Control::OnMouseUp);
    c.Event("OnMouseMove", &Control::OnMouseMove);
    c.Event("OnMouseEnter", &Control::OnMouseEnter);
    c.Event("OnMouseLeave", &Control::OnMouseLeave);
});

const ClassRegistration<WinControl> g_winControlClass("TWinControl", "TControl", [](ClassBuilder<WinControl>& c) {
    c.Property("TabStop", &WinControl::TabStop, &WinControl::SetTabStop);
    c.Property("TabOrder", &WinControl::TabOrder, &WinControl::SetTabOrder);
    c.Event("OnEnter", &WinControl::OnEnter);
    c.Event("OnExit", &WinControl::OnExit);
    c.Event("OnKeyDown", &WinControl::OnKeyDown);
    c.Event("OnKeyUp", &WinControl::OnKeyUp);
    c.Event("OnKeyPress", &WinControl::OnKeyPress);
});

const ClassRegistration<CustomControl> g_customControlClass("TCustomControl", "TWinControl");

}  // namespace

Color ColorFromValue(const Value& value, ReadContext& ctx) {
    if (value.kind == Value::Kind::Integer) return static_cast<Color>(value.integer);
    Color c = clNone;
    if (value.kind == Value::Kind::Ident && IdentToColor(value.text, c)) return c;
    streaming_detail::BadValue(ctx, value, "a colour");
}

ShiftState KeyboardShiftState() {
    InputSource& in = InputSeam().Get();
    ShiftState s = 0;
    if (in.KeyState(VK_SHIFT) < 0) s |= ssShift;
    if (in.KeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (in.KeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

ShiftState MouseShiftState(WPARAM keys) {
    ShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (InputSeam()->KeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

// ===========================================================================
// BasicAction

BasicAction::~BasicAction() {
    for (Control* c : std::vector<Control*>(clients_)) c->SetAction(nullptr);
}

bool BasicAction::Execute(Component* sender) {
    if (!OnExecute || IsDestroying()) return false;
    OnExecute(sender);
    return true;
}

void BasicAction::Changed() {
    for (Control* c : std::vector<Control*>(clients_)) c->ActionChange(*this, false);
}

// ===========================================================================
// Control

Control::Control() = default;

Control::~Control() {
    if (CaptureControl() == this) SetMouseCapture(false);
    SetAction(nullptr);
    if (parent_) parent_->RemoveChild(this);
}

void Control::SetParentComponent(Component* parent) {
    if (auto* wc = dynamic_cast<WinControl*>(parent)) SetParent(wc);
}

void Control::SetParent(WinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
    if (parent_) {
        Invalidate();
        parent_->RemoveChild(this);
    }
    parent_ = parent;
    if (parent_) {
        parent_->InsertChild(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        if (parentShowHint_) ParentShowHintChanged();
        Invalidate();
        RequestAlign();
    }
}

Form* Control::ParentForm() const {
    const Control* top = this;
    while (top->parent_) top = top->parent_;
    return dynamic_cast<Form*>(const_cast<Control*>(top));
}

void Control::SetBounds(int left, int top, int width, int height) {
    ConstrainedResize(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool resized = width != width_ || height != height_;
    Invalidate();
    StoreBounds(left, top, width, height);
    Invalidate();
    RequestAlign();
    if (resized) Resize();
}

void Control::StoreBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void Control::ConstrainedResize(int& width, int& height) {
    if (constraints_.maxWidth > 0 && width > constraints_.maxWidth) width = constraints_.maxWidth;
    if (constraints_.maxHeight > 0 && height > constraints_.maxHeight) height = constraints_.maxHeight;
    if (width < constraints_.minWidth) width = constraints_.minWidth;
    if (height < constraints_.minHeight) height = constraints_.minHeight;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
}

void Control::SetConstraints(const SizeConstraints& c) {
    constraints_ = c;
    if (!IsLoading()) SetBounds(left_, top_, width_, height_);
}

RECT Control::ClientRect() const { return RECT{0, 0, width_, height_}; }

int Control::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int Control::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

void Control::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

POINT Control::ClientOrigin() const {
    if (!parent_) return POINT{left_, top_};
    POINT p = parent_->ClientOrigin();
    return POINT{p.x + left_, p.y + top_};
}

POINT Control::ClientToScreen(POINT p) const {
    POINT o = ClientOrigin();
    return POINT{p.x + o.x, p.y + o.y};
}

POINT Control::ScreenToClient(POINT p) const {
    POINT o = ClientOrigin();
    return POINT{p.x - o.x, p.y - o.y};
}

void Control::SetAlign(Align align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void Control::RequestAlign() {
    if (parent_ && (align_ != alNone || parent_->PlacesEveryChild())) parent_->AlignChildren(this);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (!visible) Invalidate();
    visible_ = visible;
    VisibleChanged();
    if (visible) Invalidate();
    RequestAlign();
}

bool Control::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

void Control::SetText(const std::string& text) {
    if (text == Text()) return;
    text_ = text;
    TextChanged();
}

void Control::SetShowHint(bool show) {
    parentShowHint_ = false;
    if (show == showHint_) return;
    showHint_ = show;
    ShowHintChanged();
}

void Control::SetParentShowHint(bool parent) {
    if (parent == parentShowHint_) return;
    parentShowHint_ = parent;
    if (parent) ParentShowHintChanged();
}

void Control::ParentShowHintChanged() {
    if (parentShowHint_ && parent_ && parent_->ShowHint() != showHint_) {
        showHint_ = parent_->ShowHint();
        ShowHintChanged();
    }
}

void Control::SetFont(const Font& font) {
    parentFont_ = false;
    if (font == font_) return;
    font_ = font;
    fontHandle_.Reset();
    FontChanged();
}

void Control::SetParentFont(bool parent) {
    if (parent == parentFont_) return;
    parentFont_ = parent;
    if (parent) ParentFontChanged();
}

void Control::ParentFontChanged() {
    if (parentFont_ && parent_ && !(parent_->GetFont() == font_)) {
        font_ = parent_->GetFont();
        fontHandle_.Reset();
        FontChanged();
    }
}

HFONT Control::FontObject() {
    if (!fontHandle_) fontHandle_ = font_.Create();
    return fontHandle_.Get();
}

void Control::SetColor(Color color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void Control::SetParentColor(bool parent) {
    if (parent == parentColor_) return;
    parentColor_ = parent;
    if (parent) ParentColorChanged();
}

void Control::ParentColorChanged() {
    if (parentColor_ && parent_ && parent_->GetColor() != color_) {
        color_ = parent_->GetColor();
        ColorChanged();
    }
}

void Control::SetPopupMenu(Component* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void Control::SetAction(BasicAction* action) {
    if (action == action_) return;
    if (action_) {
        auto& clients = action_->clients_;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
        action_->RemoveFreeNotification(this);
    }
    action_ = action;
    if (action_) {
        action_->clients_.push_back(this);
        action_->FreeNotification(this);
        ActionChange(*action_, IsLoading());
    }
}

void Control::ActionChange(BasicAction&, bool) {}

void Control::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation != Operation::Remove) return;
    if (component == popupMenu_) popupMenu_ = nullptr;
    if (component == action_) {
        auto& clients = action_->clients_;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
        action_ = nullptr;
    }
}

void Control::Loaded() { Component::Loaded(); }

void Control::Invalidate() {
    if (!parent_ || !visible_ || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    ::InvalidateRect(parent_->HandleIfAllocated(), &r, (controlStyle_ & csOpaque) ? FALSE : TRUE);
}

void Control::Update() {
    if (parent_) parent_->Update();
}

void Control::Paint(Canvas&) {}

LRESULT Control::DefaultHandler(UINT, WPARAM, LPARAM) { return 0; }

bool Control::MouseCapture() const { return CaptureControl() == this; }

void Control::SetMouseCapture(bool capture) {
    auto* self = dynamic_cast<WinControl*>(this);
    HWND target = self ? self->HandleIfAllocated() : (parent_ ? parent_->HandleIfAllocated() : nullptr);
    if (capture) {
        g_captureControl = this;
        g_captureToken = Token();
        if (target) ::SetCapture(target);
    } else if (CaptureControl() == this) {
        g_captureControl = nullptr;
        g_captureToken = LifeToken();
        if (target && ::GetCapture() == target) ::ReleaseCapture();
    }
}

void Control::EnabledChanged() { Invalidate(); }

void Control::VisibleChanged() {}

HPALETTE Control::GetPalette() { return nullptr; }

bool Control::PaletteChanged(bool foreground) {
    HPALETTE palette = Visible() ? GetPalette() : nullptr;
    if (!palette) return false;
    WinControl* windowed = dynamic_cast<WinControl*>(this);
    if (!windowed) windowed = parent_;
    HWND wnd = windowed ? windowed->HandleIfAllocated() : nullptr;
    if (!wnd) return true;
    WindowDC dc(wnd);
    HPALETTE old = ::SelectPalette(dc.Get(), palette, !foreground);
    if (::RealizePalette(dc.Get()) != 0) Invalidate();
    ::SelectPalette(dc.Get(), old, TRUE);
    ::RealizePalette(dc.Get());
    return true;
}

void Control::FontChanged() { Invalidate(); }

void Control::TextChanged() { Invalidate(); }

void Control::ColorChanged() { Invalidate(); }

void Control::MouseEnter() {
    if (OnMouseEnter && CanFireEvents()) OnMouseEnter(this);
}

void Control::MouseLeave() {
    if (OnMouseLeave && CanFireEvents()) OnMouseLeave(this);
}

bool Control::DialogChar(char, ShiftState) { return false; }

bool IsAccelChar(char key, const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        // Upper-cased through the system, so letters of the code page
        // outside ASCII (French, Romanian) match their capitals too.
        char pair[2] = {caption[i + 1], key};
        ::CharUpperBuffA(pair, 2);
        return pair[0] == pair[1];
    }
    return false;
}

void Control::Click() {
    if (!CanFireEvents()) return;
    if (OnClick) OnClick(this);
    else if (action_) action_->Execute(this);
}

void Control::DblClick() {
    if (OnDblClick && CanFireEvents()) OnDblClick(this);
}

void Control::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseDown && CanFireEvents()) OnMouseDown(this, button, shift, x, y);
}

void Control::MouseMove(ShiftState shift, int x, int y) {
    if (OnMouseMove && CanFireEvents()) OnMouseMove(this, shift, x, y);
}

void Control::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (OnMouseUp && CanFireEvents()) OnMouseUp(this, button, shift, x, y);
}

void Control::Resize() {
    if (OnResize && CanFireEvents() && !IsLoading()) OnResize(this);
}

void Control::SetControlStateFlag(ControlStateFlag flag, bool on) {
    if (on) controlState_ |= flag;
    else controlState_ &= ~static_cast<unsigned>(flag);
}

void Control::HandleMouseButton(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    ShiftState shift = MouseShiftState(wParam);
    LifeToken alive = Token();
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
        // The release that ends a double click is no further click: the
        // double click itself was the second one.
        if ((controlStyle_ & csClickEvents) && msg == WM_LBUTTONDOWN) SetControlStateFlag(csClicked, true);
        SetControlStateFlag(csLButtonDown, true);
        if (msg == WM_LBUTTONDBLCLK) {
            shift |= ssDouble;
            if (controlStyle_ & csDoubleClicks) DblClick();
        }
        if (alive.Alive()) MouseDown(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift | (msg == WM_RBUTTONDBLCLK ? ssDouble : 0u), x, y);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift | (msg == WM_MBUTTONDBLCLK ? ssDouble : 0u), x, y);
        break;
    case WM_LBUTTONUP: {
        SetControlStateFlag(csLButtonDown, false);
        if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
        if (controlState_ & csClicked) {
            SetControlStateFlag(csClicked, false);
            RECT r = ClientRect();
            POINT p{x, y};
            if (::PtInRect(&r, p)) Click();
        }
        if (alive.Alive()) MouseUp(mbLeft, shift, x, y);
        break;
    }
    case WM_RBUTTONUP: MouseUp(mbRight, shift, x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); break;
    default: break;
    }
}

LRESULT Control::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEMOVE: MouseMove(MouseShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: HandleMouseButton(msg, wParam, lParam); return 0;
    case WM_CANCELMODE:
        if (MouseCapture()) SetMouseCapture(false);
        SetControlStateFlag(csClicked, false);
        SetControlStateFlag(csLButtonDown, false);
        return 0;
    default: return DefaultHandler(msg, wParam, lParam);
    }
}

// ===========================================================================
// WinControl

WinControl::WinControl() { SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks); }

WinControl::~WinControl() {
    if (!IsDestroying()) Component::SetStateFlag(csDestroying, true);
    DestroyHandle();
    // A parent takes its child controls with it (they leave their owners).
    while (!children_.empty()) {
        Control* child = children_.back();
        child->Destroying();
        delete child;
    }
}

LRESULT CALLBACK ToolkitWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WinControl* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<WinControl*>(cs->lpCreateParams);
        if (self) {
            ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->handle_ = wnd;
        }
    } else {
        self = reinterpret_cast<WinControl*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
        // A window the object has let go of is not its own any more: the
        // object's handlers would act on (and DefWindowProc would free the
        // text of) the window it holds now.
        if (self && self->handle_ != wnd) {
            ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
            self = nullptr;
        }
    }
    if (!self) {
        auto it = BaseProcs().find(static_cast<ATOM>(::GetClassLongPtrA(wnd, GCW_ATOM)));
        WNDPROC base = it != BaseProcs().end() ? it->second : ::DefWindowProcW;
        return ::CallWindowProcW(base, wnd, msg, wParam, lParam);
    }
    LifeToken alive = self->Token();
    LRESULT result = 0;
    try {
        result = self->WndProc(msg, wParam, lParam);
    } catch (...) {
        App().HandleException();
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        if (alive.Alive() && self->handle_ == wnd) self->handle_ = nullptr;
    }
    return result;
}

WinControl* WinControl::FromHandle(HWND wnd) {
    if (!wnd || !::IsWindow(wnd)) return nullptr;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != ::GetCurrentProcessId()) return nullptr;
    if (reinterpret_cast<WNDPROC>(::GetClassLongPtrW(wnd, GCLP_WNDPROC)) != ToolkitWindowProc) return nullptr;
    return reinterpret_cast<WinControl*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

WinControl* WinControl::FindFromHandle(HWND wnd) {
    while (wnd) {
        if (WinControl* c = FromHandle(wnd)) return c;
        if (!(::GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)) return nullptr;
        wnd = ::GetParent(wnd);
    }
    return nullptr;
}

Control* WinControl::FindControlAtScreen(POINT screen, bool allowDisabled) {
    HWND wnd = ::WindowFromPoint(screen);
    WinControl* c = FindFromHandle(wnd);
    if (!c) return nullptr;
    UINT flags = CWP_SKIPINVISIBLE | (allowDisabled ? 0u : static_cast<UINT>(CWP_SKIPDISABLED));
    for (;;) {
        HWND h = c->HandleIfAllocated();
        POINT p = screen;
        ::ScreenToClient(h, &p);
        HWND child = ::ChildWindowFromPointEx(h, p, flags);
        WinControl* inner = (child && child != h) ? FromHandle(child) : nullptr;
        if (!inner) break;
        c = inner;
    }
    POINT client = screen;
    ::ScreenToClient(c->HandleIfAllocated(), &client);
    Control* windowless = c->ControlAtPos(client, allowDisabled);
    return windowless ? windowless : c;
}

HWND WinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void WinControl::CreateHandle() {
    // Making the parent's window (from CreateParams) makes its children's:
    // this one is on its way already.
    if (handle_ || (GetControlState() & csCreatingHandle)) return;
    if (IsDestroying()) throw EInvalidOperation("Control '" + Name() + "' is being destroyed");
    SetControlStateFlag(csCreatingHandle, true);
    try {
        CreateWnd();
    } catch (...) {
        SetControlStateFlag(csCreatingHandle, false);
        throw;
    }
    SetControlStateFlag(csCreatingHandle, false);
}

void WinControl::CreateParams(WindowCreateParams& params) {
    params.caption = text_;
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (GetControlStyle() & csAcceptsControls) params.style |= WS_CLIPCHILDREN;
    if (Visible()) params.style |= WS_VISIBLE;
    if (!Enabled()) params.style |= WS_DISABLED;
    if (tabStop_) params.style |= WS_TABSTOP;
    params.x = Left();
    params.y = Top();
    params.width = Width();
    params.height = Height();
    params.parent = parent_ ? parent_->HandleIfAllocated() : nullptr;
    params.className = ClassName();
    params.classStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

void WinControl::CreateWnd() {
    WindowCreateParams p;
    CreateParams(p);
    if ((p.style & WS_CHILD) && !p.parent) {
        if (!parent_) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
        p.parent = parent_->Handle();
    }
    WNDPROC base = nullptr;
    std::string cls = EnsureWindowClass(p, base);
    defaultProc_ = base;
    HWND wnd = ::CreateWindowExW(p.exStyle, AsciiWide(cls).c_str(), Wide(p.caption).c_str(), p.style, p.x, p.y,
                                 p.width, p.height, p.parent, p.menuOrId, ::GetModuleHandleA(nullptr), this);
    if (!wnd) throw EInvalidOperation("Error creating window of '" + Name() + "' (" + cls + ")");
    handle_ = wnd;
    PlaceInZOrder();
    ::SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontObject()), FALSE);
    showing_ = Showing();
    for (Control* child : std::vector<Control*>(children_)) {
        if (auto* wc = dynamic_cast<WinControl*>(child)) {
            if (!wc->handle_) wc->CreateHandle();
        }
    }
    AlignChildren(nullptr);
}

// The system puts a new child window below its siblings; ours stack in the
// order of the children instead, a later child above an earlier one.
void WinControl::PlaceInZOrder() {
    if (!handle_ || !parent_ || !(::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) return;
    HWND parentWnd = ::GetParent(handle_);
    HWND above = HWND_TOP;
    const auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    for (; it != siblings.end(); ++it) {
        auto* later = dynamic_cast<WinControl*>(*it);
        if (later && later != this && later->handle_ && ::GetParent(later->handle_) == parentWnd) {
            above = later->handle_;
            break;
        }
    }
    // Inserted after `above` in the z-order: just below it.
    ::SetWindowPos(handle_, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void WinControl::DestroyHandle() {
    if (!handle_) return;
    SetControlStateFlag(csDestroyingHandle, true);
    for (Control* child : std::vector<Control*>(children_)) {
        if (auto* wc = dynamic_cast<WinControl*>(child)) wc->DestroyHandle();
    }
    if (handle_) DestroyWnd();
    SetControlStateFlag(csDestroyingHandle, false);
}

void WinControl::DestroyWnd() {
    text_ = Text();
    HWND wnd = handle_;
    ::DestroyWindow(wnd);
    if (handle_ == wnd) {
        // Not ours any more even if the window refused to die.
        ::SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        handle_ = nullptr;
    }
}

void WinControl::RecreateWnd() {
    if (!handle_) return;
    bool hadFocus = Focused();
    bool wasShown = ::IsWindowVisible(handle_) != FALSE;
    DestroyHandle();
    CreateHandle();
    // A top-level window is made hidden: show it again as it was.
    if (wasShown && handle_ && !::IsWindowVisible(handle_)) ::ShowWindow(handle_, SW_SHOWNA);
    if (hadFocus) SetFocus();
}

void WinControl::InsertChild(Control* child) {
    children_.push_back(child);
    if (auto* wc = dynamic_cast<WinControl*>(child)) {
        if (HandleAllocated() && !IsLoading()) wc->HandleNeeded();
        wc->UpdateShowing();
    }
}

void WinControl::RemoveChild(Control* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    if (mouseControl_ == child) mouseControl_ = nullptr;
    if (!IsDestroying() && (child->GetAlign() != alNone || PlacesEveryChild())) AlignChildren(nullptr);
}

void WinControl::SetParent(WinControl* parent) {
    if (parent == parent_) return;
    for (WinControl* p = parent; p; p = p->parent_) {
        if (p == this) throw EInvalidOperation("A control cannot be placed inside itself");
    }
    WinControl* old = parent_;
    if (old) old->RemoveChild(this);
    parent_ = parent;
    if (parent_) {
        parent_->children_.push_back(this);
        if (ParentFont()) ParentFontChanged();
        if (ParentColor()) ParentColorChanged();
        if (ParentShowHint()) ParentShowHintChanged();
    }
    if (handle_) {
        WindowCreateParams p;
        CreateParams(p);
        DWORD current = static_cast<DWORD>(::GetWindowLongA(handle_, GWL_STYLE));
        if (!parent_ && (current & WS_CHILD)) {
            DestroyHandle();
        } else if (((p.style ^ current) & (WS_CHILD | WS_POPUP)) != 0) {
            // Child <-> popup cannot change in place: a new window, same object.
            RecreateWnd();
        } else if (parent_ && parent_->HandleAllocated()) {
            if (current & WS_CHILD) {
                ::SetParent(handle_, parent_->handle_);
                ::SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
                PlaceInZOrder();
            } else {
                ::SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(parent_->handle_));
            }
        } else if (current & WS_CHILD) {
            DestroyHandle();
        }
    } else if (parent_ && parent_->HandleAllocated() && !IsLoading()) {
        HandleNeeded();
    }
    UpdateShowing();
    if (old && (GetAlign() != alNone || old->PlacesEveryChild())) old->AlignChildren(nullptr);
    RequestAlign();
}

void WinControl::UpdateShowing() {
    bool now = Showing();
    if (now != showing_) {
        showing_ = now;
        ShowingChanged();
    }
}

void WinControl::ShowingChanged() {
    SyncWindowVisibility();
    UpdateChildrenShowing();
}

void WinControl::SyncWindowVisibility() {
    if (!handle_) return;
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(handle_, GWL_STYLE));
    const bool visibleNow = (style & WS_VISIBLE) != 0;
    // A child keeps its own visibility bit; hiding the parent hides it.
    const bool want = (style & WS_CHILD) ? Visible() : showing_;
    if (want != visibleNow)
        ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (want ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void WinControl::UpdateChildrenShowing() {
    for (Control* child : std::vector<Control*>(children_)) {
        if (auto* wc = dynamic_cast<WinControl*>(child)) wc->UpdateShowing();
    }
}

bool WinControl::Showing() const {
    if (!Visible()) return false;
    if (parent_) return parent_->Showing();
    // A top-level window that is not a form shows when its window does.
    return handle_ && ::IsWindowVisible(handle_);
}

void WinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    Control::SetVisible(visible);
    UpdateShowing();
    // Under a hidden parent the showing state stays off either way, but the
    // child's own bit must follow: it decides whether the child comes up
    // with the parent (a box hidden while its dialog was away stayed up).
    if (handle_ && (::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) SyncWindowVisibility();
}

void WinControl::EnabledChanged() {
    if (handle_) ::EnableWindow(handle_, Enabled());
    Control::EnabledChanged();
}

std::string WinControl::Text() const {
    if (!handle_) return text_;
    return TextOf(handle_);
}

bool WinControl::TextConverts() const { return !handle_ || tk::TextConverts(handle_); }

void WinControl::TextChanged() {
    if (handle_) SetTextOf(handle_, text_);
    Control::TextChanged();
}

void WinControl::FontChanged() {
    if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontObject()), TRUE);
    Control::FontChanged();
    for (Control* child : std::vector<Control*>(children_)) child->ParentFontChanged();
}

void WinControl::ParentFontChanged() { Control::ParentFontChanged(); }

void WinControl::ColorChanged() {
    brush_.Reset();
    Control::ColorChanged();
    for (Control* child : std::vector<Control*>(children_)) child->ParentColorChanged();
}

void WinControl::ParentColorChanged() { Control::ParentColorChanged(); }

bool WinControl::PaletteChanged(bool foreground) {
    bool result = Control::PaletteChanged(foreground);
    if (!Visible()) return result;
    for (Control* child : std::vector<Control*>(children_)) {
        if (foreground && result) break;
        if (HearsFromParent(child) && child->PaletteChanged(foreground)) result = true;
    }
    return result;
}

bool WinControl::HearsFromParent(const Control* child) {
    const auto* windowed = dynamic_cast<const WinControl*>(child);
    return !windowed || !windowed->handle_ || (::GetWindowLongA(windowed->handle_, GWL_STYLE) & WS_CHILD);
}

LRESULT WinControl::SysColorChange(WPARAM wParam, LPARAM lParam) {
    // A cached brush of a system colour holds the old colour.
    brush_.Reset();
    std::vector<std::pair<Control*, LifeToken>> told;
    for (Control* child : children_) {
        if (HearsFromParent(child)) told.emplace_back(child, child->Token());
    }
    for (auto& [child, token] : told) {
        if (token.Alive()) child->Perform(WM_SYSCOLORCHANGE, wParam, lParam);
    }
    const LRESULT r = DefaultHandler(WM_SYSCOLORCHANGE, wParam, lParam);
    if (handle_ && !(::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
        ::RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return r;
}

// Children that follow this control's ShowHint follow it on down (through
// their own ShowHintChanged).
void WinControl::ShowHintChanged() {
    Control::ShowHintChanged();
    for (Control* child : std::vector<Control*>(children_)) child->ParentShowHintChanged();
}

void WinControl::Loaded() {
    Control::Loaded();
    // Read onto a parent that already has its window: make ours now.
    if (parent_ && parent_->HandleAllocated() && !handle_) HandleNeeded();
    if (alignPending_ || !children_.empty()) AlignChildren(nullptr);
}

void WinControl::SetBounds(int left, int top, int width, int height) {
    ConstrainedResize(width, height);
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    if (handle_ && !(GetControlState() & csCreatingHandle)) {
        // WM_WINDOWPOSCHANGED stores the bounds and realigns.
        ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (Left() == left && Top() == top && Width() == width && Height() == height) {
            RequestAlign();
            return;
        }
    }
    bool resized = width != Width() || height != Height();
    StoreBounds(left, top, width, height);
    if (resized) {
        AlignChildren(nullptr);
        Resize();
    }
    RequestAlign();
}

void WinControl::HandleWindowPosChanged(const WINDOWPOS& pos) {
    // A frame change (a menu bar, a border) may resize the client area alone.
    if (pos.flags & SWP_NOSIZE && pos.flags & SWP_NOMOVE) {
        AlignIfClientResized();
        return;
    }
    RECT r{};
    ::GetWindowRect(handle_, &r);
    HWND parentWnd = ::GetParent(handle_);
    if ((::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) && parentWnd) {
        ::MapWindowPoints(nullptr, parentWnd, reinterpret_cast<POINT*>(&r), 2);
    }
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    bool resized = w != Width() || h != Height();
    bool moved = r.left != Left() || r.top != Top();
    if (!resized && !moved) {
        AlignIfClientResized();
        return;
    }
    StoreBounds(r.left, r.top, w, h);
    if (resized) {
        AlignChildren(nullptr);
        Resize();
    }
    if (parent_ && !(parent_->GetControlState() & csAligning)) RequestAlign();
}

void WinControl::AlignIfClientResized() {
    if (!handle_ || (GetControlState() & csCreatingHandle)) return;
    RECT client{};
    ::GetClientRect(handle_, &client);
    if (client.right == alignedClient_.cx && client.bottom == alignedClient_.cy) return;
    alignedClient_ = SIZE{client.right, client.bottom};
    AlignChildren(nullptr);
    Resize();
}

RECT WinControl::ClientRect() const {
    RECT r{0, 0, Width(), Height()};
    if (handle_) {
        ::GetClientRect(handle_, &r);
        return r;
    }
    WindowCreateParams p;
    const_cast<WinControl*>(this)->CreateParams(p);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, p.style, FALSE, p.exStyle);
    r.right = std::max(0L, static_cast<LONG>(Width() - (frame.right - frame.left)));
    r.bottom = std::max(0L, static_cast<LONG>(Height() - (frame.bottom - frame.top)));
    return r;
}

POINT WinControl::ClientOrigin() const {
    if (handle_) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return p;
    }
    return Control::ClientOrigin();
}

void WinControl::SetClientSize(int width, int height) {
    RECT client = ClientRect();
    int dx = Width() - (client.right - client.left);
    int dy = Height() - (client.bottom - client.top);
    SetBounds(Left(), Top(), width + dx, height + dy);
}

void WinControl::Invalidate() {
    if (handle_) ::InvalidateRect(handle_, nullptr, (GetControlStyle() & csOpaque) ? FALSE : TRUE);
}

void WinControl::Update() {
    if (handle_) ::UpdateWindow(handle_);
}

Control* WinControl::ControlAtPos(POINT client, bool allowDisabled, bool allowWinControls) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Control* c = *it;
        if (!allowWinControls && dynamic_cast<WinControl*>(c)) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (::PtInRect(&r, client)) return c;
    }
    return nullptr;
}

bool WinControl::ContainsControl(const Control* control) const {
    for (const Control* c = control; c; c = c->Parent()) {
        if (c == this) return true;
    }
    return false;
}

void WinControl::BringChildToFront(Control* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    children_.push_back(child);
    if (auto* wc = dynamic_cast<WinControl*>(child); wc && wc->handle_)
        ::SetWindowPos(wc->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    child->Invalidate();
}

void WinControl::SendChildToBack(Control* child) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    children_.erase(it);
    children_.insert(children_.begin(), child);
    if (auto* wc = dynamic_cast<WinControl*>(child); wc && wc->handle_)
        ::SetWindowPos(wc->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    child->Invalidate();
}

// --- alignment ---------------------------------------------------------------
void WinControl::DisableAlign() { ++alignLevel_; }

void WinControl::EnableAlign() {
    if (--alignLevel_ == 0 && alignPending_) AlignChildren(nullptr);
}

void WinControl::Realign() { AlignChildren(nullptr); }

void WinControl::AlignChildren(Control* changed) {
    if (alignLevel_ > 0 || IsLoading() || IsDestroying()) {
        alignPending_ = true;
        return;
    }
    if (GetControlState() & csAligning) return;
    alignPending_ = false;
    SetControlStateFlag(csAligning, true);
    try {
        RECT r = ClientRect();
        if (handle_) alignedClient_ = SIZE{r.right - r.left, r.bottom - r.top};
        AdjustClientRect(r);
        AlignControls(changed, r);
    } catch (...) {
        SetControlStateFlag(csAligning, false);
        throw;
    }
    SetControlStateFlag(csAligning, false);
}

void WinControl::AdjustClientRect(RECT&) {}

void WinControl::AlignControls(Control*, RECT& rect) {
    for (Align kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<Control*> list;
        for (Control* c : children_) {
            if (c->GetAlign() == kind && c->Visible()) list.push_back(c);
        }
        auto key = [kind](const Control* c) {
            switch (kind) {
            case alTop: return c->Top();
            case alBottom: return -(c->Top() + c->Height());
            case alLeft: return c->Left();
            case alRight: return -(c->Left() + c->Width());
            default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](Control* a, Control* b) { return key(a) < key(b); });
        for (Control* c : list) {
            const int w = std::max(0L, rect.right - rect.left);
            const int h = std::max(0L, rect.bottom - rect.top);
            switch (kind) {
            case alTop:
                c->SetBounds(rect.left, rect.top, w, c->Height());
                rect.top += c->Height();
                break;
            case alBottom:
                c->SetBounds(rect.left, rect.bottom - c->Height(), w, c->Height());
                rect.bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(rect.left, rect.top, c->Width(), h);
                rect.left += c->Width();
                break;
            case alRight:
                c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), h);
                rect.right -= c->Width();
                break;
            default: c->SetBounds(rect.left, rect.top, w, h); break;
            }
        }
    }
}

// --- focus -------------------------------------------------------------------
bool WinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

bool WinControl::CanFocus() const {
    for (const WinControl* c = this; c; c = c->parent_) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

void WinControl::SetFocus() {
    if (Form* form = ParentForm(); form && form != this) form->SetActiveControl(this);
    if (!CanFocus()) return;
    ::SetFocus(Handle());
}

void WinControl::SetTabStop(bool stop) {
    if (stop == tabStop_) return;
    tabStop_ = stop;
    SetWindowStyleBits(WS_TABSTOP, stop ? WS_TABSTOP : 0);
}

int WinControl::TabOrder() const {
    if (!parent_) return -1;
    std::vector<WinControl*> list = parent_->TabList();
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void WinControl::SetTabOrder(int order) {
    if (!parent_ || order < 0) return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    // Insert before the windowed sibling now holding that position.
    int seen = 0;
    auto at = siblings.begin();
    for (; at != siblings.end(); ++at) {
        if (dynamic_cast<WinControl*>(*at)) {
            if (seen == order) break;
            ++seen;
        }
    }
    siblings.insert(at, this);
    PlaceInZOrder();
}

std::vector<WinControl*> WinControl::TabList() const {
    std::vector<WinControl*> out;
    for (Control* c : children_) {
        if (auto* wc = dynamic_cast<WinControl*>(c)) out.push_back(wc);
    }
    return out;
}

void WinControl::SetWindowStyleBits(DWORD mask, DWORD bits) {
    if (!handle_) return;
    DWORD style = static_cast<DWORD>(::GetWindowLongA(handle_, GWL_STYLE));
    DWORD now = (style & ~mask) | (bits & mask);
    if (now != style) ::SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(now));
}

// --- keyboard ----------------------------------------------------------------
void WinControl::KeyDown(WORD& key, ShiftState shift) {
    if (OnKeyDown && CanFireEvents()) OnKeyDown(this, key, shift);
}

void WinControl::KeyUp(WORD& key, ShiftState shift) {
    if (OnKeyUp && CanFireEvents()) OnKeyUp(this, key, shift);
}

void WinControl::KeyPress(char& key) {
    if (OnKeyPress && CanFireEvents()) OnKeyPress(this, key);
}

void WinControl::DoEnter() {
    if (OnEnter && CanFireEvents()) OnEnter(this);
}

void WinControl::DoExit() {
    if (OnExit && CanFireEvents()) OnExit(this);
}

LRESULT WinControl::HandleKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* form = ParentForm();
    if (form == this) form = nullptr;
    LifeToken alive = Token();
    if (msg == WM_CHAR) {
        // Key presses carry a byte of the texts' code page. A character the
        // page lacks shows to the handlers as '?', so that a handler that
        // filters what may be typed still refuses it.
        char typed = NarrowChar(wParam);
        if (typed == 0 && wParam != 0) typed = '?';
        char ch = typed;
        if (form && form->KeyPreview() && form->PreviewKeyPress(ch)) return 0;
        if (!alive.Alive()) return 0;
        KeyPress(ch);
        if (ch == 0 || !alive.Alive()) return 0;
        return DefaultHandler(msg, ch == typed ? wParam : WideChar(ch), lParam);
    }
    WORD key = static_cast<WORD>(wParam);
    ShiftState shift = KeyboardShiftState();
    bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    if (form && form->KeyPreview() && (down ? form->PreviewKeyDown(key, shift) : form->PreviewKeyUp(key, shift)))
        return 0;
    if (!alive.Alive()) return 0;
    if (down) KeyDown(key, shift);
    else KeyUp(key, shift);
    if (key == 0 || !alive.Alive()) return 0;
    return DefaultHandler(msg, key, lParam);
}

// --- painting ----------------------------------------------------------------
bool WinControl::EraseBackground(HDC dc) {
    if (defaultProc_ != ::DefWindowProcW) return false;
    if (GetControlStyle() & csOpaque) return true;
    if (!brush_ || brushColor_ != GetColor()) {
        brush_ = CreateSolidBrush(GetColor());
        brushColor_ = GetColor();
    }
    RECT r = ClientRect();
    ::FillRect(dc, &r, brush_.Get());
    return true;
}

void WinControl::PaintWindow(HDC) {}

void WinControl::PaintControls(HDC dc, Control* first) {
    auto it = children_.begin();
    if (first) it = std::find(children_.begin(), children_.end(), first);
    RECT clip{};
    int clipKind = ::GetClipBox(dc, &clip);
    for (; it != children_.end(); ++it) {
        Control* c = *it;
        if (dynamic_cast<WinControl*>(c) || !c->Visible()) continue;
        RECT bounds = c->BoundsRect();
        RECT common{};
        if (clipKind != NULLREGION && clipKind != ERROR && !::IntersectRect(&common, &bounds, &clip)) continue;
        SaveDCGuard saved(dc);
        ::OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        ::IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
        Canvas canvas(dc);
        c->Paint(canvas);
    }
}

void WinControl::PaintHandler(HDC dc) {
    {
        SaveDCGuard saved(dc);
        PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

bool WinControl::HasWindowlessChildren() const {
    return std::any_of(children_.begin(), children_.end(),
                       [](const Control* c) { return c->Visible() && !dynamic_cast<const WinControl*>(c); });
}

LRESULT WinControl::SystemPaint(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The system class paints its own face only; windowless controls placed
    // on it are ours to draw, over that face, wherever it was repainted.
    if (!HasWindowlessChildren()) return DefaultHandler(msg, wParam, lParam);
    if (wParam) {
        const LRESULT r = DefaultHandler(msg, wParam, lParam);
        PaintControls(reinterpret_cast<HDC>(wParam), nullptr);
        return r;
    }
    RegionHandle updated(::CreateRectRgn(0, 0, 0, 0));
    const bool any = ::GetUpdateRgn(handle_, updated.Get(), FALSE) > NULLREGION;
    const LRESULT r = DefaultHandler(msg, wParam, lParam);
    if (any && handle_) {
        WindowDC dc(handle_);
        ::SelectClipRgn(dc.Get(), updated.Get());
        PaintControls(dc.Get(), nullptr);
    }
    return r;
}

LRESULT WinControl::CtlColor(UINT, HDC dc) {
    if (!Enabled()) {
        // The platform's disabled look (grey text on the button face),
        // whatever colours the control has when it is enabled.
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::SetTextColor(dc, ColorToRGB(GetFont().color));
    ::SetBkColor(dc, ColorToRGB(GetColor()));
    if (!brush_ || brushColor_ != GetColor()) {
        brush_ = CreateSolidBrush(GetColor());
        brushColor_ = GetColor();
    }
    return reinterpret_cast<LRESULT>(brush_.Get());
}

LRESULT WinControl::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, HWND child, bool& handled) {
    WinControl* target = child ? FromHandle(child) : nullptr;
    handled = target && target != this;
    if (!handled) return 0;
    return target->Perform(CN_BASE + msg, wParam, lParam);
}

LRESULT WinControl::HandleMouseForChildren(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT screen = p;
    ::ClientToScreen(handle_, &screen);
    Control* target = nullptr;
    if (Control* cap = CaptureControl(); cap && cap->Parent() == this && !dynamic_cast<WinControl*>(cap)) {
        target = cap;
    } else if (!CaptureControl() || CaptureControl() == this) {
        target = ControlAtPos(p, false);
    }
    Control* over = ControlAtPos(p, true);
    App().MouseOver(over ? over : this, screen);
    // Asked once per stay of the mouse (a costly call under Wine, and
    // moves come many a second); a press asks afresh at the next move, as
    // capture changes may end the system's tracking without a note.
    if (msg != WM_MOUSEMOVE) {
        leaveTracked_ = nullptr;
    } else if (handle_ && leaveTracked_ != handle_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        if (::TrackMouseEvent(&tme)) leaveTracked_ = handle_;
    }
    if (!target) return 0;
    handled = true;
    LPARAM local = MAKELPARAM(static_cast<short>(p.x - target->Left()), static_cast<short>(p.y - target->Top()));
    return target->Perform(msg, wParam, local);
}

LRESULT WinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!handle_) return 0;
    // Our own notifications must never reach a system window procedure.
    if (msg >= CN_BASE && msg < CN_BASE + 0x400) return 0;
    return ::CallWindowProcW(defaultProc_ ? defaultProc_ : ::DefWindowProcW, handle_, msg, wParam, lParam);
}

LRESULT WinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT r = 0;
    switch (msg) {
    case WM_WINDOWPOSCHANGED:
        r = DefaultHandler(msg, wParam, lParam);
        HandleWindowPosChanged(*reinterpret_cast<WINDOWPOS*>(lParam));
        return r;
    case WM_ERASEBKGND: return EraseBackground(reinterpret_cast<HDC>(wParam)) ? 1 : DefaultHandler(msg, wParam, lParam);
    case WM_PAINT:
        if (defaultProc_ != ::DefWindowProcW) return SystemPaint(msg, wParam, lParam);
        if (wParam) {
            PaintHandler(reinterpret_cast<HDC>(wParam));
        } else {
            PaintDC dc(handle_);
            PaintHandler(dc.Get());
        }
        return 0;
    case WM_PRINTCLIENT:
        if (defaultProc_ != ::DefWindowProcW) return SystemPaint(msg, wParam, lParam);
        if (lParam & PRF_ERASEBKGND) EraseBackground(reinterpret_cast<HDC>(wParam));
        PaintHandler(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if ((lParam & PRF_CHECKVISIBLE) && !::IsWindowVisible(handle_)) return 0;
        SaveDCGuard saved(dc);
        if (lParam & PRF_NONCLIENT) {
            DefaultHandler(WM_PRINT, wParam, PRF_NONCLIENT);
            POINT origin{0, 0};
            ::ClientToScreen(handle_, &origin);
            RECT wr{};
            ::GetWindowRect(handle_, &wr);
            ::OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
        }
        RECT client{};
        ::GetClientRect(handle_, &client);
        ::IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        if (lParam & PRF_ERASEBKGND) Perform(WM_ERASEBKGND, wParam, 0);
        if (lParam & PRF_CLIENT) Perform(WM_PRINTCLIENT, wParam, lParam & ~static_cast<LPARAM>(PRF_ERASEBKGND));
        if (lParam & PRF_CHILDREN) {
            // Bottom of the z-order first, so that upper siblings cover lower ones.
            std::vector<HWND> kids;
            for (HWND k = ::GetWindow(handle_, GW_CHILD); k; k = ::GetWindow(k, GW_HWNDNEXT)) kids.push_back(k);
            for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
                if (!::IsWindowVisible(*it)) continue;
                RECT kr{};
                ::GetWindowRect(*it, &kr);
                ::MapWindowPoints(nullptr, handle_, reinterpret_cast<POINT*>(&kr), 2);
                SaveDCGuard kidSaved(dc);
                ::OffsetViewportOrgEx(dc, kr.left, kr.top, nullptr);
                ::IntersectClipRect(dc, 0, 0, kr.right - kr.left, kr.bottom - kr.top);
                ::SendMessageA(*it, WM_PRINT, wParam,
                               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN | (lParam & PRF_CHECKVISIBLE));
            }
        }
        return 0;
    }
    case WM_SYSCOLORCHANGE: return SysColorChange(wParam, lParam);
    case WM_QUERYNEWPALETTE: return PaletteChanged(true) ? TRUE : FALSE;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != handle_) PaletteChanged(false);
        return 0;
    case WM_COMMAND:
        r = ReflectToChild(msg, wParam, lParam, reinterpret_cast<HWND>(lParam), handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    case WM_NOTIFY:
        r = ReflectToChild(msg, wParam, lParam, reinterpret_cast<NMHDR*>(lParam)->hwndFrom, handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis->CtlType != ODT_MENU) r = ReflectToChild(msg, wParam, lParam, dis->hwndItem, handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis->CtlType != ODT_MENU) r = ReflectToChild(msg, wParam, lParam, ::GetDlgItem(handle_, static_cast<int>(mis->CtlID)), handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        r = ReflectToChild(msg, wParam, lParam, reinterpret_cast<HWND>(lParam), handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        r = ReflectToChild(msg, wParam, lParam, reinterpret_cast<HWND>(lParam), handled);
        return handled ? r : DefaultHandler(msg, wParam, lParam);
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: return CtlColor(msg - CN_BASE, reinterpret_cast<HDC>(wParam));
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR: return HandleKey(msg, wParam, lParam);
    case WM_SETFOCUS:
        if (Form* form = ParentForm(); form && form != this) form->SetActiveControl(this);
        r = DefaultHandler(msg, wParam, lParam);
        KeepOwnedWindowsInFront(::GetAncestor(handle_, GA_ROOT));
        DoEnter();
        return r;
    case WM_KILLFOCUS:
        r = DefaultHandler(msg, wParam, lParam);
        DoExit();
        return r;
    case WM_SETTEXT:
        r = DefaultHandler(msg, wParam, lParam);
        text_ = lParam ? Narrow(reinterpret_cast<const wchar_t*>(lParam)) : std::string();
        return r;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        Control* target = this;
        if (screen.x != -1 || screen.y != -1) {
            POINT client = screen;
            ::ScreenToClient(handle_, &client);
            if (Control* c = ControlAtPos(client, false)) target = c;
        } else {
            screen = ClientToScreen(POINT{0, 0});
        }
        if (auto* popup = dynamic_cast<PopupSource*>(target->PopupMenu())) {
            popup->Popup(screen.x, screen.y, target);
            return 0;
        }
        return DefaultHandler(msg, wParam, lParam);
    }
    case WM_MOUSELEAVE: {
        leaveTracked_ = nullptr;
        POINT cursor = InputSeam()->CursorPos();
        if (!FindControlAtScreen(cursor, true)) App().MouseOver(nullptr, cursor);
        return DefaultHandler(msg, wParam, lParam);
    }
    case WM_CAPTURECHANGED: {
        Control* cap = CaptureControl();
        if (cap && cap != this && cap->Parent() == this && reinterpret_cast<HWND>(lParam) != handle_) {
            g_captureControl = nullptr;
            g_captureToken = LifeToken();
            cap->Perform(WM_CANCELMODE);
        } else if (cap == this && reinterpret_cast<HWND>(lParam) != handle_) {
            g_captureControl = nullptr;
            g_captureToken = LifeToken();
        }
        return DefaultHandler(msg, wParam, lParam);
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP: {
        LifeToken alive = Token();
        r = HandleMouseForChildren(msg, wParam, lParam, handled);
        if (handled || !alive.Alive()) return r;
        Control::WndProc(msg, wParam, lParam);
        if (!alive.Alive()) return 0;
        return DefaultHandler(msg, wParam, lParam);
    }
    default: break;
    }
    if (IsMouseClientMessage(msg)) return Control::WndProc(msg, wParam, lParam);
    if (msg >= CN_BASE && msg < CN_BASE + 0x400) return 0;
    return DefaultHandler(msg, wParam, lParam);
}

// ===========================================================================
// CustomControl

CustomControl::CustomControl() = default;
CustomControl::~CustomControl() = default;

void CustomControl::PaintWindow(HDC dc) {
    Canvas canvas(dc);
    Paint(canvas);
}

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitControl = 1;
}  // namespace tk
