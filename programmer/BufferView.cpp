// BufferView: grid layout and cell texts of a memory buffer.
#include "programmer/BufferView.h"

#include "toolkit/StrConv.h"

TBufferView::TBufferView() = default;

void TBufferView::Show(const Buffer& buffer, std::uint8_t viewMode)
{
    if (buffer.size() == 1) {
        // Column count, header and row label stay as the last layout left them.
        singleByte_ = true;
        rowCount_ = 2;
        return;
    }
    singleByte_ = false;
    shown_ = buffer;
    viewMode_ = viewMode;
    headerMode_ = viewMode;
    const int perRow = CellsPerRow();
    colCount_ = perRow + 1;
    const std::int64_t length = static_cast<std::int64_t>(buffer.size());
    rowCount_ = static_cast<int>((length + perRow - 1) / perRow) + 1;
}

int TBufferView::CellsPerRow() const { return viewMode_ == vmDecimal ? 10 : 16; }

std::int64_t TBufferView::AddressOf(int col, int row) const
{
    if (singleByte_ || viewMode_ == 0)
        return -1;
    if (col < 1 || row < 1 || col >= colCount_ || row >= rowCount_)
        return -1;
    const std::int64_t address = static_cast<std::int64_t>(row - 1) * CellsPerRow() + (col - 1);
    return address < static_cast<std::int64_t>(shown_.size()) ? address : -1;
}

std::string TBufferView::CellText(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    if (row == 0)
        return col == 0 ? std::string() : HeaderText(col);
    if (col == 0)
        return RowLabel(row);
    const std::int64_t address = AddressOf(col, row);
    if (address < 0)
        return {};
    return ValueText(shown_[static_cast<std::size_t>(address)]);
}

std::string TBufferView::HeaderText(int col) const
{
    switch (headerMode_) {
    case vmHex:
        return tk::IntToHex(col - 1, 2);
    case vmDecimal:
        return tk::IntToStr(col - 1);
    case vmAscii:
        return tk::IntToHex(col - 1, 1);
    default:
        return {};
    }
}

std::string TBufferView::RowLabel(int row) const
{
    // The label counts data rows; it is not the row's first address.
    switch (headerMode_) {
    case vmHex:
    case vmAscii:
        return tk::IntToHex(row - 1, 2);
    case vmDecimal:
        return tk::IntToStr(row - 1);
    default:
        return {};
    }
}

std::string TBufferView::ValueText(std::int32_t value) const
{
    switch (viewMode_) {
    case vmHex:
        return tk::IntToHex(value, 2);
    case vmDecimal:
        return tk::IntToStr(value);
    case vmAscii:
        return std::string(1, static_cast<char>(static_cast<std::uint8_t>(value & 0xFF)));
    default:
        return {};
    }
}
