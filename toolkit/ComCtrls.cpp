// ComCtrls: status bar, progress bar and rich-text log.
#include "toolkit/ComCtrls.h"

#include "toolkit/Canvas.h"
#include "toolkit/WideText.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

namespace tk {

namespace {

constexpr UINT_PTR kFlushTimer = 0x5A01;

void EnsureCommonControls() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
}

}  // namespace

// ---------------------------------------------------------------------------
// StatusPanel

void StatusPanel::Changed(bool layout) {
    if (bar_) bar_->PanelChanged(index_, layout);
}

void StatusPanel::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Changed(false);
}

void StatusPanel::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed(true);
}

void StatusPanel::SetAlignment(Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Changed(false);
}

void StatusPanel::SetBevel(StatusPanelBevel b) {
    if (b == bevel_) return;
    bevel_ = b;
    Changed(false);
}

void StatusPanel::SetStyle(StatusPanelStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed(false);
}

StatusPanel& StatusPanels::Add() {
    items_.push_back(std::make_unique<StatusPanel>());
    StatusPanel& p = *items_.back();
    p.bar_ = &bar_;
    p.index_ = static_cast<int>(items_.size()) - 1;
    bar_.PanelChanged(p.index_, true);
    return p;
}

void StatusPanels::Clear() {
    items_.clear();
    bar_.PanelChanged(-1, true);
}

// ---------------------------------------------------------------------------
// StatusBar

StatusBar::StatusBar() {
    EnsureCommonControls();
    SetControlStyle(GetControlStyle() & ~(csClickEvents | csCaptureMouse));
    SetAlign(alBottom);
    SetBounds(0, 0, 200, 19);
}

StatusBar::~StatusBar() {
    if (HWND h = HandleIfAllocated()) ::KillTimer(h, kFlushTimer);
}

void StatusBar::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = STATUSCLASSNAMEA;
    // The toolkit aligns the bar; the control must not move itself.
    params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    if (sizeGrip_) params.style |= SBARS_SIZEGRIP;
}

void StatusBar::CreateWnd() {
    WinControl::CreateWnd();
    timerArmed_ = false;
    dirtyLayout_ = true;
    dirtySimple_ = true;
    dirtyPanels_.clear();
    for (size_t i = 0; i < panels_.Count(); ++i) dirtyPanels_.push_back(static_cast<int>(i));
    Flush();
}

void StatusBar::Resize() {
    WinControl::Resize();
    // The last panel reaches the right edge; nothing else depends on the size.
    if (HandleAllocated()) SendParts();
}

void StatusBar::SetSimplePanel(bool on) {
    if (on == simplePanel_) return;
    simplePanel_ = on;
    dirtyLayout_ = true;
    dirtySimple_ = true;
    Schedule();
}

void StatusBar::SetSimpleText(const std::string& text) {
    if (text == simpleText_) return;
    simpleText_ = text;
    dirtySimple_ = true;
    Schedule();
}

void StatusBar::SetSizeGrip(bool on) {
    if (on == sizeGrip_) return;
    sizeGrip_ = on;
    if (HandleAllocated()) RecreateWnd();
}

void StatusBar::PanelChanged(int index, bool layout) {
    if (layout) {
        dirtyLayout_ = true;
        dirtyPanels_.clear();
        for (size_t i = 0; i < panels_.Count(); ++i) dirtyPanels_.push_back(static_cast<int>(i));
    } else if (std::find(dirtyPanels_.begin(), dirtyPanels_.end(), index) == dirtyPanels_.end()) {
        dirtyPanels_.push_back(index);
    }
    Schedule();
}

void StatusBar::Schedule() {
    if (timerArmed_) return;
    HWND h = HandleIfAllocated();
    if (!h) return;  // CreateWnd applies everything
    timerArmed_ = true;
    ::SetTimer(h, kFlushTimer, kDeferredPaintMs, nullptr);
}

