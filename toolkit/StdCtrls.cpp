// StdCtrls: label, buttons, check box, edit and group box.
#include "toolkit/StdCtrls.h"

#include "toolkit/ActnList.h"
#include "toolkit/Canvas.h"
#include "toolkit/Graphics.h"
#include "toolkit/Resources.h"
#include "toolkit/ToolkitStrings.h"
#include "toolkit/Streaming.h"
#include "toolkit/WideText.h"

#include <algorithm>
#include <cctype>

namespace tk {

namespace {

bool Reading(const Component& c) { return c.IsReading() || c.IsLoading() || IsReadingDescription(); }

// Measures text with a control's font on a screen-compatible DC.
RECT MeasureText(const Font& font, const std::string& text, UINT flags, int width) {
    auto dc = CreateMemoryDC();
    Canvas canvas(dc.Get());
    canvas.font = font;
    RECT r{0, 0, std::max(width, 1), 0};
    std::string measured = text.empty() ? std::string(" ") : text;
    canvas.DrawText(r, measured, flags | DT_CALCRECT);
    return r;
}

// Where a one-line text's ink lies as it is drawn: on a colour surface the
// glyphs Wine renders for the small fonts run a few pixels beyond the
// advance widths it measures (more along a longer line), and a first letter
// may reach a pixel before its origin (the Romanian capital I with a
// circumflex), so a label sized from the measurement alone cut letters at
// its ends. The text is drawn on a scratch bitmap of the screen's kind and
// its ink is found.
struct InkSpan {
    int lead = 0;   // pixels the ink reaches before the text's origin
    int width = 0;  // from the ink's start (or the origin) to its end
};

InkSpan DrawnSpan(const Font& font, const std::string& text, UINT flags, const RECT& measured) {
    const int measuredWidth = measured.right - measured.left;
    const int height = std::max<int>(1, measured.bottom - measured.top);
    const int origin = height;
    Bitmap scratch = Bitmap::CreateDIB(origin + measuredWidth + 2 * height + 8, height);
    std::uint32_t* bits = scratch.Bits();
    if (!bits) return {0, measuredWidth + kInkOverhang};
    const int width = scratch.Width();
    std::fill(bits, bits + width * height, 0x00FFFFFFu);
    Canvas& canvas = scratch.GetCanvas();
    canvas.font = font;
    canvas.font.color = clBlack;
    canvas.brush.style = BrushStyle::Clear;
    RECT r{origin, 0, width, height};
    canvas.DrawText(r, text, (flags & ~static_cast<UINT>(DT_RIGHT | DT_CENTER)) | DT_LEFT | DT_NOCLIP);
    ::GdiFlush();
    int inkLeft = width;
    int inkRight = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((bits[y * width + x] & 0x00FFFFFFu) != 0x00FFFFFFu) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x + 1);
            }
    InkSpan span;
    span.lead = inkLeft < origin ? origin - inkLeft : 0;
    span.width = span.lead + std::max(measuredWidth + kInkOverhang, inkRight - origin);
    return span;
}

// A caption in its enabled colour, or embossed (highlight one pixel down and
// right under shadow) as the platform draws disabled texts.
void DrawStateText(Canvas& canvas, RECT r, const std::string& text, UINT flags, bool enabled, Color ink) {
    if (enabled) {
        canvas.font.color = ink;
        canvas.DrawText(r, text, flags);
        return;
    }
    RECT shifted = r;
    ::OffsetRect(&shifted, 1, 1);
    canvas.font.color = clBtnHighlight;
    canvas.DrawText(shifted, text, flags);
    canvas.font.color = clBtnShadow;
    canvas.DrawText(r, text, flags);
}

}  // namespace

// ---------------------------------------------------------------------------
// Label

Label::Label() {
    SetControlStyle(GetControlStyle() | csSetCaption);
    SetBounds(0, 0, 65, 17);
}

