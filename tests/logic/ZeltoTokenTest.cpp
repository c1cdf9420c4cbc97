// The tokenizer: splitting, trimming of all pieces but the last, the cursor
// and its end marker, and the index error the script interpreter relies on.
#include "components/ZeltoToken.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

std::vector<std::string> Split(const std::string& text, char separator, bool trim = true)
{
    TZeltoToken tokenizer;
    tokenizer.Reset();
    tokenizer.Separator = separator;
    tokenizer.TrimTokens = trim;
    tokenizer.SetText(text);
    return tokenizer.Tokens;
}

using Pieces = std::vector<std::string>;

} // namespace

TEST(ZeltoToken, FreshTokenizerHasNoTokens)
{
    TZeltoToken tokenizer;
    EXPECT_EQ(tokenizer.Separator, '|');
    EXPECT_TRUE(tokenizer.TrimTokens);
    EXPECT_EQ(tokenizer.Cursor, 0);
    EXPECT_EQ(tokenizer.Count(), 0);
    EXPECT_EQ(tokenizer.NextToken(), "");
    EXPECT_EQ(tokenizer.Cursor, 0);
    EXPECT_THROW(tokenizer.GetToken(0), EStringListError);
}

TEST(ZeltoToken, EmptyTextGivesOneEmptyTokenReturnedOnceAsTheSeparator)
{
    TZeltoToken tokenizer;
    tokenizer.SetText("");
    ASSERT_EQ(tokenizer.Count(), 1);
    EXPECT_EQ(tokenizer.GetToken(0), "");
    EXPECT_EQ(tokenizer.NextToken(), "|");
    EXPECT_EQ(tokenizer.NextToken(), "");
    EXPECT_EQ(tokenizer.NextToken(), "");
    EXPECT_EQ(tokenizer.Cursor, 1);
}

TEST(ZeltoToken, SplitsAtEverySeparator)
{
    EXPECT_EQ(Split("A=B=C", '='), (Pieces{"A", "B", "C"}));
    EXPECT_EQ(Split("a||b", '|'), (Pieces{"a", "", "b"}));
    EXPECT_EQ(Split("a|", '|'), (Pieces{"a", ""}));
    EXPECT_EQ(Split("|", '|'), (Pieces{"", ""}));
    EXPECT_EQ(Split("no separator", ','), (Pieces{"no separator"}));
}

TEST(ZeltoToken, TrimsEveryPieceButTheLast)
{
    EXPECT_EQ(Split("a | b |  c ", '|'), (Pieces{"a", "b", "  c "}));
    EXPECT_EQ(Split("KEY = VALUE ", '='), (Pieces{"KEY", " VALUE "}));
    EXPECT_EQ(Split("\t\x01x\x1f\r\n,y", ','), (Pieces{"x", "y"}));
    EXPECT_EQ(Split("   ,", ','), (Pieces{"", ""}));
}

TEST(ZeltoToken, WithoutTrimTokensNothingIsTrimmed)
{
    EXPECT_EQ(Split(" a | b | c ", '|', false), (Pieces{" a ", " b ", " c "}));
}

TEST(ZeltoToken, BytesFromHex80UpAreNeverTrimmed)
{
    // A signed comparison would take these for control characters.
    EXPECT_EQ(Split("\x80x\xFF |\xA0", '|'), (Pieces{"\x80x\xFF", "\xA0"}));
    EXPECT_EQ(Split(" \xE9 =v", '='), (Pieces{"\xE9", "v"}));
}

TEST(ZeltoToken, SeparatorsAboveAsciiSplit)
{
    EXPECT_EQ(Split("a\xA7" "b", '\xA7'), (Pieces{"a", "b"}));
}

TEST(ZeltoToken, NextTokenWalksTheListAndMarksEmptyTokens)
{
    TZeltoToken tokenizer;
    tokenizer.Separator = ',';
    tokenizer.SetText("TRUE,,FALSE");
    EXPECT_EQ(tokenizer.NextToken(), "TRUE");
    EXPECT_EQ(tokenizer.NextToken(), ",");
    EXPECT_EQ(tokenizer.NextToken(), "FALSE");
    EXPECT_EQ(tokenizer.Cursor, 3);
    EXPECT_EQ(tokenizer.NextToken(), "");
    EXPECT_EQ(tokenizer.Cursor, 3);
    // The stored token stays empty; only NextToken marks it.
    EXPECT_EQ(tokenizer.GetToken(1), "");
}

TEST(ZeltoToken, GetTokenOutsideTheListRaisesTheIndexError)
{
    TZeltoToken tokenizer;
    tokenizer.Separator = '=';
    tokenizer.SetText("NOEQUALSIGN");
    ASSERT_EQ(tokenizer.Count(), 1);
    try {
        tokenizer.GetToken(1);
        FAIL() << "index equal to Count accepted";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    try {
        tokenizer.GetToken(-1);
        FAIL() << "negative index accepted";
    } catch (const tk::Exception& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (-1)");
    }
}

TEST(ZeltoToken, CursorOutsideTheListNeverRaises)
{
    TZeltoToken tokenizer;
    tokenizer.SetText("a|b");
    tokenizer.Cursor = 7;
    EXPECT_EQ(tokenizer.NextToken(), "");
    tokenizer.Cursor = -3;
    EXPECT_EQ(tokenizer.NextToken(), "");
}

TEST(ZeltoToken, SetTextRestartsTheCursorTokenizeDoesNot)
{
    TZeltoToken tokenizer;
    tokenizer.SetText("a|b|c");
    EXPECT_EQ(tokenizer.NextToken(), "a");
    EXPECT_EQ(tokenizer.NextToken(), "b");
    tokenizer.SetText("x|y");
    EXPECT_EQ(tokenizer.Cursor, 0);
    EXPECT_EQ(tokenizer.NextToken(), "x");

    tokenizer.Text = "p|q|r";
    tokenizer.Tokenize();
    EXPECT_EQ(tokenizer.Cursor, 1);
    EXPECT_EQ(tokenizer.NextToken(), "q");
    tokenizer.Reset();
    EXPECT_EQ(tokenizer.NextToken(), "p");
}

TEST(ZeltoToken, SeparatorChangeTakesEffectAtTheNextSetText)
{
    TZeltoToken tokenizer;
    tokenizer.SetText("a=b|c");
    EXPECT_EQ(tokenizer.Count(), 2);
    tokenizer.Separator = '=';
    EXPECT_EQ(tokenizer.Count(), 2);
    tokenizer.SetText(tokenizer.Text);
    EXPECT_EQ(tokenizer.Tokens, (Pieces{"a", "b|c"}));
}

namespace {

// A descendant that replaces both virtual steps of SetText.
class TUpperToken : public TZeltoToken {
public:
    void Tokenize() override
    {
        TZeltoToken::Tokenize();
        for (auto& token : Tokens)
            for (auto& c : token)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    void Reset() override { Cursor = 1; }
};

} // namespace

TEST(ZeltoToken, SetTextRunsOverriddenTokenizeAndReset)
{
    TUpperToken tokenizer;
    TZeltoToken& base = tokenizer;
    base.SetText("ab|cd");
    EXPECT_EQ(base.Tokens, (Pieces{"AB", "CD"}));
    EXPECT_EQ(base.NextToken(), "CD");
}
