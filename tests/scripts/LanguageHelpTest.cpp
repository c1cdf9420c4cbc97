// Language modules, re-reading the open windows in place, the Language menu
// and the two help commands.
#include "ScriptsTestSupport.h"

#include "programmer/FillBuffers.h"
#include "programmer/LanguageModules.h"
#include "resources/StringIds.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/Grids.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"
#include "toolkit/ToolkitStrings.h"

#include <gmock/gmock.h>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

// A property text as the active module's description of `className` stores
// it for the component `name` (the window itself by its own name).
std::string StoredText(const std::string& className, const std::string& name, const std::string& property)
{
    const std::string_view data = tk::FindRcData(tk::UpperCase(className));
    if (data.empty())
        return "<no description>";
    const tk::ObjectNode root = tk::ParseDescription(data);
    std::vector<const tk::ObjectNode*> open{&root};
    while (!open.empty()) {
        const tk::ObjectNode* node = open.back();
        open.pop_back();
        if (node->name == name) {
            for (const tk::PropertyAssignment& p : node->properties)
                if (p.name == property)
                    return p.value.text;
            return "<not stored>";
        }
        for (const tk::ObjectNode& child : node->children)
            open.push_back(&child);
    }
    return "<no component>";
}

bool CopyModule(const std::string& from, const std::string& to)
{
    return ::CopyFileA((ExecutableFolder() + from).c_str(), to.c_str(), FALSE) != 0;
}

class RecordingHelp : public THtmlHelpService {
public:
    RecordingHelp() : override_(HtmlHelpSeam(), *this) {}
    void DisplayTableOfContents(HWND owner, const std::string& helpFile) override
    {
        calls.emplace_back(owner, helpFile);
    }
    std::vector<std::pair<HWND, std::string>> calls;

private:
    tk::SeamOverride<THtmlHelpService> override_;
};

// --- language modules without windows -------------------------------------------------

class LanguageModule : public ScriptFixture {};

TEST_F(LanguageModule, TheStartUpModuleFollowsThePinnedLocale)
{
    EXPECT_EQ(LocaleLanguageAbbreviation(::GetThreadLocale()), "ENU");
    ASSERT_EQ(tk::ResourceModule(), tk::MainModule());
    LoadStartupLanguageModule();
    EXPECT_NE(tk::ResourceModule(), tk::MainModule()) << "ZeltoPrg.ENU beside the program was not loaded";
    EXPECT_EQ(Text(S_CHECKING_LPT_PORTS), "Checking LPT Ports...");
}

TEST_F(LanguageModule, TakesThreeLettersThenTwoAndReleasesThePreviousModule)
{
    SetProgramFilePath(scratch_.File("Prog.exe"));
    const std::string english = Text(S_CHECKING_LPT_PORTS);
    ASSERT_TRUE(CopyModule("ZeltoPrg.fra", scratch_.File("Prog.FR")));
    ASSERT_TRUE(CopyModule("ZeltoPrg.ita", scratch_.File("Prog.ITA")));

    HINSTANCE french = LoadLanguageModule(1036);
    ASSERT_NE(french, nullptr);
    EXPECT_EQ(tk::ResourceModule(), french);
    const std::string frenchText = Text(S_CHECKING_LPT_PORTS);
    EXPECT_NE(frenchText, english);

    HINSTANCE italian = LoadLanguageModule(1040);
    ASSERT_NE(italian, nullptr);
    EXPECT_EQ(tk::ResourceModule(), italian);
    EXPECT_NE(Text(S_CHECKING_LPT_PORTS), frenchText);
    EXPECT_NE(Text(S_CHECKING_LPT_PORTS), english);
    // The French module was released, so its file can go.
    EXPECT_TRUE(::DeleteFileA(scratch_.File("Prog.FR").c_str()));
}

TEST_F(LanguageModule, AMissingModuleOrNamingPieceKeepsTheActiveModule)
{
    SetProgramFilePath(scratch_.File("Prog.exe"));
    ASSERT_TRUE(CopyModule("ZeltoPrg.fra", scratch_.File("Prog.fra")));
    HINSTANCE french = LoadLanguageModule(1036);
    ASSERT_NE(french, nullptr);

    EXPECT_EQ(LoadLanguageModule(1040), nullptr);  // no Italian module
    EXPECT_EQ(LoadLanguageModule(0x7A7A), nullptr);  // no such locale, no abbreviation
    SetProgramFilePath("C:\\nodot\\program");
    EXPECT_EQ(LoadLanguageModule(1036), nullptr);
    EXPECT_EQ(tk::ResourceModule(), french);
}

