// The main window in-process: its layout from the description, start-up over
// 0 to 3 parallel ports, the port-kind messages and command mode, the busy
// guard, the release of the port lines through the simulated driver, the
// buffer grids in the three view modes, Esc, resizing and the exit command.
#include "MainTestSupport.h"

#include "programmer/PortLibrary.h"
#include "resources/StringIds.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/ActnList.h"
#include "toolkit/Canvas.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StrConv.h"
#include "toolkit/Streaming.h"
#include "toolkit/Resources.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>

namespace {

using ::testing::ElementsAre;

std::vector<std::string> Row(const tk::StringGrid& grid, int row)
{
    std::vector<std::string> cells;
    for (int col = 0; col < grid.ColCount(); ++col)
        cells.push_back(grid.Cells(col, row));
    return cells;
}

std::vector<std::string> Captions(tk::MenuItem& parent)
{
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < parent.Count(); ++i)
        captions.push_back(parent.Items(i)->Caption());
    return captions;
}

// --- layout ----------------------------------------------------------------------------

class MainLayout : public MainFormFixture {};

TEST_F(MainLayout, WindowStatusBarAndProgressBarAsDescribed)
{
    messages_.Answer(tk::mrOk);  // the port-kind message
    TMainForm& form = CreateMainForm();
    EXPECT_EQ(form.Caption(), "ZELTO Raz-Edezadu Divudavizu using no library");
    EXPECT_EQ(form.Width(), 687);
    EXPECT_EQ(form.Height(), 440);
    EXPECT_EQ(form.Constraints().minWidth, 540);
    EXPECT_EQ(form.Position(), tk::poScreenCenter);
    EXPECT_TRUE(form.KeyPreview());
    EXPECT_FALSE(form.Visible());

    ASSERT_EQ(form.SBar->Panels().Count(), 3u);
    EXPECT_EQ(form.SBar->Panels()[0].Width(), 75);
    EXPECT_EQ(form.SBar->Panels()[1].Width(), 410);
    EXPECT_EQ(form.SBar->Panels()[2].Width(), 50);
    EXPECT_EQ(form.PanelText(0), "No Device.");

    EXPECT_EQ(form.PBar->Width(), 33);
    EXPECT_EQ(form.PBar->Height(), 13);
    EXPECT_TRUE(form.PBar->Smooth());
    EXPECT_EQ(form.PBar->Min(), 0);
    EXPECT_EQ(form.PBar->Max(), 100);

    EXPECT_EQ(form.Panel2->GetAlign(), tk::alLeft);
    EXPECT_EQ(form.Panel2->Width(), 340);
    EXPECT_EQ(form.Splitter1->Width(), 3);
    EXPECT_EQ(form.Panel3->GetAlign(), tk::alClient);
    EXPECT_EQ(form.Dock1->GetAlign(), tk::alTop);
    EXPECT_EQ(form.Dock4->GetAlign(), tk::alBottom);
    // Stored 9 high; an empty dock takes no room at run time.
    EXPECT_EQ(form.Dock4->Height(), 0);
    EXPECT_TRUE(form.Dock4->Bars().empty());
    EXPECT_EQ(form.SG1->Parent(), form.Panel2);
    EXPECT_EQ(form.SG2->Parent(), form.Panel3);
    EXPECT_EQ(form.FLEPBar->Caption(), "Flash and EEprom Operations ");
}

TEST_F(MainLayout, GridsAsDescribed)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    for (tk::StringGrid* grid : {form.SG1, form.SG2}) {
        EXPECT_EQ(grid->ColCount(), 17);
        EXPECT_EQ(grid->RowCount(), 2);
        EXPECT_EQ(grid->FixedCols(), 1);
        EXPECT_EQ(grid->FixedRows(), 1);
        EXPECT_EQ(grid->DefaultRowHeight(), 16);
        EXPECT_EQ(grid->GetFont().name, "Arial Narrow");
        EXPECT_EQ(grid->GetFont().height, -11);
        EXPECT_EQ(grid->GetColor(), tk::clBtnFace);
        EXPECT_EQ(grid->Options(), tk::goFixedVertLine | tk::goFixedHorzLine | tk::goVertLine | tk::goHorzLine |
                                       tk::goColSizing | tk::goTabs | tk::goAlwaysShowEditor | tk::goThumbTracking);
        EXPECT_EQ(grid->GetAlign(), tk::alClient);
    }
    EXPECT_EQ(form.SG1->Hint(), "Flash Area");
    EXPECT_EQ(form.SG2->Hint(), "EEprom Area");
    EXPECT_EQ(form.SG1->ColWidths(0), 28);
    EXPECT_EQ(form.SG1->ColWidths(1), 17);
    EXPECT_EQ(form.SG1->ColWidths(15), 17);
    EXPECT_EQ(form.SG1->ColWidths(16), 16);
    EXPECT_EQ(form.SG2->ColWidths(0), 32);
    EXPECT_EQ(form.SG2->ColWidths(1), 16);
    EXPECT_EQ(form.SG2->ColWidths(16), 16);
}

