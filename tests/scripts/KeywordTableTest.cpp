// One case per keyword: each command, given as a program parameter, has the
// effect of the handler, menu check, check box or edit it drives, on the
// hidden main window and its dialogs with the demonstration plug-in's chip.
#include "ScriptsTestSupport.h"

#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/ProcessCommands.h"
#include "resources/StringIds.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;

class KeywordTable;

struct KeywordCase {
    std::string keyword;
    std::function<void(KeywordTable&)> check;
};

void PrintTo(const KeywordCase& c, std::ostream* out) { *out << c.keyword; }

class KeywordTable : public ScriptFixture, public ::testing::WithParamInterface<KeywordCase> {
public:
    using ScriptFixture::Bytes;
    using ScriptFixture::ChipEEprom;
    using ScriptFixture::ChipFlash;
    using ScriptFixture::ClearPlugInTrace;
    using ScriptFixture::LoadPlugInAndIdentify;
    using ScriptFixture::PlugInTrace;
    using ScriptFixture::PortLibraryTrace;
    using ScriptFixture::Run;
    using ScriptFixture::SeedChip;
    using ScriptFixture::WriteScript;
    using ScriptFixture::form_;
    using ScriptFixture::messages_;
    using ScriptFixture::sleepBeep_;

    void SetUp() override { CreateForms(); }
    TMainForm& F() { return *form_; }
    std::vector<std::string> BoxTexts() const { return Boxes(); }
};

#define REQUIRE_DEVICE(t)                                                                   \
    do {                                                                                     \
        if (!(t).LoadPlugInAndIdentify())                                                    \
            GTEST_SKIP() << "the plug-in host does not load and identify the device yet";   \
    } while (0)

