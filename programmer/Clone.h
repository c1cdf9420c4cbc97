// Clone: the Cloning Options dialog, which sets up the serial number that
// cloning writes into chosen bytes of the Flash and EEPROM images, and the
// serial-number arithmetic behind it and behind the clone loop of the main
// window (TMainForm::Action_CloneExecute, defined in Clone.cpp). The
// arithmetic is window-free and 64-bit throughout, so the clone count never
// overflows and no two clones within the maximum get the same number.
#pragma once

#include "toolkit/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tk {
class Panel;
class Label;
class CheckBox;
class Edit;
class BitBtn;
}  // namespace tk

class TMainForm;

// --- serial-number arithmetic -------------------------------------------------------
// Largest byte count of a serial number.
inline constexpr std::int64_t MaxSerialNumberBytes = 7;

// base to the power of exponent by repeated 64-bit multiplication (1 for an
// exponent of 0 or below).
std::int64_t SerialIntPower(std::int64_t base, std::int64_t exponent);

// How many distinct numbers a serial number of `byteCount` bytes (0..7) that
// starts at `startValue` (0 <= startValue < 256^byteCount) and grows by
// `increment` per clone can take before it no longer fits. Increment 0 gives
// 256^byteCount (every clone gets the same number); a negative increment
// counts down and stops before the number would fall below 0.
std::int64_t SerialCloneCount(std::int64_t byteCount, std::int64_t startValue, std::int64_t increment);

// The serial number of clone `cloneNumber` (from 1).
std::int64_t SerialNumberOf(std::int64_t startValue, std::int64_t increment, std::int64_t cloneNumber);

// Whether `value` can be written in `byteCount` bytes.
bool SerialNumberFits(std::int64_t value, std::int64_t byteCount);

// The bytes of `value` in buffer order: most significant first, or least
// significant first. High-order bytes beyond the value are 0.
std::vector<std::uint8_t> SerialNumberBytes(std::int64_t value, std::int64_t byteCount, bool msbFirst);

// Whether `byteCount` bytes from `startAddress` lie inside a buffer of
// `bufferLength` elements.
bool SerialRangeFits(std::int64_t startAddress, std::int64_t byteCount, std::int64_t bufferLength);

// --- the Cloning Options dialog ----------------------------------------------------
class TCloneForm : public tk::Form {
public:
    TCloneForm();
    ~TCloneForm() override;

    // Number kinds of ReadEditValue.
    enum class TValueKind { Hex, Dec };

    tk::Panel* Panel1 = nullptr;
    tk::CheckBox* FCheck = nullptr;
    tk::CheckBox* ECheck = nullptr;
    tk::Edit* EdFStartAdd = nullptr;
    tk::Edit* EdEStartAdd = nullptr;
    tk::Edit* EdFByte2Fill = nullptr;
    tk::Edit* EdEByte2Fill = nullptr;
    tk::Edit* EdFStartVal = nullptr;
    tk::Edit* EdEStartVal = nullptr;
    tk::Edit* EdFStep = nullptr;
    tk::Edit* EdEStep = nullptr;
    tk::Edit* FClones = nullptr;
    tk::Edit* EClones = nullptr;
    tk::CheckBox* CBFMsb = nullptr;
    tk::CheckBox* CBEMsb = nullptr;
    tk::BitBtn* BitBtn1 = nullptr;
    tk::BitBtn* BitBtn2 = nullptr;

    // Working values of the dialog, per memory.
    struct TSerialWork {
        std::int64_t StartAddress = 0;
        std::int64_t ByteCount = 0;
        std::int64_t StartValue = 0;
        std::int64_t Increment = 1;
        std::int64_t Max = 1;
    };
    const TSerialWork& FlashWork() const { return flash_; }
    const TSerialWork& EEpromWork() const { return eeprom_; }

    // The window whose clone options the dialog edits (the program's main
    // window unless another was given).
    TMainForm* Target() const;
    void SetTarget(TMainForm* target) { target_ = target; }

    // --- handlers ------------------------------------------------------------------
    void FormCreate(tk::Component* sender);
    void FCheckClick(tk::Component* sender);
    void ECheckClick(tk::Component* sender);
    void EdFStartAddChange(tk::Component* sender);
    void EdEStartAddChange(tk::Component* sender);
    void EdFByte2FillChange(tk::Component* sender);
    void EdEByte2FillChange(tk::Component* sender);
    void EdFStartValChange(tk::Component* sender);
    void EdEStartValChange(tk::Component* sender);
    void EdFStepChange(tk::Component* sender);
    void EdEStepChange(tk::Component* sender);
    void CBFMsbClick(tk::Component* sender);
    void CBEMsbClick(tk::Component* sender);
    void BitBtn1Click(tk::Component* sender);
    void BitBtn2Click(tk::Component* sender);

    // Reads an edit as "$"+text (Hex, unsigned 32-bit) or text (Dec, signed
    // 32-bit). A text that does not convert is reported, the edit reset to
    // "0" and false returned (the edit's change handler has then run again).
    bool ReadEditValue(tk::Edit& edit, TValueKind kind, std::int64_t& value);
    static std::int64_t IntPower(std::int64_t base, std::int64_t exponent) { return SerialIntPower(base, exponent); }
    void UpdateFlashClones();
    void UpdateEEpromClones();

private:
    // One memory's controls, working values and main-window fields.
    struct TMemory {
        TSerialWork* work;
        tk::CheckBox* check;
        tk::Edit* startAdd;
        tk::Edit* byte2Fill;
        tk::Edit* startVal;
        tk::Edit* step;
        tk::Edit* clones;
        tk::CheckBox* msb;
        bool flash;
    };
    TMemory Flash();
    TMemory EEprom();
    std::int64_t MemorySize(const TMemory& m) const;
    void CheckClick(const TMemory& m);
    void StartAddChange(const TMemory& m);
    void Byte2FillChange(const TMemory& m);
    void StartValChange(const TMemory& m);
    void StepChange(const TMemory& m);
    void UpdateClones(const TMemory& m);
    void CopyOptions(const TMemory& m);

    TSerialWork flash_;
    TSerialWork eeprom_;
    TMainForm* target_ = nullptr;
};

// The program's Cloning Options dialog, once created.
TCloneForm* CloneForm();