void StatusBar::SendParts() {
    HWND h = HandleIfAllocated();
    if (!h) return;
    std::vector<int> edges;
    int x = 0;
    for (size_t i = 0; i < panels_.Count(); ++i) {
        x += panels_[i].Width();
        edges.push_back(i + 1 == panels_.Count() ? -1 : x);
    }
    if (edges.empty()) edges.push_back(-1);
    ::SendMessageA(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::SendPanelText(int index) {
    HWND h = HandleIfAllocated();
    if (!h || index < 0 || static_cast<size_t>(index) >= panels_.Count()) return;
    const StatusPanel& p = panels_[static_cast<size_t>(index)];
    WPARAM flags = static_cast<WPARAM>(index);
    if (p.Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p.Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p.Style() == psOwnerDraw) {
        ::SendMessageA(h, SB_SETTEXTA, flags | SBT_OWNERDRAW, static_cast<LPARAM>(index));
        return;
    }
    // A leading tab centres the text in its part, two right-align it.
    std::string text = p.Text();
    if (p.GetAlignment() == taCenter) text.insert(0, "\t");
    if (p.GetAlignment() == taRightJustify) text.insert(0, "\t\t");
    ::SendMessageW(h, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void StatusBar::Flush() {
    if (timerArmed_) {
        if (HWND h = HandleIfAllocated()) ::KillTimer(h, kFlushTimer);
        timerArmed_ = false;
    }
    HWND h = HandleIfAllocated();
    if (!h || !FlushPending()) return;
    if (dirtyLayout_) {
        ::SendMessageA(h, SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
        SendParts();
        dirtyLayout_ = false;
    }
    if (dirtySimple_) {
        ::SendMessageW(h, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(Wide(simpleText_).c_str()));
        dirtySimple_ = false;
    }
    std::vector<int> pending;
    pending.swap(dirtyPanels_);
    for (int i : pending) SendPanelText(i);
    // Hand the storage back, so the next text set does not allocate.
    if (dirtyPanels_.empty()) {
        pending.clear();
        dirtyPanels_.swap(pending);
    }
    ++flushCount_;
}

LRESULT StatusBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kFlushTimer) {
            Flush();
            return 0;
        }
        break;
    case CN_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const auto index = static_cast<size_t>(item.itemData);
        if (OnDrawPanel && index < panels_.Count() && CanFireEvents()) {
            Canvas canvas(item.hDC);
            canvas.font = GetFont();
            OnDrawPanel(this, panels_[index], canvas, item.rcItem);
        }
        return TRUE;
    }
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// ProgressBar

ProgressBar::ProgressBar() {
    EnsureCommonControls();
    SetControlStyle(GetControlStyle() & ~(csClickEvents | csCaptureMouse));
    SetBounds(0, 0, 150, 16);
}

ProgressBar::~ProgressBar() {
    if (HWND h = HandleIfAllocated()) ::KillTimer(h, kFlushTimer);
}

void ProgressBar::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = PROGRESS_CLASSA;
    if (smooth_) params.style |= PBS_SMOOTH;
    if (vertical_) params.style |= PBS_VERTICAL;
}

void ProgressBar::CreateWnd() {
    WinControl::CreateWnd();
    timerArmed_ = false;
    dirtyRange_ = dirtyPos_ = true;
    Flush();
}

void ProgressBar::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    if (max_ < min_) max_ = min_;
    position_ = std::clamp(position_, min_, max_);
    dirtyRange_ = dirtyPos_ = true;
    Schedule();
}

void ProgressBar::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    if (min_ > max_) min_ = max_;
    position_ = std::clamp(position_, min_, max_);
    dirtyRange_ = dirtyPos_ = true;
    Schedule();
}

void ProgressBar::SetPosition(int v) {
    v = std::clamp(v, min_, max_);
    if (v == position_) return;
    position_ = v;
    dirtyPos_ = true;
    Schedule();
}

void ProgressBar::SetSmooth(bool on) {
    if (on == smooth_) return;
    smooth_ = on;
    if (HandleAllocated()) RecreateWnd();
}

void ProgressBar::SetVertical(bool on) {
    if (on == vertical_) return;
    vertical_ = on;
    if (HandleAllocated()) RecreateWnd();
}

void ProgressBar::Schedule() {
    if (timerArmed_) return;
    HWND h = HandleIfAllocated();
    if (!h) return;
    timerArmed_ = true;
    ::SetTimer(h, kFlushTimer, kDeferredPaintMs, nullptr);
}

