// Control: the visual components. `Control` is the windowless base (painted
// by its parent and fed mouse messages by it); `WinControl` owns exactly one
// HWND, attached at WM_NCCREATE and cleared at WM_NCDESTROY, created on first
// need and re-created when its creation parameters change; `CustomControl` is
// a windowed control that paints itself on a canvas. State lives in the
// objects, never only in the windows, so a window can be made again at will.
#pragma once

#include <windows.h>

#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <string>
#include <vector>

namespace tk {

class Canvas;
class WinControl;
class Form;
class Control;
struct Value;
class ReadContext;

// The procedure of every toolkit window class.
LRESULT CALLBACK ToolkitWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// --- small shared types ---------------------------------------------------
enum ShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using ShiftState = unsigned;

enum MouseButton { mbLeft, mbRight, mbMiddle };

enum Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Border of a control (bsNone, bsSingle) or a form (all of them).
enum BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum ControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,  // a description may nest controls in it
    csCaptureMouse = 1u << 1,     // holds the mouse from button down to up
    csClickEvents = 1u << 2,      // a press and release inside make a Click
    csSetCaption = 1u << 3,       // a new name also becomes the caption
    csOpaque = 1u << 4,           // covers its whole area: the parent need not erase under it
    csDoubleClicks = 1u << 5,     // double clicks arrive as such (else as a second press)
    csFixedWidth = 1u << 6,
    csFixedHeight = 1u << 7,
};
using ControlStyle = unsigned;

enum ControlStateFlag : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csAligning = 1u << 2,
    csCreatingHandle = 1u << 3,
    csDestroyingHandle = 1u << 4,
};
using ControlStates = unsigned;

// Virtual-key code and shift state; setting key to 0 marks it handled.
using KeyEvent = std::function<void(Component* sender, WORD& key, ShiftState shift)>;
using KeyPressEvent = std::function<void(Component* sender, char& key)>;
using MouseEvent = std::function<void(Component* sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Component* sender, ShiftState shift, int x, int y)>;

// Limits that SetBounds applies; 0 means none.
struct SizeConstraints {
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
};

// Notifications reflected from a parent window to the child's own object.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

// Base of the actions (ActnList.h): a command that linked controls run on
// click. The toolkit only needs to execute it and to know its clients.
class BasicAction : public Component {
public:
    ~BasicAction() override;
    NotifyEvent OnExecute;
    // Runs the command for `sender`; false when there is nothing to run.
    virtual bool Execute(Component* sender);
    const std::vector<Control*>& Clients() const { return clients_; }
    // Tells every linked control that a property of the action changed.
    void Changed();

private:
    friend class Control;
    std::vector<Control*> clients_;
};

class Control : public Component {
public:
    Control();
    ~Control() override;

    // --- parent ---------------------------------------------------------
    WinControl* Parent() const { return parent_; }
    // Moves the control into another parent's child list (nullptr: none).
    virtual void SetParent(WinControl* parent);
    // The outermost form among the parents (the control itself if a form).
    Form* ParentForm() const;
    void SetParentComponent(Component* parent) override;

    // --- geometry (parent's client coordinates; screen for top-level) ----
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    // Sets the outer size that gives this client size.
    virtual void SetClientSize(int width, int height);
    void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
    void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
    // Screen position of the client area's top-left corner.
    virtual POINT ClientOrigin() const;
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    const SizeConstraints& Constraints() const { return constraints_; }
    void SetConstraints(const SizeConstraints& c);

    Align GetAlign() const { return align_; }
    void SetAlign(Align align);

    // --- appearance and state -------------------------------------------
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the top-level window visible too.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Caption or text; windowed controls whose window edits the text read it back.
    virtual std::string Text() const { return text_; }
    void SetText(const std::string& text);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& text) { SetText(text); }

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parent);

    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parent);
    // The font as a GDI object, made on first use and kept until it changes.
    HFONT FontObject();

    Color GetColor() const { return color_; }
    void SetColor(Color color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parent);

    ControlStyle GetControlStyle() const { return controlStyle_; }
    void SetControlStyle(ControlStyle style) { controlStyle_ = style; }
    ControlStates GetControlState() const { return controlState_; }

    // A popup menu component (Menus.h) shown on WM_CONTEXTMENU; see PopupSource.
    Component* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(Component* menu);
    BasicAction* Action() const { return action_; }
    void SetAction(BasicAction* action);

    // --- painting -------------------------------------------------------
    virtual void Invalidate();
    // Paints pending invalid areas now.
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }
    // Draws a windowless control onto its parent (the canvas origin is the
    // control's top-left), or a CustomControl onto its own window.
    virtual void Paint(Canvas& canvas);

    // --- messages -------------------------------------------------------
    // The one message handler: a flat switch; unhandled messages go to the
    // base class and finally to DefaultHandler.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return WndProc(msg, wParam, lParam); }

    // Windowless controls capture through their parent's window.
    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

    // --- change notifications (call the base when overriding) -----------
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    virtual void FontChanged();
    virtual void TextChanged();
    virtual void ColorChanged();
    virtual void ShowHintChanged() {}
    // The mouse entered or left the control (windowless ones included).
    virtual void MouseEnter();
    virtual void MouseLeave();
    // A linked action's caption, enabled state, check mark... changed.
    virtual void ActionChange(BasicAction& action, bool checkDefaults);
    // An accelerator character (Alt+letter, or a letter on a form without a
    // focused edit); true when the control took it.
    virtual bool DialogChar(char key, ShiftState shift);

    // --- palettes ---------------------------------------------------------
    // The palette the control's pictures need; none by default.
    virtual HPALETTE GetPalette();
    // The system palette changed (foreground: this program is about to be
    // in front): a visible control realises its palette into its window and
    // redraws when colours changed. True when it has a palette.
    virtual bool PaletteChanged(bool foreground);

    virtual void Click();
    virtual void DblClick();

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    NotifyEvent OnResize;
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseLeave;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;

    // Asks the parent to lay out its aligned children again (every child,
    // for a parent that places all of them itself).
    void RequestAlign();