UINT Label::DrawFlags() const {
    UINT flags = DT_EXPANDTABS;
    switch (alignment_) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

void Label::Paint(Canvas& canvas) {
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) {
        canvas.brush = Brush{GetColor(), BrushStyle::Solid};
        canvas.FillRect(r);
    }
    canvas.brush.style = BrushStyle::Clear;
    canvas.font = GetFont();
    const std::string text = Caption();
    UINT flags = DrawFlags();
    if (textLead_ > 0) {
        // The ink before the origin lies inside the label, which the
        // parent's clip keeps the text to.
        r.left += textLead_;
        flags |= DT_NOCLIP;
    }
    if (layout_ != tlTop) {
        RECT calc = r;
        canvas.DrawText(calc, text, flags | DT_CALCRECT);
        const int h = calc.bottom - calc.top;
        r.top = layout_ == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
    }
    DrawStateText(canvas, r, text, flags, Enabled(), canvas.font.color);
}

void Label::AdjustBounds() {
    if (!autoSize_ || IsLoading()) return;
    RECT r = MeasureText(GetFont(), Caption(), DrawFlags(), wordWrap_ ? Width() : 1);
    int w = Width();
    textLead_ = 0;
    if (!wordWrap_) {
        const InkSpan span = DrawnSpan(GetFont(), Caption(), DrawFlags(), r);
        w = span.width;
        if (alignment_ == taLeftJustify) textLead_ = span.lead;
    }
    int h = r.bottom - r.top;
    int left = Left();
    if (alignment_ == taRightJustify && !wordWrap_) left = Left() + Width() - w;
    if (w != Width() || h != Height() || left != Left()) SetBounds(left, Top(), w, h);
}

void Label::Loaded() {
    Control::Loaded();
    AdjustBounds();
}

void Label::SetAlignment(Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void Label::SetLayout(TextLayout l) {
    if (l == layout_) return;
    layout_ = l;
    Invalidate();
}

void Label::SetAutoSize(bool on) {
    autoSize_ = on;
    AdjustBounds();
}

void Label::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    AdjustBounds();
    Invalidate();
}

void Label::SetTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    if (on)
        SetControlStyle(GetControlStyle() & ~csOpaque);
    else
        SetControlStyle(GetControlStyle() | csOpaque);
    Invalidate();
}

void Label::SetShowAccelChar(bool on) {
    if (on == showAccelChar_) return;
    showAccelChar_ = on;
    AdjustBounds();
    Invalidate();
}

