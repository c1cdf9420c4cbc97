// The string grid over a 128 KiB buffer, shaped like the Flash grid: it
// draws from a provider, paints only visible cells, scrolls, selects through
// OnSelectCell and edits through the real in-place EDIT.
#include "toolkit/Grids.h"

#include "controls_support.h"
#include "toolkit/TestSeams.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace tk;
using ctltest::Pump;

namespace {

std::string Hex2(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

class BufferGrid : public ::testing::Test {
protected:
    void SetUp() override {
        buffer.resize(128 * 1024);
        for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<int>((i * 7) & 0xFF);
        grid = host.Add<StringGrid>();
        grid->SetBounds(0, 0, 340, 200);
        grid->SetColCount(17);
        grid->SetDefaultColWidth(16);
        grid->SetDefaultRowHeight(16);
        grid->SetColWidths(0, 28);
        grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing | goTabs |
                         goAlwaysShowEditor | goThumbTracking);
        grid->SetRowCount(static_cast<int>(buffer.size() / 16) + 1);
        grid->SetCellProvider([this](int col, int row) {
            ++providerCalls;
            if (row == 0) return col == 0 ? std::string() : Hex2(col - 1);
            if (col == 0) return Hex2(row - 1);
            const size_t address = static_cast<size_t>(row - 1) * 16 + static_cast<size_t>(col - 1);
            return address < buffer.size() ? Hex2(buffer[address]) : std::string();
        });
        grid->OnSelectCell = [this](Component*, int col, int row, bool& canSelect) {
            selects.push_back({col, row});
            if (col == refuseCol) canSelect = false;
        };
        grid->OnGetEditText = [this](Component*, int col, int row, std::string& value) {
            gets.push_back({col, row});
            (void)value;
        };
        grid->OnSetEditText = [this](Component*, int col, int row, const std::string& value) {
            typed.push_back(value);
            const size_t address = static_cast<size_t>(row - 1) * 16 + static_cast<size_t>(col - 1);
            if (value.size() <= 2) buffer[address] = static_cast<int>(std::strtol(value.c_str(), nullptr, 16));
        };
        Pump();
    }

    void Key(HWND target, WORD key) {
        ::SendMessageA(target, WM_KEYDOWN, key, 0);
        ::SendMessageA(target, WM_KEYUP, key, 0);
    }

    ctltest::TestForm host;
    StringGrid* grid = nullptr;
    std::vector<int> buffer;
    int providerCalls = 0;
    int refuseCol = -1;
    std::vector<GridCoord> selects;
    std::vector<GridCoord> gets;
    std::vector<std::string> typed;
};

}  // namespace

TEST_F(BufferGrid, PaintsOnlyTheVisibleCellsFromTheProvider) {
    EXPECT_EQ(grid->RowCount(), 8193);
    EXPECT_EQ(grid->StoredCellCount(), 0u);
    providerCalls = 0;
    ctltest::PrintClient(grid->Handle());
    const int visibleCells = (grid->Model().LastVisibleRow() - grid->TopRow() + 2) * 17;
    EXPECT_GT(providerCalls, 0);
    EXPECT_LE(providerCalls, visibleCells);
    EXPECT_EQ(grid->Cells(3, 2), Hex2(buffer[16 + 2]));
}

TEST_F(BufferGrid, CurrentCellIsHighlightedAndCellTextReadsFromTheBuffer) {
    grid->SetOptions(grid->Options() & ~goAlwaysShowEditor);
    ASSERT_TRUE(grid->FocusCell(2, 1));
    Bitmap shot = ctltest::PrintClient(grid->Handle());
    RECT r = grid->CellRect(2, 1);
    // The cell's ground (outside the glyphs) is the highlight colour.
    EXPECT_EQ(ctltest::Px(shot, r.right - 1, r.bottom - 1), ctltest::Dib(clHighlight));
    RECT other = grid->CellRect(5, 3);
    EXPECT_EQ(ctltest::Px(shot, other.right - 1, other.bottom - 1), ctltest::Dib(grid->GetColor()));
    RECT header = grid->CellRect(5, 0);
    EXPECT_NE(ctltest::Px(shot, header.left + 3, header.bottom - 3), ctltest::Dib(grid->GetColor()));
}

TEST_F(BufferGrid, ScrollsByScrollBarWheelAndKeys) {
    HWND h = grid->Handle();
    const int page = grid->VisibleRowCount();
    ::SendMessageA(h, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(grid->TopRow(), 1 + page);
    ::SendMessageA(h, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid->TopRow(), grid->Model().MaxTopRow());
    SCROLLINFO si{sizeof si, SIF_ALL};
    ::GetScrollInfo(h, SB_VERT, &si);
    EXPECT_EQ(si.nPos + static_cast<int>(si.nPage) - 1, si.nMax);
    ::SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid->TopRow(), 1);
    ::SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
    EXPECT_EQ(grid->TopRow(), 7);

    grid->SetOptions(grid->Options() & ~goAlwaysShowEditor);
    Key(h, VK_NEXT);
    EXPECT_EQ(grid->Row(), 1 + page);
    FakeInput input;
    input.keysDown = {VK_CONTROL};
    Key(h, VK_END);
    EXPECT_EQ(grid->Col(), 16);
    EXPECT_EQ(grid->Row(), 8192);
    EXPECT_EQ(grid->TopRow(), grid->Model().MaxTopRow());
}