protected:
    void Notification(Component* component, Operation operation) override;
    void Loaded() override;

    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseMove(ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
    // After every change of size.
    virtual void Resize();
    // The parent's font or colour changed and this control follows it.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged();
    // Applies a size limit; returns whether anything changed.
    virtual void ConstrainedResize(int& width, int& height);
    // Moves the stored bounds only (the window, if any, is moved by WinControl).
    void StoreBounds(int left, int top, int width, int height);
    void SetControlStateFlag(ControlStateFlag flag, bool on);
    // Events fire only outside reading and destruction.
    bool CanFireEvents() const { return !IsReading() && !IsDestroying(); }

    // For WinControl: the child list membership without side effects.
    friend class WinControl;
    WinControl* parent_ = nullptr;

private:
    void HandleMouseButton(UINT msg, WPARAM wParam, LPARAM lParam);

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    SizeConstraints constraints_;
    Align align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    Font font_;
    FontHandle fontHandle_;
    bool parentFont_ = true;
    Color color_ = clBtnFace;
    bool parentColor_ = false;
    ControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    ControlStates controlState_ = 0;
    Component* popupMenu_ = nullptr;
    BasicAction* action_ = nullptr;
};

// Implemented by popup menus (Menus.h): shown at a screen point for a control.
class PopupSource {
public:
    virtual ~PopupSource() = default;
    virtual void Popup(int screenX, int screenY, Control* popupComponent) = 0;
};

// What CreateWnd builds a window from. `className` is registered on first use
// with `classStyle`, `cursor` and `background`; with `systemClass` set (e.g.
// "BUTTON", "EDIT", WC_LISTVIEW) the new class is a superclass of it and
// unhandled messages go to that class's procedure.
struct WindowCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
    std::string className;
    std::string systemClass;
    UINT classStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

class WinControl : public Control {
public:
    WinControl();
    ~WinControl() override;

    // --- the window -----------------------------------------------------
    // Creates the window (and its parents' and children's) when missing.
    HWND Handle();
    HWND HandleIfAllocated() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { (void)Handle(); }
    // Destroys and creates the window again; object, children and state stay.
    void RecreateWnd();
    // Destroys the window (children first) keeping every object.
    void DestroyHandle();
    // Our object behind a window of ours, or nullptr for any other window.
    static WinControl* FromHandle(HWND wnd);
    // The object of `wnd` or of its nearest ancestor that is ours.
    static WinControl* FindFromHandle(HWND wnd);
    // The control under a screen point, windowless ones included.
    static Control* FindControlAtScreen(POINT screen, bool allowDisabled);

    // --- children -------------------------------------------------------
    std::size_t ControlCount() const { return children_.size(); }
    Control* Controls(std::size_t index) const { return children_[index]; }
    const std::vector<Control*>& Children() const { return children_; }
    // Topmost visible child at a client point; windowless only unless asked.
    Control* ControlAtPos(POINT client, bool allowDisabled, bool allowWinControls = false) const;
    bool ContainsControl(const Control* control) const;
    // Moves a child to the front or back of the painting / z order.
    void BringChildToFront(Control* child);
    void SendChildToBack(Control* child);

    // --- alignment ------------------------------------------------------
    void DisableAlign();
    void EnableAlign();
    void Realign();
    // Places the aligned children in `rect` (client coordinates). Override
    // to lay out children yourself; call the base for the standard order
    // (top, bottom, left, right, then client).
    virtual void AlignControls(Control* changed, RECT& rect);
    // The part of the client area aligned children may use.
    virtual void AdjustClientRect(RECT& rect);
    // True for a container that places all its children itself: a child
    // that is shown, hidden or resized asks it to align, aligned or not.
    virtual bool PlacesEveryChild() const { return false; }