TEST_F(LanguageModule, RomanianCarriesOnlyItsPrimaryLanguageNumber)
{
    const std::string abbreviation = LocaleLanguageAbbreviation(24);
    HINSTANCE module = LoadLanguageModule(24);
    if (abbreviation.empty()) {
        EXPECT_EQ(module, nullptr) << "no abbreviation from the platform: no Romanian module";
    } else {
        EXPECT_NE(module, nullptr) << "abbreviation " << abbreviation;
        EXPECT_NE(Text(S_CHECKING_LPT_PORTS), "Checking LPT Ports...");
    }
}

TEST(HtmlHelpBinding, TheSystemHelpControlExportsHtmlHelpA)
{
    HMODULE library = ::LoadLibraryA("hhctrl.ocx");
    ASSERT_NE(library, nullptr);
    EXPECT_NE(::GetProcAddress(library, "HtmlHelpA"), nullptr);
    ::FreeLibrary(library);
}

// --- switching the open windows -----------------------------------------------------------

class LanguageSwitch : public ScriptFixture {
protected:
    void SetUp() override { CreateForms(); }
};

TEST_F(LanguageSwitch, FrenchReReadsEveryOpenWindowInPlace)
{
    TMainForm* main = form_;
    tk::MenuItem* fileMenu = form_->MnuFile;
    TFillForm* fill = FillForm();
    tk::CheckBox* flashBox = fill->FB1;
    const std::string englishSyntaxError = Text(S_SCRIPT_SYNTAX_ERROR, {"BOGUS", "1"});
    // Run-time values that the descriptions store come back; others stay.
    form_->SetCaption("set at run time");
    // The start-up (in English here) gave the one port found its caption.
    ASSERT_EQ(form_->LPT21->Caption(), "Port $378");
    form_->MnuHex->SetChecked(false);
    form_->MnuChipErase->SetChecked(true);
    form_->LanguageEnglish->SetChecked(true);
    const std::uint8_t eraseBefore = form_->FChipEraseBeforeProgramming;
    TToolbarButton* const readFlash = form_->BtReadFlash;
    form_->BtEraseChip->SetEnabled(false);

    Run("LANGUAGE=FRENCH");

    EXPECT_EQ(tk::App().MainForm(), main);
    EXPECT_EQ(form_->MnuFile, fileMenu);
    EXPECT_EQ(FillForm(), fill);
    EXPECT_EQ(fill->FB1, flashBox);
    EXPECT_EQ(form_->Caption(), StoredText("TMainForm", "MainForm", "Caption"));
    EXPECT_NE(form_->Caption(), "set at run time");
    EXPECT_EQ(form_->MnuFile->Caption(), "&Fichier");
    EXPECT_EQ(form_->LPT21->Caption(), Text(S_PORT_378)) << "the start-up's caption, translated";
    EXPECT_NE(Text(S_PORT_378), StoredText("TMainForm", "LPT21", "Caption"));
    EXPECT_EQ(flashBox->Caption(), StoredText("TFillForm", "FB1", "Caption"));
    EXPECT_NE(flashBox->Caption(), "Flash Buffer");
    EXPECT_TRUE(form_->MnuHex->Checked()) << "the stored check mark comes back";
    EXPECT_TRUE(form_->MnuChipErase->Checked()) << "a check mark the description does not store stays";
    EXPECT_EQ(form_->FChipEraseBeforeProgramming, eraseBefore);
    // The toolbar buttons are re-read in place: French hints, their
    // pictures, no text beside them, and the state the program gave them.
    EXPECT_EQ(form_->BtReadFlash, readFlash);
    for (TToolbar* bar : {form_->FileBar, form_->MiscBar, form_->FLEPBar, form_->ViewBar}) {
        for (std::size_t i = 0; i < bar->ControlCount(); ++i) {
            auto* button = dynamic_cast<TToolbarButton*>(bar->Controls(i));
            if (!button) {
                ASSERT_NE(dynamic_cast<TToolbarSep*>(bar->Controls(i)), nullptr);
                continue;
            }
            SCOPED_TRACE(button->Name());
            EXPECT_EQ(button->Hint(), StoredText("TMainForm", button->Name(), "Hint"));
            const bool special = button->Name().rfind("BtSpecialBits", 0) == 0;
            EXPECT_EQ(button->Glyph().Empty(), special);
            EXPECT_EQ(button->Caption().empty(), !special);
            EXPECT_EQ(button->Width(), 23);
        }
    }
    EXPECT_NE(form_->BtReadFlash->Hint(), "Read Flash from device to Flash Buffer [F4]");
    EXPECT_FALSE(form_->BtEraseChip->Enabled()) << "a state the description does not store stays";
    EXPECT_TRUE(form_->LanguageFrench->Checked());
    for (tk::MenuItem* other :
         {form_->LanguageEnglish, form_->LanguageItalian, form_->LanguageGerman, form_->LanguageRomanian})
        EXPECT_FALSE(other->Checked()) << other->Name();

    // Messages shown afterwards, and the buttons of message boxes, come
    // from the French module.
    Run("BOGUS=1");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], Text(S_SCRIPT_SYNTAX_ERROR, {"BOGUS", "1"}));
    EXPECT_NE(Boxes()[0], englishSyntaxError);
    EXPECT_EQ(Text(SMsgDlgYes), "&Oui");
    EXPECT_EQ(Text(SMsgDlgCancel), "Annuler");
}

