// SpecialBits: the special-bits dialog with its Yes/No check box, the copy
// of the plug-in's bit names, and the main window's special-bits command.
#include "programmer/SpecialBits.h"

#include "programmer/Main.h"
#include "resources/StringIds.h"
#include "toolbars/BarButtons.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

#include <algorithm>

namespace {

const tk::ClassRegistration<TSBForm> kSBFormReg("TSBForm", "TForm");

TSBForm* g_sbForm = nullptr;

constexpr int kProgrammedColumn = 2;

}  // namespace

std::vector<std::string> CopySpecialBitNames(std::int32_t count, const std::vector<const char*>& slots,
                                             std::string_view plugIn, std::string_view function)
{
    const std::int64_t n = std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(slots.size()));
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i)
        names.push_back(CopyPlugInText(plugIn, function, slots[static_cast<std::size_t>(i)]));
    return names;
}

// --- the dialog -------------------------------------------------------------------------

TSBForm* SBForm() { return g_sbForm; }

TSBForm::TSBForm()
{
    if (!g_sbForm)
        g_sbForm = this;

    BindHandler("SpecBitsGridSelectCell", &TSBForm::SpecBitsGridSelectCell);
    BindHandler("SpecBitsGridDrawCell", &TSBForm::SpecBitsGridDrawCell);
    BindHandler("ProgYNClick", &TSBForm::ProgYNClick);

    BindField("Label1", Label1);
    BindField("SpecBitsGrid", SpecBitsGrid);
    BindField("Label2", Label2);
    BindField("Label3", Label3);
    BindField("BitBtn1", BitBtn1);
    BindField("BitBtn2", BitBtn2);
    BindField("ProgYN", ProgYN);

    ReadDescription();
}

TSBForm::~TSBForm()
{
    if (g_sbForm == this)
        g_sbForm = nullptr;
}

void TSBForm::SpecBitsGridSelectCell(tk::Component*, int col, int row, bool& canSelect)
{
    selectedRow_ = row;
    if (col != kProgrammedColumn) {
        ProgYN->Hide();
        canSelect = true;
        return;
    }
    // The box covers the cell and its grid lines; the grid's own selection stays.
    const int line = SpecBitsGrid->GridLineWidth();
    const RECT cell = SpecBitsGrid->CellRect(col, row);
    coveredCell_ = cell;
    const POINT origin = ScreenToClient(SpecBitsGrid->ClientToScreen(POINT{cell.left, cell.top}));
    ProgYN->SetBounds(origin.x - line, origin.y - line, cell.right - cell.left + 2 * line,
                      cell.bottom - cell.top + 2 * line);
    const bool yes = SpecBitsGrid->Cells(col, row) == tk::LoadStr(S_SB_YES);
    ProgYN->SetChecked(yes);
    ProgYN->SetCaption(tk::LoadStr(yes ? S_SB_BOX_PROGRAMMED : S_SB_BOX_UNPROGRAMMED));
    BringChildToFront(ProgYN);
    ProgYN->Show();
    canSelect = false;
}

void TSBForm::SpecBitsGridDrawCell(tk::Component*, int col, int row, RECT, tk::GridDrawStates)
{
    if (!ProgYN->Visible())
        return;
    // The box goes as soon as the place under it is drawn again (its cell's
    // text changed, the grid scrolled); cells elsewhere leave it in place.
    const RECT drawn = SpecBitsGrid->CellRect(col, row);
    RECT overlap{};
    if (::IntersectRect(&overlap, &drawn, &coveredCell_))
        ProgYN->Hide();
}

void TSBForm::ProgYNClick(tk::Component*)
{
    const bool yes = ProgYN->Checked();
    ProgYN->SetCaption(tk::LoadStr(yes ? S_SB_BOX_PROGRAMMED : S_SB_BOX_UNPROGRAMMED));
    const std::string text = tk::LoadStr(yes ? S_SB_YES : S_SB_NO);
    // Placing the box sets its check mark to what the cell already says;
    // rewriting the same text would only repaint the cell and hide the box.
    if (SpecBitsGrid->Cells(kProgrammedColumn, selectedRow_) != text)
        SpecBitsGrid->SetCells(kProgrammedColumn, selectedRow_, text);
}

void TSBForm::Fill(const std::string& categoryName, const std::string& deviceName,
                   const std::vector<std::string>& names, const std::vector<std::uint8_t>& bits)
{
    ProgYN->Hide();
    SetCaption(categoryName);
    Label1->SetCaption(tk::FmtLoadStr(S_SB_READ_CATEGORY_FOR_DEVICE, {categoryName, deviceName}));
    tk::StringGrid& grid = *SpecBitsGrid;
    grid.ClearCells();
    // A grid keeps one row below its header even when there are no bits.
    grid.SetRowCount(std::max<int>(static_cast<int>(names.size()) + 1, 2));
    grid.SetCells(0, 0, tk::LoadStr(S_SB_HEADER_BIT_NUMBER));
    grid.SetCells(1, 0, tk::LoadStr(S_SB_HEADER_NAME));
    grid.SetCells(2, 0, tk::LoadStr(S_SB_HEADER_PROGRAMMED));
    const std::string yes = tk::LoadStr(S_SB_YES);
    const std::string no = tk::LoadStr(S_SB_NO);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid.SetCells(0, row, tk::IntToStr(row));
        grid.SetCells(1, row, names[i]);
        grid.SetCells(2, row, i < bits.size() && bits[i] != 0 ? yes : no);
    }
}

std::uint8_t TSBForm::BitFromGrid(int index) const
{
    return SpecBitsGrid->Cells(kProgrammedColumn, index + 1) == tk::LoadStr(S_SB_YES) ? 1 : 0;
}

