// The window-free part of the interpreter: the command line as the C
// runtime splits it, KEY=VALUE splitting, script-file names and the keyword
// list.
#include "components/ZeltoToken.h"
#include "programmer/ProcessCommands.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, FollowsTheRuntimeRules)
{
    EXPECT_THAT(SplitCommandLine(GetParam().line), ElementsAreArray(GetParam().arguments)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLineSplit,
    ::testing::Values(
        SplitCase{"ZeltoPrg.exe", {"ZeltoPrg.exe"}},
        SplitCase{"", {""}},
        SplitCase{"\"C:\\Program Files\\Zelto\\ZeltoPrg.exe\" run.zlt",
                  {"C:\\Program Files\\Zelto\\ZeltoPrg.exe", "run.zlt"}},
        // The program's own name knows no escapes: a backslash before its
        // closing quote stays a backslash.
        SplitCase{"\"C:\\Zelto\\\" A=B", {"C:\\Zelto\\", "A=B"}},
        SplitCase{"p   A=B\t\tC=D   ", {"p", "A=B", "C=D"}},
        SplitCase{"p \"MESSAGE=Hello World\"", {"p", "MESSAGE=Hello World"}},
        SplitCase{"p MESSAGE=\"Hello World\" next", {"p", "MESSAGE=Hello World", "next"}},
        SplitCase{"p \"\" x", {"p", "", "x"}},
        SplitCase{"p a\\b\\\\c", {"p", "a\\b\\\\c"}},
        SplitCase{"p \"C:\\Scripts\\\\\" next", {"p", "C:\\Scripts\\", "next"}},
        SplitCase{"p a\\\"b", {"p", "a\"b"}},
        SplitCase{"p a\\\\\\\"b", {"p", "a\\\"b"}},
        SplitCase{"p \"a\"\"b\" c", {"p", "a\"b", "c"}},
        SplitCase{"p \"open ended", {"p", "open ended"}},
        SplitCase{"p a\"b c\"d e", {"p", "ab cd", "e"}}));

TEST(ScriptFileName, EndsInZltInAnyCase)
{
    EXPECT_TRUE(IsScriptFileName("run.zlt"));
    EXPECT_TRUE(IsScriptFileName("C:\\Scripts\\RUN.ZlT"));
    EXPECT_TRUE(IsScriptFileName(".ZLT"));
    EXPECT_FALSE(IsScriptFileName("ZLT"));
    EXPECT_FALSE(IsScriptFileName("run.zl"));
    EXPECT_FALSE(IsScriptFileName("run.zlt "));
    EXPECT_FALSE(IsScriptFileName(""));
}

struct Split {
    std::string key;
    std::string value;
};

Split SplitLine(const std::string& line)
{
    Split result;
    SplitCommand(line, '=', result.key, result.value);
    return result;
}

TEST(SplitCommand, TrimsKeyAndValueAndKeepsTheirCase)
{
    const Split s = SplitLine("  readflash = true \t");
    EXPECT_EQ(s.key, "readflash");
    EXPECT_EQ(s.value, "true");
    const Split path = SplitLine("LOADFLASHBUFFER= C:\\Hex Files\\Demo.hex\r");
    EXPECT_EQ(path.key, "LOADFLASHBUFFER");
    EXPECT_EQ(path.value, "C:\\Hex Files\\Demo.hex");
}

TEST(SplitCommand, UsesOnlyTheSecondPiece)
{
    const Split s = SplitLine("A=B=C");
    EXPECT_EQ(s.key, "A");
    EXPECT_EQ(s.value, "B");
    const Split empty = SplitLine("COMMENT=");
    EXPECT_EQ(empty.key, "COMMENT");
    EXPECT_EQ(empty.value, "");
}

TEST(SplitCommand, AScriptNameHasNoValue)
{
    const Split plain = SplitLine("run.zlt");
    EXPECT_EQ(plain.key, "run.zlt");
    EXPECT_EQ(plain.value, "");
    const Split withValue = SplitLine("run.ZLT=TRUE");
    EXPECT_EQ(withValue.key, "run.ZLT");
    EXPECT_EQ(withValue.value, "");
}

TEST(SplitCommand, ALineWithoutSeparatorRaisesTheIndexError)
{
    for (const char* line : {"", "READFLASH", "   "}) {
        try {
            SplitLine(line);
            ADD_FAILURE() << "no error for '" << line << "'";
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), "List index out of bounds (1)");
        }
    }
}

TEST(Keywords, FiftyOneInTheirTestingOrder)
{
    EXPECT_THAT(
        CommandKeywords(),
        ElementsAre("LOADFLASHBUFFER", "LOADEEPROMBUFFER", "LOADPLUGIN", "ERASECHIP", "EXIT", "GETCHIPID",
                    "READFLASH", "READEEPROM", "READALL", "WRITEFLASH", "WRITEEEPROM", "WRITEALL", "VERIFYFLASH",
                    "VERIFYEEPROM", "VERIFYALL", "VIEWHEX", "VIEWDEC", "VIEWASCII", "CHIPERASEBEFOREPROGRAMMING",
                    "RELEASEPORTLINES", "FILLFLASH", "FILLEEPROM", "FILLALLFLASH", "FILLALLEEPROM",
                    "FILLFLASHSTARTADDRESS", "FILLFLASHENDADDRESS", "FILLFLASHVALUE", "FILLEEPROMSTASRTADDRESS",
                    "FILLEEPROMENDADDRESS", "FILLEEPROMVALUE", "FILLBUFFER", "SNFLASH", "SNEEPROM", "SNFLASHMSB",
                    "SNEEPROMMSB", "SNFLASHSTARTADDRESS", "SNEEPROMSTARTADDRESS", "SNFLASHBYTESTOFILL",
                    "SNEEPROMBYTESTOFILL", "SNFLASHSTARTVALUE", "SNEEPROMSTARTVALUE", "SNFLASHINCREMENT",
                    "SNEEPROMINCREMENT", "CLONE", "PROGRAMSPECIALBITS1", "PROGRAMSPECIALBITS2",
                    "PROGRAMSPECIALBITS3", "PLAY", "COMMENT", "MESSAGE", "LANGUAGE"));
}

}  // namespace