TEST_F(MainLayout, MenuBarWithItsCaptionsShortcutsChecksAndSeparators)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    EXPECT_THAT(Captions(form.MainMenu1->Items()),
                ElementsAre("&File", "&Device", "&View", "&Toolbars", "Options", "&Ports", "Plug-&Ins", "&Language",
                            "&Help"));
    EXPECT_THAT(Captions(*form.MnuFile),
                ElementsAre("Read Hex File to &Flash buffer", "Read Hex File to &EEprom buffer",
                            "Save Fl&ash buffer to Hex File ", "Save EEprom &buffer to Hex File ", "E&xit"));
    EXPECT_THAT(Captions(*form.MnuDevice),
                ElementsAre("Get Chip Id", "Erase Chip", "-", "Read Operations", "Write Operations",
                            "Verification Operations", "Miscellaneous Operations"));
    EXPECT_THAT(Captions(*form.MnuMiscellaneous),
                ElementsAre("Program Special Bits 1", "Program Special Bits 2", "Program Special Bits 3", "-",
                            "Clone Device", "-", "Fill &Buffer"));
    EXPECT_THAT(Captions(*form.MnuLanguage),
                ElementsAre("&English", "&French", "&Italian", "&German", "&Romanian"));
    EXPECT_THAT(Captions(*form.MnuHelp),
                ElementsAre("&About", "Online HTML help", "System Info", "Help on the current plugin"));

    const std::pair<tk::MenuItem*, std::string> keys[] = {
        {form.MnuOpenFlash, "F2"},        {form.MnuOpenEEprom, "F3"},      {form.MnuSaveFlash, "Ctrl+F2"},
        {form.MnuSaveEEprom, "Ctrl+F3"},  {form.MnuExitApp, "Ctrl+X"},     {form.MnuReadFlash, "F4"},
        {form.MnuReadEEprom, "F5"},       {form.MnuReadAll, "F9"},         {form.MnuWriteFlash, "Ctrl+F4"},
        {form.MnuWriteEEprom, "Ctrl+F5"}, {form.MnuWriteAll, "Ctrl+F9"},   {form.MnuVerifyFlash, "F6"},
        {form.MnuVerifyEEprom, "F7"},     {form.MnuVerifyAll, "F8"},       {form.MnuHex, "Ctrl+H"},
        {form.MnuDecimal, "Ctrl+D"},      {form.MnuAscii, "Ctrl+A"},       {form.OnlineHTMLhelp1, "F1"},
        {form.MnuGetChipId, "Ctrl+I"},    {form.MnuEraseChip, "Ctrl+E"}};
    for (const auto& [item, text] : keys)
        EXPECT_EQ(tk::ShortCutToText(item->GetShortCut()), text) << item->Name();

    EXPECT_TRUE(form.MnuHex->Checked());
    EXPECT_FALSE(form.MnuDecimal->Checked());
    for (tk::MenuItem* item :
         {form.MnuFileOperations, form.MnuMiscOperations, form.MnuFLEPOperations, form.MnuViewOperations})
        EXPECT_TRUE(item->Checked()) << item->Name();
    EXPECT_FALSE(form.LanguageGerman->Enabled());
    EXPECT_FALSE(form.MnuRelease->Checked());
    EXPECT_FALSE(form.MnuEditDirectly->Checked());
}

// --- the 24 toolbar buttons ---------------------------------------------------------------

struct ButtonCase {
    TToolbarButton* TMainForm::*button;
    const char* hint;
    const char* handler;
    const char* picture;  // "" for the special bits, which show the plug-in's
};

const ButtonCase kButtons[] = {
    {&TMainForm::BtOpenFlash, "Read Hex File to Flash buffer [F2]", "Action_OpenFlashExecute", "OPENFLASH"},
    {&TMainForm::BtOpenEEprom, "Read Hex File to EEprom buffer [F3]", "Action_OpenPromExecute", "OPENEEPROM"},
    {&TMainForm::BtSaveFlash, "Save Flash buffer to Hex File [CTRL-F2]", "Action_SaveFlashExecute", "SAVEFLASH"},
    {&TMainForm::BtSaveEEprom, "Save EEprom buffer to Hex File [CTRL-F3]", "Action_SavePromExecute", "SAVEEEPROM"},
    {&TMainForm::BtExitApp, "Exit [CTRL-X]", "Action_ExitExecute", "EXITAPP"},
    {&TMainForm::BtChipId, "Chip ID [CTRL-I]", "Action_GetChipIdExecute", "CHIPID"},
    {&TMainForm::BtEraseChip, "Erase Flash and EEPROM memory [CTRL-E]", "Action_EraseChipExecute", "ERASECHIP"},
    {&TMainForm::BtSpecialBits1, "Program SpecialBits1", "ProgramSpecialBits", ""},
    {&TMainForm::BtSpecialBits2, "Program SpecialBits2", "ProgramSpecialBits", ""},
    {&TMainForm::BtSpecialBits3, "Program SpecialBits3", "ProgramSpecialBits", ""},
    {&TMainForm::BtClone, "Clone", "Action_CloneExecute", "CLONE"},
    {&TMainForm::BtFill, "Fill Flash and EEprom", "Action_FillBufferExecute", "FILL"},
    {&TMainForm::BtReadFlash, "Read Flash from device to Flash Buffer [F4]", "Action_ReadFlashExecute", "READFLASH"},
    {&TMainForm::BtReadEEprom, "Read EEPROM from device to EEPROM Buffer [F5]", "Action_ReadPromExecute",
     "READEEPROM"},
    {&TMainForm::BtReadAll, "Read Flash and EEPROM from device to Buffers [F9]", "Action_ReadAllExecute", "READALL"},
    {&TMainForm::BtWriteFlash, "Write Flash buffer to device  [CTRL-F4]", "Action_WriteFlashExecute", "WRITEFLASH"},
    {&TMainForm::BtWriteEEprom, "Write EEPROM buffer to device  [CTRL-F5]", "Action_WritePromExecute",
     "WRITEEEPROM"},
    {&TMainForm::BtWriteAll, "Write Flash and EEPROM buffers to device  [CTRL-F9]", "Action_WriteAllExecute",
     "WRITEALL"},
    {&TMainForm::BtVerFlash, "Verify Flash [F6]", "Action_VerifyFlashExecute", "VERFLASH"},
    {&TMainForm::BtVerEEprom, "Verify EEprom [F7]", "Action_VerifyPromExecute", "VEREEPROM"},
    {&TMainForm::BtVerAll, "Verify All [F8]", "Action_VerifyAllExecute", "VERALL"},
    {&TMainForm::BtHex, "Display in Hex mode", "Action_HexExecute", "HEX"},
    {&TMainForm::BtDec, "Display in Decimal mode", "Action_DecExecute", "DEC"},
    {&TMainForm::BtAsc, "Display in ASCII mode", "Action_AsciiExecute", "ASC"}};

