// MessageDialogs: message boxes of our own, built in code on a Form; texts
// come from the string table so that a language module translates them.
#include "toolkit/MessageDialogs.h"

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/Resources.h"
#include "toolkit/ToolkitStrings.h"
#include "toolkit/WideText.h"

#include <algorithm>
#include <vector>

namespace tk {

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 420;
// Space the title bar leaves before the caption and after it.
constexpr int kCaptionPadding = 6;
// A word longer than a line is broken where the line ends.
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

// The text with CR LF line ends, as a multi-line edit wants them.
std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
        out += text[i];
        if (text[i] == L'\r' && (i + 1 == text.size() || text[i + 1] != L'\n')) out += L'\n';
    }
    return out;
}

// The letter after the first single '&' of a button text, 0 when none.
wchar_t MnemonicOf(const std::string& caption) {
    const std::wstring text = Wide(caption);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return text[i + 1];
        ++i;
    }
    return 0;
}

bool SameLetter(wchar_t a, wchar_t b) {
    wchar_t pair[2] = {a, b};
    ::CharUpperBuffW(pair, 2);
    return pair[0] == pair[1];
}

struct ButtonSpec {
    ModalResult result;
    UINT textId;
};

std::vector<ButtonSpec> ButtonsOf(MsgDlgButtons buttons) {
    switch (buttons) {
    case mbOKCancel: return {{mrOk, SMsgDlgOK}, {mrCancel, SMsgDlgCancel}};
    case mbYesNo: return {{mrYes, SMsgDlgYes}, {mrNo, SMsgDlgNo}};
    case mbYesNoCancel: return {{mrYes, SMsgDlgYes}, {mrNo, SMsgDlgNo}, {mrCancel, SMsgDlgCancel}};
    default: return {{mrOk, SMsgDlgOK}};
    }
}

// Esc and the close box give the Cancel button, else No, else OK.
ModalResult CancelResultOf(MsgDlgButtons buttons) {
    switch (buttons) {
    case mbOKCancel:
    case mbYesNoCancel: return mrCancel;
    case mbYesNo: return mrNo;
    default: return mrOk;
    }
}

LPCSTR IconOf(MsgDlgType type) {
    switch (type) {
    case mtWarning: return IDI_EXCLAMATION;
    case mtError: return IDI_HAND;
    case mtInformation: return IDI_ASTERISK;
    case mtConfirmation: return IDI_QUESTION;
    default: return nullptr;
    }
}

