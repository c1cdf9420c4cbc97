// The interpreter's run over parameters and script files: command mode,
// value rules, syntax errors, script errors and the end request.
#include "ScriptsTestSupport.h"

#include "programmer/ProcessCommands.h"
#include "resources/StringIds.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

#include <gmock/gmock.h>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

class ScriptRun : public ScriptFixture {
protected:
    void SetUp() override { CreateForms(); }

    std::string SyntaxError(const std::string& key, const std::string& value) const
    {
        return Text(S_SCRIPT_SYNTAX_ERROR, {key, value});
    }
    std::string ScriptError(const std::string& path, const std::string& error) const
    {
        return Text(S_SCRIPT_READ_ERROR) + path + "\r\n\r\n" + error;
    }
};

// Runs the current directory back to where it was.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder)
    {
        char old[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, old);
        old_ = old;
        ::SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentDirectory() { ::SetCurrentDirectoryA(old_.c_str()); }

private:
    std::string old_;
};

TEST_F(ScriptRun, NoParametersRunNothingAndLeaveCommandModeOff)
{
    form_->FCommandMode = 1;  // what the port library said at start
    Run(std::vector<std::string>{});
    EXPECT_EQ(form_->FCommandMode, 0);
    EXPECT_TRUE(form_->CommandLineProcessed());
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_FALSE(tk::App().Terminated());
}

TEST_F(ScriptRun, CommandModeIsOnWhileCommandsRunAndOffAfterwards)
{
    std::vector<int> modes;
    tk::ScriptedMessages probe([&](const tk::MessageRequest&) { modes.push_back(form_->FCommandMode); });
    const std::string script = WriteScript("probe.zlt", "MESSAGE=in script\r\n");
    Run({"MESSAGE=first", script, "MESSAGE=last"});
    EXPECT_THAT(modes, ElementsAre(1, 1, 1));
    EXPECT_EQ(form_->FCommandMode, 0);
}

TEST_F(ScriptRun, ScriptFilesAreKnownByTheirExtensionInAnyCase)
{
    WriteScript("Run.ZlT", "MESSAGE=one\r\nmessage=Two\r\n");
    CurrentDirectory here(scratch_.Path());
    // Relative to the current directory; a value after the name is ignored.
    Run({"run.zlt", "RUN.ZLT=TRUE"});
    EXPECT_THAT(Boxes(), ElementsAre("one", "Two", "one", "Two"));
    EXPECT_FALSE(tk::App().Terminated());
}

TEST_F(ScriptRun, ScriptLinesEndInCrLfLfOrCrAndTheLastNeedsNone)
{
    const std::string script = WriteScript("ends.zlt", "MESSAGE=a\r\nMESSAGE=b\nMESSAGE=c\rMESSAGE=d");
    Run(script);
    EXPECT_THAT(Boxes(), ElementsAre("a", "b", "c", "d"));
}