TEST_F(LanguageSwitch, WithoutAPlugInTheGridsShowTheBuffersAgain)
{
    TMainUnitState& unit = MainUnit();
    ASSERT_EQ(unit.PlugInLoaded, 0);
    unit.DeviceName = "ATDEMO8";
    unit.FlashEnabled = unit.EEpromEnabled = 1;
    unit.FlashBuffer.assign(8192, 0x5A);
    unit.EEpromBuffer.assign(512, 0xA5);
    form_->ShowFlashBuffer();
    form_->ShowEEpromBuffer();

    Run("LANGUAGE=FRENCH");

    ASSERT_TRUE(form_->LanguageFrench->Checked());
    EXPECT_EQ(form_->SG1->RowCount(), 513);
    EXPECT_EQ(form_->SG2->RowCount(), 33);
}

// The direct-edit option is the program's own: a switch leaves it on, and
// the grids keep taking typed values (white) as its check mark says.
TEST_F(LanguageSwitch, TheGridsKeepTheDirectEditOption)
{
    TMainUnitState& unit = MainUnit();
    unit.DeviceName = "ATDEMOFL";
    unit.FlashEnabled = 1;
    unit.EEpromEnabled = 0;
    unit.EditValuesDirectly = 1;
    form_->ApplyEditingState();

    Run("LANGUAGE=ITALIAN");

    ASSERT_TRUE(form_->LanguageItalian->Checked());
    EXPECT_TRUE(form_->MnuEditDirectly->Checked());
    EXPECT_TRUE(form_->SG1->Options() & tk::goEditing);
    EXPECT_EQ(form_->SG1->GetColor(), tk::clWindow);
    EXPECT_FALSE(form_->SG2->Options() & tk::goEditing) << "no EEPROM: stays read-only";
    EXPECT_EQ(form_->SG2->GetColor(), tk::clBtnFace);
}

// A shown main window: the switch lays it out again (the progress bar goes
// back over the status bar, where the description's own place is not) and
// its menu bar reads in the new language, in the bar and below it.
TEST_F(LanguageSwitch, AShownMainWindowIsLaidOutAgainWithItsMenusInTheNewLanguage)
{
    form_->Show();
    PumpMessages();
    ASSERT_EQ(form_->PBar->Top(), form_->SBar->Top() + 4);
    form_->SwitchLanguage(form_->LanguageFrench);
    PumpMessages();
    EXPECT_EQ(form_->PBar->Top(), form_->SBar->Top() + 4);
    HMENU bar = ::GetMenu(form_->Handle());
    ASSERT_NE(bar, nullptr);
    char text[128] = {};
    ::GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Fichier");
    ::GetMenuStringA(::GetSubMenu(bar, 0), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text).substr(0, text[0] ? std::string(text).find('\t') : 0),
              form_->MnuOpenFlash->Caption());
    EXPECT_NE(form_->MnuOpenFlash->Caption(), "Read Hex File to &Flash buffer");
    form_->Hide();
    PumpMessages();
}