// The dialog: icon and text painted by the form, real push buttons whose
// control ids are their modal results.
class MessageForm : public Form {
public:
    explicit MessageForm(const MessageRequest& request) : request_(request) {
        SetBorderStyle(bsDialog);
        SetBorderIcons(biSystemMenu);
        SetPosition(poScreenCenter);
        SetFormStyle(fsStayOnTop);
        SetText(request.caption);
        if (LPCSTR icon = IconOf(request.type)) icon_ = ::LoadIconA(nullptr, icon);
        Layout();
    }

protected:
    void CreateWnd() override {
        Form::CreateWnd();
        if (scrolls_) {
            // Made before the buttons, so that they lie above it.
            textBox_ = ::CreateWindowExW(0, L"EDIT", WithCrLf(Wide(request_.text)).c_str(),
                                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                         textRect_.left, textRect_.top, textRect_.right - textRect_.left,
                                         textRect_.bottom - textRect_.top, HandleIfAllocated(), nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
            ::SendMessageW(textBox_, WM_SETFONT, reinterpret_cast<WPARAM>(FontObject()), FALSE);
            ::SendMessageW(textBox_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        }
        const std::vector<ButtonSpec> specs = ButtonsOf(request_.buttons);
        const int count = static_cast<int>(specs.size());
        const int total = count * kButtonWidth + (count - 1) * kButtonGap;
        int x = (ClientWidth() - total) / 2;
        const int y = ClientHeight() - kMargin - kButtonHeight;
        for (int i = 0; i < count; ++i) {
            DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            const ButtonSpec& spec = specs[static_cast<std::size_t>(i)];
            const std::string caption = LoadStr(spec.textId);
            HWND button = ::CreateWindowExW(0, L"BUTTON", Wide(caption).c_str(), style, x, y, kButtonWidth,
                                            kButtonHeight, HandleIfAllocated(),
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.result)),
                                            ::GetModuleHandleA(nullptr), nullptr);
            ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(FontObject()), FALSE);
            if (const wchar_t mnemonic = MnemonicOf(caption)) mnemonics_.push_back({mnemonic, spec.result});
            if (i == 0) first_ = button;
            x += kButtonWidth + kButtonGap;
        }
    }

    void PaintWindow(HDC dc) override {
        if (icon_) ::DrawIcon(dc, kMargin, kMargin, icon_);
        if (scrolls_) return;
        SelectGuard font(dc, FontObject());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ColorToRGB(clWindowText));
        RECT r = textRect_;
        const std::wstring text = Wide(request_.text);
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat);
    }

    // A button's underlined letter presses it, alone or with Alt, as in the
    // system's own message boxes.
    bool IsShortCut(WORD key, ShiftState shift) override {
        const UINT typed = (shift & ssCtrl) ? 0 : ::MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
        for (const auto& [mnemonic, result] : mnemonics_) {
            if (typed != 0 && SameLetter(mnemonic, static_cast<wchar_t>(typed))) {
                SetModalResult(result);
                return true;
            }
        }
        return Form::IsShortCut(key, shift);
    }

    bool DialogKey(WORD key, ShiftState shift) override {
        if (shift & (ssAlt | ssCtrl)) return false;
        if (key == VK_ESCAPE) {
            SetModalResult(CancelResultOf(request_.buttons));
            return true;
        }
        if (key == VK_RETURN) {
            HWND focus = ::GetFocus();
            if (!focus || ::GetParent(focus) != HandleIfAllocated()) focus = first_;
            SetModalResult(static_cast<ModalResult>(::GetDlgCtrlID(focus)));
            return true;
        }
        if (key == VK_TAB) {
            HWND next = ::GetNextDlgTabItem(HandleIfAllocated(), ::GetFocus(), (shift & ssShift) != 0);
            if (next) ::SetFocus(next);
            return true;
        }
        return false;
    }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_COMMAND:
            if (lParam && HIWORD(wParam) == BN_CLICKED) {
                SetModalResult(static_cast<ModalResult>(LOWORD(wParam)));
                return 0;
            }
            break;
        case WM_CLOSE: SetModalResult(CancelResultOf(request_.buttons)); return 0;
        case WM_SHOWWINDOW:
            if (wParam && first_) ::PostMessageA(HandleIfAllocated(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first_), TRUE);
            break;
        case WM_NEXTDLGCTL:
            if (lParam) ::SetFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            // The wheel turned over a button (which has the focus) scrolls
            // the text.
            if (textBox_) return ::SendMessageW(textBox_, msg, wParam, lParam);
            break;
        default: break;
        }
        return Form::WndProc(msg, wParam, lParam);
    }