TEST_F(ScriptRun, KeyAndValueAreTrimmedAndCaseInsensitive)
{
    const auto flash = Pattern(8192, 21);
    SeedChip(flash, Pattern(512, 22));
    if (!LoadPlugInAndIdentify())
        GTEST_SKIP() << "the plug-in host does not load and identify the device yet";
    Run("readflash = true");
    EXPECT_EQ(MainUnit().FlashBuffer, Bytes(flash));
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(ScriptRun, KeywordsMarkedTrueIgnoreOtherValuesButEraseChipRefusesThem)
{
    Run({"LOADPLUGIN=DemoPlugin.dll"});
    ClearPlugInTrace();
    Run({"GETCHIPID=FALSE", "READFLASH=YES", "VIEWDEC=", "CLONE=0", "EXIT=FALSE"});
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_THAT(PlugInTrace(), IsEmpty());
    EXPECT_FALSE(tk::App().Terminated());

    Run("ERASECHIP=false");
    EXPECT_THAT(Boxes(), ElementsAre(SyntaxError("ERASECHIP", "FALSE")));
    EXPECT_THAT(PlugInTrace(), Not(Contains("EraseChip")));
    EXPECT_TRUE(tk::App().Terminated());
}

TEST_F(ScriptRun, TrueFalseKeywordsRefuseAThirdValue)
{
    const bool eraseBefore = form_->MnuChipErase->Checked();
    Run({"RELEASEPORTLINES=YES", "CHIPERASEBEFOREPROGRAMMING=1", "FILLFLASH=", "SNFLASHMSB=on"});
    EXPECT_THAT(Boxes(), ElementsAre(SyntaxError("RELEASEPORTLINES", "YES"),
                                     SyntaxError("CHIPERASEBEFOREPROGRAMMING", "1"), SyntaxError("FILLFLASH", ""),
                                     SyntaxError("SNFLASHMSB", "ON")));
    EXPECT_FALSE(form_->MnuRelease->Checked());
    EXPECT_EQ(form_->MnuChipErase->Checked(), eraseBefore);
    EXPECT_TRUE(tk::App().Terminated());
}

TEST_F(ScriptRun, UnknownKeysAndLanguagesAreSyntaxErrorsThatCloseThePortButNotTheDriver)
{
    Run({"A=B=C", "=TRUE", "LANGUAGE=KLINGON", "FILLEEPROMSTARTADDRESS=10"});
    EXPECT_THAT(Boxes(), ElementsAre(SyntaxError("A", "B"), SyntaxError("", "TRUE"),
                                     SyntaxError("LANGUAGE", "KLINGON"), SyntaxError("FILLEEPROMSTARTADDRESS", "10")));
    for (const tk::MessageRequest& box : messages_.Shown())
        EXPECT_EQ(box.caption, ApplicationTitle());
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_THAT(PortLibraryTrace(), Not(Contains("CloseDriver")));
}

TEST_F(ScriptRun, CommandsAfterASyntaxErrorOrExitStillRunThenTheApplicationEnds)
{
    const std::string script = WriteScript("goes-on.zlt", "BOGUS=1\r\nMESSAGE=after the error\r\n");
    Run({script, "EXIT=TRUE", "MESSAGE=after exit", "CHIPERASEBEFOREPROGRAMMING=FALSE"});
    EXPECT_THAT(Boxes(), ElementsAre(SyntaxError("BOGUS", "1"), "after the error", "after exit"));
    EXPECT_EQ(form_->FChipEraseBeforeProgramming, 0);
    EXPECT_TRUE(tk::App().Terminated());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
}

TEST_F(ScriptRun, AnEmptyLineOrALineWithoutSeparatorEndsThatScriptOnly)
{
    const std::string first = WriteScript("first.zlt", "MESSAGE=one\r\n\r\nMESSAGE=never\r\n");
    const std::string second = WriteScript("second.zlt", "MESSAGE=two\r\nREADFLASH\r\nMESSAGE=never\r\n");
    Run({first, second, "MESSAGE=next parameter"});
    EXPECT_THAT(Boxes(), ElementsAre("one", ScriptError(first, "List index out of bounds (1)"), "two",
                                     ScriptError(second, "List index out of bounds (1)"), "next parameter"));
    EXPECT_FALSE(tk::App().Terminated());
}

TEST_F(ScriptRun, AScriptCannotCallAnotherButItsNextLineRuns)
{
    WriteScript("inner.zlt", "MESSAGE=inner\r\n");
    const std::string outer = WriteScript("outer.zlt", "x.zlt\r\n" + scratch_.File("inner.zlt") + "\r\nMESSAGE=outer\r\n");
    Run(outer);
    EXPECT_THAT(Boxes(), ElementsAre(Text(S_SCRIPT_CALLS_SCRIPT), Text(S_SCRIPT_CALLS_SCRIPT), "outer"));
}

TEST_F(ScriptRun, AMissingScriptIsReportedWithTheOpenFailureAndTheNextParameterRuns)
{
    const std::string missing = scratch_.File("missing.zlt");
    Run({missing, "MESSAGE=still running"});
    EXPECT_THAT(Boxes(), ElementsAre(ScriptError(missing, "File not found"), "still running"));
    EXPECT_FALSE(tk::App().Terminated());
}

TEST_F(ScriptRun, SpecialBitsListsKeepUnnamedPlacesGrowWithZerosAndNeverShrink)
{
    // Without a plug-in the category cannot be written; the list stays as
    // the script made it.
    form_->FSpecialBits = {0, 1};
    messages_.fallback = tk::mrOk;
    Run("PROGRAMSPECIALBITS1=TRUE,,FALSE");
    EXPECT_THAT(form_->FSpecialBits, ElementsAre(1, 1, 0));
    form_->FSpecialBits = {};
    messages_.Clear();
    Run("PROGRAMSPECIALBITS2=maybe,TRUE");
    EXPECT_THAT(form_->FSpecialBits, ElementsAre(0, 1));
    messages_.Clear();
    // An empty list is one empty piece: it names nothing and removes nothing.
    Run("PROGRAMSPECIALBITS3=");
    EXPECT_THAT(form_->FSpecialBits, ElementsAre(0, 1));
}

TEST_F(ScriptRun, SpecialBitsWrittenInCommandModeTakeTheListsLengthThenTheCategorysBitCount)
{
    if (!LoadPlugInAndIdentify())
        GTEST_SKIP() << "the plug-in host does not load and identify the device yet";
    // Fuse bits: eight of them. The bits the script's three-piece list does
    // not reach keep their earlier values, as does the unnamed second place;
    // the ten-element array is cut to the category's eight bits.
    form_->FSpecialBits = {0, 1, 0, 0, 1, 1, 1, 1, 1, 1};
    ClearPlugInTrace();
    Run("PROGRAMSPECIALBITS1=TRUE,,FALSE");
    EXPECT_THAT(PlugInTrace(), Contains("WriteSpecialBits1 1,1,0,0,1,1,1,1"));
    EXPECT_EQ(form_->FSpecialBits.size(), 8u);
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(ScriptRun, PlayWithoutCountDoesNothingAndMissingPiecesAreScriptErrors)
{
    const std::string script = WriteScript("play.zlt", "PLAY=1000,200,100,0\r\nPLAY=1000,-5,100,-1\r\n"
                                                       "PLAY=1000,200\r\nMESSAGE=never\r\n");
    Run(script);
    EXPECT_THAT(sleepBeep_.beeps, IsEmpty());
    EXPECT_THAT(sleepBeep_.sleeps, IsEmpty());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], ScriptError(script, Text(S_SCRIPT_PLAY_NEGATIVE, {"1000,-5,100,-1"})));
}