TEST_F(LanguageSwitch, AFloatingToolbarStaysFloatingWhereItIsAndTakesItsNewCaption)
{
    form_->Show();
    PumpMessages();
    TToolbar* const floating = form_->FLEPBar;
    floating->SetDockedTo(nullptr);
    floating->SetBounds(300, 260, floating->Width(), floating->Height());
    PumpMessages();
    ASSERT_TRUE(floating->Floating());
    TFloatingWindowParent* const parent = floating->FloatParent();
    RECT before{};
    ::GetWindowRect(floating->Handle(), &before);
    const int readAllLeft = form_->BtReadAll->Left();
    const int readAllTop = form_->BtReadAll->Top();
    const int viewBarLeft = form_->ViewBar->Left();
    const int exitLeft = form_->BtExitApp->Left();
    const int dockHeight = form_->Dock1->Height();

    form_->SwitchLanguage(form_->LanguageFrench);
    PumpMessages();

    EXPECT_EQ(floating->Caption(), StoredText("TMainForm", "FLEPBar", "Caption"));
    EXPECT_NE(floating->Caption(), "Flash and EEprom Operations ");
    EXPECT_EQ(form_->FileBar->Caption(), StoredText("TMainForm", "FileBar", "Caption"));
    ASSERT_TRUE(floating->Floating());
    EXPECT_EQ(floating->FloatParent(), parent);
    EXPECT_TRUE(::IsWindowVisible(floating->Handle()));
    EXPECT_EQ(::GetWindow(floating->Handle(), GW_OWNER), form_->Handle());
    RECT after{};
    ::GetWindowRect(floating->Handle(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after)) << "moved or resized by the re-read";
    // The buttons keep their places in the floating lines and in the
    // docked rows alike.
    EXPECT_EQ(form_->BtReadAll->Left(), readAllLeft);
    EXPECT_EQ(form_->BtReadAll->Top(), readAllTop);
    EXPECT_EQ(form_->ViewBar->Left(), viewBarLeft);
    EXPECT_EQ(form_->BtExitApp->Left(), exitLeft);
    EXPECT_EQ(form_->FLEPBar->DockRow(), 1);
    EXPECT_EQ(form_->Dock1->Height(), dockHeight) << "the stored height is the designer's";
    EXPECT_EQ(form_->Panel2->Top(), form_->Dock1->Top() + dockHeight);

    floating->SetDockedTo(form_->Dock1);
    EXPECT_TRUE(floating->Docked());
    EXPECT_EQ(form_->BtReadAll->Top(), 0);
    form_->Hide();
    PumpMessages();
}

// What the user sees of the main window: its place, the bottom dock and
// the status bar, and each bar's dock, row, place, whether it shows and
// its check mark in the Toolbars menu.
std::string Seen(TMainForm& form)
{
    std::string seen;
    const auto place = [&seen](tk::WinControl& c) {
        RECT r{};
        ::GetWindowRect(c.Handle(), &r);
        seen += c.Name() + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "\n";
    };
    place(form);
    place(*form.Dock4);
    place(*form.SBar);
    for (const auto& [bar, item] :
         {std::pair{form.FileBar, form.MnuFileOperations}, std::pair{form.MiscBar, form.MnuMiscOperations},
          std::pair{form.FLEPBar, form.MnuFLEPOperations}, std::pair{form.ViewBar, form.MnuViewOperations}}) {
        seen += (bar->DockedTo() ? bar->DockedTo()->Name() : std::string("floating")) + " row " +
                std::to_string(bar->DockRow()) + " pos " + std::to_string(bar->DockPos()) +
                (item->Checked() ? " checked " : " unchecked ");
        if (::IsWindowVisible(bar->Handle()))
            place(*bar);
        else
            seen += bar->Name() + " hidden\n";
    }
    return seen;
}

