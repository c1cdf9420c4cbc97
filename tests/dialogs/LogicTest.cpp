// The window-free parts of the fill, cloning and special-bits units: range
// fills from the dialog's texts, serial-number arithmetic, and the copy of
// the plug-in's bit names.
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/SpecialBits.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> Buffer(std::size_t size, std::int32_t value = 0) { return std::vector<std::int32_t>(size, value); }

TFillRequest Range(const std::string& start, const std::string& end, const std::string& value)
{
    return TFillRequest{false, start, end, value};
}

}  // namespace

// --- fill -------------------------------------------------------------------------------

TEST(FillBufferRange, StoresTheValueFromStartToEndInclusive)
{
    auto buffer = Buffer(256, 7);
    const TFillOutcome outcome = FillBufferRange(buffer, Range("10", "1F", "AA"));
    EXPECT_EQ(outcome.Result, TFillResult::Filled);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(buffer[a], a >= 16 && a <= 31 ? 170 : 7) << "address " << a;
}

TEST(FillBufferRange, StoresOnlyTheLowByteOfTheValue)
{
    auto buffer = Buffer(16);
    EXPECT_EQ(FillBufferRange(buffer, Range("0", "F", "1FF")).Result, TFillResult::Filled);
    EXPECT_EQ(buffer, Buffer(16, 255));
    EXPECT_EQ(FillBufferRange(buffer, Range("0", "0", "FFFFFF12")).Result, TFillResult::Filled);
    EXPECT_EQ(buffer[0], 0x12);
}

TEST(FillBufferRange, ANegativeOrBadNumberIsNotAHexNumberAndShowsTheDollar)
{
    auto buffer = Buffer(16, 3);
    TFillOutcome outcome = FillBufferRange(buffer, Range("0", "F", "-1"));
    EXPECT_EQ(outcome.Result, TFillResult::NotAHexNumber);
    EXPECT_EQ(outcome.BadText, "$-1");
    outcome = FillBufferRange(buffer, Range("G1", "F", "1"));
    EXPECT_EQ(outcome.Result, TFillResult::NotAHexNumber);
    EXPECT_EQ(outcome.BadText, "$G1");
    outcome = FillBufferRange(buffer, Range("0", " 5", "1"));
    EXPECT_EQ(outcome.BadText, "$ 5");
    EXPECT_EQ(buffer, Buffer(16, 3)) << "a part with a bad number stores nothing";
}

TEST(FillBufferRange, AddressesPastTheHighestIndexAreRefusedInReadingOrder)
{
    auto buffer = Buffer(256, 1);
    EXPECT_EQ(FillBufferRange(buffer, Range("100", "10", "0")).Result, TFillResult::StartTooHigh);
    EXPECT_EQ(FillBufferRange(buffer, Range("10", "100", "0")).Result, TFillResult::EndTooHigh);
    EXPECT_EQ(FillBufferRange(buffer, Range("FF", "FF", "0")).Result, TFillResult::Filled);
    EXPECT_EQ(buffer[255], 0);
    // The start is judged before the end is even read.
    EXPECT_EQ(FillBufferRange(buffer, Range("100", "junk", "0")).Result, TFillResult::StartTooHigh);
    // The value is read last: a bad value after a too-high end is not reported.
    EXPECT_EQ(FillBufferRange(buffer, Range("0", "100", "junk")).Result, TFillResult::EndTooHigh);
}

TEST(FillBufferRange, AddressesAreComparedUnsigned)
{
    auto buffer = Buffer(256, 1);
    EXPECT_EQ(FillBufferRange(buffer, Range("FFFFFFFF", "0", "0")).Result, TFillResult::StartTooHigh);
    EXPECT_EQ(FillBufferRange(buffer, Range("0", "80000000", "0")).Result, TFillResult::EndTooHigh);
    EXPECT_EQ(buffer, Buffer(256, 1));
}

TEST(FillBufferRange, AnEndBelowTheStartStoresNothing)
{
    auto buffer = Buffer(256, 9);
    EXPECT_EQ(FillBufferRange(buffer, Range("20", "10", "0")).Result, TFillResult::Filled);
    EXPECT_EQ(buffer, Buffer(256, 9));
}