// The handler that the main window's description binds to a button's click.
std::string DescribedClickHandler(const std::string& button)
{
    const tk::ObjectNode root = tk::ParseDescription(tk::FindRcData("TMAINFORM"));
    std::vector<const tk::ObjectNode*> open{&root};
    while (!open.empty()) {
        const tk::ObjectNode* node = open.back();
        open.pop_back();
        if (node->name == button) {
            for (const tk::PropertyAssignment& p : node->properties)
                if (p.name == "OnClick")
                    return p.value.text;
            return "<none>";
        }
        for (const tk::ObjectNode& child : node->children)
            open.push_back(&child);
    }
    return "<no component>";
}

TEST_F(MainLayout, TwentyFourButtonsOnFourBarsWithTheirHints)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    std::size_t onBars = 0;
    for (TToolbar* bar : {form.FileBar, form.MiscBar, form.FLEPBar, form.ViewBar}) {
        EXPECT_EQ(bar->Parent(), form.Dock1);
        for (std::size_t i = 0; i < bar->ControlCount(); ++i)
            onBars += dynamic_cast<TToolbarButton*>(bar->Controls(i)) ? 1 : 0;
    }
    EXPECT_EQ(onBars, 24u);
    for (const ButtonCase& c : kButtons) {
        TToolbarButton* button = form.*c.button;
        SCOPED_TRACE(button->Name());
        EXPECT_EQ(button->Hint(), c.hint);
        EXPECT_TRUE(button->OnClick);
        EXPECT_EQ(DescribedClickHandler(button->Name()), c.handler);
        EXPECT_EQ(button->Width(), 23);
        EXPECT_EQ(button->Height(), 22);
        EXPECT_TRUE(button->Flat());
        EXPECT_TRUE(button->Enabled()) << "nothing is disabled before a device was looked for";
        // Inside its bar, whole.
        EXPECT_GE(button->Left(), 0);
        EXPECT_LE(button->Left() + button->Width(), button->Parent()->ClientWidth());
        if (*c.picture) {
            EXPECT_TRUE(FaceShowsPicture(*button, ::GetModuleHandleA(nullptr), std::string("GLYPH_") + c.picture));
            EXPECT_TRUE(button->Caption().empty()) << "no text beside the picture";
        } else {
            // Until a plug-in brings its pictures, the name stands as text.
            EXPECT_TRUE(button->Glyph().Empty());
            EXPECT_EQ(button->Caption(), "SB" + std::string(1, button->Name().back()));
            const CaptionInk text = CaptionOnFace(*button);
            EXPECT_GT(text.shown, 10);
            EXPECT_EQ(text.shown, text.whole) << "the name is cut at the button's edges";
        }
    }
}

TEST_F(MainLayout, AClickOnEachButtonRunsItsCommand)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    messages_.Clear();
    // Every command but Exit is guarded: while another one runs, a click on
    // its button answers with the guard's message, which shows that the
    // click reached a command handler.
    MainUnit().Busy = 1;
    for (const ButtonCase& c : kButtons) {
        TToolbarButton* button = form.*c.button;
        if (button == form.BtExitApp)
            continue;
        SCOPED_TRACE(button->Name());
        messages_.Clear();
        messages_.Answer(tk::mrOk);
        tk::WinControl* bar = button->Parent();
        const LPARAM centre = MAKELPARAM(button->Left() + 11, button->Top() + 11);
        bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, centre);
        bar->Perform(WM_LBUTTONUP, 0, centre);
        EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_CANCEL_CURRENT_OPERATION)));
        EXPECT_EQ(button->State(), bdsUp);
    }
    EXPECT_FALSE(tk::App().Terminated());
    const LPARAM exitCentre = MAKELPARAM(form.BtExitApp->Left() + 11, form.BtExitApp->Top() + 11);
    form.FileBar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, exitCentre);
    form.FileBar->Perform(WM_LBUTTONUP, 0, exitCentre);
    EXPECT_TRUE(tk::App().Terminated());
}

TEST_F(MainLayout, EveryCommandHasItsActionBoundToTheSameHandler)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    EXPECT_EQ(form.Actions->ActionCount(), 23u);
    for (std::size_t i = 0; i < form.Actions->ActionCount(); ++i) {
        tk::Action* action = form.Actions->Actions(i);
        EXPECT_EQ(static_cast<bool>(action->OnExecute), action != form.Action_ProgramSpecBits1) << action->Name();
    }
    // The Exit action ends the program exactly as the menu item does.
    form.Action_Exit->Execute(nullptr);
    EXPECT_TRUE(tk::App().Terminated());
}

