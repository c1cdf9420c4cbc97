// Grid model without a window: geometry, scrolling, clamping and navigation
// of grids shaped like the buffer grids (17 columns, 8193 rows) and the small
// dialog grids.
#include "toolkit/GridModel.h"

#include <gtest/gtest.h>

using namespace tk;

namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The Flash grid's shape over a 128 KiB buffer: one header row and one label
// column, 16-pixel rows, a 28-pixel label column and 17-pixel data columns.
GridModel BufferGrid(int rows = 8193) {
    GridModel m;
    m.SetColCount(17);
    m.SetRowCount(rows);
    m.SetFixedCols(1);
    m.SetFixedRows(1);
    m.SetDefaultColWidth(16);
    m.SetDefaultRowHeight(16);
    m.SetColWidth(0, 28);
    for (int c = 1; c <= 15; ++c) m.SetColWidth(c, 17);
    m.SetClientSize(320, 171);  // header + 9 whole rows + part of a 10th
    return m;
}

}  // namespace

TEST(GridModel, CellRectsFollowWidthsAndGridLines) {
    GridModel m = BufferGrid();
    EXPECT_EQ(m.FixedWidth(), 29);
    EXPECT_EQ(m.FixedHeight(), 17);
    RECT header = m.CellRect(0, 0);
    EXPECT_EQ(header.left, 0);
    EXPECT_EQ(header.right, 28);
    EXPECT_EQ(header.bottom, 16);
    RECT first = m.CellRect(1, 1);
    EXPECT_EQ(first.left, 29);
    EXPECT_EQ(first.top, 17);
    EXPECT_EQ(first.right, 46);
    RECT third = m.CellRect(3, 2);
    EXPECT_EQ(third.left, 29 + 2 * 18);
    EXPECT_EQ(third.top, 17 + 17);
}

TEST(GridModel, CellsOutOfViewHaveEmptyRects) {
    GridModel m = BufferGrid();
    EXPECT_TRUE(Empty(m.CellRect(1, 5000)));
    m.SetTopRow(4000);
    EXPECT_TRUE(Empty(m.CellRect(1, 3999)));
    RECT r = m.CellRect(1, 4000);
    EXPECT_EQ(r.top, 17);
    // The fixed row and column stay put while the data scrolls.
    EXPECT_EQ(m.CellRect(0, 0).top, 0);
    EXPECT_EQ(m.CellRect(0, 4000).left, 0);
}

TEST(GridModel, VisibleCountsAndScrollLimits) {
    GridModel m = BufferGrid();
    // 171 - 17 = 154 pixels for data rows of 17 (16 + line): 9 whole rows.
    EXPECT_EQ(m.VisibleRowCount(), 9);
    EXPECT_EQ(m.LastVisibleRow(), 10);
    EXPECT_EQ(m.MaxTopRow(), 8192 - 9 + 1);
    m.SetTopRow(100000);
    EXPECT_EQ(m.TopRow(), m.MaxTopRow());
    m.SetTopRow(-3);
    EXPECT_EQ(m.TopRow(), 1);
    // All 17 columns fit into 320 pixels: no horizontal scrolling.
    EXPECT_EQ(m.MaxLeftCol(), 1);
}

TEST(GridModel, HitTestingMapsPointsToCellsAfterScrolling) {
    GridModel m = BufferGrid();
    GridCoord cell;
    ASSERT_TRUE(m.MouseToCell(30, 18, cell));
    EXPECT_EQ(cell, (GridCoord{1, 1}));
    ASSERT_TRUE(m.MouseToCell(5, 5, cell));
    EXPECT_EQ(cell, (GridCoord{0, 0}));
    m.SetTopRow(500);
    ASSERT_TRUE(m.MouseToCell(29 + 18 * 4 + 3, 17 + 17 * 2 + 3, cell));
    EXPECT_EQ(cell, (GridCoord{5, 502}));
    EXPECT_FALSE(m.MouseToCell(400, 5, cell));
    // Every cell's own rectangle hits that cell.
    for (int row = 500; row <= m.LastVisibleRow(); ++row) {
        for (int col = 0; col < 17; ++col) {
            RECT r = m.CellRect(col, row);
            ASSERT_TRUE(m.MouseToCell(r.left, r.top, cell));
            EXPECT_EQ(cell, (GridCoord{col, row}));
        }
    }
}

