// Main: the main window, its start-up and shut-down, the port menu, the busy
// guard and the buffer grids. Device work (plug-in host and operations),
// HEX files, fill, special bits, cloning and language switching run from
// the handlers declared here.
#include "programmer/Main.h"

#include "components/OneInstance.h"
#include "components/ProgramLauncher.h"
#include "programmer/About.h"
#include "programmer/PortLibrary.h"
#include "programmer/Sysinfo.h"
#include "resources/StringIds.h"
#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

#include <algorithm>
#include <utility>

namespace {

const tk::ClassRegistration<TMainForm> kMainFormReg("TMainForm", "TForm");

TMainForm* g_mainForm = nullptr;

constexpr std::int32_t kPortBases[3] = {0x278, 0x378, 0x3BC};
constexpr unsigned kPortCaptions[3] = {S_PORT_278, S_PORT_378, S_PORT_3BC};

// Descriptions create their components by class name from the class
// registry, which a class joins when its unit is linked in. Naming the
// factories of the classes the main window's description uses links those
// units into every program that has a main window.
template <class T>
tk::Component* MakeDescribed()
{
    return new T();
}
[[gnu::used]] tk::Component* (*const kDescribedClasses[])() = {
    &MakeDescribed<tk::Panel>,      &MakeDescribed<tk::Splitter>,   &MakeDescribed<tk::BitBtn>,
    &MakeDescribed<tk::StringGrid>, &MakeDescribed<tk::StatusBar>,  &MakeDescribed<tk::ProgressBar>,
    &MakeDescribed<tk::ActionList>, &MakeDescribed<tk::Action>,     &MakeDescribed<tk::ImageList>,
    &MakeDescribed<tk::OpenDialog>, &MakeDescribed<tk::SaveDialog>, &MakeDescribed<tk::MainMenu>,
    &MakeDescribed<tk::MenuItem>,   &MakeDescribed<TProgramLauncher>,
};

// A form of the application's, by its class (the About box and the other
// dialogs are made by the program block, not by the main window).
template <class T>
T* FindApplicationForm()
{
    tk::Application& app = tk::App();
    for (std::size_t i = 0; i < app.ComponentCount(); ++i) {
        if (auto* form = dynamic_cast<T*>(app.Components(i)))
            return form;
    }
    return nullptr;
}

}  // namespace

// --- unit-wide state ------------------------------------------------------------------

TMainUnitState& MainUnit()
{
    static TMainUnitState state;
    return state;
}

void ResetMainUnit()
{
    TMainUnitState& unit = MainUnit();
    if (unit.PlugInHandle)
        ::FreeLibrary(unit.PlugInHandle);
    unit = TMainUnitState{};
}

TMainForm* MainForm() { return g_mainForm; }

std::string PortText(std::int32_t port) { return tk::IntToHex(port, 3); }

TBusyScope::TBusyScope() { MainUnit().Busy = 1; }

TBusyScope::~TBusyScope() { MainUnit().Busy = 0; }

TPortMenuPlan PlanPortMenu(std::int32_t portCount, std::int32_t has278, std::int32_t has378, std::int32_t has3BC)
{
    TPortMenuPlan plan;
    const bool present[3] = {has278 != 0, has378 != 0, has3BC != 0};
    switch (portCount) {
    case 1:
        // Each present port in turn takes the menu; with one port exactly one does.
        for (int i = 0; i < 3; ++i) {
            if (!present[i])
                continue;
            plan.changed = true;
            plan.captioned[i] = true;
            plan.checked[i] = true;
            for (int j = 0; j < 3; ++j)
                plan.enabled[j] = (j == i);
            plan.portAddress = kPortBases[i];
        }
        break;
    case 2: {
        static constexpr int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
        for (const auto& pair : pairs) {
            if (!present[pair[0]] || !present[pair[1]])
                continue;
            plan.changed = true;
            for (int j = 0; j < 3; ++j) {
                const bool inPair = (j == pair[0] || j == pair[1]);
                plan.captioned[j] = inPair;
                plan.enabled[j] = inPair;
            }
            plan.checked[pair[0]] = true;
            plan.portAddress = kPortBases[pair[0]];
            break;
        }
        break;
    }
    case 3:
        plan.changed = true;
        for (int j = 0; j < 3; ++j) {
            plan.captioned[j] = true;
            plan.enabled[j] = true;
        }
        plan.checked[0] = true;
        plan.portAddress = kPortBases[0];
        break;
    default:
        break;
    }
    return plan;
}