TEST_F(MainLayout, ToolbarItemsShowAndHideTheirBars)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.MnuFLEPOperations->Click();
    EXPECT_FALSE(form.FLEPBar->Visible());
    EXPECT_FALSE(form.MnuFLEPOperations->Checked());
    EXPECT_TRUE(form.FileBar->Visible());
    form.MnuFLEPOperations->Click();
    EXPECT_TRUE(form.FLEPBar->Visible());
    EXPECT_TRUE(form.MnuFLEPOperations->Checked());
}

// --- start-up over the ports found -----------------------------------------------------------

struct PortCase {
    const char* name;
    const char* config;
    std::int32_t count;
    std::int32_t address;
    const char* captions[3];
    bool enabled[3];
    bool checked[3];
};

const PortCase kPortCases[] = {
    {"NoPort", "PORTS=\n", 0, 0, {"278H", "378H", "3BCH"}, {true, true, true}, {false, false, false}},
    {"Only378", "PORTS=378\n", 1, 0x378, {"278H", "Port $378", "3BCH"}, {false, true, false}, {false, true, false}},
    {"Only3BC", "PORTS=3BC\nBIDIR=\n", 1, 0x3BC, {"278H", "378H", "Port $3BC"}, {false, false, true},
     {false, false, true}},
    {"Ports378And3BC", "PORTS=378,3BC\n", 2, 0x378, {"278H", "Port $378", "Port $3BC"}, {false, true, true},
     {false, true, false}},
    {"Ports278And3BC", "PORTS=278,3BC\n", 2, 0x278, {"Port $278", "378H", "Port $3BC"}, {true, false, true},
     {true, false, false}},
    {"AllThree", "PORTS=278,378,3BC\n", 3, 0x278, {"Port $278", "Port $378", "Port $3BC"}, {true, true, true},
     {true, false, false}},
    // More ports than the menu knows: it is left as described.
    {"FourReported", "PORTS=278,378,3BC\nPORT_COUNT=4\n", 4, 0, {"278H", "378H", "3BCH"}, {true, true, true},
     {false, false, false}},
};

class MainPorts : public MainFormFixture, public ::testing::WithParamInterface<PortCase> {};

TEST_P(MainPorts, MenuAndCurrentPortFollowThePortsFound)
{
    const PortCase& c = GetParam();
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm(c.config);
    EXPECT_EQ(form.FPortCount, c.count);
    EXPECT_EQ(form.FPortAddress, c.address);
    tk::MenuItem* items[3] = {form.LPT11, form.LPT21, form.LPT31};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->Caption(), c.captions[i]) << i;
        EXPECT_EQ(items[i]->Enabled(), c.enabled[i]) << i;
        EXPECT_EQ(items[i]->Checked(), c.checked[i]) << i;
    }
    EXPECT_EQ(form.PanelText(1), "");
    EXPECT_EQ(form.PanelText(2), Text(S_PORT_NO_PROGRAMMER, {tk::IntToHex(c.address, 3)}));
    // The kind of the current port was asked for, and told once.
    const auto trace = PortLibraryTrace();
    EXPECT_NE(std::find(trace.begin(), trace.end(), "CheckBidir " + tk::IntToHex(c.address, 3)), trace.end());
    EXPECT_EQ(messages_.Shown().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ports, MainPorts, ::testing::ValuesIn(kPortCases),
                         [](const ::testing::TestParamInfo<PortCase>& info) { return info.param.name; });

class MainStartUp : public MainFormFixture {};

TEST_F(MainStartUp, OptionsAndFlagsAfterCreation)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    const TMainUnitState& unit = MainUnit();
    EXPECT_EQ(unit.ViewMode, vmHex);
    EXPECT_EQ(unit.Busy, 0);
    EXPECT_EQ(unit.AbortRequested, 0);
    EXPECT_EQ(unit.EditValuesDirectly, 0);
    EXPECT_EQ(unit.PlugInLoaded, 0);
    EXPECT_TRUE(form.MnuChipErase->Checked());
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);
    EXPECT_EQ(form.FReleasePortLines, 0);
    EXPECT_EQ(form.FCommandMode, 0);
    EXPECT_EQ(form.LanguageEnglish->Tag(), 1033);
    EXPECT_EQ(form.LanguageFrench->Tag(), 1036);
    EXPECT_EQ(form.LanguageGerman->Tag(), 1031);
    EXPECT_EQ(form.LanguageItalian->Tag(), 1040);
    EXPECT_EQ(form.LanguageRomanian->Tag(), 24);
    const auto trace = PortLibraryTrace();
    ASSERT_GE(trace.size(), 4u);
    EXPECT_EQ(trace[0], "OpenDriver");
    EXPECT_EQ(trace[1], "CheckPorts");
    EXPECT_EQ(trace[2], "GetCommandMode");
    EXPECT_EQ(trace[3], "CheckBidir 378");
}

