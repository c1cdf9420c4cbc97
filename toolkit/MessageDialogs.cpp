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
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

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
        default: break;
        }
        return Form::WndProc(msg, wParam, lParam);
    }

private:
    // Size from the text, wrapped at a readable width.
    void Layout() {
        RECT r{0, 0, kMaxTextWidth, 0};
        {
            // Measured with the font and the format it is painted with.
            WindowDC screen(nullptr);
            SelectGuard font(screen.Get(), FontObject());
            const std::wstring text = Wide(request_.text);
            ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
        }
        const int textLeft = icon_ ? kMargin + kIconSize + kMargin : kMargin;
        const int textHeight = std::max<int>(r.bottom - r.top, icon_ ? kIconSize : 0);
        const int count = static_cast<int>(ButtonsOf(request_.buttons).size());
        const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
        r.right += kInkOverhang;
        const int width = std::max<int>(textLeft + (r.right - r.left) + kMargin, buttonsWidth + 2 * kMargin);
        const int height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
        textRect_ = RECT{textLeft, kMargin, textLeft + (r.right - r.left), kMargin + (r.bottom - r.top)};
        if (icon_ && r.bottom - r.top < kIconSize) ::OffsetRect(&textRect_, 0, (kIconSize - (r.bottom - r.top)) / 2);
        SetClientSize(width, height);
        // Wide enough for the caption too, as the system's own boxes are,
        // but never wider than the screen.
        RECT area = TheScreen().WorkArea();
        const int captionWidth = std::min<int>(CaptionWidth(), area.right - area.left);
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