std::vector<std::int32_t> Slice(const std::vector<std::int32_t>& v, std::size_t from, std::size_t count)
{
    return std::vector<std::int32_t>(v.begin() + static_cast<std::ptrdiff_t>(from),
                                     v.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// --- file, plug-in and device commands --------------------------------------------

void LoadBufferCase(KeywordTable& t, bool flash)
{
    REQUIRE_DEVICE(t);
    const auto data = Pattern(flash ? 300 : 100, 3);
    const std::string text = HexText(data);
    const std::string path = t.WriteScript(flash ? "Image.Hex" : "Image.Eep", text);
    t.Run(std::string(flash ? "LOADFLASHBUFFER=" : "LOADEEPROMBUFFER=") + path);
    EXPECT_EQ(t.F().FScriptHexFileName, path);
    if (flash) {
        EXPECT_EQ(MainUnit().FlashBuffer, t.Bytes(HexImage(text, 8192)));
        EXPECT_EQ(t.F().PanelText(1), Text(S_FLASH_HEX_LOADED));
    } else {
        EXPECT_EQ(MainUnit().EEpromBuffer, t.Bytes(HexImage(text, 512)));
        EXPECT_EQ(t.F().PanelText(1), Text(S_EEPROM_HEX_LOADED));
    }
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void ReadCase(KeywordTable& t, const char* line, bool flash, bool eeprom)
{
    const auto flashData = Pattern(8192, 1);
    const auto eepromData = Pattern(512, 2);
    t.SeedChip(flashData, eepromData);
    REQUIRE_DEVICE(t);
    t.Run(line);
    if (flash)
        EXPECT_EQ(MainUnit().FlashBuffer, t.Bytes(flashData));
    else
        EXPECT_NE(MainUnit().FlashBuffer, t.Bytes(flashData));
    if (eeprom)
        EXPECT_EQ(MainUnit().EEpromBuffer, t.Bytes(eepromData));
    else
        EXPECT_NE(MainUnit().EEpromBuffer, t.Bytes(eepromData));
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void WriteCase(KeywordTable& t, const char* line, bool flash, bool eeprom)
{
    REQUIRE_DEVICE(t);
    const auto flashData = Pattern(8192, 4);
    const auto eepromData = Pattern(512, 5);
    MainUnit().FlashBuffer = t.Bytes(flashData);
    MainUnit().EEpromBuffer = t.Bytes(eepromData);
    t.Run(line);
    EXPECT_EQ(t.ChipFlash() == flashData, flash);
    EXPECT_EQ(t.ChipEEprom() == eepromData, eeprom);
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void VerifyCase(KeywordTable& t, const char* line, bool flash, bool eeprom)
{
    const auto flashData = Pattern(8192, 6);
    const auto eepromData = Pattern(512, 7);
    t.SeedChip(flashData, eepromData);
    REQUIRE_DEVICE(t);
    MainUnit().FlashBuffer = t.Bytes(flashData);
    MainUnit().EEpromBuffer = t.Bytes(eepromData);
    if (flash && eeprom) {
        // Both memories agree: each pass ends with its own success text.
        t.Run(line);
        EXPECT_THAT(t.BoxTexts(), IsEmpty());
        EXPECT_EQ(t.F().PanelText(1), Text(S_EEPROM_READ_OK));
        EXPECT_THAT(t.PlugInTrace(), Contains("ReadFlashAddress 0000-1FFF"));
        return;
    }
    // One byte differs: the verification stops there and says where.
    if (flash)
        MainUnit().FlashBuffer[0x105] ^= 0xFF;
    else
        MainUnit().EEpromBuffer[0x105] ^= 0xFF;
    t.Run(line);
    EXPECT_THAT(t.BoxTexts(),
                ElementsAre(Text(flash ? S_VERIFY_FLASH_MISMATCH : S_VERIFY_EEPROM_MISMATCH, {"$01", "05"})));
}

void EraseChipCase(KeywordTable& t)
{
    t.SeedChip(Pattern(8192, 8), Pattern(512, 9));
    REQUIRE_DEVICE(t);
    t.Run("ERASECHIP=TRUE");
    EXPECT_EQ(t.ChipFlash(), std::vector<std::uint8_t>(8192, 0xFF));
    EXPECT_EQ(t.ChipEEprom(), std::vector<std::uint8_t>(512, 0xFF));
    EXPECT_EQ(t.F().PanelText(1), Text(S_DEVICE_ERASED));
}

void ExitCase(KeywordTable& t)
{
    t.Run("EXIT=TRUE");
    EXPECT_TRUE(tk::App().Terminated());
    const auto trace = t.PortLibraryTrace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "CloseDriver");
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void GetChipIdCase(KeywordTable& t)
{
    t.Run("LOADPLUGIN=DemoPlugin.dll");
    if (!MainUnit().PlugInLoaded)
        GTEST_SKIP() << "the plug-in host does not load plug-ins yet";
    t.ClearPlugInTrace();
    MainUnit().DeviceName.clear();
    t.Run("GETCHIPID=TRUE");
    EXPECT_EQ(MainUnit().DeviceName, "ATDEMO8");
    EXPECT_EQ(t.F().FFlashSize, 8192);
    EXPECT_EQ(t.F().FEEpromSize, 512);
    EXPECT_THAT(t.PlugInTrace(), Contains("CheckProgrammingDevice"));
    EXPECT_THAT(t.PlugInTrace(), Contains("CheckSignature"));
}

void LoadPlugInCase(KeywordTable& t)
{
    t.Run("LOADPLUGIN=Z:\\Elsewhere\\Plug-ins\\DemoPlugin.dll");
    EXPECT_EQ(t.F().FScriptPlugInName, "DemoPlugin.dll");
    if (!MainUnit().PlugInLoaded)
        GTEST_SKIP() << "the plug-in host does not load plug-ins yet";
    // The folder is dropped: the plug-in comes from the program's folder.
    EXPECT_EQ(MainUnit().PlugInFileName, "DemoPlugin.dll");
    EXPECT_EQ(MainUnit().DeviceName, "ATDEMO8");
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

// --- views and options ------------------------------------------------------------

void ViewCase(KeywordTable& t, const char* line, std::uint8_t mode)
{
    REQUIRE_DEVICE(t);
    // Start from another view so that the command visibly changes it.
    t.Run(mode == vmAscii ? "VIEWDEC=TRUE" : "VIEWASCII=TRUE");
    t.Run(line);
    EXPECT_EQ(MainUnit().ViewMode, mode);
    EXPECT_EQ(t.F().MnuHex->Checked(), mode == vmHex);
    EXPECT_EQ(t.F().MnuDecimal->Checked(), mode == vmDecimal);
    EXPECT_EQ(t.F().MnuAscii->Checked(), mode == vmAscii);
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void ChipEraseOptionCase(KeywordTable& t)
{
    t.Run("CHIPERASEBEFOREPROGRAMMING=false");
    EXPECT_FALSE(t.F().MnuChipErase->Checked());
    EXPECT_EQ(t.F().FChipEraseBeforeProgramming, 0);
    t.Run("CHIPERASEBEFOREPROGRAMMING=TRUE");
    EXPECT_TRUE(t.F().MnuChipErase->Checked());
    EXPECT_EQ(t.F().FChipEraseBeforeProgramming, 1);
}

void ReleaseOptionCase(KeywordTable& t)
{
    t.Run("RELEASEPORTLINES=TRUE");
    EXPECT_TRUE(t.F().MnuRelease->Checked());
    EXPECT_EQ(t.F().FReleasePortLines, 1);
    t.Run("RELEASEPORTLINES=FALSE");
    EXPECT_FALSE(t.F().MnuRelease->Checked());
    EXPECT_EQ(t.F().FReleasePortLines, 0);
}

// --- the Fill dialog ----------------------------------------------------------------

void FillPartBoxCase(KeywordTable& t, bool flash)
{
    TFillForm& fill = *FillForm();
    tk::CheckBox& part = *(flash ? fill.FB1 : fill.FB2);
    tk::CheckBox& whole = *(flash ? fill.CB2 : fill.CB1);
    const std::string keyword = flash ? "FILLFLASH" : "FILLEEPROM";
    t.Run(keyword + "=FALSE");
    EXPECT_FALSE(part.Checked());
    EXPECT_FALSE(whole.Enabled()) << "the box's click handler did not run";
    whole.SetChecked(true);
    t.Run(keyword + "=TRUE");
    EXPECT_TRUE(part.Checked());
    EXPECT_TRUE(whole.Enabled());
    EXPECT_FALSE(whole.Checked()) << "checking the part unchecks Fill All Buffer";
}

void FillAllBoxCase(KeywordTable& t, bool flash)
{
    TFillForm& fill = *FillForm();
    tk::CheckBox& whole = *(flash ? fill.CB2 : fill.CB1);
    tk::Edit& start = *(flash ? fill.EdtFStartAdd : fill.EdtEStartAdd);
    t.Run(std::string(flash ? "FILLALLFLASH" : "FILLALLEEPROM") + "=true");
    EXPECT_TRUE(whole.Checked());
    EXPECT_FALSE(start.Enabled()) << "the box's click handler did not run";
    t.Run(std::string(flash ? "FILLALLFLASH" : "FILLALLEEPROM") + "=FALSE");
    EXPECT_FALSE(whole.Checked());
    EXPECT_TRUE(start.Enabled());
}

void FillEditCase(KeywordTable& t, const char* keyword, tk::Edit* TFillForm::*edit)
{
    t.Run(std::string(keyword) + "=1fe");
    EXPECT_EQ((FillForm()->*edit)->Text(), "1FE");
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void FillBufferCase(KeywordTable& t)
{
    REQUIRE_DEVICE(t);
    const std::vector<std::int32_t> before = MainUnit().FlashBuffer;
    t.Run({"FILLFLASHSTARTADDRESS=10", "FILLFLASHENDADDRESS=1F", "FILLFLASHVALUE=1AA", "FILLBUFFER=TRUE"});
    EXPECT_EQ(Slice(MainUnit().FlashBuffer, 16, 16), std::vector<std::int32_t>(16, 0xAA));
    EXPECT_EQ(MainUnit().FlashBuffer[15], before[15]);
    EXPECT_EQ(MainUnit().FlashBuffer[32], before[32]);
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

// --- the Cloning Options dialog and cloning --------------------------------------

void SerialBoxCase(KeywordTable& t, bool flash)
{
    TCloneForm& clone = *CloneForm();
    t.Run(std::string(flash ? "SNFLASH" : "SNEEPROM") + "=TRUE");
    EXPECT_TRUE((flash ? clone.FCheck : clone.ECheck)->Checked());
    EXPECT_TRUE((flash ? clone.EdFStartAdd : clone.EdEStartAdd)->Enabled()) << "the box's click handler did not run";
    t.Run(std::string(flash ? "SNFLASH" : "SNEEPROM") + "=FALSE");
    EXPECT_FALSE((flash ? clone.EdFStartAdd : clone.EdEStartAdd)->Enabled());
}

void SerialOrderCase(KeywordTable& t, bool flash)
{
    TCloneForm& clone = *CloneForm();
    t.Run(std::string(flash ? "SNFLASHMSB" : "SNEEPROMMSB") + "=FALSE");
    EXPECT_FALSE((flash ? clone.CBFMsb : clone.CBEMsb)->Checked());
    EXPECT_EQ(flash ? t.F().FFlashSNMsbFirst : t.F().FEEpromSNMsbFirst, 0) << "the box's click handler did not run";
    t.Run(std::string(flash ? "SNFLASHMSB" : "SNEEPROMMSB") + "=TRUE");
    EXPECT_EQ(flash ? t.F().FFlashSNMsbFirst : t.F().FEEpromSNMsbFirst, 1);
}

// Serial-number edits validate against the identified device's sizes.
void SerialEditCase(KeywordTable& t, bool flash, const std::vector<std::string>& lines,
                    tk::Edit* TCloneForm::*edit, const char* text, std::int64_t TCloneForm::TSerialWork::*field,
                    std::int64_t expected, const char* clones)
{
    REQUIRE_DEVICE(t);
    t.Run(lines);
    TCloneForm& clone = *CloneForm();
    EXPECT_EQ((clone.*edit)->Text(), text);
    const TCloneForm::TSerialWork& work = flash ? clone.FlashWork() : clone.EEpromWork();
    EXPECT_EQ(work.*field, expected);
    EXPECT_EQ((flash ? clone.FClones : clone.EClones)->Text(), clones);
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void CloneCase(KeywordTable& t)
{
    const auto flashData = Pattern(8192, 10);
    const auto eepromData = Pattern(512, 11);
    t.SeedChip(flashData, eepromData);
    REQUIRE_DEVICE(t);
    t.ClearPlugInTrace();
    t.messages_.Answer(tk::mrNo);  // one device only
    t.Run("CLONE=TRUE");
    EXPECT_THAT(t.BoxTexts(),
                ElementsAre(Text(S_CLONE_MORE_THAN_ONE_DEVICE), Text(S_CLONE_INSERT_ORIGINAL_DEVICE),
                            Text(S_CLONE_MODIFYING_DATA, {"1"}), Text(S_CLONE_INSERT_CLONE_DEVICE, {"1"})));
    const auto trace = t.PlugInTrace();
    EXPECT_THAT(trace, Contains("ReadFlashAddress 0000-1FFF"));
    EXPECT_THAT(trace, Contains("EraseChip"));
    EXPECT_THAT(trace, Contains("WriteFlashAddress 0000-1FFF"));
    EXPECT_THAT(trace, Contains("WriteEEpromAddress 0000-01FF"));
    // The source was read and written back onto the same chip.
    EXPECT_EQ(t.ChipFlash(), flashData);
    EXPECT_EQ(t.ChipEEprom(), eepromData);
}

// --- special bits, sound, texts, language -------------------------------------------

void SpecialBitsCase(KeywordTable& t, int category, const char* list, const char* written)
{
    REQUIRE_DEVICE(t);
    t.ClearPlugInTrace();
    t.Run("PROGRAMSPECIALBITS" + std::to_string(category) + "=" + list);
    const auto trace = t.PlugInTrace();
    EXPECT_THAT(trace, Contains(written));
    // Command mode writes what the script gave without reading the device.
    EXPECT_THAT(trace, Not(Contains(::testing::StartsWith("ReadSpecialBits" + std::to_string(category) + " "))));
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

void PlayCase(KeywordTable& t)
{
    t.Run("PLAY=1000, 200,$64 ,2");
    EXPECT_THAT(t.sleepBeep_.beeps, ElementsAre(Pair(1000u, 200u), Pair(1000u, 200u)));
    EXPECT_THAT(t.sleepBeep_.sleeps, ElementsAre(100u, 100u));
}

void CommentCase(KeywordTable& t)
{
    t.ClearPlugInTrace();  // the plug-in browser's scan at start
    t.Run("COMMENT=EXIT=TRUE");
    t.Run("comment=whatever is written here");
    EXPECT_FALSE(tk::App().Terminated());
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
    EXPECT_THAT(t.PlugInTrace(), IsEmpty());
}

void MessageCase(KeywordTable& t)
{
    t.Run("MESSAGE=Hello World");
    ASSERT_EQ(t.messages_.Shown().size(), 1u);
    EXPECT_EQ(t.messages_.Shown()[0].text, "Hello World");
    EXPECT_EQ(t.messages_.Shown()[0].caption, ApplicationTitle());
    EXPECT_EQ(t.messages_.Shown()[0].buttons, tk::mbOK);
}

void LanguageCase(KeywordTable& t)
{
    t.Run("LANGUAGE=french");
    EXPECT_TRUE(t.F().LanguageFrench->Checked());
    for (tk::MenuItem* other : {t.F().LanguageEnglish, t.F().LanguageItalian, t.F().LanguageGerman,
                                t.F().LanguageRomanian})
        EXPECT_FALSE(other->Checked()) << other->Name();
    EXPECT_EQ(t.F().MnuFile->Caption(), "&Fichier");
    EXPECT_THAT(t.BoxTexts(), IsEmpty());
}

const KeywordCase kCases[] = {
    {"LOADFLASHBUFFER", [](KeywordTable& t) { LoadBufferCase(t, true); }},
    {"LOADEEPROMBUFFER", [](KeywordTable& t) { LoadBufferCase(t, false); }},
    {"LOADPLUGIN", LoadPlugInCase},
    {"ERASECHIP", EraseChipCase},
    {"EXIT", ExitCase},
    {"GETCHIPID", GetChipIdCase},
    {"READFLASH", [](KeywordTable& t) { ReadCase(t, "READFLASH=TRUE", true, false); }},
    {"READEEPROM", [](KeywordTable& t) { ReadCase(t, "READEEPROM=TRUE", false, true); }},
    {"READALL", [](KeywordTable& t) { ReadCase(t, "READALL=TRUE", true, true); }},
    {"WRITEFLASH", [](KeywordTable& t) { WriteCase(t, "WRITEFLASH=TRUE", true, false); }},
    {"WRITEEEPROM", [](KeywordTable& t) { WriteCase(t, "WRITEEEPROM=TRUE", false, true); }},
    {"WRITEALL", [](KeywordTable& t) { WriteCase(t, "WRITEALL=TRUE", true, true); }},
    {"VERIFYFLASH", [](KeywordTable& t) { VerifyCase(t, "VERIFYFLASH=TRUE", true, false); }},
    {"VERIFYEEPROM", [](KeywordTable& t) { VerifyCase(t, "VERIFYEEPROM=TRUE", false, true); }},
    {"VERIFYALL", [](KeywordTable& t) { VerifyCase(t, "VERIFYALL=TRUE", true, true); }},
    {"VIEWHEX", [](KeywordTable& t) { ViewCase(t, "VIEWHEX=TRUE", vmHex); }},
    {"VIEWDEC", [](KeywordTable& t) { ViewCase(t, "VIEWDEC=TRUE", vmDecimal); }},
    {"VIEWASCII", [](KeywordTable& t) { ViewCase(t, "VIEWASCII=TRUE", vmAscii); }},
    {"CHIPERASEBEFOREPROGRAMMING", ChipEraseOptionCase},
    {"RELEASEPORTLINES", ReleaseOptionCase},
    {"FILLFLASH", [](KeywordTable& t) { FillPartBoxCase(t, true); }},
    {"FILLEEPROM", [](KeywordTable& t) { FillPartBoxCase(t, false); }},
    {"FILLALLFLASH", [](KeywordTable& t) { FillAllBoxCase(t, true); }},
    {"FILLALLEEPROM", [](KeywordTable& t) { FillAllBoxCase(t, false); }},
    {"FILLFLASHSTARTADDRESS", [](KeywordTable& t) { FillEditCase(t, "FILLFLASHSTARTADDRESS", &TFillForm::EdtFStartAdd); }},
    {"FILLFLASHENDADDRESS", [](KeywordTable& t) { FillEditCase(t, "FILLFLASHENDADDRESS", &TFillForm::EdtFEndAdd); }},
    {"FILLFLASHVALUE", [](KeywordTable& t) { FillEditCase(t, "FILLFLASHVALUE", &TFillForm::EdtFFillValue); }},
    {"FILLEEPROMSTASRTADDRESS",
     [](KeywordTable& t) { FillEditCase(t, "FILLEEPROMSTASRTADDRESS", &TFillForm::EdtEStartAdd); }},
    {"FILLEEPROMENDADDRESS", [](KeywordTable& t) { FillEditCase(t, "FILLEEPROMENDADDRESS", &TFillForm::EdtEEndAdd); }},
    {"FILLEEPROMVALUE", [](KeywordTable& t) { FillEditCase(t, "FILLEEPROMVALUE", &TFillForm::EdtEFillValue); }},
    {"FILLBUFFER", FillBufferCase},
    {"SNFLASH", [](KeywordTable& t) { SerialBoxCase(t, true); }},
    {"SNEEPROM", [](KeywordTable& t) { SerialBoxCase(t, false); }},
    {"SNFLASHMSB", [](KeywordTable& t) { SerialOrderCase(t, true); }},
    {"SNEEPROMMSB", [](KeywordTable& t) { SerialOrderCase(t, false); }},
    {"SNFLASHSTARTADDRESS",
     [](KeywordTable& t) {
         SerialEditCase(t, true, {"SNFLASHSTARTADDRESS=1ff0"}, &TCloneForm::EdFStartAdd, "1FF0",
                        &TCloneForm::TSerialWork::StartAddress, 0x1FF0, "1");
     }},
    {"SNEEPROMSTARTADDRESS",
     [](KeywordTable& t) {
         SerialEditCase(t, false, {"SNEEPROMSTARTADDRESS=1f0"}, &TCloneForm::EdEStartAdd, "1F0",
                        &TCloneForm::TSerialWork::StartAddress, 0x1F0, "1");
     }},
    {"SNFLASHBYTESTOFILL",
     [](KeywordTable& t) {
         SerialEditCase(t, true, {"SNFLASHBYTESTOFILL=2"}, &TCloneForm::EdFByte2Fill, "2", &TCloneForm::TSerialWork::ByteCount, 2,
                        "65536");
     }},
    {"SNEEPROMBYTESTOFILL",
     [](KeywordTable& t) {
         SerialEditCase(t, false, {"SNEEPROMBYTESTOFILL=3"}, &TCloneForm::EdEByte2Fill, "3", &TCloneForm::TSerialWork::ByteCount, 3,
                        "16777216");
     }},
    {"SNFLASHSTARTVALUE",
     [](KeywordTable& t) {
         SerialEditCase(t, true, {"SNFLASHBYTESTOFILL=1", "SNFLASHSTARTVALUE=f0"}, &TCloneForm::EdFStartVal, "F0",
                        &TCloneForm::TSerialWork::StartValue, 0xF0, "16");
     }},
    {"SNEEPROMSTARTVALUE",
     [](KeywordTable& t) {
         SerialEditCase(t, false, {"SNEEPROMBYTESTOFILL=1", "SNEEPROMSTARTVALUE=fe"}, &TCloneForm::EdEStartVal, "FE",
                        &TCloneForm::TSerialWork::StartValue, 0xFE, "2");
     }},
    {"SNFLASHINCREMENT",
     [](KeywordTable& t) {
         SerialEditCase(t, true, {"SNFLASHBYTESTOFILL=2", "SNFLASHSTARTVALUE=10", "SNFLASHINCREMENT=3"}, &TCloneForm::EdFStep, "3",
                        &TCloneForm::TSerialWork::Increment, 3, "21840");
     }},
    {"SNEEPROMINCREMENT",
     [](KeywordTable& t) {
         SerialEditCase(t, false, {"SNEEPROMBYTESTOFILL=1", "SNEEPROMINCREMENT=0"}, &TCloneForm::EdEStep, "0",
                        &TCloneForm::TSerialWork::Increment, 0, "256");
     }},
    {"CLONE", CloneCase},
    {"PROGRAMSPECIALBITS1",
     [](KeywordTable& t) {
         SpecialBitsCase(t, 1, "TRUE,FALSE,TRUE,FALSE,TRUE,FALSE,TRUE,FALSE", "WriteSpecialBits1 1,0,1,0,1,0,1,0");
     }},
    {"PROGRAMSPECIALBITS2", [](KeywordTable& t) { SpecialBitsCase(t, 2, "true, true", "WriteSpecialBits2 1,1"); }},
    {"PROGRAMSPECIALBITS3",
     [](KeywordTable& t) { SpecialBitsCase(t, 3, "FALSE,TRUE,TRUE", "WriteSpecialBits3 0,1,1"); }},
    {"PLAY", PlayCase},
    {"COMMENT", CommentCase},
    {"MESSAGE", MessageCase},
    {"LANGUAGE", LanguageCase},
};

TEST_P(KeywordTable, HasTheEffectOfWhatItDrives) { GetParam().check(*this); }

INSTANTIATE_TEST_SUITE_P(Keywords, KeywordTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<KeywordCase>& info) { return info.param.keyword; });

TEST(KeywordTableCoverage, EveryKeywordHasExactlyOneCase)
{
    std::vector<std::string> covered;
    for (const KeywordCase& c : kCases)
        covered.push_back(c.keyword);
    EXPECT_EQ(covered, CommandKeywords());
}

}  // namespace