TEST_F(MainStartUp, PortKindMessagesForECPBidirectionalAndPlainPorts)
{
    const std::pair<std::string, std::string> cases[] = {
        {"PORTS=378\nECP=378\n", Text(S_PORT_IS_ECP, {"378"})},
        {"PORTS=378\nBIDIR=378\n", Text(S_PORT_IS_BIDIRECTIONAL, {"378"})},
        {"PORTS=378\nBIDIR=\n", Text(S_PORT_NOT_BIDIRECTIONAL, {"378"})},
        {"PORTS=278\nBIDIR=278\nECP=278\n", Text(S_PORT_IS_ECP, {"278"})},
    };
    for (const auto& [config, text] : cases) {
        messages_.Clear();
        messages_.Answer(tk::mrOk);
        CreateMainForm(config);
        EXPECT_THAT(messages_.Texts(), ElementsAre(text)) << config;
        EXPECT_EQ(messages_.Shown()[0].caption, tk::App().Title());
        DestroyMainForm();
        ResetMainUnit();
    }
    EXPECT_EQ(Text(S_PORT_IS_ECP, {"378"}), "The port currently used\r\nis the ECP port at $378");
}

TEST_F(MainStartUp, CommandModeShowsNoPortKindMessage)
{
    TMainForm& form = CreateMainForm("PORTS=378\n", /*commandMode=*/true);
    EXPECT_TRUE(messages_.Shown().empty());
    EXPECT_EQ(form.FCommandMode, 1);
}

TEST_F(MainStartUp, APortChosenAfterTheCommandLineRanIsReportedAgain)
{
    TMainForm& form = CreateMainForm("PORTS=278,378\nBIDIR=278,378\n", /*commandMode=*/true);
    EXPECT_TRUE(messages_.Shown().empty());
    // What the interpreter does when the last parameter has run.
    form.FCommandMode = 0;
    form.MarkCommandLineProcessed();
    EXPECT_TRUE(form.CommandLineProcessed());

    // The port library still says "command mode", but the user is at the
    // keyboard now: the kind of the newly chosen port is shown.
    messages_.Answer(tk::mrOk);
    form.LPT21->Click();
    EXPECT_EQ(form.FCommandMode, 0);
    EXPECT_EQ(form.FPortAddress, 0x378);
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_PORT_IS_BIDIRECTIONAL, {"378"})));
    EXPECT_TRUE(form.LPT21->Checked());
    EXPECT_FALSE(form.LPT11->Checked());
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(MainStartUp, PortItemsCheckOnlyTheClickedOne)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm("PORTS=278,378,3BC\nBIDIR=\n");
    messages_.Answer(tk::mrOk);
    form.LPT31->Click();
    EXPECT_FALSE(form.LPT11->Checked());
    EXPECT_FALSE(form.LPT21->Checked());
    EXPECT_TRUE(form.LPT31->Checked());
    EXPECT_EQ(form.FPortAddress, 0x3BC);
    EXPECT_EQ(messages_.Texts().back(), Text(S_PORT_NOT_BIDIRECTIONAL, {"3BC"}));
}

TEST_F(MainStartUp, DriverThatCannotBeOpenedEndsTheProgramWithCode200)
{
    tk::InterceptedExit exits;
    messages_.Answer(tk::mrOk);
    ZpSetCommandMode(0);
    Configure("OPENDRIVER_FAILS=1\n");
    EXPECT_THROW(tk::App().CreateForm<TMainForm>(driver_.System()), tk::ExitRequested);
    EXPECT_THAT(exits.codes, ElementsAre(200));
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_EQ(messages_.Shown()[0].text, Text(S_PORT_DRIVER_NOT_INITIALIZED));
    EXPECT_EQ(messages_.Shown()[0].type, tk::mtError);
    EXPECT_EQ(messages_.Shown()[0].buttons, tk::mbOK);
    // Nothing else was asked of the port library after the failure.
    EXPECT_THAT(PortLibraryTrace(), ElementsAre("OpenDriver FAIL", "CloseDriver"));
}

// --- busy guard and options ------------------------------------------------------------------

class MainBusy : public MainFormFixture {};

TEST_F(MainBusy, ASecondCommandIsRefusedAndLeavesTheBusyFlagAlone)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm("PORTS=278,378\n");
    messages_.Clear();
    MainUnit().Busy = 1;

    messages_.Answer(tk::mrOk);
    form.LPT11->Click();
    messages_.Answer(tk::mrOk);
    form.MnuChipErase->Click();
    EXPECT_THAT(messages_.Texts(), ElementsAre("Cancel the current operation first!",
                                               "Cancel the current operation first!"));
    EXPECT_EQ(MainUnit().Busy, 1);
    EXPECT_EQ(form.FPortAddress, 0x278);
    EXPECT_TRUE(form.LPT11->Checked());
    EXPECT_TRUE(form.MnuChipErase->Checked());
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 1);

    // The release option has no guard.
    form.MnuRelease->Click();
    EXPECT_EQ(form.FReleasePortLines, 1);
    EXPECT_EQ(MainUnit().Busy, 1);
}

TEST_F(MainBusy, GuardedCommandsClearTheFlagOnEveryWayOut)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.MnuChipErase->Click();
    EXPECT_FALSE(form.MnuChipErase->Checked());
    EXPECT_EQ(form.FChipEraseBeforeProgramming, 0);
    EXPECT_EQ(MainUnit().Busy, 0);

    try {
        TBusyScope busy;
        EXPECT_EQ(MainUnit().Busy, 1);
        throw std::runtime_error("device failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(MainUnit().Busy, 0);
    EXPECT_TRUE(form.CheckNotBusy());
}

TEST_F(MainBusy, ReleaseOptionFollowsItsCheckMark)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.MnuRelease->Click();
    EXPECT_TRUE(form.MnuRelease->Checked());
    EXPECT_EQ(form.FReleasePortLines, 1);
    form.MnuRelease->Click();
    EXPECT_FALSE(form.MnuRelease->Checked());
    EXPECT_EQ(form.FReleasePortLines, 0);
}