// --- the main window's special-bits command --------------------------------------------

namespace {

TSBForm& EnsureSBForm()
{
    if (TSBForm* form = SBForm())
        return *form;
    return *tk::Create<TSBForm>(tk::App());
}

struct TCategoryFunctions {
    ReadSpecialBitsNamesProc names = nullptr;
    ReadSpecialBitsProc read = nullptr;
    WriteSpecialBitsProc write = nullptr;
    PlugInFunctionIndex namesIndex = pfReadSpecialBits1Names;
    PlugInFunctionIndex readIndex = pfReadSpecialBits1;
    PlugInFunctionIndex writeIndex = pfWriteSpecialBits1;
};

TCategoryFunctions FunctionsOf(const TPlugInEntryPoints& p, int category)
{
    switch (category) {
    case 1:
        return {p.ReadSpecialBits1Names, p.ReadSpecialBits1, p.WriteSpecialBits1,
                pfReadSpecialBits1Names, pfReadSpecialBits1,  pfWriteSpecialBits1};
    case 2:
        return {p.ReadSpecialBits2Names, p.ReadSpecialBits2, p.WriteSpecialBits2,
                pfReadSpecialBits2Names, pfReadSpecialBits2,  pfWriteSpecialBits2};
    default:
        return {p.ReadSpecialBits3Names, p.ReadSpecialBits3, p.WriteSpecialBits3,
                pfReadSpecialBits3Names, pfReadSpecialBits3,  pfWriteSpecialBits3};
    }
}

// Power-up and programming enable with their messages; once powered, every
// way out switches the device off again.
bool PowerUpAndEnable(const TPlugInEntryPoints& plugIn, std::int32_t port, TDevicePower& power)
{
    if (!power.Up()) {
        tk::ShowMessage(tk::LoadStr(S_DEVICE_NOT_POWERED_UP));
        return false;
    }
    if (!PlugInCall(pfEnableProgramming, [&] { return plugIn.EnableProgramming(port); })) {
        tk::ShowMessage(tk::LoadStr(S_DEVICE_NOT_ENABLED));
        return false;
    }
    return true;
}

}  // namespace

void TMainForm::ProgramSpecialBits(tk::Component* sender)
{
    struct ReleaseAfter {
        TMainForm& form;
        ~ReleaseAfter()
        {
            if (form.FReleasePortLines)
                form.ReleasePortLines();
        }
    } releaseAfter{*this};
    EditSpecialBits(sender);
}

void TMainForm::EditSpecialBits(tk::Component* sender)
{
    TCommandResult result(*this);
    int category = 0;
    if (sender && (sender == BtSpecialBits1 || sender == MnuSpecialBits1))
        category = 1;
    else if (sender && (sender == BtSpecialBits2 || sender == MnuSpecialBits2))
        category = 2;
    else if (sender && (sender == BtSpecialBits3 || sender == MnuSpecialBits3))
        category = 3;
    if (category == 0)
        return;

    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!CheckProgrammer())
        return;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }

    const TPlugInEntryPoints& plugIn = unit.PlugIn;
    const TCategoryFunctions functions = FunctionsOf(plugIn, category);
    const std::int32_t port = FPortAddress;
    std::vector<std::string> names;
    {
        TDevicePower power(plugIn, port);
        if (!PowerUpAndEnable(plugIn, port, power))
            return;
        std::vector<const char*> slots(SpecialBitNameSlots, nullptr);
        std::int32_t count = 0;
        PlugInCall(functions.namesIndex, [&] { functions.names(&count, slots.data(), SpecialBitNameSlots - 1); });
        names = CopySpecialBitNames(count, slots, unit.PlugInFileName, PlugInDeviceFunctionNames[functions.namesIndex]);
        // Growing keeps the values already there (a script's list), new bits are 0.
        FSpecialBits.resize(names.size(), 0);
        if (!FCommandMode) {
            std::uint8_t none = 0;
            std::uint8_t* bits = FSpecialBits.empty() ? &none : FSpecialBits.data();
            const auto high = static_cast<std::int32_t>(FSpecialBits.size()) - 1;
            PlugInCall(functions.readIndex, [&] { functions.read(port, bits, high); });
            for (std::uint8_t& bit : FSpecialBits)
                bit = bit != 0 ? 1 : 0;
        }
        power.Off();
    }

    const bool allNamesEmpty =
        std::all_of(names.begin(), names.end(), [](const std::string& name) { return name.empty(); });
    const std::size_t index = static_cast<std::size_t>(category - 1);
    const std::string categoryName =
        index < unit.SpecialBitsCategoryNames.size() ? unit.SpecialBitsCategoryNames[index] : std::string();

    TSBForm& form = EnsureSBForm();
    form.Fill(categoryName, unit.DeviceName, names, FSpecialBits);
    if (!FCommandMode) {
        if (allNamesEmpty)
            return;
        if (form.ShowModal() != tk::mrOk) {
            tk::ShowMessage(tk::FmtLoadStr(S_SB_PROGRAMMING_CANCELED, {categoryName}));
            return;
        }
    }
    for (std::size_t i = 0; i < FSpecialBits.size(); ++i)
        FSpecialBits[i] = form.BitFromGrid(static_cast<int>(i));

    TDevicePower power(plugIn, port);
    if (!PowerUpAndEnable(plugIn, port, power))
        return;
    std::uint8_t none = 0;
    const std::uint8_t* bits = FSpecialBits.empty() ? &none : FSpecialBits.data();
    const auto high = static_cast<std::int32_t>(FSpecialBits.size()) - 1;
    PlugInCall(functions.writeIndex, [&] { functions.write(port, bits, high); });
    power.Off();
    result.Done();
}