TEST(GridModel, CurrentCellIsClampedAndScrolledIntoView) {
    GridModel m = BufferGrid();
    m.SetCurrent(0, 0);
    EXPECT_EQ(m.Current(), (GridCoord{1, 1}));
    m.SetCurrent(16, 200);
    EXPECT_EQ(m.Row(), 200);
    EXPECT_EQ(m.TopRow(), 200 - 9 + 1);
    m.SetCurrent(16, 50);
    EXPECT_EQ(m.TopRow(), 50);
    // Shrinking the grid (a smaller device) pulls the current cell and the
    // scroll position back inside it.
    m.SetCurrent(16, 8000);
    m.SetRowCount(3);
    EXPECT_EQ(m.Row(), 2);
    EXPECT_EQ(m.TopRow(), 1);
    m.SetColCount(11);
    EXPECT_EQ(m.Col(), 10);
}

TEST(GridModel, KeyboardNavigationStaysInsideTheDataArea) {
    GridModel m = BufferGrid();
    GridCoord at{1, 1};
    EXPECT_EQ(m.Navigate(at, GridKey::Left), at);
    EXPECT_EQ(m.Navigate(at, GridKey::Up), at);
    EXPECT_EQ(m.Navigate(at, GridKey::Right), (GridCoord{2, 1}));
    EXPECT_EQ(m.Navigate(at, GridKey::PageDown), (GridCoord{1, 10}));
    EXPECT_EQ(m.Navigate(at, GridKey::CtrlEnd), (GridCoord{16, 8192}));
    EXPECT_EQ(m.Navigate({7, 9}, GridKey::Home), (GridCoord{1, 9}));
    EXPECT_EQ(m.Navigate({7, 9}, GridKey::End), (GridCoord{16, 9}));
    // Tab runs along the row and wraps to the next one; at the last cell it stops.
    EXPECT_EQ(m.Navigate({16, 3}, GridKey::Tab), (GridCoord{1, 4}));
    EXPECT_EQ(m.Navigate({1, 4}, GridKey::ShiftTab), (GridCoord{16, 3}));
    EXPECT_EQ(m.Navigate({16, 8192}, GridKey::Tab), (GridCoord{16, 8192}));
    EXPECT_EQ(m.Navigate({1, 1}, GridKey::ShiftTab), (GridCoord{1, 1}));
}

TEST(GridModel, ColumnSizingHitsOnlyInTheFixedRowNearAnEdge) {
    GridModel m = BufferGrid();
    EXPECT_EQ(m.ColSizingHit(28, 5), -1);  // sizing is off
    m.SetOptions(m.Options() | goColSizing);
    EXPECT_EQ(m.ColSizingHit(28, 5), 0);
    EXPECT_EQ(m.ColSizingHit(29 + 17, 5), 1);
    EXPECT_EQ(m.ColSizingHit(29 + 8, 5), -1);
    EXPECT_EQ(m.ColSizingHit(28, 30), -1);  // not in the header row
}

TEST(GridModel, DefaultSizesResetExplicitOnesAndNewRowsTakeTheDefault) {
    GridModel m;
    m.SetColCount(3);
    m.SetRowCount(2);
    m.SetColWidth(1, 160);
    m.SetDefaultColWidth(30);
    EXPECT_EQ(m.ColWidth(1), 30);
    m.SetDefaultRowHeight(17);
    m.SetRowCount(10);
    EXPECT_EQ(m.RowHeight(9), 17);
    // Fixed rows can never swallow the whole grid.
    m.SetFixedRows(20);
    EXPECT_EQ(m.FixedRows(), 9);
    m.SetRowCount(1);
    EXPECT_EQ(m.FixedRows(), 0);
}