// --- port lines and the port check ----------------------------------------------------------

class MainPortLines : public MainFormFixture {};

TEST_F(MainPortLines, ReleaseWritesFFToTheDataRegisterAndClosesThePort)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm("PORTS=378\n");
    driver_.ClearLogs();
    form.ReleasePortLines();
    EXPECT_THAT(driver_.RequestLog(), ElementsAre("W 0378=FF"));
    EXPECT_EQ(driver_.DataLatch(0x378), 0xFF);
    EXPECT_FALSE(form.Port1.Opened());
    EXPECT_EQ(driver_.OpenDriverHandleCount(), 0);
}

TEST_F(MainPortLines, WithoutAPortNothingIsWrittenAndDeviceCommandsAreStopped)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm("PORTS=\n");
    ASSERT_EQ(form.FPortAddress, 0);
    driver_.ClearLogs();
    form.ReleasePortLines();
    EXPECT_TRUE(driver_.RequestLog().empty());
    EXPECT_EQ(driver_.CallCount("CreateFileA"), 0);

    messages_.Clear();
    messages_.Answer(tk::mrOk);
    EXPECT_FALSE(form.CheckPortPresent());
    EXPECT_THAT(messages_.Texts(), ElementsAre(Text(S_NO_PARALLEL_PORT)));
}

TEST_F(MainPortLines, APresentPortPassesTheCheckSilently)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm("PORTS=3BC\n");
    messages_.Clear();
    EXPECT_TRUE(form.CheckPortPresent());
    EXPECT_TRUE(messages_.Shown().empty());
}

// --- Esc, resize, exit ------------------------------------------------------------------------

class MainWindow : public MainFormFixture {};

TEST_F(MainWindow, EscapeInAnyControlRequestsAnAbortAndTheRequestStays)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    HWND grid = form.SG1->Handle();
    ::SendMessageA(grid, WM_KEYDOWN, 'A', 0x001E0001);
    EXPECT_EQ(MainUnit().AbortRequested, 0);
    ::SendMessageA(grid, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(MainUnit().AbortRequested, 1);
    // Nothing clears it but the device loops.
    PumpMessages();
    ::SendMessageA(form.SG2->Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(MainUnit().AbortRequested, 1);
}

TEST_F(MainWindow, ShownTheClientPanelFillsTheAreaBelowTheMenuBar)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.Show();
    PumpMessages();
    RECT client{};
    ::GetClientRect(form.Handle(), &client);
    EXPECT_EQ(form.Panel1->Height(), client.bottom);
    EXPECT_EQ(form.Panel1->Width(), client.right);
    // The status bar is the bottom line of the window, the progress bar on it.
    RECT bar{}, window{}, progress{};
    ::GetWindowRect(form.SBar->Handle(), &bar);
    ::GetWindowRect(form.Handle(), &window);
    ::GetWindowRect(form.PBar->Handle(), &progress);
    EXPECT_LE(bar.bottom, window.bottom);
    EXPECT_GE(progress.top, bar.top);
    EXPECT_LE(progress.bottom, bar.bottom);
    EXPECT_EQ(form.PBar->Top(), form.SBar->Top() + 4);
    // Above the status bar, not hidden behind it.
    POINT middle{form.PBar->Left() + form.PBar->Width() / 2, form.PBar->Top() + form.PBar->Height() / 2};
    EXPECT_EQ(::ChildWindowFromPointEx(form.Panel1->Handle(), middle, CWP_SKIPINVISIBLE), form.PBar->Handle());
}

TEST_F(MainWindow, ResizePutsTheProgressBarOnTheStatusBarAndHalvesThePanels)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.SetBounds(10, 10, 801, 500);
    PumpMessages();
    EXPECT_EQ(form.PBar->Top(), form.SBar->Top() + 4);
    EXPECT_EQ(form.Panel2->Width(), 801 / 2 - 15);
    EXPECT_EQ(form.SBar->Top() + form.SBar->Height(), form.Panel1->ClientHeight());

    form.SetBounds(10, 10, 600, 420);
    PumpMessages();
    EXPECT_EQ(form.PBar->Top(), form.SBar->Top() + 4);
    // Half of it (285) would cut the Flash grid's last column at its edge.
    EXPECT_GT(form.Panel2->Width(), 285);
}

TEST_F(MainWindow, ExitClosesThePortAndTheDriverAndEndsTheLoop)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.Port1.OpenPort();
    ASSERT_TRUE(form.Port1.Opened());
    form.MnuExitApp->Click();
    EXPECT_FALSE(form.Port1.Opened());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
    EXPECT_TRUE(tk::App().Terminated());
}

TEST_F(MainWindow, ClosingTheWindowClosesTheDriverAndThePort)
{
    messages_.Answer(tk::mrOk);
    TMainForm& form = CreateMainForm();
    form.Port1.OpenPort();
    tk::CloseAction action = tk::caHide;
    form.OnClose(&form, action);
    EXPECT_FALSE(form.Port1.Opened());
    EXPECT_EQ(PortLibraryTrace().back(), "CloseDriver");
}

// --- buffer grids ------------------------------------------------------------------------------

