// SpecialBits: the special-bits dialog, which shows one category of a
// device's special bits (fuse or lock bits, say) as "Yes" / "No" rows and
// lets the user flip them with a check box laid over the cell, and the
// copying of the bit names the plug-in hands over. The main window's
// ProgramSpecialBits and EditSpecialBits are defined in SpecialBits.cpp.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Grids.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk {
class Label;
class BitBtn;
class CheckBox;
}  // namespace tk

// Slots the application offers a plug-in for the bit names of a category.
inline constexpr std::int32_t SpecialBitNameSlots = 10000;
// Longest bit name kept; longer ones are cut.
inline constexpr std::size_t SpecialBitNameMaxLength = 255;

// The names a plug-in left in `slots` for `count` bits, copied at once.
// The count is taken as 0..slots.size() whatever the plug-in reported, and
// an empty slot reads as an empty name. A name that cannot be read raises
// EPlugInFault naming `plugIn` and `function`.
std::vector<std::string> CopySpecialBitNames(std::int32_t count, const std::vector<const char*>& slots,
                                             std::string_view plugIn = {}, std::string_view function = {});

class TSBForm : public tk::Form {
public:
    TSBForm();
    ~TSBForm() override;

    tk::Label* Label1 = nullptr;
    tk::StringGrid* SpecBitsGrid = nullptr;
    tk::Label* Label2 = nullptr;
    tk::Label* Label3 = nullptr;
    tk::BitBtn* BitBtn1 = nullptr;
    tk::BitBtn* BitBtn2 = nullptr;
    tk::CheckBox* ProgYN = nullptr;

    void SpecBitsGridSelectCell(tk::Component* sender, int col, int row, bool& canSelect);
    void SpecBitsGridDrawCell(tk::Component* sender, int col, int row, RECT rect, tk::GridDrawStates state);
    void ProgYNClick(tk::Component* sender);

    // Rebuilds the dialog for one category: caption, heading, header row and
    // one row per bit ("Yes" for a set bit).
    void Fill(const std::string& categoryName, const std::string& deviceName, const std::vector<std::string>& names,
              const std::vector<std::uint8_t>& bits);
    // Bit i as the grid now shows it: 1 for "Yes".
    std::uint8_t BitFromGrid(int index) const;

    // Row of the last selected cell.
    int SelectedRow() const { return selectedRow_; }

private:
    int selectedRow_ = 1;
    RECT coveredCell_{};  // grid client coordinates of the cell under ProgYN
};

// The program's special-bits dialog, once created.
TSBForm* SBForm();