TEST(FillBufferRange, WholeBufferReadsOnlyTheValue)
{
    auto buffer = Buffer(32, 0);
    EXPECT_EQ(FillBufferRange(buffer, TFillRequest{true, "junk", "more junk", "5A"}).Result, TFillResult::Filled);
    EXPECT_EQ(buffer, Buffer(32, 0x5A));
    // An empty value with a start text left behind converts as a lone "$".
    const TFillOutcome outcome = FillBufferRange(buffer, TFillRequest{true, "3", "", ""});
    EXPECT_EQ(outcome.Result, TFillResult::NotAHexNumber);
    EXPECT_EQ(outcome.BadText, "$");
}

TEST(FillBufferRange, ThreeEmptyTextsSkipThePart)
{
    auto buffer = Buffer(8, 4);
    EXPECT_EQ(FillBufferRange(buffer, Range("", "", "")).Result, TFillResult::Skipped);
    EXPECT_EQ(FillBufferRange(buffer, TFillRequest{true, "", "", ""}).Result, TFillResult::Skipped);
    EXPECT_EQ(buffer, Buffer(8, 4));
}

TEST(FillBufferRange, AOneElementBufferAndAnEmptyOneStayInBounds)
{
    auto one = Buffer(1, 0);
    EXPECT_EQ(FillBufferRange(one, Range("0", "0", "77")).Result, TFillResult::Filled);
    EXPECT_EQ(one[0], 0x77);
    EXPECT_EQ(FillBufferRange(one, Range("1", "1", "77")).Result, TFillResult::StartTooHigh);
    std::vector<std::int32_t> none;
    EXPECT_EQ(FillBufferRange(none, Range("0", "0", "1")).Result, TFillResult::StartTooHigh);
    EXPECT_EQ(FillBufferRange(none, TFillRequest{true, "", "", "1"}).Result, TFillResult::Filled);
    EXPECT_TRUE(none.empty());
}

// --- serial numbers -----------------------------------------------------------------

TEST(SerialNumbers, PowerOf256)
{
    EXPECT_EQ(SerialIntPower(256, 0), 1);
    EXPECT_EQ(SerialIntPower(256, 1), 256);
    EXPECT_EQ(SerialIntPower(256, 2), 65536);
    EXPECT_EQ(SerialIntPower(256, 7), std::int64_t{1} << 56);
    EXPECT_EQ(SerialIntPower(256, -1), 1);
}

TEST(SerialNumbers, CloneCountFollowsTheDialogsRule)
{
    // One byte from 0 by 1: 00 to FF.
    EXPECT_EQ(SerialCloneCount(1, 0, 1), 256);
    EXPECT_EQ(SerialCloneCount(1, 0xFF, 1), 1);
    // (65536 - 16) div 3.
    EXPECT_EQ(SerialCloneCount(2, 0x10, 3), 21840);
    EXPECT_EQ(SerialCloneCount(2, 0x100, 1), 65536 - 256);
    // Increment 0: every clone has the same number, as many as the bytes allow.
    EXPECT_EQ(SerialCloneCount(2, 5, 0), 65536);
    // No bytes: one clone with number 0.
    EXPECT_EQ(SerialCloneCount(0, 0, 1), 1);
    // A start value that does not fit allows none.
    EXPECT_EQ(SerialCloneCount(1, 256, 1), 0);
}

TEST(SerialNumbers, CloneCountDoesNotOverflowWithLargeIncrements)
{
    const std::int64_t count = SerialCloneCount(7, 0xFFFFFFFF, 0x7FFFFFFF);
    const std::int64_t max = std::int64_t{1} << 56;
    EXPECT_EQ(count, (max - 0xFFFFFFFF) / 0x7FFFFFFF);
    EXPECT_GT(count, 0);
    EXPECT_TRUE(SerialNumberFits(SerialNumberOf(0xFFFFFFFF, 0x7FFFFFFF, count), 7));
}

