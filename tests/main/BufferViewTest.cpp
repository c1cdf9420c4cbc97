// The layout of a memory buffer in a grid, without a window: the cases the
// grids draw differently (length-1 memories, partial last rows, a buffer
// that changed after it was laid out).
#include "programmer/BufferView.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

TBufferView::Buffer Counting(std::size_t length)
{
    TBufferView::Buffer buffer(length);
    std::iota(buffer.begin(), buffer.end(), 0);
    for (auto& v : buffer)
        v &= 0xFF;
    return buffer;
}

TEST(BufferView, BeforeAnyLayoutTheGridIsEmptyAsDescribed)
{
    TBufferView view;
    EXPECT_EQ(view.ColCount(), 17);
    EXPECT_EQ(view.RowCount(), 2);
    for (int col = 0; col < 17; ++col) {
        EXPECT_EQ(view.CellText(col, 0), "");
        EXPECT_EQ(view.CellText(col, 1), "");
    }
}

TEST(BufferView, AddressesFollowTheCellsPerRowOfTheMode)
{
    const auto buffer = Counting(25);
    TBufferView view;
    view.Show(buffer, vmHex);
    EXPECT_EQ(view.AddressOf(1, 1), 0);
    EXPECT_EQ(view.AddressOf(16, 1), 15);
    EXPECT_EQ(view.AddressOf(1, 2), 16);
    EXPECT_EQ(view.AddressOf(9, 2), 24);
    EXPECT_EQ(view.AddressOf(10, 2), -1);  // past the end
    EXPECT_EQ(view.AddressOf(0, 1), -1);   // row label
    EXPECT_EQ(view.AddressOf(1, 0), -1);   // header

    view.Show(buffer, vmDecimal);
    EXPECT_EQ(view.CellsPerRow(), 10);
    EXPECT_EQ(view.AddressOf(10, 1), 9);
    EXPECT_EQ(view.AddressOf(1, 3), 20);
    EXPECT_EQ(view.AddressOf(5, 3), 24);
    EXPECT_EQ(view.AddressOf(6, 3), -1);
}

TEST(BufferView, LengthOneFirstLaidOutKeepsTheDescribedEmptyGrid)
{
    const TBufferView::Buffer single(1, 0x5A);
    TBufferView view;
    view.Show(single, vmHex);
    EXPECT_EQ(view.ColCount(), 17);
    EXPECT_EQ(view.RowCount(), 2);
    EXPECT_EQ(view.CellText(1, 0), "");
    EXPECT_EQ(view.CellText(0, 1), "");
    EXPECT_EQ(view.CellText(1, 1), "");
    EXPECT_EQ(view.AddressOf(1, 1), -1);
}

TEST(BufferView, LengthOneAfterDecimalKeepsTheDecimalHeaderAndColumns)
{
    const auto buffer = Counting(30);
    const TBufferView::Buffer single(1, 7);
    TBufferView view;
    view.Show(buffer, vmDecimal);
    view.Show(single, vmHex);
    EXPECT_EQ(view.ColCount(), 11);
    EXPECT_EQ(view.RowCount(), 2);
    EXPECT_EQ(view.CellText(10, 0), "9");
    EXPECT_EQ(view.CellText(0, 1), "0");
    for (int col = 1; col <= 10; ++col)
        EXPECT_EQ(view.CellText(col, 1), "") << col;
    // The next real layout takes the new mode for everything again.
    view.Show(buffer, vmHex);
    EXPECT_EQ(view.ColCount(), 17);
    EXPECT_EQ(view.CellText(16, 0), "0F");
    EXPECT_EQ(view.CellText(2, 1), "01");
}

TEST(BufferView, ChangesOfTheBufferShowOnlyAfterTheNextShow)
{
    auto buffer = Counting(32);
    TBufferView view;
    view.Show(buffer, vmHex);
    buffer[0] = 0xEE;
    buffer.resize(20);
    EXPECT_EQ(view.RowCount(), 3);
    EXPECT_EQ(view.CellText(1, 1), "00");
    EXPECT_EQ(view.CellText(16, 2), "1F");
    view.Show(buffer, vmHex);
    EXPECT_EQ(view.CellText(1, 1), "EE");
    EXPECT_EQ(view.CellText(4, 2), "13");
    EXPECT_EQ(view.CellText(5, 2), "");
}

TEST(BufferView, ValuesOutsideAByteShowAsTheyAreInHexAndDecimal)
{
    // Buffers hold 32-bit integers; the grid shows what is there.
    const TBufferView::Buffer buffer = {0x1FF, -1, 65, 0};
    TBufferView view;
    view.Show(buffer, vmHex);
    EXPECT_EQ(view.CellText(1, 1), "1FF");
    EXPECT_EQ(view.CellText(2, 1), "FFFFFFFF");
    view.Show(buffer, vmDecimal);
    EXPECT_EQ(view.CellText(1, 1), "511");
    EXPECT_EQ(view.CellText(2, 1), "-1");
    view.Show(buffer, vmAscii);
    EXPECT_EQ(view.CellText(1, 1), std::string(1, '\xFF'));
    EXPECT_EQ(view.CellText(3, 1), "A");
    EXPECT_EQ(view.CellText(4, 1), std::string(1, '\0'));
}

TEST(BufferView, CellsOutsideTheGridAreEmpty)
{
    const auto buffer = Counting(16);
    TBufferView view;
    view.Show(buffer, vmHex);
    EXPECT_EQ(view.CellText(17, 1), "");
    EXPECT_EQ(view.CellText(1, 2), "");
    EXPECT_EQ(view.CellText(-1, 0), "");
}

}  // namespace