void Label::SetFocusControl(WinControl* control) {
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void Label::Notification(Component* component, Operation operation) {
    Control::Notification(component, operation);
    if (operation == Operation::Remove && component == focusControl_) focusControl_ = nullptr;
}

void Label::TextChanged() {
    Control::TextChanged();
    AdjustBounds();
    Invalidate();
}

void Label::ActionChange(BasicAction& action, bool checkDefaults) {
    Control::ActionChange(action, checkDefaults);
    ApplyActionTo(*this, action, checkDefaults);
}

void Label::FontChanged() {
    Control::FontChanged();
    AdjustBounds();
    Invalidate();
}

bool Label::DialogChar(char key, ShiftState shift) {
    (void)shift;
    if (!showAccelChar_ || !focusControl_ || !Enabled() || !IsAccelChar(key, Caption())) return false;
    if (focusControl_->CanFocus()) focusControl_->SetFocus();
    return true;
}

namespace {

// System buttons and edits capture the mouse and report clicks themselves
// (BN_CLICKED); the toolkit's own press-release click would come on top.
void LeaveMouseToSystemClass(Control& c) { c.SetControlStyle(c.GetControlStyle() & ~(csClickEvents | csCaptureMouse)); }

}  // namespace

// ---------------------------------------------------------------------------
// Button

Button::Button() {
    LeaveMouseToSystemClass(*this);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void Button::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = "BUTTON";
    params.style |= WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void Button::SetDefault(bool on) {
    if (on == default_) return;
    default_ = on;
    if (HWND h = HandleIfAllocated()) {
        if ((::GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW)
            ::SendMessageA(h, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void Button::ActionChange(BasicAction& action, bool checkDefaults) {
    WinControl::ActionChange(action, checkDefaults);
    ApplyActionTo(*this, action, checkDefaults);
}

// A button's mnemonic focuses and clicks it, as a press would.
bool Button::DialogChar(char key, ShiftState) {
    if (!IsAccelChar(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    Click();
    return true;
}

void Button::Click() {
    if (modalResult_ != mrNone) {
        if (Form* form = ParentForm()) form->SetModalResult(modalResult_);
    }
    Control::Click();
}

LRESULT Button::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CN_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) Click();
        return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// BitBtn

namespace {

struct KindInfo {
    const char* caption;
    UINT captionId;  // the string-table text that translates it; 0: none
    ModalResult result;
    bool isDefault;
    bool isCancel;
};

const KindInfo kKinds[] = {
    {"", 0, mrNone, false, false},          {"OK", SMsgDlgOK, mrOk, true, false},
    {"Cancel", SMsgDlgCancel, mrCancel, false, true},
    {"&Help", 0, mrNone, false, false},     {"&Yes", SMsgDlgYes, mrYes, true, false},
    {"&No", SMsgDlgNo, mrNo, false, true},  {"&Close", 0, mrNone, false, false},
    {"Abort", 0, mrAbort, false, true},     {"&Retry", 0, mrRetry, false, false},
    {"&Ignore", 0, mrIgnore, false, false}, {"&All", 0, mrNone, false, false},
};

// A kind's caption in the active language.
std::string KindCaption(const KindInfo& info) {
    if (info.captionId) {
        std::string text = LoadStr(info.captionId);
        if (!text.empty()) return text;
    }
    return info.caption;
}

}  // namespace

BitBtn::BitBtn() { glyph_.OnChange = [this] { Invalidate(); }; }

void BitBtn::CreateParams(WindowCreateParams& params) {
    Button::CreateParams(params);
    params.style = (params.style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void BitBtn::SetKind(BitBtnKind kind) {
    // A language switch reads the same kind again: its caption follows the
    // new language.
    if (kind == kind_ && !IsReading()) return;
    if (kind != bkCustom) {
        const KindInfo& info = kKinds[kind];
        SetDefault(info.isDefault);
        SetCancel(info.isCancel);
        // A description may carry its own caption for a kind; keep it.
        const bool ownCaption = (IsLoading() || IsReading()) && !Caption().empty() && Caption() != kindCaption_;
        if (!ownCaption) {
            kindCaption_ = KindCaption(info);
            SetCaption(kindCaption_);
        }
        SetModalResult(info.result);
    }
    kind_ = kind;
    kindGlyph_.Clear();
    Invalidate();
}

void BitBtn::SetGlyph(const Bitmap& glyph) {
    glyph_ = glyph;
    Invalidate();
}

void BitBtn::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 4);
    Invalidate();
}

void BitBtn::SetLayout(ButtonLayout l) {
    layout_ = l;
    Invalidate();
}

void BitBtn::SetSpacing(int s) {
    spacing_ = s;
    Invalidate();
}

void BitBtn::SetMargin(int m) {
    margin_ = m;
    Invalidate();
}

Bitmap& BitBtn::KindGlyph() {
    if (!glyph_.Empty() || (kind_ != bkOK && kind_ != bkCancel && kind_ != bkYes && kind_ != bkNo)) return glyph_;
    if (kindGlyph_.Empty()) {
        // Drawn marks instead of stock pictures: a green tick or a red cross
        // on a fuchsia (transparent) ground.
        kindGlyph_ = Bitmap::CreateDIB(16, 16);
        Canvas& c = kindGlyph_.GetCanvas();
        c.brush.color = clFuchsia;
        c.FillRect({0, 0, 16, 16});
        c.pen.width = 2;
        if (kind_ == bkOK || kind_ == bkYes) {
            c.pen.color = clGreen;
            c.Polyline({{3, 8}, {6, 11}, {12, 4}});
        } else {
            c.pen.color = clRed;
            c.Line(4, 4, 12, 12);
            c.Line(12, 4, 4, 12);
        }
        c.pen.width = 1;
        kindGlyph_.Dormant();
    }
    return kindGlyph_;
}

void BitBtn::PaintFace(Canvas& canvas, bool pressed, bool focused) {
    const RECT client{0, 0, Width(), Height()};
    RECT inner = DrawButtonFace(canvas, client, 1, ButtonStyle::New, false, pressed, focused || IsDefault());
    canvas.font = GetFont();
    canvas.brush.style = BrushStyle::Clear;

    Bitmap& glyph = KindGlyph();
    const int frames = &glyph == &glyph_ ? numGlyphs_ : 1;
    const int gw = glyph.Empty() ? 0 : glyph.Width() / frames;
    const int gh = glyph.Empty() ? 0 : glyph.Height();
    const std::string caption = Caption();
    RECT text{0, 0, 0, 0};
    if (!caption.empty()) canvas.DrawText(text, caption, DT_CALCRECT | DT_SINGLELINE);
    const int tw = text.right - text.left, th = text.bottom - text.top;
    const int space = (gw && tw) ? spacing_ : 0;
    const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight;
    const int total = horizontal ? gw + space + tw : gh + space + th;
    const int avail = horizontal ? client.right : client.bottom;
    int start = margin_ >= 0 ? margin_ : (avail - total) / 2;
    const int off = pressed ? 1 : 0;

    POINT gpos{}, tpos{};
    if (horizontal) {
        const int first = start, second = start + (layout_ == blGlyphLeft ? gw : tw) + space;
        gpos = {layout_ == blGlyphLeft ? first : second, (client.bottom - gh) / 2};
        tpos = {layout_ == blGlyphLeft ? second : first, (client.bottom - th) / 2};
    } else {
        const int first = start, second = start + (layout_ == blGlyphTop ? gh : th) + space;
        gpos = {(client.right - gw) / 2, layout_ == blGlyphTop ? first : second};
        tpos = {(client.right - tw) / 2, layout_ == blGlyphTop ? second : first};
    }
    ::OffsetRect(&text, tpos.x + off, tpos.y + off);
    text.right += kInkOverhang;

    if (gw > 0) {
        int frame = 0;
        if (!Enabled() && frames >= 2) frame = 1;
        else if (pressed && frames >= 3) frame = 2;
        Bitmap piece = Bitmap::CreateDIB(gw, gh);
        ::BitBlt(piece.DC(), 0, 0, gw, gh, glyph.DC(), frame * gw, 0, SRCCOPY);
        canvas.DrawTransparent(gpos.x + off, gpos.y + off, piece, glyph.TransparentColor());
    }
    if (!caption.empty()) {
        DrawStateText(canvas, text, caption, DT_SINGLELINE, Enabled(), GetFont().color);
    }
    if (focused) {
        RECT f = inner;
        ::InflateRect(&f, -2, -2);
        canvas.DrawFocusRect(f);
    }
}

void BitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    if (w <= 0 || h <= 0) return;
    Bitmap buffer(w, h);
    PaintFace(buffer.GetCanvas(), (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_FOCUS) != 0);
    ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, buffer.DC(), 0, 0, SRCCOPY);
}

LRESULT BitBtn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CN_DRAWITEM: DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    // Owner-drawn buttons turn a quick second click into a double click.
    case WM_LBUTTONDBLCLK: return Button::WndProc(WM_LBUTTONDOWN, wParam, lParam);
    case WM_ERASEBKGND: return 1;
    }
    return Button::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// CheckBox

CheckBox::CheckBox() {
    LeaveMouseToSystemClass(*this);
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void CheckBox::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = "BUTTON";
    params.style |= WS_TABSTOP | (allowGrayed_ ? BS_3STATE : BS_CHECKBOX);
    if (alignment_ == taLeftJustify) params.style |= BS_LEFTTEXT;
}

void CheckBox::CreateWnd() {
    WinControl::CreateWnd();
    ::SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void CheckBox::SetAlignment(Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    if (HandleAllocated()) RecreateWnd();
}

void CheckBox::SetState(CheckBoxState state) {
    if (state == cbGrayed && !allowGrayed_) state = cbUnchecked;
    if (state == state_) return;
    state_ = state;
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    if (CanFireEvents() && !Reading(*this)) Click();
}

void CheckBox::ActionChange(BasicAction& action, bool checkDefaults) {
    WinControl::ActionChange(action, checkDefaults);
    ApplyActionTo(*this, action, checkDefaults);
    // The mark follows the action without running the click (which would
    // execute the action again).
    if (const auto* a = dynamic_cast<const tk::Action*>(&action)) {
        const CheckBoxState want = a->Checked() ? cbChecked : cbUnchecked;
        if (want != state_) {
            state_ = want;
            if (HWND h = HandleIfAllocated()) ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
        }
    }
}

bool CheckBox::DialogChar(char key, ShiftState) {
    if (!IsAccelChar(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    Toggle();
    return true;
}

void CheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

LRESULT CheckBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CN_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) Toggle();
        return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// RadioButton

RadioButton::RadioButton() {
    LeaveMouseToSystemClass(*this);
    SetBounds(0, 0, 113, 17);
    SetTabStop(true);
}

void RadioButton::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = "BUTTON";
    params.style |= BS_RADIOBUTTON;
}

void RadioButton::CreateWnd() {
    WinControl::CreateWnd();
    ::SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool RadioButton::DialogChar(char key, ShiftState) {
    if (!IsAccelChar(key, Caption()) || !CanFocus()) return false;
    SetFocus();
    SetChecked(true);
    return true;
}

void RadioButton::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!on) return;
    if (WinControl* parent = Parent()) {
        for (Control* sibling : parent->Children()) {
            if (auto* radio = dynamic_cast<RadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
        }
    }
    if (CanFireEvents() && !Reading(*this)) Click();
}

LRESULT RadioButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CN_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) SetChecked(true);
        return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Edit

Edit::Edit() {
    LeaveMouseToSystemClass(*this);
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void Edit::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = "EDIT";
    params.style |= WS_TABSTOP | ES_AUTOHSCROLL;
    if (readOnly_) params.style |= ES_READONLY;
    if (passwordChar_) params.style |= ES_PASSWORD;
    if (charCase_ == ecUpperCase) params.style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) params.style |= ES_LOWERCASE;
    if (borderStyle_ == bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
    params.cursor = ::LoadCursor(nullptr, IDC_IBEAM);
}

void Edit::CreateWnd() {
    WinControl::CreateWnd();
    HWND h = Handle();
    ::SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_) ::SendMessageA(h, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    ::SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selStart_ + selLength_));
    lastText_ = WideTextOf(h);
}

void Edit::SetReadOnly(bool on) {
    readOnly_ = on;
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

void Edit::SetMaxLength(int n) {
    maxLength_ = std::max(0, n);
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void Edit::SetPasswordChar(char c) {
    if (c == passwordChar_) return;
    passwordChar_ = c;
    if (HandleAllocated()) RecreateWnd();
}

void Edit::SetCharCase(EditCharCase c) {
    if (c == charCase_) return;
    charCase_ = c;
    if (HandleAllocated()) RecreateWnd();
}

void Edit::SetBorderStyle(BorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    if (HandleAllocated()) RecreateWnd();
}

void Edit::SelectAll() {
    SetSelStart(0);
    SetSelLength(static_cast<int>(Text().size()));
}

int Edit::SelStart() const {
    if (HWND h = HandleIfAllocated()) {
        DWORD start = 0, end = 0;
        ::SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(start);
    }
    return selStart_;
}

int Edit::SelLength() const {
    if (HWND h = HandleIfAllocated()) {
        DWORD start = 0, end = 0;
        ::SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return static_cast<int>(end - start);
    }
    return selLength_;
}

void Edit::SetSelStart(int pos) {
    selStart_ = std::max(0, pos);
    selLength_ = 0;
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_);
}

void Edit::SetSelLength(int len) {
    selStart_ = SelStart();
    selLength_ = std::max(0, len);
    if (HWND h = HandleIfAllocated())
        ::SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selStart_ + selLength_));
}

void Edit::Change() {
    if (OnChange) OnChange(this);
}

void Edit::CheckChanged() {
    // Compared as the window holds it: two characters that the code page
    // lacks read alike (as its default character), and so does a typed '?'.
    std::wstring now = HandleAllocated() ? WideTextOf(Handle()) : Wide(Text());
    if (now == lastText_) return;
    lastText_ = std::move(now);
    if (CanFireEvents() && !Reading(*this)) Change();
}

void Edit::TextChanged() {
    WinControl::TextChanged();
    CheckChanged();
}

LRESULT Edit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CN_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) CheckChanged();
        return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// GroupBox