class MainGrids : public MainFormFixture {
protected:
    TMainForm& Identified(std::size_t flashSize, std::size_t eepromSize, std::uint8_t viewMode)
    {
        messages_.Answer(tk::mrOk);
        TMainForm& form = CreateMainForm();
        TMainUnitState& unit = MainUnit();
        unit.DeviceName = "ATDEMO8";
        unit.FlashEnabled = 1;
        unit.EEpromEnabled = 1;
        unit.FlashBuffer.resize(flashSize);
        for (std::size_t a = 0; a < flashSize; ++a)
            unit.FlashBuffer[a] = static_cast<std::int32_t>((a * 7 + 3) & 0xFF);
        unit.EEpromBuffer.assign(eepromSize, 0xFF);
        unit.ViewMode = viewMode;
        return form;
    }
};

TEST_F(MainGrids, SixteenBytesInHex)
{
    TMainForm& form = Identified(16, 4, vmHex);
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->ColCount(), 17);
    EXPECT_EQ(form.SG1->RowCount(), 2);
    EXPECT_THAT(Row(*form.SG1, 0), ElementsAre("", "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "0A",
                                               "0B", "0C", "0D", "0E", "0F"));
    EXPECT_THAT(Row(*form.SG1, 1), ElementsAre("00", "03", "0A", "11", "18", "1F", "26", "2D", "34", "3B", "42",
                                               "49", "50", "57", "5E", "65", "6C"));
    // The other grid is drawn only when asked.
    EXPECT_EQ(form.SG2->Cells(1, 1), "");
}

TEST_F(MainGrids, FourKilobytesInHexLabelRowsByRowNumber)
{
    TMainForm& form = Identified(4096, 4, vmHex);
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->RowCount(), 257);
    EXPECT_EQ(form.SG1->Cells(0, 1), "00");
    EXPECT_EQ(form.SG1->Cells(0, 17), "10");  // addresses 256 to 271
    EXPECT_EQ(form.SG1->Cells(0, 256), "FF");
    EXPECT_EQ(form.SG1->Cells(1, 17), tk::IntToHex((256 * 7 + 3) & 0xFF, 2));
    EXPECT_EQ(form.SG1->Cells(16, 256), tk::IntToHex((4095 * 7 + 3) & 0xFF, 2));
}

TEST_F(MainGrids, TwentyBytesInDecimal)
{
    TMainForm& form = Identified(20, 4, vmDecimal);
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->ColCount(), 11);
    EXPECT_EQ(form.SG1->RowCount(), 3);
    EXPECT_THAT(Row(*form.SG1, 0), ElementsAre("", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"));
    EXPECT_THAT(Row(*form.SG1, 1), ElementsAre("0", "3", "10", "17", "24", "31", "38", "45", "52", "59", "66"));
    EXPECT_EQ(form.SG1->Cells(0, 2), "1");
    EXPECT_EQ(form.SG1->Cells(10, 2), std::to_string((19 * 7 + 3) & 0xFF));
}

TEST_F(MainGrids, TwentyFiveBytesInDecimalLeaveFiveEmptyCells)
{
    TMainForm& form = Identified(25, 4, vmDecimal);
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->RowCount(), 4);
    EXPECT_THAT(Row(*form.SG1, 3), ElementsAre("2", "143", "150", "157", "164", "171", "", "", "", "", ""));
}

TEST_F(MainGrids, AsciiShowsOneCharacterPerByte)
{
    TMainForm& form = Identified(16, 20, vmAscii);
    TMainUnitState& unit = MainUnit();
    const char* text = "Hello, EEPROM!";
    for (int i = 0; text[i]; ++i)
        unit.EEpromBuffer[static_cast<std::size_t>(i)] = text[i];
    form.ShowEEpromBuffer();
    EXPECT_EQ(form.SG2->ColCount(), 17);
    EXPECT_EQ(form.SG2->RowCount(), 3);
    EXPECT_THAT(Row(*form.SG2, 0), ElementsAre("", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C",
                                               "D", "E", "F"));
    EXPECT_EQ(form.SG2->Cells(0, 1), "00");
    EXPECT_EQ(form.SG2->Cells(1, 1), "H");
    EXPECT_EQ(form.SG2->Cells(14, 1), "!");
    EXPECT_EQ(form.SG2->Cells(15, 1), std::string(1, '\xFF'));
    EXPECT_EQ(form.SG2->Cells(0, 2), "01");
    EXPECT_EQ(form.SG2->Cells(4, 2), std::string(1, '\xFF'));
    EXPECT_EQ(form.SG2->Cells(5, 2), "");
}

TEST_F(MainGrids, ALengthOneMemoryEmptiesRowOneAndKeepsTheHeader)
{
    TMainForm& form = Identified(40, 4, vmHex);
    form.ShowFlashBuffer();
    ASSERT_EQ(form.SG1->RowCount(), 4);
    MainUnit().FlashBuffer.assign(1, 0x42);
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->RowCount(), 2);
    EXPECT_EQ(form.SG1->ColCount(), 17);
    EXPECT_THAT(Row(*form.SG1, 0), ElementsAre("", "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "0A",
                                               "0B", "0C", "0D", "0E", "0F"));
    EXPECT_THAT(Row(*form.SG1, 1),
                ElementsAre("00", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""));
}

TEST_F(MainGrids, SwitchingModesRedrawsFromTheBufferAndDropsTypedTexts)
{
    TMainForm& form = Identified(20, 4, vmHex);
    form.ShowFlashBuffer();
    form.SG1->SetCells(1, 1, "ZZ");  // as typed into the cell
    EXPECT_EQ(form.SG1->Cells(1, 1), "ZZ");
    MainUnit().FlashBuffer[0] = 200;
    MainUnit().ViewMode = vmDecimal;
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->Cells(1, 1), "200");
    EXPECT_EQ(form.SG1->StoredCellCount(), 0u);
    MainUnit().ViewMode = vmHex;
    form.ShowFlashBuffer();
    EXPECT_EQ(form.SG1->ColCount(), 17);
    EXPECT_EQ(form.SG1->Cells(1, 1), "C8");
    EXPECT_EQ(form.SG1->Cells(4, 2), "88");
}