void ProgressBar::Flush() {
    HWND h = HandleIfAllocated();
    if (timerArmed_) {
        if (h) ::KillTimer(h, kFlushTimer);
        timerArmed_ = false;
    }
    if (!h || !FlushPending()) return;
    if (dirtyRange_) ::SendMessageA(h, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    if (dirtyPos_) ::SendMessageA(h, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    dirtyRange_ = dirtyPos_ = false;
    ++flushCount_;
}

LRESULT ProgressBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kFlushTimer) {
            Flush();
            return 0;
        }
        break;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// RichEdit

namespace {

// The rich edit classes live in riched20.dll, loaded once for the process.
void EnsureRichEditLibrary() {
    static HMODULE module = ::LoadLibraryA("riched20.dll");
    (void)module;
}

}  // namespace

RichEdit::RichEdit() {
    EnsureRichEditLibrary();
    SetControlStyle(GetControlStyle() & ~(csClickEvents | csCaptureMouse));
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 185, 89);
}

void RichEdit::CreateParams(WindowCreateParams& params) {
    WinControl::CreateParams(params);
    params.systemClass = "RichEdit20W";
    params.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_TABSTOP;
    if (readOnly_) params.style |= ES_READONLY;
    if (!wordWrap_) params.style |= ES_AUTOHSCROLL;
    if (scrollBars_ == rsVertical || scrollBars_ == rsBoth) params.style |= WS_VSCROLL;
    if (scrollBars_ == rsHorizontal || scrollBars_ == rsBoth) params.style |= WS_HSCROLL;
    if (borderStyle_ == bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
    params.caption.clear();
}

void RichEdit::CreateWnd() {
    WinControl::CreateWnd();
    HWND h = Handle();
    ::SendMessageA(h, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
    ::SendMessageA(h, EM_SETTARGETDEVICE, 0, wordWrap_ ? 0 : 1);
    ::SendMessageA(h, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    for (size_t i = 0; i < lines_.size(); ++i) AppendToWindow(lines_[i], i == 0);
}

void RichEdit::AppendToWindow(const Line& line, bool first) {
    HWND h = HandleIfAllocated();
    if (!h) return;
    CHARRANGE end{-1, -1};
    ::SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    const Color c = line.color == clDefault ? GetFont().color : line.color;
    cf.crTextColor = ColorToRGB(c);
    ::SendMessageA(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    const std::string text = first ? line.text : "\r\n" + line.text;
    // EM_REPLACESEL works on read-only controls too; it is how logs append.
    ::SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    ::SendMessageA(h, EM_SCROLLCARET, 0, 0);
}

void RichEdit::AddLine(const std::string& text) {
    lines_.push_back(Line{text, textColor_});
    AppendToWindow(lines_.back(), lines_.size() == 1);
}

void RichEdit::Clear() {
    lines_.clear();
    if (HWND h = HandleIfAllocated()) ::SetWindowTextA(h, "");
}

void RichEdit::SetLines(const std::vector<std::string>& lines) {
    Clear();
    for (const auto& l : lines) AddLine(l);
}

std::vector<std::string> RichEdit::LineTexts() const {
    std::vector<std::string> out;
    out.reserve(lines_.size());
    for (const auto& l : lines_) out.push_back(l.text);
    return out;
}

void RichEdit::SetReadOnly(bool on) {
    readOnly_ = on;
    if (HWND h = HandleIfAllocated()) ::SendMessageA(h, EM_SETREADONLY, on ? TRUE : FALSE, 0);
}

void RichEdit::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    if (HandleAllocated()) RecreateWnd();
}

void RichEdit::SetScrollBars(RichScrollBars s) {
    if (s == scrollBars_) return;
    scrollBars_ = s;
    if (HandleAllocated()) RecreateWnd();
}

void RichEdit::SetBorderStyle(BorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    if (HandleAllocated()) RecreateWnd();
}

void RichEdit::ColorChanged() {
    WinControl::ColorChanged();
    if (HWND h = HandleIfAllocated())
        ::SendMessageA(h, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
}

void RichEdit::FontChanged() {
    // WM_SETFONT resets the colours of the whole text; rebuild it.
    WinControl::FontChanged();
    if (HWND h = HandleIfAllocated()) {
        ::SetWindowTextA(h, "");
        for (size_t i = 0; i < lines_.size(); ++i) AppendToWindow(lines_[i], i == 0);
    }
}

int RichEdit::LineStart(int index) {
    HWND h = HandleIfAllocated();
    return h ? static_cast<int>(::SendMessageA(h, EM_LINEINDEX, static_cast<WPARAM>(index), 0)) : -1;
}

Color RichEdit::ColorAt(int charIndex) {
    HWND h = HandleIfAllocated();
    if (!h || charIndex < 0) return clNone;
    CHARRANGE saved{};
    ::SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    CHARRANGE one{charIndex, charIndex + 1};
    ::SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    ::SendMessageA(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    ::SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return static_cast<Color>(cf.crTextColor & 0xFFFFFF);
}

LRESULT RichEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    // Read back as the user edited it: the stored lines follow the window.
    case CN_COMMAND: return 0;
    }
    return WinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Registration

namespace {

const IdentTable kPanelBevelIdents = {{"pbNone", pbNone}, {"pbLowered", pbLowered}, {"pbRaised", pbRaised}};
const IdentTable kPanelStyleIdents = {{"psText", psText}, {"psOwnerDraw", psOwnerDraw}};
const IdentTable kAlignmentIdents = {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify},
                                     {"taCenter", taCenter}};
const IdentTable kRichScrollIdents = {{"ssNone", rsNone}, {"ssHorizontal", rsHorizontal}, {"ssVertical", rsVertical},
                                      {"ssBoth", rsBoth}};
const IdentTable kBorderIdents = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};

const ClassRegistration<StatusPanel> kStatusPanelReg("TStatusPanel", "", [](ClassBuilder<StatusPanel>& c) {
    c.Property("Text", &StatusPanel::Text, &StatusPanel::SetText)
        .Property("Width", &StatusPanel::Width, &StatusPanel::SetWidth)
        .Property("Alignment", &StatusPanel::GetAlignment, &StatusPanel::SetAlignment, &kAlignmentIdents)
        .Property("Bevel", &StatusPanel::Bevel, &StatusPanel::SetBevel, &kPanelBevelIdents)
        .Property("Style", &StatusPanel::Style, &StatusPanel::SetStyle, &kPanelStyleIdents);
});

const ClassRegistration<StatusBar> kStatusBarReg("TStatusBar", "TWinControl", [](ClassBuilder<StatusBar>& c) {
    c.Collection("Panels", &StatusBar::Panels)
        .Property("SimplePanel", &StatusBar::SimplePanel, &StatusBar::SetSimplePanel)
        .Property("SimpleText", &StatusBar::SimpleText, &StatusBar::SetSimpleText)
        .Property("SizeGrip", &StatusBar::SizeGrip, &StatusBar::SetSizeGrip)
        .Event("OnDrawPanel", &StatusBar::OnDrawPanel);
});

const ClassRegistration<ProgressBar> kProgressBarReg("TProgressBar", "TWinControl", [](ClassBuilder<ProgressBar>& c) {
    c.Property("Min", &ProgressBar::Min, &ProgressBar::SetMin)
        .Property("Max", &ProgressBar::Max, &ProgressBar::SetMax)
        .Property("Position", &ProgressBar::Position, &ProgressBar::SetPosition)
        .Property("Step", &ProgressBar::Step, &ProgressBar::SetStep)
        .Property("Smooth", &ProgressBar::Smooth, &ProgressBar::SetSmooth)
        .Custom("Orientation", [](ProgressBar& p, const Value& v, ReadContext&) {
            p.SetVertical(v.kind == Value::Kind::Ident && SameText(v.text, "pbVertical"));
        });
});

const ClassRegistration<RichEdit> kRichEditReg("TRichEdit", "TWinControl", [](ClassBuilder<RichEdit>& c) {
    c.Property("ReadOnly", &RichEdit::ReadOnly, &RichEdit::SetReadOnly)
        .Property("WordWrap", &RichEdit::WordWrap, &RichEdit::SetWordWrap)
        .Property("ScrollBars", &RichEdit::ScrollBars, &RichEdit::SetScrollBars, &kRichScrollIdents)
        .Property("BorderStyle", &RichEdit::GetBorderStyle, &RichEdit::SetBorderStyle, &kBorderIdents)
        .Property("Lines.Strings", &RichEdit::LineTexts, &RichEdit::SetLines)
        .Property("Lines", &RichEdit::LineTexts, &RichEdit::SetLines)
        .Custom("PlainText", [](RichEdit&, const Value&, ReadContext&) {});
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitComCtrls = 1;
}  // namespace tk