// --- construction -----------------------------------------------------------------------

TMainForm::TMainForm(PortIOSystem portSystem) : Port1(std::move(portSystem))
{
    g_mainForm = this;

    BindHandler("FormCreate", &TMainForm::FormCreate);
    BindHandler("FormClose", &TMainForm::FormClose);
    BindHandler("FormResize", &TMainForm::FormResize);
    BindHandler("FormKeyDown", &TMainForm::FormKeyDown);
    BindHandler("MnuAboutClick", &TMainForm::MnuAboutClick);
    BindHandler("LPT11Click", &TMainForm::LPT11Click);
    BindHandler("LPT21Click", &TMainForm::LPT21Click);
    BindHandler("LPT31Click", &TMainForm::LPT31Click);
    BindHandler("MnuChipEraseClick", &TMainForm::MnuChipEraseClick);
    BindHandler("MnuReleaseClick", &TMainForm::MnuReleaseClick);
    BindHandler("Action_ExitExecute", &TMainForm::Action_ExitExecute);
    BindHandler("Action_LoadPluginExecute", &TMainForm::Action_LoadPluginExecute);
    BindHandler("Action_GetChipIdExecute", &TMainForm::Action_GetChipIdExecute);
    BindHandler("Action_EraseChipExecute", &TMainForm::Action_EraseChipExecute);
    BindHandler("Action_ReadFlashExecute", &TMainForm::Action_ReadFlashExecute);
    BindHandler("Action_ReadPromExecute", &TMainForm::Action_ReadPromExecute);
    BindHandler("Action_ReadAllExecute", &TMainForm::Action_ReadAllExecute);
    BindHandler("Action_WriteFlashExecute", &TMainForm::Action_WriteFlashExecute);
    BindHandler("Action_WritePromExecute", &TMainForm::Action_WritePromExecute);
    BindHandler("Action_WriteAllExecute", &TMainForm::Action_WriteAllExecute);
    BindHandler("Action_VerifyFlashExecute", &TMainForm::Action_VerifyFlashExecute);
    BindHandler("Action_VerifyPromExecute", &TMainForm::Action_VerifyPromExecute);
    BindHandler("Action_VerifyAllExecute", &TMainForm::Action_VerifyAllExecute);
    BindHandler("Action_OpenFlashExecute", &TMainForm::Action_OpenFlashExecute);
    BindHandler("Action_OpenPromExecute", &TMainForm::Action_OpenPromExecute);
    BindHandler("Action_SaveFlashExecute", &TMainForm::Action_SaveFlashExecute);
    BindHandler("Action_SavePromExecute", &TMainForm::Action_SavePromExecute);
    BindHandler("Action_FillBufferExecute", &TMainForm::Action_FillBufferExecute);
    BindHandler("ProgramSpecialBits", &TMainForm::ProgramSpecialBits);
    BindHandler("Action_CloneExecute", &TMainForm::Action_CloneExecute);
    BindHandler("MnuCloningOptionsClick", &TMainForm::MnuCloningOptionsClick);
    BindHandler("Action_HexExecute", &TMainForm::Action_HexExecute);
    BindHandler("Action_DecExecute", &TMainForm::Action_DecExecute);
    BindHandler("Action_AsciiExecute", &TMainForm::Action_AsciiExecute);
    BindHandler("MnuEditDirectlyClick", &TMainForm::MnuEditDirectlyClick);
    BindHandler("SG1SelectCell", &TMainForm::SG1SelectCell);
    BindHandler("SG2SelectCell", &TMainForm::SG2SelectCell);
    BindHandler("SG1SetEditText", &TMainForm::SG1SetEditText);
    BindHandler("SG2SetEditText", &TMainForm::SG2SetEditText);
    BindHandler("SG1GetEditText", &TMainForm::SG1GetEditText);
    BindHandler("SG2GetEditText", &TMainForm::SG2GetEditText);
    BindHandler("MnuFileOperationsClick", &TMainForm::MnuFileOperationsClick);
    BindHandler("MnuMiscOperationsClick", &TMainForm::MnuMiscOperationsClick);
    BindHandler("MnuFLEPOperationsClick", &TMainForm::MnuFLEPOperationsClick);
    BindHandler("MnuViewOperationsClick", &TMainForm::MnuViewOperationsClick);
    BindHandler("SwitchLanguage", &TMainForm::SwitchLanguage);
    BindHandler("OnlineHTMLhelp1Click", &TMainForm::OnlineHTMLhelp1Click);
    BindHandler("MnuAlltheinfoUneedClick", &TMainForm::MnuAlltheinfoUneedClick);
    BindHandler("MnuSystemInfoClick", &TMainForm::MnuSystemInfoClick);

    BindField("Panel1", Panel1);
    BindField("Dock1", Dock1);
    BindField("FileBar", FileBar);
    BindField("MiscBar", MiscBar);
    BindField("FLEPBar", FLEPBar);
    BindField("ViewBar", ViewBar);
    BindField("BtOpenFlash", BtOpenFlash);
    BindField("BtOpenEEprom", BtOpenEEprom);
    BindField("BtSaveFlash", BtSaveFlash);
    BindField("BtSaveEEprom", BtSaveEEprom);
    BindField("BtExitApp", BtExitApp);
    BindField("BtChipId", BtChipId);
    BindField("BtEraseChip", BtEraseChip);
    BindField("BtSpecialBits1", BtSpecialBits1);
    BindField("BtSpecialBits2", BtSpecialBits2);
    BindField("BtSpecialBits3", BtSpecialBits3);
    BindField("BtClone", BtClone);
    BindField("BtFill", BtFill);
    BindField("BtReadFlash", BtReadFlash);
    BindField("BtReadEEprom", BtReadEEprom);
    BindField("BtReadAll", BtReadAll);
    BindField("BtWriteFlash", BtWriteFlash);
    BindField("BtWriteEEprom", BtWriteEEprom);
    BindField("BtWriteAll", BtWriteAll);
    BindField("BtVerFlash", BtVerFlash);
    BindField("BtVerEEprom", BtVerEEprom);
    BindField("BtVerAll", BtVerAll);
    BindField("BtHex", BtHex);
    BindField("BtDec", BtDec);
    BindField("BtAsc", BtAsc);
    BindField("Panel2", Panel2);
    BindField("SG1", SG1);
    BindField("Splitter1", Splitter1);
    BindField("Panel3", Panel3);
    BindField("SG2", SG2);
    BindField("Dock4", Dock4);
    BindField("SBar", SBar);
    BindField("PBar", PBar);
    BindField("OpenDlg", OpenDlg);
    BindField("SaveDlg", SaveDlg);
    BindField("Images", Images);
    BindField("Launcher", Launcher);

    BindField("Actions", Actions);
    BindField("Action_OpenFlash", Action_OpenFlash);
    BindField("Action_OpenProm", Action_OpenProm);
    BindField("Action_SaveFlash", Action_SaveFlash);
    BindField("Action_SaveProm", Action_SaveProm);
    BindField("Action_Exit", Action_Exit);
    BindField("Action_GetChipId", Action_GetChipId);
    BindField("Action_EraseChip", Action_EraseChip);
    BindField("Action_ReadFlash", Action_ReadFlash);
    BindField("Action_ReadProm", Action_ReadProm);
    BindField("Action_ReadAll", Action_ReadAll);
    BindField("Action_WriteFlash", Action_WriteFlash);
    BindField("Action_WriteProm", Action_WriteProm);
    BindField("Action_WriteAll", Action_WriteAll);
    BindField("Action_VerifyFlash", Action_VerifyFlash);
    BindField("Action_VerifyProm", Action_VerifyProm);
    BindField("Action_VerifyAll", Action_VerifyAll);
    BindField("Action_Clone", Action_Clone);
    BindField("Action_FillBuffer", Action_FillBuffer);
    BindField("Action_Hex", Action_Hex);
    BindField("Action_Dec", Action_Dec);
    BindField("Action_Ascii", Action_Ascii);
    BindField("Action_LoadPlugin", Action_LoadPlugin);
    BindField("Action_ProgramSpecBits1", Action_ProgramSpecBits1);

    BindField("MainMenu1", MainMenu1);
    BindField("MnuFile", MnuFile);
    BindField("MnuOpenFlash", MnuOpenFlash);
    BindField("MnuOpenEEprom", MnuOpenEEprom);
    BindField("MnuSaveFlash", MnuSaveFlash);
    BindField("MnuSaveEEprom", MnuSaveEEprom);
    BindField("MnuExitApp", MnuExitApp);
    BindField("MnuDevice", MnuDevice);
    BindField("MnuGetChipId", MnuGetChipId);
    BindField("MnuEraseChip", MnuEraseChip);
    BindField("MnuReadOperations", MnuReadOperations);
    BindField("MnuReadFlash", MnuReadFlash);
    BindField("MnuReadEEprom", MnuReadEEprom);
    BindField("MnuReadAll", MnuReadAll);
    BindField("MnuWriteOperations", MnuWriteOperations);
    BindField("MnuWriteFlash", MnuWriteFlash);
    BindField("MnuWriteEEprom", MnuWriteEEprom);
    BindField("MnuWriteAll", MnuWriteAll);
    BindField("MnuVerifyOperations", MnuVerifyOperations);
    BindField("MnuVerifyFlash", MnuVerifyFlash);
    BindField("MnuVerifyEEprom", MnuVerifyEEprom);
    BindField("MnuVerifyAll", MnuVerifyAll);
    BindField("MnuMiscellaneous", MnuMiscellaneous);
    BindField("MnuSpecialBits1", MnuSpecialBits1);
    BindField("MnuSpecialBits2", MnuSpecialBits2);
    BindField("MnuSpecialBits3", MnuSpecialBits3);
    BindField("MnuClone", MnuClone);
    BindField("MnuFillBuffer", MnuFillBuffer);
    BindField("MnuView", MnuView);
    BindField("MnuHex", MnuHex);
    BindField("MnuDecimal", MnuDecimal);
    BindField("MnuAscii", MnuAscii);
    BindField("MnuToolbars", MnuToolbars);
    BindField("MnuFileOperations", MnuFileOperations);
    BindField("MnuMiscOperations", MnuMiscOperations);
    BindField("MnuFLEPOperations", MnuFLEPOperations);
    BindField("MnuViewOperations", MnuViewOperations);
    BindField("MnuOptions", MnuOptions);
    BindField("MnuChipErase", MnuChipErase);
    BindField("MnuEditDirectly", MnuEditDirectly);
    BindField("MnuCloningOptions", MnuCloningOptions);
    BindField("MnuRelease", MnuRelease);
    BindField("MnuPorts", MnuPorts);
    BindField("LPT11", LPT11);
    BindField("LPT21", LPT21);
    BindField("LPT31", LPT31);
    BindField("MnuPlugIns", MnuPlugIns);
    BindField("MnuUsePlugIn", MnuUsePlugIn);
    BindField("MnuLanguage", MnuLanguage);
    BindField("LanguageEnglish", LanguageEnglish);
    BindField("LanguageFrench", LanguageFrench);
    BindField("LanguageItalian", LanguageItalian);
    BindField("LanguageGerman", LanguageGerman);
    BindField("LanguageRomanian", LanguageRomanian);
    BindField("MnuHelp", MnuHelp);
    BindField("MnuAbout", MnuAbout);
    BindField("OnlineHTMLhelp1", OnlineHTMLhelp1);
    BindField("MnuSystemInfo", MnuSystemInfo);
    BindField("MnuAlltheinfoUneed", MnuAlltheinfoUneed);

    ReadDescription();
}