// A user who picks another language expects the same window in other
// words: the bound plug-in in its caption, its place and size, the bars in
// their docks, rows and floating places, shown or hidden with check marks
// that say which, and the bottom dock between the grids and the status bar.
TEST_F(LanguageSwitch, ChangesTheLanguageAndNothingElse)
{
    ASSERT_TRUE(LoadPlugInAndIdentify());
    form_->Show();
    form_->SetBounds(296, 292, 760, 520);
    // Two rows in the bottom dock, one bar floating, and the bar left in the
    // top dock hidden: its whole row is.
    form_->FileBar->SetDockedTo(form_->Dock4);
    form_->MiscBar->SetDockedTo(form_->Dock4);
    form_->MiscBar->SetDockRow(1);
    form_->FLEPBar->SetDockedTo(nullptr);
    form_->FLEPBar->SetBounds(500, 120, form_->FLEPBar->Width(), form_->FLEPBar->Height());
    form_->MnuViewOperations->Click();
    PumpMessages();
    ASSERT_EQ(form_->Dock4->RowThickness().size(), 2u);
    const std::string before = Seen(*form_);
    const std::string portStatus = form_->PanelText(2);
    ASSERT_EQ(portStatus, Text(S_PORT_PROGRAMMER_OK, {"378"}));

    form_->SwitchLanguage(form_->LanguageFrench);
    PumpMessages();

    ASSERT_TRUE(form_->LanguageFrench->Checked());
    EXPECT_EQ(form_->Caption(), Text(S_MAIN_CAPTION_PREFIX) + Text(S_MAIN_CAPTION_USING_LIBRARY) + "DemoPlugin.dll");
    EXPECT_EQ(form_->PanelText(2), Text(S_PORT_PROGRAMMER_OK, {"378"}));
    EXPECT_NE(form_->PanelText(2), portStatus);
    EXPECT_EQ(Seen(*form_), before);
    EXPECT_EQ(form_->Dock4->Top() + form_->Dock4->Height(), form_->SBar->Top());
    EXPECT_EQ(form_->PBar->Top(), form_->SBar->Top() + 4);

    // Shown again from the menu, the bar of the hidden row shows its
    // buttons whole.
    form_->MnuViewOperations->Click();
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(form_->ViewBar->Handle()));
    EXPECT_TRUE(form_->MnuViewOperations->Checked());
    for (TToolbarButton* button : {form_->BtHex, form_->BtDec, form_->BtAsc}) {
        EXPECT_GE(button->Top(), 0) << button->Name();
        EXPECT_LE(button->Top() + button->Height(), form_->ViewBar->ClientHeight()) << button->Name();
    }
    // The bottom dock gives its bars back, and the status bar with its
    // progress bar stays the window's bottom strip.
    form_->FileBar->SetDockedTo(form_->Dock1);
    form_->MiscBar->SetDockedTo(form_->Dock1);
    PumpMessages();
    EXPECT_EQ(form_->Dock4->Height(), 0);
    EXPECT_EQ(form_->SBar->Top() + form_->SBar->Height(), form_->Panel1->ClientHeight());
    EXPECT_EQ(form_->PBar->Top(), form_->SBar->Top() + 4);
    form_->Hide();
    PumpMessages();
}