    // --- focus ----------------------------------------------------------
    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool stop);
    int TabOrder() const;
    void SetTabOrder(int order);
    // Windowed children in tab order.
    std::vector<WinControl*> TabList() const;

    // --- overrides ------------------------------------------------------
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    POINT ClientOrigin() const override;
    void SetClientSize(int width, int height) override;
    bool Showing() const override;
    std::string Text() const override;
    // False when the window holds a character that Text() cannot give (the
    // active code page has no byte for it).
    bool TextConverts() const;
    void Invalidate() override;
    void Update() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetParent(WinControl* parent) override;
    void SetVisible(bool visible) override;
    void EnabledChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void ShowHintChanged() override;
    // Its own palette and then its children's (all of them in the
    // background, up to the first that has one in the foreground).
    bool PaletteChanged(bool foreground) override;

    // Showing turned on or off (own visibility or a parent's): shows or
    // hides the window without activating it. Calls reach the children.
    virtual void ShowingChanged();

    // Paints the windowless children that intersect the DC's clip box.
    void PaintControls(HDC dc, Control* first = nullptr);
    // Erases, paints itself and its windowless children into `dc`, as
    // WM_PAINT would (used for WM_PRINTCLIENT and by toolbars).
    void PaintHandler(HDC dc);

    NotifyEvent OnEnter;
    NotifyEvent OnExit;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;
    KeyPressEvent OnKeyPress;

protected:
    virtual void CreateParams(WindowCreateParams& params);
    // Builds the window from CreateParams, then the children's windows.
    // Overrides call the base first and then set the window up.
    virtual void CreateWnd();
    // Copies state the window holds back into the object, then destroys it.
    virtual void DestroyWnd();
    // Draws the control's own face (not the windowless children).
    virtual void PaintWindow(HDC dc);
    // Fills the background; return true when done.
    virtual bool EraseBackground(HDC dc);

    // Keyboard: the form's preview has run; set key to 0 to swallow it.
    virtual void KeyDown(WORD& key, ShiftState shift);
    virtual void KeyUp(WORD& key, ShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    void Loaded() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;

    // Children re-evaluate their showing state (after this one's changed).
    void UpdateChildrenShowing();
    // For controls that change their window's style in place.
    void SetWindowStyleBits(DWORD mask, DWORD bits);
    // Lays the children out again (and runs Resize) when the client area
    // changed size since they were last aligned, the window's size or not.
    void AlignIfClientResized();

    // The procedure of the superclassed system class (DefWindowProc if none).
    WNDPROC defaultProc_ = nullptr;

private:
    friend class Control;
    friend LRESULT CALLBACK ToolkitWindowProc(HWND, UINT, WPARAM, LPARAM);
    void InsertChild(Control* child);
    void RemoveChild(Control* child);
    void CreateHandle();
    void PlaceInZOrder();
    void UpdateShowing();
    // Shows or hides the window itself to match Visible (children) or the
    // showing state (top-level windows).
    void SyncWindowVisibility();
    void AlignChildren(Control* changed);
    LRESULT HandleKey(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMouseForChildren(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
    void HandleWindowPosChanged(const WINDOWPOS& pos);
    LRESULT ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, HWND child, bool& handled);
    LRESULT CtlColor(UINT msg, HDC dc);
    bool HasWindowlessChildren() const;
    // The system tells top-level windows of colour and palette changes;
    // their other controls hear of them from their parents.
    static bool HearsFromParent(const Control* child);
    // WM_SYSCOLORCHANGE: the children first, then the system class; a
    // top-level window repaints itself and everything in it.
    LRESULT SysColorChange(WPARAM wParam, LPARAM lParam);
    // WM_PAINT / WM_PRINTCLIENT of a superclassed system window.
    LRESULT SystemPaint(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    // The window whose mouse-leave note is asked for and not yet come.
    HWND leaveTracked_ = nullptr;
    std::vector<Control*> children_;
    int alignLevel_ = 0;
    bool alignPending_ = false;
    // The client size the children were last aligned in.
    SIZE alignedClient_{-1, -1};
    bool tabStop_ = false;
    bool showing_ = false;
    BrushHandle brush_;
    Color brushColor_ = clNone;
    Control* mouseControl_ = nullptr;
};

// A windowed control that draws itself: WM_PAINT and WM_PRINTCLIENT both
// end in Paint(Canvas&) (with the DC of wParam when one is given).
class CustomControl : public WinControl {
public:
    CustomControl();
    ~CustomControl() override;

protected:
    void PaintWindow(HDC dc) override;
};

// A colour from a description value: an identifier ("clBtnFace") or a number.
Color ColorFromValue(const Value& value, ReadContext& ctx);

// Shift state of the keyboard now (through the input seam).
// True when `key` is the letter after the first single '&' of `caption`
// (case ignored): the control's mnemonic.
bool IsAccelChar(char key, const std::string& caption);
ShiftState KeyboardShiftState();
// Shift state of a mouse message's key flags plus Alt from the keyboard.
ShiftState MouseShiftState(WPARAM keys);

}  // namespace tk