TEST(SerialNumbers, NegativeIncrementsCountDownToZero)
{
    // 10, 7, 4, 1.
    EXPECT_EQ(SerialCloneCount(1, 10, -3), 4);
    EXPECT_EQ(SerialNumberOf(10, -3, 4), 1);
    EXPECT_EQ(SerialCloneCount(1, 0, -1), 1);
}

TEST(SerialNumbers, EveryCloneWithinTheMaximumGetsItsOwnFittingNumber)
{
    struct Case {
        std::int64_t bytes, start, increment;
    };
    for (const Case c : {Case{1, 0, 1}, Case{1, 0x10, 7}, Case{2, 0xFFF0, 1}, Case{2, 0, 255}, Case{1, 200, -9},
                         Case{3, 0x123456, 0x10000}}) {
        const std::int64_t count = SerialCloneCount(c.bytes, c.start, c.increment);
        std::set<std::vector<std::uint8_t>> seen;
        for (std::int64_t i = 1; i <= count; ++i) {
            const std::int64_t value = SerialNumberOf(c.start, c.increment, i);
            ASSERT_TRUE(SerialNumberFits(value, c.bytes)) << "clone " << i;
            ASSERT_TRUE(seen.insert(SerialNumberBytes(value, c.bytes, true)).second) << "clone " << i;
        }
    }
}

TEST(SerialNumbers, NumbersBeyond32BitsStayDistinct)
{
    // Five bytes from FFFFFFFF: the second clone is 1 00000000, not 0 again.
    const auto first = SerialNumberBytes(SerialNumberOf(0xFFFFFFFF, 1, 1), 5, true);
    const auto second = SerialNumberBytes(SerialNumberOf(0xFFFFFFFF, 1, 2), 5, true);
    EXPECT_EQ(first, (std::vector<std::uint8_t>{0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(second, (std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00, 0x00}));
}

TEST(SerialNumbers, ByteOrder)
{
    EXPECT_EQ(SerialNumberBytes(0x1234, 2, true), (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(SerialNumberBytes(0x1234, 2, false), (std::vector<std::uint8_t>{0x34, 0x12}));
    EXPECT_EQ(SerialNumberBytes(0x1234, 6, true), (std::vector<std::uint8_t>{0, 0, 0, 0, 0x12, 0x34}));
    EXPECT_EQ(SerialNumberBytes(0x1234, 6, false), (std::vector<std::uint8_t>{0x34, 0x12, 0, 0, 0, 0}));
    EXPECT_EQ(SerialNumberBytes(0xAB, 1, false), (std::vector<std::uint8_t>{0xAB}));
    EXPECT_TRUE(SerialNumberBytes(5, 0, true).empty());
    EXPECT_TRUE(SerialNumberBytes(5, -2, true).empty());
}

TEST(SerialNumbers, RangeMustLieInsideTheBuffer)
{
    EXPECT_TRUE(SerialRangeFits(254, 2, 256));
    EXPECT_FALSE(SerialRangeFits(255, 2, 256));
    EXPECT_FALSE(SerialRangeFits(0xFFFFFFFF, 1, 256));
    EXPECT_FALSE(SerialRangeFits(-1, 1, 256));
    EXPECT_TRUE(SerialRangeFits(0, 0, 0));
}

// --- special-bit names ------------------------------------------------------------

TEST(SpecialBitNames, CountIsClampedAndEmptySlotsReadAsEmptyNames)
{
    std::vector<const char*> slots(SpecialBitNameSlots, nullptr);
    slots[0] = "CKSEL0";
    slots[2] = "";
    EXPECT_EQ(CopySpecialBitNames(3, slots), (std::vector<std::string>{"CKSEL0", "", ""}));
    EXPECT_TRUE(CopySpecialBitNames(-4, slots).empty());
    EXPECT_EQ(CopySpecialBitNames(SpecialBitNameSlots + 50, slots).size(), static_cast<std::size_t>(SpecialBitNameSlots));
}

TEST(SpecialBitNames, LongNamesAreCutTo255Characters)
{
    const std::string longName(300, 'x');
    std::vector<const char*> slots{longName.c_str()};
    const auto names = CopySpecialBitNames(1, slots);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(255, 'x'));
}