TEST_F(BufferGrid, SelectionGoesThroughOnSelectCellWhichMayRefuse) {
    grid->SetOptions(grid->Options() & ~goAlwaysShowEditor);
    HWND h = grid->Handle();
    RECT r = grid->CellRect(4, 3);
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 2));
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 3);
    ASSERT_FALSE(selects.empty());
    EXPECT_EQ(selects.back(), (GridCoord{4, 3}));

    refuseCol = 5;
    Key(h, VK_RIGHT);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(selects.back(), (GridCoord{5, 3}));
    // Clicks on the fixed header select nothing.
    const size_t before = selects.size();
    RECT head = grid->CellRect(8, 0);
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(head.left + 2, head.top + 2));
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(head.left + 2, head.top + 2));
    EXPECT_EQ(selects.size(), before);
}

TEST_F(BufferGrid, TypingIntoTheInPlaceEditorReportsEveryKeystroke) {
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetFocus();
    Pump();
    ASSERT_TRUE(grid->EditorMode());
    ASSERT_NE(grid->Editor(), nullptr);
    HWND edit = grid->Editor()->Handle();
    EXPECT_TRUE(::IsWindowVisible(edit));
    ASSERT_FALSE(gets.empty());
    EXPECT_EQ(gets.back(), (GridCoord{1, 1}));
    EXPECT_EQ(grid->Editor()->Text(), Hex2(buffer[0]));

    ::SendMessageA(edit, WM_CHAR, '1', 0);
    ::SendMessageA(edit, WM_CHAR, 'F', 0);
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0], "1");
    EXPECT_EQ(typed[1], "1F");
    EXPECT_EQ(buffer[0], 0x1F);
    EXPECT_EQ(grid->Cells(1, 1), "1F");

    // Down moves the editor to the next row and asks for that cell's text.
    Key(edit, VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(gets.back(), (GridCoord{1, 2}));
    EXPECT_EQ(grid->Editor()->Text(), Hex2(buffer[16]));
    RECT cell = grid->CellRect(1, 2);
    EXPECT_EQ(grid->Editor()->Top(), cell.top + 1);

    // A redraw from the buffer drops the typed texts.
    grid->SetCellProvider([](int, int) { return std::string("00"); });
    EXPECT_EQ(grid->StoredCellCount(), 0u);
}

TEST_F(BufferGrid, EscapeRestoresTheEditorsOriginalText) {
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetFocus();
    Pump();
    ASSERT_TRUE(grid->EditorMode());
    HWND edit = grid->Editor()->Handle();
    const std::string original = grid->Editor()->Text();
    ::SendMessageA(edit, WM_CHAR, '7', 0);
    Key(edit, VK_ESCAPE);
    EXPECT_EQ(grid->Editor()->Text(), original);
    EXPECT_EQ(typed.back(), original);
    // Turning editing off removes the editor.
    grid->SetOptions(grid->Options() & ~goEditing);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_FALSE(::IsWindowVisible(edit));
}

TEST_F(BufferGrid, ExplicitCellsOverrideTheProviderForSmallGrids) {
    StringGrid* small = host.Add<StringGrid>();
    small->SetColCount(3);
    small->SetRowCount(4);
    small->SetCells(1, 0, "Name");
    small->SetCells(2, 3, "Yes");
    EXPECT_EQ(small->Cells(1, 0), "Name");
    EXPECT_EQ(small->Cells(2, 3), "Yes");
    EXPECT_EQ(small->Cells(0, 2), "");
    EXPECT_EQ(small->StoredCellCount(), 2u);
    int draws = 0;
    small->OnDrawCell = [&](Component*, int, int, RECT, GridDrawStates) { ++draws; };
    ctltest::PrintClient(small->Handle());
    EXPECT_EQ(draws, 12);
}

TEST_F(BufferGrid, ATextWiderThanItsCellShowsCutNotShortened) {
    buffer[0x12] = 0xCC;
    auto ink = [](const Bitmap& shot, const RECT& r) {
        const std::uint32_t ground = ctltest::Px(shot, r.right - 1, r.bottom - 1);
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += ctltest::Px(shot, x, y) != ground;
        return n;
    };
    Bitmap alone = Bitmap::CreateDIB(60, 30);
    Canvas& c = alone.GetCanvas();
    c.font = grid->GetFont();
    const int letter = c.TextWidth("C");
    // Room for one letter and part of the second.
    grid->SetColWidths(3, letter + 3);
    ctltest::PrintClient(grid->Handle());
    const Bitmap shot = ctltest::PrintClient(grid->Handle());
    const RECT r = grid->CellRect(3, 2);
    // Both letters from the cell's edge, the second cut: not one letter alone.
    const RECT cell{0, 0, r.right - r.left, r.bottom - r.top};
    c.brush = Brush{grid->GetColor()};
    c.TextRect(cell, 0, 2, "CC");
    EXPECT_EQ(ink(shot, r), ink(alone, cell));
}