TMainForm::~TMainForm()
{
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

void TMainForm::CreateWnd()
{
    tk::Form::CreateWnd();
    Realign();
    Resize();
    // The progress bar lies on the status bar and must stay above it.
    if (PBar && PBar->Parent())
        PBar->Parent()->BringChildToFront(PBar);
}

// --- start-up and shut-down -------------------------------------------------------------

void TMainForm::FormCreate(tk::Component*)
{
    TMainUnitState& unit = MainUnit();
    unit.Busy = 0;
    unit.PlugInFileName.clear();
    unit.PlugInLoaded = 0;

    // The second copy of the program finishes its start-up and then ends.
    OneInstance1 = std::make_unique<TOneInstance>(PreviousInstance(), tk::App().Title(), std::string(),
                                                  [] { tk::App().Terminate(); });

    if (!ZpOpenDriver()) {
        tk::MessageDlg(tk::LoadStr(S_PORT_DRIVER_NOT_INITIALIZED), tk::mtError, tk::mbOK);
        Port1.ClosePort();
        ZpCloseDriver();
        tk::ExitSeam()->Exit(200);
    }

    SetPanelText(1, tk::LoadStr(S_CHECKING_LPT_PORTS));
    ZpCheckPorts(&FPortCount, &unit.PortPresent278, &unit.PortPresent378, &unit.PortPresent3BC);
    SetupPortMenu();
    unit.PortIsECP = 0;
    unit.PortIsBidirectional = 0;
    CheckBidirectional(FPortAddress);
    SetPanelText(1, std::string());
    SetPanelText(2, tk::FmtLoadStr(S_PORT_NO_PROGRAMMER, {PortText(FPortAddress)}));

    unit.ViewMode = vmHex;
    MnuChipErase->SetChecked(true);
    FChipEraseBeforeProgramming = 1;
    unit.AbortRequested = 0;
    FReleasePortLines = MnuRelease->Checked() ? 1 : 0;
    unit.EditValuesDirectly = 0;

    // Romanian carries its primary language number only, so the system
    // locale never matches it here.
    LanguageEnglish->SetTag(1033);
    LanguageFrench->SetTag(1036);
    LanguageGerman->SetTag(1031);
    LanguageItalian->SetTag(1040);
    LanguageRomanian->SetTag(24);
    const int systemLocale = static_cast<int>(::GetSystemDefaultLCID());
    for (tk::MenuItem* item : {LanguageEnglish, LanguageFrench, LanguageItalian, LanguageGerman, LanguageRomanian}) {
        if (item->Tag() == systemLocale) {
            SwitchLanguage(item);
            break;
        }
    }
}

void TMainForm::FormClose(tk::Component*, tk::CloseAction&)
{
    ZpCloseDriver();
    Port1.ClosePort();
}

void TMainForm::Action_ExitExecute(tk::Component*)
{
    Port1.ClosePort();
    ZpCloseDriver();
    tk::App().Terminate();
}

void TMainForm::FormResize(tk::Component*)
{
    if (!PBar || !SBar || !Panel2 || !Panel3)
        return;
    PBar->SetTop(SBar->Top() + 4);
    const int half = Width() / 2 - 15;
    Panel2->SetWidth(half);
    Panel3->SetWidth(half);
}

void TMainForm::FormKeyDown(tk::Component*, WORD& key, tk::ShiftState)
{
    if (key == VK_ESCAPE)
        MainUnit().AbortRequested = 1;
}

void TMainForm::MnuAboutClick(tk::Component*)
{
    if (TAboutBox* about = FindApplicationForm<TAboutBox>())
        about->ShowModal();
}

// --- ports ------------------------------------------------------------------------------

void TMainForm::SetupPortMenu()
{
    const TMainUnitState& unit = MainUnit();
    const TPortMenuPlan plan = PlanPortMenu(FPortCount, unit.PortPresent278, unit.PortPresent378, unit.PortPresent3BC);
    if (!plan.changed)
        return;
    tk::MenuItem* items[3] = {LPT11, LPT21, LPT31};
    for (int i = 0; i < 3; ++i) {
        if (plan.captioned[i])
            items[i]->SetCaption(tk::LoadStr(kPortCaptions[i]));
        items[i]->SetEnabled(plan.enabled[i]);
        // Items are only ever checked here, never unchecked.
        if (plan.checked[i])
            items[i]->SetChecked(true);
    }
    FPortAddress = plan.portAddress;
}

void TMainForm::CheckBidirectional(std::int32_t port)
{
    TMainUnitState& unit = MainUnit();
    // The port library's mode only says whether the program had parameters;
    // once they have run, the window is interactive for good.
    if (!commandLineProcessed_)
        FCommandMode = ZpGetCommandMode() ? 1 : 0;
    ZpCheckBidir(port, &unit.PortIsECP, &unit.PortIsBidirectional);
    if (FCommandMode)
        return;
    unsigned text = S_PORT_NOT_BIDIRECTIONAL;
    if (unit.PortIsECP == 1)
        text = S_PORT_IS_ECP;
    else if (unit.PortIsBidirectional == 1)
        text = S_PORT_IS_BIDIRECTIONAL;
    tk::ShowMessage(tk::FmtLoadStr(text, {PortText(port)}));
}

void TMainForm::SelectPort(tk::MenuItem* item, std::int32_t address)
{
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    for (tk::MenuItem* each : {LPT11, LPT21, LPT31})
        each->SetChecked(each == item);
    FPortAddress = address;
    CheckBidirectional(address);
}

void TMainForm::LPT11Click(tk::Component*) { SelectPort(LPT11, 0x278); }

void TMainForm::LPT21Click(tk::Component*) { SelectPort(LPT21, 0x378); }

void TMainForm::LPT31Click(tk::Component*) { SelectPort(LPT31, 0x3BC); }

bool TMainForm::CheckPortPresent()
{
    if (FPortAddress != 0)
        return true;
    tk::ShowMessage(tk::LoadStr(S_NO_PARALLEL_PORT));
    return false;
}

void TMainForm::ReleasePortLines()
{
    // Without a parallel port there are no lines to release, and port 0 is
    // no place to write to.
    if (FPortAddress == 0)
        return;
    Port1.OpenPort();
    struct CloseAfter {
        TPortIO& port;
        ~CloseAfter() { port.ClosePort(); }
    } closeAfter{Port1};
    Port1.WritePort(static_cast<std::uint16_t>(FPortAddress), 0xFF);
}

// --- busy guard and options ---------------------------------------------------------------

bool TMainForm::CheckNotBusy()
{
    if (MainUnit().Busy != 0) {
        tk::ShowMessage(tk::LoadStr(S_CANCEL_CURRENT_OPERATION));
        return false;
    }
    return true;
}

void TMainForm::MnuChipEraseClick(tk::Component*)
{
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    MnuChipErase->SetChecked(!MnuChipErase->Checked());
    FChipEraseBeforeProgramming = FChipEraseBeforeProgramming ? 0 : 1;
}

void TMainForm::MnuReleaseClick(tk::Component*)
{
    MnuRelease->SetChecked(!MnuRelease->Checked());
    FReleasePortLines = MnuRelease->Checked() ? 1 : 0;
}

void TMainForm::MnuSystemInfoClick(tk::Component*)
{
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    Port1.OpenPort();
    struct CloseAfter {
        TPortIO& port;
        ~CloseAfter() { port.ClosePort(); }
    } closeAfter{Port1};
    if (TSystemInfo* info = FindApplicationForm<TSystemInfo>()) {
        info->SetPortIO(&Port1);
        info->SetPortCount(FPortCount);
        info->SetPortAddress(FPortAddress);
        info->ShowModal();
    }
}

// --- status bar -------------------------------------------------------------------------

std::string TMainForm::PanelText(int panel) const { return SBar->Panels()[static_cast<std::size_t>(panel)].Text(); }

void TMainForm::SetPanelText(int panel, const std::string& text)
{
    SBar->Panels()[static_cast<std::size_t>(panel)].SetText(text);
}

// --- buffer grids -----------------------------------------------------------------------

void TMainForm::ShowBuffer(tk::StringGrid& grid, TBufferView& view, const std::vector<std::int32_t>& buffer,
                           std::uint8_t enabled, unsigned disabledMessage)
{
    const TMainUnitState& unit = MainUnit();
    if (!enabled || unit.DeviceName.empty()) {
        SetPanelText(1, tk::FmtLoadStr(disabledMessage, {unit.DeviceName}));
        return;
    }
    view.Show(buffer, unit.ViewMode);
    grid.SetColCount(view.ColCount());
    // A grid keeps one scrollable row below its header, even for an empty buffer.
    grid.SetRowCount(std::max(view.RowCount(), 2));
    // Drops whatever was typed into cells: they show the buffer again.
    grid.SetCellProvider([&view](int col, int row) { return view.CellText(col, row); });
}

void TMainForm::ShowFlashBuffer()
{
    TMainUnitState& unit = MainUnit();
    ShowBuffer(*SG1, flashView_, unit.FlashBuffer, unit.FlashEnabled, S_FLASH_FUNCTIONS_DISABLED);
}

void TMainForm::ShowEEpromBuffer()
{
    TMainUnitState& unit = MainUnit();
    ShowBuffer(*SG2, eepromView_, unit.EEpromBuffer, unit.EEpromEnabled, S_EEPROM_FUNCTIONS_DISABLED);
}

// --- toolbars ---------------------------------------------------------------------------

void TMainForm::ToggleBarVisible(tk::Panel& bar, tk::MenuItem& item)
{
    bar.SetVisible(!bar.Visible());
    item.SetChecked(!item.Checked());
}

void TMainForm::MnuFileOperationsClick(tk::Component*) { ToggleBarVisible(*FileBar, *MnuFileOperations); }

void TMainForm::MnuMiscOperationsClick(tk::Component*) { ToggleBarVisible(*MiscBar, *MnuMiscOperations); }

void TMainForm::MnuFLEPOperationsClick(tk::Component*) { ToggleBarVisible(*FLEPBar, *MnuFLEPOperations); }

void TMainForm::MnuViewOperationsClick(tk::Component*) { ToggleBarVisible(*ViewBar, *MnuViewOperations); }

// --- device commands and views ---------------------------------------------------------
// HEX files, fill, special bits, cloning, language and help have their
// handlers in their own units (HexFile commands, FillBuffers, SpecialBits,
// Clone, LanguageModules).

void TMainForm::Action_LoadPluginExecute(tk::Component*) {}
void TMainForm::Action_GetChipIdExecute(tk::Component*) {}
void TMainForm::Action_EraseChipExecute(tk::Component*) {}
void TMainForm::Action_ReadFlashExecute(tk::Component*) {}
void TMainForm::Action_ReadPromExecute(tk::Component*) {}
void TMainForm::Action_ReadAllExecute(tk::Component*) {}
void TMainForm::Action_WriteFlashExecute(tk::Component*) {}
void TMainForm::Action_WritePromExecute(tk::Component*) {}
void TMainForm::Action_WriteAllExecute(tk::Component*) {}
void TMainForm::Action_VerifyFlashExecute(tk::Component*) {}
void TMainForm::Action_VerifyPromExecute(tk::Component*) {}
void TMainForm::Action_VerifyAllExecute(tk::Component*) {}
void TMainForm::Action_HexExecute(tk::Component*) {}
void TMainForm::Action_DecExecute(tk::Component*) {}
void TMainForm::Action_AsciiExecute(tk::Component*) {}
void TMainForm::MnuEditDirectlyClick(tk::Component*) {}
void TMainForm::SG1SelectCell(tk::Component*, int, int, bool&) {}
void TMainForm::SG2SelectCell(tk::Component*, int, int, bool&) {}
void TMainForm::SG1SetEditText(tk::Component*, int, int, const std::string&) {}
void TMainForm::SG2SetEditText(tk::Component*, int, int, const std::string&) {}
void TMainForm::SG1GetEditText(tk::Component*, int, int, std::string&) {}
void TMainForm::SG2GetEditText(tk::Component*, int, int, std::string&) {}