TEST_F(LanguageSwitch, AMissingModuleChangesNothing)
{
    // Only a French module lies beside this program.
    SetProgramFilePath(scratch_.File("ZeltoPrg.exe"));
    ASSERT_TRUE(CopyModule("ZeltoPrg.fra", scratch_.File("ZeltoPrg.fra")));
    const HINSTANCE before = tk::ResourceModule();
    form_->SetCaption("set at run time");
    form_->LanguageEnglish->SetChecked(true);

    Run({"LANGUAGE=ITALIAN", "LANGUAGE=GERMAN", "LANGUAGE=romanian"});

    EXPECT_EQ(tk::ResourceModule(), before);
    EXPECT_EQ(form_->Caption(), "set at run time");
    EXPECT_TRUE(form_->LanguageEnglish->Checked());
    EXPECT_FALSE(form_->LanguageItalian->Checked());
    EXPECT_FALSE(form_->LanguageGerman->Checked());
    EXPECT_FALSE(form_->LanguageRomanian->Checked());
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(LanguageSwitch, EvenAFailedSwitchReappliesThePlugInsSpecialBitsNames)
{
    if (!LoadPlugInAndIdentify())
        GTEST_SKIP() << "the plug-in host does not load and identify the device yet";
    const std::string fuseBits = form_->MnuSpecialBits1->Caption();
    ASSERT_NE(fuseBits, "Program Special Bits 1");
    form_->MnuSpecialBits1->SetCaption("changed");
    SetProgramFilePath(scratch_.File("ZeltoPrg.exe"));  // no module at all here
    ClearPlugInTrace();
    form_->BtSpecialBits1->SetGlyph(tk::Bitmap());
    form_->BtSpecialBits1->SetDisplayMode(dmTextOnly);
    form_->BtSpecialBits1->SetCaption("SB1");
    Run("LANGUAGE=ITALIAN");
    EXPECT_EQ(form_->MnuSpecialBits1->Caption(), fuseBits);
    // The plug-in's picture shows alone again.
    EXPECT_FALSE(form_->BtSpecialBits1->Glyph().Empty());
    EXPECT_EQ(form_->BtSpecialBits1->DisplayMode(), dmGlyphOnly);
    // Without an operation running the device is identified again.
    EXPECT_THAT(PlugInTrace(), Contains("CheckSignature"));
}

TEST_F(LanguageSwitch, DuringAnOperationOnlyTheNamesComeBackAndTheDeviceIsLeftAlone)
{
    if (!LoadPlugInAndIdentify())
        GTEST_SKIP() << "the plug-in host does not load and identify the device yet";
    const std::string fuseBits = form_->MnuSpecialBits1->Caption();
    const std::string fuseHint = form_->BtSpecialBits1->Hint();
    ClearPlugInTrace();
    MainUnit().Busy = 1;
    form_->SwitchLanguage(form_->LanguageFrench);
    MainUnit().Busy = 0;
    EXPECT_TRUE(form_->LanguageFrench->Checked());
    // The re-read gave the items their stored French captions; the plug-in's
    // names replace them again.
    EXPECT_EQ(form_->MnuSpecialBits1->Caption(), fuseBits);
    EXPECT_EQ(form_->BtSpecialBits1->Hint(), fuseHint);
    EXPECT_FALSE(form_->BtSpecialBits1->Glyph().Empty());
    EXPECT_EQ(form_->BtSpecialBits1->DisplayMode(), dmGlyphOnly) << "the stored caption 'SB1' showed over the picture";
    const auto trace = PlugInTrace();
    EXPECT_THAT(trace, Contains(::testing::StartsWith("GetSpecialBitsCategoryName")));
    EXPECT_THAT(trace, Not(Contains("PowerUpDevice")));
    EXPECT_THAT(trace, Not(Contains("CheckSignature")));
    EXPECT_THAT(trace, Not(Contains("PowerOffDevice")));
}

// --- help -------------------------------------------------------------------------------

class HelpCommands : public ScriptFixture {
protected:
    void SetUp() override { CreateForms(); }
    RecordingHelp help_;
};

TEST_F(HelpCommands, OnlineHelpOpensTheProgramsHelpFileAtItsContents)
{
    form_->OnlineHTMLhelp1Click(form_->OnlineHTMLhelp1);
    ASSERT_EQ(help_.calls.size(), 1u);
    EXPECT_EQ(help_.calls[0].first, tk::App().Handle());
    EXPECT_EQ(help_.calls[0].second, ExecutableFolder() + "ZeltoPrg.chm");
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(HelpCommands, F1IsTheOnlineHelpShortcut)
{
    EXPECT_TRUE(form_->IsShortCut(VK_F1, tk::ShiftState{}));
    EXPECT_EQ(help_.calls.size(), 1u);
}

TEST_F(HelpCommands, AMissingHelpFileIsSaidSo)
{
    SetProgramFilePath(scratch_.File("ZeltoPrg.exe"));
    form_->OnlineHTMLhelp1Click(nullptr);
    EXPECT_THAT(help_.calls, IsEmpty());
    EXPECT_THAT(Boxes(), ElementsAre(Text(S_HELP_FILE_NOT_FOUND)));
}

TEST_F(HelpCommands, PlugInHelpNeedsAPlugInAndItsHelpFile)
{
    form_->MnuAlltheinfoUneedClick(nullptr);
    EXPECT_THAT(help_.calls, IsEmpty());
    EXPECT_THAT(Boxes(), IsEmpty());

    MainUnit().PlugInLoaded = 1;
    MainUnit().PlugInFileName = "DemoPlugin.dll";
    form_->MnuAlltheinfoUneedClick(nullptr);
    ASSERT_EQ(help_.calls.size(), 1u);
    EXPECT_EQ(help_.calls[0].second, ExecutableFolder() + "DemoPlugin.chm");

    MainUnit().PlugInFileName = "DemoPluginNoBitmaps.dll";
    form_->MnuAlltheinfoUneedClick(nullptr);
    EXPECT_EQ(help_.calls.size(), 1u);
    EXPECT_THAT(Boxes(), ElementsAre(Text(S_HELP_FILE_NOT_FOUND)));
    MainUnit().PlugInLoaded = 0;
}

}  // namespace
