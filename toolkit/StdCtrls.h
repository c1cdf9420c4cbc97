// StdCtrls: the standard controls. Label is windowless; Button, CheckBox and
// Edit are superclasses of the system's BUTTON and EDIT classes; GroupBox
// draws itself;
// BitBtn is an owner-drawn button with a glyph. Scripts set check boxes and
// edits from code and rely on their handlers running as a user's input would.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <string>

namespace tk {

class Label : public Control {
public:
    Label();

    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment a);
    TextLayout Layout() const { return layout_; }
    void SetLayout(TextLayout l);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool on);
    // Alt + the caption's accelerator focuses this control.
    WinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(WinControl* control);

    void Paint(Canvas& canvas) override;
    bool DialogChar(char key, ShiftState shift) override;
    void TextChanged() override;
    void FontChanged() override;
    void ActionChange(BasicAction& action, bool checkDefaults) override;

protected:
    void Notification(Component* component, Operation operation) override;
    void Loaded() override;

private:
    void AdjustBounds();
    UINT DrawFlags() const;

    Alignment alignment_ = taLeftJustify;
    TextLayout layout_ = tlTop;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    // Room before the text for ink that a first letter draws before its
    // origin (an autosized one-line label only).
    int textLead_ = 0;
    WinControl* focusControl_ = nullptr;
};

// A push button. Clicking sets the form's ModalResult (when nonzero) before
// OnClick runs; Enter clicks the Default button and Esc the Cancel one.
class Button : public WinControl, public DialogButton {
public:
    Button();

    bool IsDefault() const override { return default_; }
    void SetDefault(bool on);
    bool IsCancel() const override { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    ModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(ModalResult r) { modalResult_ = r; }

    void Click() override;
    bool DialogChar(char key, ShiftState shift) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ActionChange(BasicAction& action, bool checkDefaults) override;

protected:
    void CreateParams(WindowCreateParams& params) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    ModalResult modalResult_ = mrNone;
};

enum BitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum ButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A button with a picture beside its caption. The glyph may be a strip of up
// to four images (up, disabled, down, exclusive); its bottom-left pixel's
// colour is transparent. A Kind other than bkCustom supplies the caption,
// modal result, default/cancel role and a drawn glyph.
class BitBtn : public Button {
public:
    BitBtn();

    BitBtnKind Kind() const { return kind_; }
    void SetKind(BitBtnKind kind);
    Bitmap& Glyph() { return glyph_; }
    void SetGlyph(const Bitmap& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    ButtonLayout Layout() const { return layout_; }
    void SetLayout(ButtonLayout l);
    int Spacing() const { return spacing_; }
    void SetSpacing(int s);
    int Margin() const { return margin_; }
    void SetMargin(int m);

    // Draws the face as it looks in `state` onto canvas (client coordinates).
    void PaintFace(Canvas& canvas, bool pressed, bool focused);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    Bitmap& KindGlyph();

    BitBtnKind kind_ = bkCustom;
    std::string kindCaption_;  // the caption the kind gave, while it is the caption
    Bitmap glyph_;
    Bitmap kindGlyph_;
    int numGlyphs_ = 1;
    ButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int margin_ = -1;
};

enum CheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Setting Checked or State from code runs OnClick when the state changes,
// except while a description is being applied.
class CheckBox : public WinControl {
public:
    CheckBox();

    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool on) { SetState(on ? cbChecked : cbUnchecked); }
    CheckBoxState GetState() const { return state_; }
    void SetState(CheckBoxState state);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool on) { allowGrayed_ = on; }
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment a);
    // What a click does: unchecked -> checked (-> grayed) -> unchecked.
    void Toggle();
    // Its mnemonic focuses and toggles it.
    bool DialogChar(char key, ShiftState shift) override;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ActionChange(BasicAction& action, bool checkDefaults) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;

private:
    CheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    Alignment alignment_ = taRightJustify;
};

// One choice of a group: checking it unchecks the radio buttons beside it
// (same parent). OnClick runs when it becomes checked, from code too, except
// while a description is being applied.
class RadioButton : public WinControl {
public:
    RadioButton();
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    // Its mnemonic focuses and checks it.
    bool DialogChar(char key, ShiftState shift) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;

private:
    bool checked_ = false;
};

enum EditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A one-line edit. OnChange runs when the text really changes, whether typed
// or set from code, except while a description is being applied.
class Edit : public WinControl {
public:
    Edit();

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    EditCharCase CharCase() const { return charCase_; }
    void SetCharCase(EditCharCase c);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }
    BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(BorderStyle style);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on) { autoSize_ = on; }

    void SelectAll();
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int pos);
    void SetSelLength(int len);

    NotifyEvent OnChange;

    void TextChanged() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(WindowCreateParams& params) override;
    void CreateWnd() override;
    virtual void Change();

private:
    void CheckChanged();

    bool readOnly_ = false;
    int maxLength_ = 0;
    char passwordChar_ = 0;
    EditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    BorderStyle borderStyle_ = bsSingle;
    bool autoSize_ = true;
    std::wstring lastText_;
    int selStart_ = 0;
    int selLength_ = 0;
};

// A captioned frame that holds other controls. It paints itself, inside
// included, and the windowless controls on it (the system's group box
// paints neither, and its parent form clips it out).
class GroupBox : public CustomControl {
public:
    GroupBox();
    void AdjustClientRect(RECT& rect) override;
    void Paint(Canvas& canvas) override;
};

}  // namespace tk