// Pixels of `r` unlike its bottom-right one, the cell's ground.
int Ink(const tk::Bitmap& dib, const RECT& r)
{
    const std::uint32_t* px = dib.Bits();
    int ink = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ink += (px[y * dib.Width() + x] ^ px[(r.bottom - 1) * dib.Width() + r.right - 1]) & 0xFFFFFF ? 1 : 0;
    return ink;
}

// Every cell in sight (all columns, rows down to the grid's bottom edge) has
// exactly the ink of its text drawn whole and alone in the grid's font. The
// grid paints twice, as a window does: the second paint must not change font.
void ExpectWholeTexts(tk::StringGrid& grid, const std::string& view)
{
    RECT client{};
    ::GetClientRect(grid.Handle(), &client);
    tk::Bitmap shot = tk::Bitmap::CreateDIB(client.right, client.bottom), alone = tk::Bitmap::CreateDIB(90, 24);
    for (int paint = 0; paint < 2; ++paint)
        ::SendMessageA(grid.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
    alone.GetCanvas().font = grid.GetFont();
    for (int row = 0; row <= grid.Model().LastVisibleRow(); ++row) {
        for (int col = 0; col < grid.ColCount() && (row == 0 || row >= grid.TopRow()); ++col) {
            RECT r = grid.CellRect(col, row);
            if (::IsRectEmpty(&r) || r.bottom > client.bottom || (col == grid.Col() && row == grid.Row()))
                continue;  // out of sight, cut by the bottom edge, or the highlighted current cell
            ASSERT_LE(r.right, client.right) << grid.Name() << " " << view << ": column " << col << " is cut";
            if (col == 0 || row == 0)
                ::InflateRect(&r, -1, -1);  // the raised edge inside a fixed cell
            const std::string text = grid.Cells(col, row);
            alone.GetCanvas().FillRect(RECT{0, 0, 90, 24});
            alone.GetCanvas().TextOut(4, 4, text);
            ::GdiFlush();
            EXPECT_EQ(Ink(shot, r), Ink(alone, RECT{0, 0, 90, 24}))
                << grid.Name() << " " << view << " cell " << col << "," << row << " '" << text << "'";
        }
    }
}

TEST_F(MainGrids, EveryCellShowsItsWholeTextInEveryView)
{
    TMainForm& form = Identified(128 * 1024, 128 * 1024, vmHex);
    TMainUnitState& unit = MainUnit();
    // The widest texts first: 255 down in Decimal, every byte in Hex.
    for (std::size_t a = 0; a < unit.FlashBuffer.size(); ++a)
        unit.FlashBuffer[a] = unit.EEpromBuffer[a] = static_cast<std::int32_t>(255 - a % 256);
    form.Show();
    // The description's Arial Narrow (missing here), then a narrow face that
    // has no installed twin either, as on a Windows machine without it.
    for (const char* face : {"Arial Narrow", "Arial Condensed"}) {
        for (tk::StringGrid* grid : {form.SG1, form.SG2}) {
            tk::Font font = grid->GetFont();
            font.name = face;
            grid->SetFont(font);
        }
        for (std::uint8_t mode : {vmHex, vmDecimal, vmAscii, vmHex}) {
            const std::string view =
                std::string(face) + (mode == vmHex ? " Hex" : mode == vmDecimal ? " Decimal" : " ASCII");
            unit.ViewMode = mode;
            form.ShowFlashBuffer();
            form.ShowEEpromBuffer();
            for (tk::StringGrid* grid : {form.SG1, form.SG2}) {
                grid->SetTopRow(grid->FixedRows());
                PumpMessages();
                ExpectWholeTexts(*grid, view);
                // The last rows' labels: "1FFF" in Hex and ASCII, "13107" in Decimal.
                grid->SetTopRow(grid->RowCount() - 1);
                PumpMessages();
                ExpectWholeTexts(*grid, view + " at the end");
            }
        }
    }
    // Back in Hex, the Flash grid's columns have their widths again.
    EXPECT_EQ(form.SG1->ColWidths(11), 17);
    EXPECT_EQ(form.SG1->ColWidths(16), 16);
}

TEST_F(MainGrids, DisabledMemoryOrNoDeviceLeavesTheGridAndSaysWhy)
{
    TMainForm& form = Identified(16, 512, vmHex);
    form.ShowEEpromBuffer();
    ASSERT_EQ(form.SG2->RowCount(), 33);

    MainUnit().EEpromEnabled = 0;
    MainUnit().EEpromBuffer.assign(1, 0);
    form.ShowEEpromBuffer();
    EXPECT_EQ(form.PanelText(1), "EEprom functions are disabled for ATDEMO8.");
    EXPECT_EQ(form.SG2->RowCount(), 33);
    EXPECT_EQ(form.SG2->Cells(1, 1), "FF");

    MainUnit().DeviceName.clear();
    form.ShowFlashBuffer();
    EXPECT_EQ(form.PanelText(1), "Flash functions are disabled for .");
    EXPECT_EQ(form.SG1->Cells(1, 1), "");
}

}  // namespace