GroupBox::GroupBox() {
    SetControlStyle(GetControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

void GroupBox::AdjustClientRect(RECT& rect) {
    WinControl::AdjustClientRect(rect);
    const int h = std::abs(GetFont().height);
    rect.top += h + 2;
    ::InflateRect(&rect, -1, -1);
}

void GroupBox::Paint(Canvas& canvas) {
    const RECT client = ClientRect();
    canvas.brush = Brush{GetColor(), BrushStyle::Solid};
    canvas.FillRect(client);
    canvas.font = GetFont();
    const std::string caption = Caption();
    RECT text{0, 0, 0, 0};
    canvas.DrawText(text, caption.empty() ? std::string("0") : caption, DT_CALCRECT | DT_SINGLELINE);
    // The etched frame runs through the middle of the caption's line.
    RECT frame = client;
    frame.top += (text.bottom - text.top) / 2;
    canvas.RequireBrush();
    ::DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (caption.empty()) return;
    // The gap in the frame holds the caption's ink, which may reach past its
    // measured width, and a pixel of space on either side.
    ::OffsetRect(&text, 8, 0);
    text.right = std::min(text.right + kInkOverhang + 2, static_cast<LONG>(client.right - 8));
    canvas.FillRect(text);
    ++text.left;
    canvas.brush.style = BrushStyle::Clear;
    DrawStateText(canvas, text, caption, DT_SINGLELINE, Enabled(), canvas.font.color);
}

// ---------------------------------------------------------------------------
// Registration

namespace {

const IdentTable kAlignmentIdents = {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify},
                                     {"taCenter", taCenter}};
const IdentTable kLayoutIdents = {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}};
const IdentTable kModalResultIdents = {{"mrNone", mrNone}, {"mrOk", mrOk},         {"mrCancel", mrCancel},
                                       {"mrAbort", mrAbort}, {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore},
                                       {"mrYes", mrYes},   {"mrNo", mrNo}};
const IdentTable kKindIdents = {{"bkCustom", bkCustom}, {"bkOK", bkOK},       {"bkCancel", bkCancel},
                                {"bkHelp", bkHelp},     {"bkYes", bkYes},     {"bkNo", bkNo},
                                {"bkClose", bkClose},   {"bkAbort", bkAbort}, {"bkRetry", bkRetry},
                                {"bkIgnore", bkIgnore}, {"bkAll", bkAll}};
const IdentTable kButtonLayoutIdents = {{"blGlyphLeft", blGlyphLeft}, {"blGlyphRight", blGlyphRight},
                                        {"blGlyphTop", blGlyphTop}, {"blGlyphBottom", blGlyphBottom}};
const IdentTable kCheckStateIdents = {{"cbUnchecked", cbUnchecked}, {"cbChecked", cbChecked}, {"cbGrayed", cbGrayed}};
const IdentTable kCharCaseIdents = {{"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}};
const IdentTable kEditBorderIdents = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};

// A bitmap in a description: the bytes of a .bmp file.
void ReadBitmapValue(Bitmap& target, const Value& value, ReadContext& ctx) {
    if (value.kind != Value::Kind::Binary) ctx.Fail("expected bitmap data");
    if (!target.LoadFromData(value.binary.data(), value.binary.size())) ctx.Fail("bitmap data is not a BMP picture");
}

const ClassRegistration<Label> kLabelReg("TLabel", "TControl", [](ClassBuilder<Label>& c) {
    c.Property("Alignment", &Label::GetAlignment, &Label::SetAlignment, &kAlignmentIdents)
        .Property("Layout", &Label::Layout, &Label::SetLayout, &kLayoutIdents)
        .Property("AutoSize", &Label::AutoSize, &Label::SetAutoSize)
        .Property("WordWrap", &Label::WordWrap, &Label::SetWordWrap)
        .Property("Transparent", &Label::Transparent, &Label::SetTransparent)
        .Property("ShowAccelChar", &Label::ShowAccelChar, &Label::SetShowAccelChar)
        .Property("FocusControl", &Label::FocusControl, &Label::SetFocusControl);
});

const ClassRegistration<Button> kButtonReg("TButton", "TWinControl", [](ClassBuilder<Button>& c) {
    c.Property("Default", &Button::IsDefault, &Button::SetDefault)
        .Property("Cancel", &Button::IsCancel, &Button::SetCancel)
        .Property("ModalResult", &Button::GetModalResult, &Button::SetModalResult, &kModalResultIdents);
});

const ClassRegistration<BitBtn> kBitBtnReg("TBitBtn", "TButton", [](ClassBuilder<BitBtn>& c) {
    c.Property("Kind", &BitBtn::Kind, &BitBtn::SetKind, &kKindIdents)
        .Property("NumGlyphs", &BitBtn::NumGlyphs, &BitBtn::SetNumGlyphs)
        .Property("Layout", &BitBtn::Layout, &BitBtn::SetLayout, &kButtonLayoutIdents)
        .Property("Spacing", &BitBtn::Spacing, &BitBtn::SetSpacing)
        .Property("Margin", &BitBtn::Margin, &BitBtn::SetMargin)
        .Custom("Glyph.Data", [](BitBtn& b, const Value& v, ReadContext& ctx) { ReadBitmapValue(b.Glyph(), v, ctx); })
        .Custom("Glyph", [](BitBtn& b, const Value& v, ReadContext& ctx) { ReadBitmapValue(b.Glyph(), v, ctx); });
});

const ClassRegistration<CheckBox> kCheckBoxReg("TCheckBox", "TWinControl", [](ClassBuilder<CheckBox>& c) {
    c.Property("AllowGrayed", &CheckBox::AllowGrayed, &CheckBox::SetAllowGrayed)
        .Property("Checked", &CheckBox::Checked, &CheckBox::SetChecked)
        .Property("State", &CheckBox::GetState, &CheckBox::SetState, &kCheckStateIdents)
        .Property("Alignment", &CheckBox::GetAlignment, &CheckBox::SetAlignment, &kAlignmentIdents);
});

const ClassRegistration<RadioButton> kRadioButtonReg("TRadioButton", "TWinControl", [](ClassBuilder<RadioButton>& c) {
    c.Property("Checked", &RadioButton::Checked, &RadioButton::SetChecked);
});

const ClassRegistration<Edit> kEditReg("TEdit", "TWinControl", [](ClassBuilder<Edit>& c) {
    c.Property("ReadOnly", &Edit::ReadOnly, &Edit::SetReadOnly)
        .Property("MaxLength", &Edit::MaxLength, &Edit::SetMaxLength)
        .Property("CharCase", &Edit::CharCase, &Edit::SetCharCase, &kCharCaseIdents)
        .Property("AutoSelect", &Edit::AutoSelect, &Edit::SetAutoSelect)
        .Property("AutoSize", &Edit::AutoSize, &Edit::SetAutoSize)
        .Property("BorderStyle", &Edit::GetBorderStyle, &Edit::SetBorderStyle, &kEditBorderIdents)
        .Custom("PasswordChar",
                [](Edit& e, const Value& v, ReadContext&) {
                    e.SetPasswordChar(v.kind == Value::Kind::String && !v.text.empty() ? v.text[0]
                                                                                       : static_cast<char>(v.integer));
                })
        .Event("OnChange", &Edit::OnChange);
});

const ClassRegistration<GroupBox> kGroupBoxReg("TGroupBox", "TCustomControl");

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitStdCtrls = 1;
}  // namespace tk
