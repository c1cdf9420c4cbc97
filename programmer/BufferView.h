// BufferView: how one memory buffer appears in a grid in the current view
// mode (hexadecimal, decimal or ASCII): column and row counts, header texts,
// row labels and the text of every cell, computed when a cell is drawn from
// the values the buffer held when it was last shown. No window here; the
// main window hands a view to its grid as the grid's cell-text provider, so
// no cell string is ever stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// View mode values as the main window's unit keeps them.
enum : std::uint8_t { vmHex = 1, vmDecimal = 2, vmAscii = 3 };

class TBufferView {
public:
    using Buffer = std::vector<std::int32_t>;

    // Before the first Show: a 17 x 2 grid of empty cells, as the window
    // description creates it.
    TBufferView();

    // Lays the buffer's current values out in `viewMode`; later changes of
    // the buffer show only after the next Show, as a redraw would. A buffer
    // of length 1 (the device has no such memory) keeps the column count,
    // the header row and the row label of the layout shown before and
    // empties row 1.
    void Show(const Buffer& buffer, std::uint8_t viewMode);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // Cells per data row: 16 in Hex and ASCII, 10 in Decimal.
    int CellsPerRow() const;
    std::uint8_t ViewMode() const { return viewMode_; }

    // Row 0 is the header, column 0 the row labels.
    std::string CellText(int col, int row) const;

    // Buffer address shown in a data cell, or -1 for fixed cells, cells
    // past the buffer's end and the emptied row of a length-1 buffer.
    std::int64_t AddressOf(int col, int row) const;

private:
    std::string HeaderText(int col) const;
    std::string RowLabel(int row) const;
    std::string ValueText(std::int32_t value) const;

    Buffer shown_;                   // the values of the last real layout
    std::uint8_t viewMode_ = 0;      // mode of the data cells; 0 = nothing shown yet
    std::uint8_t headerMode_ = 0;    // mode the header and row labels were last laid out in
    bool singleByte_ = false;        // a length-1 buffer: row 1 shows nothing
    int colCount_ = 17;
    int rowCount_ = 2;
};
