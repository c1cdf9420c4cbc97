// GridModel: the window-free state of a grid (counts, fixed rows and columns,
// column widths and row heights, options, scroll position, current cell),
// with geometry (cell rectangles, hit tests) and keyboard navigation. The
// string grid control draws from it and feeds it input; tests use it alone.
#pragma once

#include <windows.h>

#include <vector>

namespace tk {

enum GridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
using GridOptions = unsigned;
constexpr GridOptions kDefaultGridOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

enum GridDrawState : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };

struct GridCoord {
    int col = 0;
    int row = 0;
    bool operator==(const GridCoord&) const = default;
};

// Keys the model understands for moving the current cell.
enum class GridKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, CtrlHome, CtrlEnd, Tab, ShiftTab };

class GridModel {
public:
    GridModel();

    int ColCount() const { return static_cast<int>(colWidths_.size()); }
    int RowCount() const { return static_cast<int>(rowHeights_.size()); }
    // Growing keeps existing sizes; the current cell and scroll position are
    // clamped to what remains. A column that comes back after a smaller
    // count gets the width it had, so a grid switching between layouts keeps
    // the widths it was given.
    void SetColCount(int count);
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    // Must leave at least one scrollable column/row (as a grid always has).
    void SetFixedCols(int count);
    void SetFixedRows(int count);

    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    // Resets every column's width / row's height to the new default.
    void SetDefaultColWidth(int width);
    void SetDefaultRowHeight(int height);
    // Past the count: the width the column will have when it comes back.
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    void SetColWidth(int col, int width);
    void SetRowHeight(int row, int height);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int width);

    GridOptions Options() const { return options_; }
    void SetOptions(GridOptions options) { options_ = options; }
    bool Has(GridOption o) const { return (options_ & o) != 0; }

    // The drawing area (client size without scroll bars).
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    // First scrollable row / column shown after the fixed ones.
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    void SetTopRow(int row);
    void SetLeftCol(int col);
    // Largest TopRow/LeftCol that still fills the view up to the last row/column.
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // Non-fixed rows / columns fully visible from TopRow / LeftCol (at least 1).
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // Rows / columns touched by the view, partly visible ones included.
    int LastVisibleRow() const;
    int LastVisibleCol() const;

    int Col() const { return current_.col; }
    int Row() const { return current_.row; }
    GridCoord Current() const { return current_; }
    // Moves the current cell (clamped to the non-fixed area) and scrolls it into view.
    void SetCurrent(int col, int row);
    void ScrollIntoView(int col, int row);

    // Rectangle of a cell in client coordinates without its grid lines; empty
    // when the cell is scrolled out of view.
    RECT CellRect(int col, int row) const;
    // Cell under a client point; false outside every cell.
    bool MouseToCell(int x, int y, GridCoord& cell) const;
    // Column whose right edge lies within 2 pixels of x, for sizing with the
    // mouse in a fixed row; -1 when none (or sizing is off).
    int ColSizingHit(int x, int y) const;
    int RowSizingHit(int x, int y) const;

    // Where a key moves the current cell from `from`; the result may equal `from`.
    GridCoord Navigate(GridCoord from, GridKey key) const;

    // Total size of the fixed area.
    int FixedWidth() const;
    int FixedHeight() const;

private:
    int ColLeft(int col) const;  // client x of a visible column's left edge, or -1
    int RowTop(int row) const;
    void Clamp();

    std::vector<int> colWidths_;
    std::vector<int> formerColWidths_;  // widths of every column the grid had, by index
    std::vector<int> rowHeights_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int lineWidth_ = 1;
    GridOptions options_ = kDefaultGridOptions;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int topRow_ = 1;
    int leftCol_ = 1;
    GridCoord current_{1, 1};
};

}  // namespace tk
