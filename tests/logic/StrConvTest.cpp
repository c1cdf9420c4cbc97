// Number and text conversions: the integer rule with its wrap and overflow
// behaviour, hexadecimal rendering, trimming and Format.
#include "toolkit/StrConv.h"

#include "resources/StringIds.h"
#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

using tk::StrToInt;
using tk::TryStrToInt;

TEST(StrToInt, AcceptsSignedDecimalAndDollarHex)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt("+42"), 42);
    EXPECT_EQ(StrToInt("-42"), -42);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("$Ab"), 0xAB);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$0000000001"), 1); // leading zeros are not significant
}

TEST(StrToInt, HexWrapsInto32BitsButRefusesANinthDigit)
{
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$80000000"), INT32_MIN);
    EXPECT_EQ(StrToInt("$7FFFFFFF"), INT32_MAX);
    EXPECT_THROW(StrToInt("$100000000"), tk::EConvertError);
}

TEST(StrToInt, DecimalOverflowIsRefused)
{
    EXPECT_EQ(StrToInt("2147483647"), INT32_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_THROW(StrToInt("2147483648"), tk::EConvertError);
    EXPECT_THROW(StrToInt("-2147483649"), tk::EConvertError);
    EXPECT_THROW(StrToInt("99999999999999999999999"), tk::EConvertError);
}

TEST(StrToInt, RefusesEverythingElseWithTheInputInTheMessage)
{
    for (const char* bad : {"", "+", "-", "$", "-$", "$-1", "1 ", " 1", "1a", "0x10", "$G1", "1.0", "+-1", "$ 1"}) {
        SCOPED_TRACE(bad);
        try {
            StrToInt(bad);
            FAIL() << "accepted";
        } catch (const tk::EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
        std::int32_t value = 77;
        EXPECT_FALSE(TryStrToInt(bad, value));
        EXPECT_EQ(value, 77);
    }
}

TEST(IntToHex, UpperCaseWithMinimumDigitsAndTwosComplement)
{
    EXPECT_EQ(tk::IntToHex(0, 2), "00");
    EXPECT_EQ(tk::IntToHex(0xab, 4), "00AB");
    EXPECT_EQ(tk::IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(tk::IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(tk::IntToHex(std::int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(tk::IntToHex(0x378u, 0), "378");
}

TEST(IntToStr, RendersSignedValues)
{
    EXPECT_EQ(tk::IntToStr(0), "0");
    EXPECT_EQ(tk::IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(tk::IntToStr(1024), "1024");
}

TEST(Trim, RemovesControlsAndBlanksButKeepsHighBytes)
{
    EXPECT_EQ(tk::Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(tk::Trim("\x01\x1f"), "");
    EXPECT_EQ(tk::Trim("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(tk::TrimLeft("  a  "), "a  ");
    EXPECT_EQ(tk::TrimRight("  a  "), "  a");
    EXPECT_EQ(tk::UpperCase("readFlash = true \xE9"), "READFLASH = TRUE \xE9");
}

TEST(Format, SubstitutesTextsAndNumbers)
{
    EXPECT_EQ(tk::Format("Port $%s; Programming Device OK!", {"378"}), "Port $378; Programming Device OK!");
    EXPECT_EQ(tk::Format("%d of %d failed", {3, 40}), "3 of 40 failed");
    EXPECT_EQ(tk::Format("%s=%s", {std::string("A"), std::string_view("B")}), "A=B");
    EXPECT_EQ(tk::Format("100%%", {}), "100%");
}

TEST(Format, WidthPrecisionAndHex)
{
    EXPECT_EQ(tk::Format("[%5d]", {42}), "[   42]");
    EXPECT_EQ(tk::Format("[%-5d]", {42}), "[42   ]");
    EXPECT_EQ(tk::Format("[%.4x]", {0x3bc}), "[03BC]");
    EXPECT_EQ(tk::Format("[%.3d]", {-7}), "[-007]");
    EXPECT_EQ(tk::Format("[%.2s]", {"abc"}), "[ab]");
    EXPECT_EQ(tk::Format("%x", {-1}), "FFFFFFFF");
    EXPECT_EQ(tk::Format("%u", {-1}), "4294967295");
}

TEST(Format, MissingOrMismatchedArgumentRaises)
{
    EXPECT_THROW(tk::Format("%s %s", {"one"}), tk::EConvertError);
    EXPECT_THROW(tk::Format("%d", {"text"}), tk::EConvertError);
    EXPECT_THROW(tk::Format("%s", {5}), tk::EConvertError);
    EXPECT_THROW(tk::Format("%q", {5}), tk::EConvertError);
    try {
        tk::Format("%d", {});
        FAIL();
    } catch (const tk::EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
}

TEST(StringSource, SuppliesTextsAndFallsBackToEnglish)
{
    auto previous = tk::SetStringSource([](unsigned id) -> std::string {
        return id == S_TK_NOT_A_VALID_INTEGER ? "'%s' n'est pas un entier valide" : "";
    });
    std::string translated, english;
    try {
        StrToInt("x1");
    } catch (const tk::EConvertError& e) {
        translated = e.Message();
    }
    try {
        tk::Format("%d", {"x"});
    } catch (const tk::EConvertError& e) {
        english = e.Message();
    }
    tk::SetStringSource(previous);
    EXPECT_EQ(translated, "'x1' n'est pas un entier valide");
    EXPECT_EQ(english, "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(tk::StringFor(S_TK_DISK_FULL, "Disk full"), "Disk full");
}