TEST_F(ScriptRun, PlayRefusesNumbersThatAreNone)
{
    const std::string script = WriteScript("bad.zlt", "PLAY=1000,200,1O0,1\r\n");
    Run(script);
    EXPECT_THAT(Boxes(), ElementsAre(ScriptError(script, "'1O0' is not a valid integer value")));
    EXPECT_THAT(sleepBeep_.beeps, IsEmpty());
}

TEST_F(ScriptRun, NegativePlayTimesAreRefusedInsteadOfWaitingForever)
{
    // A pause of -1 would be an endless Sleep, a negative duration an
    // endless beep: each is a script error and nothing sounds.
    for (const char* values : {"1000,200,-1,1", "1000,-200,10,1", "-1000,200,10,1"}) {
        messages_.Clear();
        const std::string script = WriteScript("negative.zlt", std::string("PLAY=") + values + "\r\nMESSAGE=never\r\n");
        Run(script);
        EXPECT_THAT(Boxes(), ElementsAre(ScriptError(script, Text(S_SCRIPT_PLAY_NEGATIVE, {values}))));
    }
    EXPECT_THAT(sleepBeep_.beeps, IsEmpty());
    EXPECT_THAT(sleepBeep_.sleeps, IsEmpty());
}

TEST_F(ScriptRun, ACommandParameterThatFailsIsReportedAndTheNextOneRuns)
{
    Run({"NOSEPARATOR", "PLAY=1,2", "MESSAGE=after"});
    ASSERT_EQ(messages_.Shown().size(), 3u);
    EXPECT_EQ(messages_.Shown()[0].text, "List index out of bounds (1)");
    EXPECT_EQ(messages_.Shown()[0].caption, ApplicationTitle());
    EXPECT_EQ(messages_.Shown()[1].text, "List index out of bounds (2)");
    EXPECT_EQ(messages_.Shown()[2].text, "after");
    EXPECT_EQ(form_->FCommandMode, 0);
    EXPECT_FALSE(tk::App().Terminated());
}

TEST_F(ScriptRun, MessagesKeepTheirCaseAndWaitForTheUser)
{
    const std::string script = WriteScript("hello.zlt", "message=Hello World\r\nMESSAGE=  MiXeD cAsE  \r\n");
    Run(script);
    EXPECT_THAT(Boxes(), ElementsAre("Hello World", "MiXeD cAsE"));
}

TEST_F(ScriptRun, ScriptHexAndPlugInNamesKeepTheirLastValues)
{
    Run({"LOADPLUGIN=C:\\Some Folder\\NoSuchPlugIn.dll"});
    messages_.Clear();
    EXPECT_EQ(form_->FScriptPlugInName, "NoSuchPlugIn.dll");
    Run({"COMMENT=the names stay"});
    EXPECT_EQ(form_->FScriptPlugInName, "NoSuchPlugIn.dll");
}

TEST_F(ScriptRun, SerialNumberValuesAreCheckedAgainstTheSizesKnownWhenTheyAreSet)
{
    // No device identified yet: every address is past the end.
    Run("SNFLASHSTARTADDRESS=10");
    EXPECT_THAT(Boxes(), Contains(Text(S_CLONE_START_ADDRESS_TOO_HIGH)));
    messages_.Clear();
    if (!LoadPlugInAndIdentify())
        GTEST_SKIP() << "the plug-in host does not load and identify the device yet";
    Run("SNFLASHSTARTADDRESS=10");
    EXPECT_THAT(Boxes(), IsEmpty());
}

}  // namespace
