// FillBuffers: the "Fill Buffer" dialog, which holds one range and one value
// per memory, and the fill of a buffer range from those texts. The main
// window's fill command (TMainForm::Action_FillBufferExecute, defined in
// FillBuffers.cpp) shows the dialog, or in command mode uses the state that
// a script gave its controls. The range arithmetic is window-free.
#pragma once

#include "toolkit/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tk {
class CheckBox;
class Edit;
class Label;
class Button;
class GroupBox;
}  // namespace tk

// --- the fill of one buffer ----------------------------------------------------------
// One memory's part of a fill, as the dialog's controls hold it: three
// hexadecimal texts without the "$", and "Fill All Buffer".
struct TFillRequest {
    bool WholeBuffer = false;
    std::string StartText;
    std::string EndText;
    std::string ValueText;
};

enum class TFillResult {
    Filled,            // the range is stored (an end below the start stores nothing)
    Skipped,           // all three texts empty: nothing to do
    NotAHexNumber,     // BadText did not convert
    StartTooHigh,      // the start lies past the buffer's highest index
    EndTooHigh,        // the end lies past the buffer's highest index
};

struct TFillOutcome {
    TFillResult Result = TFillResult::Filled;
    // The text that did not convert, with its "$" ("$-1", or just "$").
    std::string BadText;
};

// Stores the value's low byte into the range. Numbers are the texts behind
// a "$", read as 32-bit numbers compared unsigned; they are read in the
// order start, end, value, and the first fault stops the fill before
// anything is stored.
TFillOutcome FillBufferRange(std::vector<std::int32_t>& buffer, const TFillRequest& request);

// --- the dialog ----------------------------------------------------------------------
class TFillForm : public tk::Form {
public:
    TFillForm();
    ~TFillForm() override;

    tk::GroupBox* GroupFlash = nullptr;
    tk::CheckBox* FB1 = nullptr;
    tk::Edit* EdtFStartAdd = nullptr;
    tk::CheckBox* CB2 = nullptr;
    tk::Edit* EdtFEndAdd = nullptr;
    tk::Edit* EdtFFillValue = nullptr;
    tk::Label* LblFStartAdd = nullptr;
    tk::Label* LblFEndAdd = nullptr;
    tk::Label* LblFFillValue = nullptr;
    tk::Label* LblFHex = nullptr;

    tk::GroupBox* GroupEEprom = nullptr;
    tk::CheckBox* FB2 = nullptr;
    tk::Edit* EdtEStartAdd = nullptr;
    tk::CheckBox* CB1 = nullptr;
    tk::Edit* EdtEEndAdd = nullptr;
    tk::Edit* EdtEFillValue = nullptr;
    tk::Label* LblEStartAdd = nullptr;
    tk::Label* LblEEndAdd = nullptr;
    tk::Label* LblEFillValue = nullptr;
    tk::Label* LblEHex = nullptr;

    tk::Button* BtnOK = nullptr;
    tk::Button* BtnCancel = nullptr;

    void CB2Click(tk::Component* sender);
    void CB1Click(tk::Component* sender);
    void FB1Click(tk::Component* sender);
    void FB2Click(tk::Component* sender);

    // The controls as a fill request.
    TFillRequest FlashRequest() const;
    TFillRequest EEpromRequest() const;

    // Before each fill: a memory the device lacks greys its box and edits
    // and says so; the check marks stay as they are.
    void PrepareFor(bool flashEnabled, bool eepromEnabled);
};

// The program's Fill Buffer dialog, once created.
TFillForm* FillForm();