private:
    // Size from the text, wrapped at a readable width; never larger than
    // the work area: a text that does not fit in its height scrolls in a
    // read-only field.
    void Layout() {
        const RECT area = TheScreen().WorkArea();
        const int areaWidth = area.right - area.left;
        const int areaHeight = area.bottom - area.top;
        // The frame and caption around the client area.
        SetClientSize(100, 100);
        const int frameWidth = Width() - ClientWidth();
        const int frameHeight = Height() - ClientHeight();

        const int textLeft = icon_ ? kMargin + kIconSize + kMargin : kMargin;
        const int scrollBar = ::GetSystemMetrics(SM_CXVSCROLL);
        const int widest = areaWidth - frameWidth - textLeft - kMargin - kInkOverhang - scrollBar;
        RECT r{0, 0, std::max(1, std::min(kMaxTextWidth, widest)), 0};
        {
            // Measured with the font and the format it is painted with.
            WindowDC screen(nullptr);
            SelectGuard font(screen.Get(), FontObject());
            const std::wstring text = Wide(request_.text);
            ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
        }
        r.right = std::min<LONG>(r.right, r.left + std::max(1, widest)) + kInkOverhang;
        const int textWidth = r.right - r.left;
        const int chrome = kMargin + kMargin + kButtonHeight + kMargin;
        const int tallest = std::max(kButtonHeight, areaHeight - frameHeight - chrome);
        int textHeight = r.bottom - r.top;
        scrolls_ = textHeight > tallest;
        const int shownWidth = scrolls_ ? textWidth + scrollBar : textWidth;
        if (scrolls_) textHeight = tallest;
        const int boxHeight = std::max(textHeight, icon_ ? kIconSize : 0);
        const int count = static_cast<int>(ButtonsOf(request_.buttons).size());
        const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
        const int width = std::max(textLeft + shownWidth + kMargin, buttonsWidth + 2 * kMargin);
        const int height = boxHeight + chrome;
        textRect_ = RECT{textLeft, kMargin, textLeft + shownWidth, kMargin + textHeight};
        if (icon_ && textHeight < kIconSize) ::OffsetRect(&textRect_, 0, (kIconSize - textHeight) / 2);
        SetClientSize(width, height);
        // Wide enough for the caption too, as the system's own boxes are,
        // but never wider than the screen.
        const int captionWidth = std::min<int>(CaptionWidth(), areaWidth);
        if (Width() < captionWidth) SetBounds(Left(), Top(), captionWidth, Height());
    }

    // Window width that shows the whole caption beside the close box.
    int CaptionWidth() const {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return 0;
        FontHandle font(::CreateFontIndirectW(&metrics.lfCaptionFont));
        WindowDC screen(nullptr);
        SIZE size{};
        {
            SelectGuard selected(screen.Get(), font.Get());
            const std::wstring caption = Wide(request_.caption);
            ::GetTextExtentPoint32W(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &size);
        }
        const int closeBox = metrics.iCaptionWidth + 2;
        const int frame = 2 * (::GetSystemMetrics(SM_CXFIXEDFRAME) + ::GetSystemMetrics(SM_CXEDGE));
        return size.cx + closeBox + frame + 2 * kCaptionPadding;
    }

    struct Mnemonic {
        wchar_t letter;
        ModalResult result;
    };

    MessageRequest request_;
    std::vector<Mnemonic> mnemonics_;
    HICON icon_ = nullptr;
    HWND first_ = nullptr;
    RECT textRect_{};
    // The text is taller than the screen allows: it scrolls in textBox_.
    bool scrolls_ = false;
    HWND textBox_ = nullptr;
};

const ClassRegistration<MessageForm> g_messageFormClass("TMessageForm", "TForm");

}  // namespace

Seam<MessageService>& MessageSeam() {
    static DialogMessageService real;
    static Seam<MessageService> seam(real);
    return seam;
}

ModalResult DialogMessageService::Show(const MessageRequest& request) {
    MessageForm form(request);
    return form.ShowModal();
}

std::string MessageCaption(MsgDlgType type) {
    switch (type) {
    case mtWarning: return LoadStr(SMsgDlgWarning);
    case mtError: return LoadStr(SMsgDlgError);
    case mtInformation: return LoadStr(SMsgDlgInformation);
    case mtConfirmation: return LoadStr(SMsgDlgConfirm);
    default: return App().Title();
    }
}

ModalResult MessageBoxWithCaption(const std::string& text, const std::string& caption, MsgDlgType type,
                                  MsgDlgButtons buttons) {
    MessageRequest request;
    request.text = text;
    request.caption = caption;
    request.type = type;
    request.buttons = buttons;
    return MessageSeam()->Show(request);
}

ModalResult MessageDlg(const std::string& text, MsgDlgType type, MsgDlgButtons buttons) {
    return MessageBoxWithCaption(text, MessageCaption(type), type, buttons);
}

void ShowMessage(const std::string& text) { MessageBoxWithCaption(text, App().Title(), mtCustom, mbOK); }

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitMessageDialogs = 1;
}  // namespace tk
