// Main: the main window, its start-up and shut-down, the port menu, the busy
// guard and the buffer grids. Device work (plug-in host and operations),
// HEX files, fill, special bits, cloning and language switching run from
// the handlers declared here.
#include "programmer/Main.h"

#include "components/OneInstance.h"
#include "components/ProgramLauncher.h"
#include "programmer/About.h"
#include "programmer/HexFile.h"
#include "programmer/PlugIns.h"
#include "programmer/PortLibrary.h"
#include "programmer/Sysinfo.h"
#include "resources/StringIds.h"
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
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
#include <charconv>
#include <string_view>
#include <utility>

namespace {

const tk::ClassRegistration<TMainForm> kMainFormReg("TMainForm", "TForm");

TMainForm* g_mainForm = nullptr;

constexpr std::int32_t kPortBases[3] = {0x278, 0x378, 0x3BC};
constexpr unsigned kPortCaptions[3] = {S_PORT_278, S_PORT_378, S_PORT_3BC};

// The launcher is created by name from the description, and its class
// registers itself from its own unit: naming its factory here links that
// unit into every program that has a main window.
template <class T>
tk::Component* MakeDescribed()
{
    return new T();
}
[[gnu::used]] tk::Component* (*const kDescribedComponents[])() = {&MakeDescribed<TProgramLauncher>};

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
    ShowPortStatus(S_PORT_NO_PROGRAMMER, FPortAddress);

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
    // Under a running device loop the driver stays open until the loop has
    // stopped and powered the device off; the event loop ends after it.
    if (loopRunning_) {
        deferredExit_ = TDeferredExit::Close;
        return;
    }
    ZpCloseDriver();
    Port1.ClosePort();
}

void TMainForm::Action_ExitExecute(tk::Component*)
{
    TCommandResult result(*this);
    result.Done();
    if (loopRunning_) {
        deferredExit_ = TDeferredExit::Exit;
        return;
    }
    Port1.ClosePort();
    ZpCloseDriver();
    tk::App().Terminate();
}

void TMainForm::FinishDeferredExit()
{
    const TDeferredExit how = deferredExit_;
    deferredExit_ = TDeferredExit::None;
    if (how == TDeferredExit::Exit) {
        Action_ExitExecute(nullptr);
    } else if (how == TDeferredExit::Close) {
        ZpCloseDriver();
        Port1.ClosePort();
        tk::App().Terminate();
    }
}

void TMainForm::FormResize(tk::Component*)
{
    if (!PBar || !SBar || !Panel2 || !Panel3)
        return;
    PBar->SetTop(SBar->Top() + 4);
    const int half = Width() / 2 - 15;
    Panel2->SetWidth(FlashPanelWidth(half));
    Panel3->SetWidth(half);
}

int TMainForm::FlashPanelWidth(int half) const
{
    // Half the window's width is a few pixels short of the Flash grid's 17
    // columns at the default window size, which cut column 0F at the edge.
    constexpr int kHexColumns = 17;  // row labels and 16 cells
    int needed = SG1->Width() - SG1->ClientWidth();  // border and scroll bar
    // Before its window exists the grid's client size leaves out the bar.
    const tk::ScrollStyle bars = SG1->ScrollBars();
    if (!SG1->HandleAllocated() && (bars == tk::ssVertical || bars == tk::ssBoth))
        needed += ::GetSystemMetrics(SM_CXVSCROLL);
    for (int col = 0; col < kHexColumns; ++col)
        needed += SG1->ColWidths(col) + SG1->GridLineWidth();
    return std::max(half, needed);
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
    CaptionPortItems(plan);
    tk::MenuItem* items[3] = {LPT11, LPT21, LPT31};
    for (int i = 0; i < 3; ++i) {
        items[i]->SetEnabled(plan.enabled[i]);
        // Items are only ever checked here, never unchecked.
        if (plan.checked[i])
            items[i]->SetChecked(true);
    }
    FPortAddress = plan.portAddress;
}

void TMainForm::CaptionPortItems(const TPortMenuPlan& plan)
{
    tk::MenuItem* items[3] = {LPT11, LPT21, LPT31};
    for (int i = 0; i < 3; ++i) {
        if (plan.captioned[i])
            items[i]->SetCaption(tk::LoadStr(kPortCaptions[i]));
    }
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

void TMainForm::ShowPortStatus(unsigned text, std::int32_t port)
{
    portStatus_ = {text, port};
    SetPanelText(2, tk::FmtLoadStr(text, {PortText(port)}));
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

void TMainForm::ReshapeGrids()
{
    // The description stores one empty row and the Hex columns: without this
    // the grids would show one row of a larger buffer until its next redraw.
    for (auto [grid, view] : {std::pair{SG1, &flashView_}, std::pair{SG2, &eepromView_}}) {
        grid->SetColCount(view->ColCount());
        grid->SetRowCount(std::max(view->RowCount(), 2));
    }
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

void TMainForm::ToggleBarVisible(TToolbar& bar, tk::MenuItem& item)
{
    bar.SetVisible(!bar.Visible());
    item.SetChecked(bar.Visible());
    // A docked bar arranged while its row was hidden (a language switch
    // re-arranges every bar) centred its buttons in a row of no thickness;
    // shown, its row has one again.
    if (bar.Visible())
        bar.Rearrange();
}

void TMainForm::ShowBarMarks()
{
    for (const auto& [bar, item] : {std::pair{FileBar, MnuFileOperations}, std::pair{MiscBar, MnuMiscOperations},
                                    std::pair{FLEPBar, MnuFLEPOperations}, std::pair{ViewBar, MnuViewOperations}})
        item->SetChecked(bar->Visible());
}

void TMainForm::MnuFileOperationsClick(tk::Component*) { ToggleBarVisible(*FileBar, *MnuFileOperations); }

void TMainForm::MnuMiscOperationsClick(tk::Component*) { ToggleBarVisible(*MiscBar, *MnuMiscOperations); }

void TMainForm::MnuFLEPOperationsClick(tk::Component*) { ToggleBarVisible(*FLEPBar, *MnuFLEPOperations); }

void TMainForm::MnuViewOperationsClick(tk::Component*) { ToggleBarVisible(*ViewBar, *MnuViewOperations); }

// --- the live state across a language switch ---------------------------------------------

namespace {

TMainWindowLiveState::TGridPlace GridPlace(const tk::StringGrid& grid)
{
    return {grid.Col(), grid.Row(), grid.TopRow(), grid.LeftCol()};
}

void PlaceGrid(tk::StringGrid& grid, const TMainWindowLiveState::TGridPlace& place)
{
    grid.SetTopRow(place.topRow);
    grid.SetLeftCol(place.leftCol);
    grid.FocusCell(place.col, place.row);
}

}  // namespace

TMainWindowLiveState TMainForm::TakeLiveState() const
{
    TMainWindowLiveState live;
    live.left = Left();
    live.top = Top();
    live.width = Width();
    live.height = Height();
    for (TToolbar* bar : {FileBar, MiscBar, FLEPBar, ViewBar})
        live.bars.push_back({bar, bar->DockRow(), bar->DockPos()});
    live.flashGrid = GridPlace(*SG1);
    live.eepromGrid = GridPlace(*SG2);
    live.progressMax = PBar->Max();
    live.progressPosition = PBar->Position();
    live.message = PanelText(1);
    return live;
}

void TMainForm::GiveBackLiveState(const TMainWindowLiveState& live)
{
    SetBounds(live.left, live.top, live.width, live.height);

    // All rows at once: one at a time, a bar given a row beyond the rows
    // that the re-read left would have that gap closed up before the bars
    // of the rows between came back.
    for (TDock* dock : {Dock1, Dock4})
        dock->LockLayout();
    for (const TMainWindowLiveState::TBarPlace& place : live.bars) {
        place.bar->SetDockRow(place.dockRow);
        place.bar->SetDockPos(place.dockPos);
    }
    for (TDock* dock : {Dock4, Dock1})
        dock->UnlockLayout();
    // The buttons' stored places are the docked ones, and the window was
    // hidden from the floating bars while it was read.
    for (const TMainWindowLiveState::TBarPlace& place : live.bars) {
        place.bar->Rearrange();
        place.bar->RefreshVisibility();
    }

    // The program's own state, in the new language.
    ShowPlugInInCaption();
    const TMainUnitState& unit = MainUnit();
    CaptionPortItems(PlanPortMenu(FPortCount, unit.PortPresent278, unit.PortPresent378, unit.PortPresent3BC));
    MnuHex->SetChecked(unit.ViewMode == vmHex);
    MnuDecimal->SetChecked(unit.ViewMode == vmDecimal);
    MnuAscii->SetChecked(unit.ViewMode == vmAscii);
    ShowBarMarks();
    if (!unit.DeviceName.empty())
        SetPanelText(0, unit.DeviceName);
    if (portStatus_.text != 0)
        ShowPortStatus(portStatus_.text, portStatus_.port);
    ReshapeGrids();
    ApplyEditingState();
    PlaceGrid(*SG1, live.flashGrid);
    PlaceGrid(*SG2, live.eepromGrid);
    PBar->SetMax(live.progressMax);
    PBar->SetPosition(live.progressPosition);
    // Selecting the cells again told the cell's mode; the last operation's
    // text stands until the next one.
    SetPanelText(1, live.message);
}

// --- plug-in host ------------------------------------------------------------------------

namespace {

// The largest memory a plug-in may report: a plug-in answering nonsense
// must not make the buffers eat all memory.
constexpr std::int32_t kMaxMemorySize = 16 * 1024 * 1024;

// The program file's folder without its trailing separator.
std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void TMainForm::FreePlugIn()
{
    TMainUnitState& unit = MainUnit();
    if (unit.PlugInHandle)
        ::FreeLibrary(unit.PlugInHandle);
    unit.PlugInHandle = nullptr;
    unit.PlugIn = TPlugInEntryPoints{};
    unit.SpecialBitsCategoryNames.clear();
}

template <class Proc>
void TMainForm::BindPlugInFunction(Proc& entryPoint, const char* name, int exitCode)
{
    TMainUnitState& unit = MainUnit();
    entryPoint = reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(unit.PlugInHandle, name)));
    if (entryPoint)
        return;
    tk::ShowMessage(tk::FmtLoadStr(S_PLUGIN_FUNCTION_MISSING, {"[" + std::string(name) + "]",
                                                               ProgramFolder() + "\\" + unit.PlugInFileName}));
    FreePlugIn();
    unit.PlugInLoaded = 0;
    ZpCloseDriver();
    Port1.ClosePort();
    tk::ExitSeam()->Exit(exitCode);
}

bool TMainForm::LoadPlugInLibrary()
{
    TMainUnitState& unit = MainUnit();
    const std::string path = ProgramFolder() + "\\" + unit.PlugInFileName;
    unit.PlugInHandle = ::LoadLibraryA(path.c_str());
    if (unit.PlugInHandle)
        return true;
    tk::ShowMessage(tk::FmtLoadStr(S_PLUGIN_FILE_NOT_FOUND, {path}));
    return false;
}

void TMainForm::Action_LoadPluginExecute(tk::Component*)
{
    TCommandResult result(*this);
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    TMainUnitState& unit = MainUnit();
    // The old library goes first; nothing of it may be called afterwards,
    // whatever happens to the new choice (no entry point stays bound).
    FreePlugIn();
    unit.PlugInLoaded = 0;

    const auto giveUp = [this] {
        ZpCloseDriver();
        Port1.ClosePort();
        tk::App().Terminate();
    };
    if (FCommandMode) {
        const std::string path = ProgramFolder() + "\\" + FScriptPlugInName;
        if (!FileExists(path)) {
            tk::ShowMessage(tk::FmtLoadStr(S_PLUGIN_FILE_NOT_FOUND, {path}));
            giveUp();
            return;
        }
        unit.PlugInFileName = FScriptPlugInName;
        unit.PlugInLoaded = 1;
    } else if (TPlugInForm* browser = FindApplicationForm<TPlugInForm>()) {
        browser->ShowModal();
        unit.PlugInLoaded = browser->Selected ? 1 : 0;
        unit.PlugInFileName = browser->SelectedName;
    }

    ShowPlugInInCaption();
    if (unit.PlugInLoaded == 0)
        return;
    if (!LoadPlugInLibrary()) {
        unit.PlugInLoaded = 0;
        giveUp();
        return;
    }

    TPlugInEntryPoints& p = unit.PlugIn;
    // In binding order: each function's name and exit code follow from its place.
    const auto bind = [this](auto& entryPoint, PlugInFunctionIndex function) {
        BindPlugInFunction(entryPoint, PlugInDeviceFunctionNames[function], PlugInMissingExitCode(function));
    };
    bind(p.PowerOffDevice, pfPowerOffDevice);
    bind(p.PowerUpDevice, pfPowerUpDevice);
    bind(p.CheckProgrammingDevice, pfCheckProgrammingDevice);
    bind(p.CheckSignature, pfCheckSignature);
    bind(p.EnableProgramming, pfEnableProgramming);
    bind(p.EraseChip, pfEraseChip);
    bind(p.GetDeviceFoundName, pfGetDeviceFoundName);
    bind(p.GetDeviceFoundFlashSize, pfGetDeviceFoundFlashSize);
    bind(p.GetDeviceFoundEEpromSize, pfGetDeviceFoundEEpromSize);
    bind(p.ReadFlashAddress, pfReadFlashAddress);
    bind(p.WriteFlashAddress, pfWriteFlashAddress);
    bind(p.ReadEEpromAddress, pfReadEEpromAddress);
    bind(p.WriteEEpromAddress, pfWriteEEpromAddress);
    bind(p.GetSpecialBitsCategoryName, pfGetSpecialBitsCategoryName);
    bind(p.ReadSpecialBits1, pfReadSpecialBits1);
    bind(p.ReadSpecialBits2, pfReadSpecialBits2);
    bind(p.ReadSpecialBits3, pfReadSpecialBits3);
    bind(p.WriteSpecialBits1, pfWriteSpecialBits1);
    bind(p.WriteSpecialBits2, pfWriteSpecialBits2);
    bind(p.WriteSpecialBits3, pfWriteSpecialBits3);
    bind(p.ReadSpecialBits1Names, pfReadSpecialBits1Names);
    bind(p.ReadSpecialBits2Names, pfReadSpecialBits2Names);
    bind(p.ReadSpecialBits3Names, pfReadSpecialBits3Names);

    ApplyPlugInSpecialBitsInfo();
    // The plug-in is in use; whether an adapter answers is each device
    // command's own concern.
    result.Done();
    // Without a parallel port the plug-in stays bound, but nothing is sent.
    if (!CheckPortPresent())
        return;
    CheckProgrammer();
}

void TMainForm::ShowPlugInInCaption()
{
    const TMainUnitState& unit = MainUnit();
    SetCaption(tk::LoadStr(S_MAIN_CAPTION_PREFIX) +
               (unit.PlugInLoaded ? tk::LoadStr(S_MAIN_CAPTION_USING_LIBRARY) + unit.PlugInFileName
                                  : tk::LoadStr(S_MAIN_CAPTION_NO_LIBRARY)));
}

void TMainForm::ApplyPlugInSpecialBitsInfo()
{
    ApplyPlugInSpecialBitsNames();
    // Identification needs a port; without one the commands say so.
    if (FPortAddress == 0)
        return;
    IdentifyDevice();
    ShowFlashBuffer();
    ShowEEpromBuffer();
}

void TMainForm::ApplyPlugInSpecialBitsNames()
{
    TMainUnitState& unit = MainUnit();
    unit.SpecialBitsCategoryNames.assign(3, std::string());
    // The plug-in may release or reuse its texts once it has returned: they
    // are copied here and its pointers are never read again.
    const char* answers[3] = {};
    if (unit.PlugIn.GetSpecialBitsCategoryName) {
        const GetSpecialBitsCategoryNameProc getNames = unit.PlugIn.GetSpecialBitsCategoryName;
        PlugInCall(pfGetSpecialBitsCategoryName, [&] { getNames(answers, 2); });
        for (std::size_t n = 0; n < 3; ++n)
            unit.SpecialBitsCategoryNames[n] = CopyPlugInText(
                unit.PlugInFileName, PlugInDeviceFunctionNames[pfGetSpecialBitsCategoryName], answers[n]);
    }

    TToolbarButton* buttons[3] = {BtSpecialBits1, BtSpecialBits2, BtSpecialBits3};
    tk::MenuItem* items[3] = {MnuSpecialBits1, MnuSpecialBits2, MnuSpecialBits3};
    for (int n = 0; n < 3; ++n) {
        const std::string& name = unit.SpecialBitsCategoryNames[static_cast<std::size_t>(n)];
        buttons[n]->SetHint(name);
        items[n]->SetCaption(name);
        // The picture shows alone when the plug-in has one, else the
        // resource's name stands in as the button's text. The caption the
        // description stores stays behind a picture, so a language switch
        // that re-reads it leaves the picture alone.
        const std::string resource = "SB" + std::to_string(n + 1);
        buttons[n]->SetDisplayMode(dmGlyphOnly);
        tk::Bitmap glyph;
        if (unit.PlugInHandle &&
            glyph.LoadFromResourceName(reinterpret_cast<HINSTANCE>(unit.PlugInHandle), resource)) {
            items[n]->SetBitmap(glyph);
            buttons[n]->SetGlyph(glyph);
        } else {
            // No picture of an earlier plug-in stays behind the text.
            buttons[n]->SetGlyph(tk::Bitmap());
            buttons[n]->SetDisplayMode(dmTextOnly);
            buttons[n]->SetCaption(resource);
        }
    }
}

bool TMainForm::CheckProgrammer()
{
    const TMainUnitState& unit = MainUnit();
    const bool callable = unit.PlugInLoaded && FPortAddress != 0;
    bool present = false;
    if (callable) {
        // Off before the user is told it is safe to plug the adapter in, and
        // after a fault in the check as well.
        TDevicePower power(unit.PlugIn, FPortAddress);
        if (unit.PlugIn.PowerOffDevice)
            power.Hold();
        const std::int32_t port = FPortAddress;
        if (unit.PlugIn.CheckProgrammingDevice)
            present = PlugInCall(pfCheckProgrammingDevice,
                                 [&] { return unit.PlugIn.CheckProgrammingDevice(port); }) != 0;
        power.Off();
    }
    if (present) {
        ShowPortStatus(S_PORT_PROGRAMMER_OK, FPortAddress);
    } else {
        ShowPortStatus(S_PORT_NO_PROGRAMMER, FPortAddress);
        tk::ShowMessage(tk::FmtLoadStr(S_PROGRAMMER_NOT_FOUND, {tk::IntToHex(FPortAddress, 2)}));
    }
    return present;
}

void TMainForm::SetFlashControls(bool enabled)
{
    for (tk::Control* c : std::initializer_list<tk::Control*>{BtOpenFlash, BtSaveFlash, BtReadFlash, BtWriteFlash,
                                                              BtVerFlash, BtReadAll, BtWriteAll, BtVerAll})
        c->SetEnabled(enabled);
    for (tk::MenuItem* m : {MnuReadFlash, MnuWriteFlash, MnuVerifyFlash, MnuOpenFlash, MnuSaveFlash, MnuReadAll,
                            MnuWriteAll, MnuVerifyAll})
        m->SetEnabled(enabled);
}

void TMainForm::SetEEpromControls(bool enabled)
{
    for (tk::Control* c : std::initializer_list<tk::Control*>{BtOpenEEprom, BtSaveEEprom, BtReadEEprom,
                                                              BtWriteEEprom, BtVerEEprom, BtReadAll, BtWriteAll,
                                                              BtVerAll})
        c->SetEnabled(enabled);
    for (tk::MenuItem* m : {MnuReadEEprom, MnuWriteEEprom, MnuVerifyEEprom, MnuOpenEEprom, MnuSaveEEprom, MnuReadAll,
                            MnuWriteAll, MnuVerifyAll})
        m->SetEnabled(enabled);
}

void TMainForm::SetDeviceControls(bool enabled)
{
    for (tk::Control* c : std::initializer_list<tk::Control*>{BtSpecialBits1, BtSpecialBits2, BtSpecialBits3,
                                                              BtEraseChip, BtFill, BtClone, BtHex, BtDec, BtAsc})
        c->SetEnabled(enabled);
    for (tk::MenuItem* m : {MnuSpecialBits1, MnuSpecialBits2, MnuSpecialBits3, MnuEraseChip, MnuFillBuffer, MnuClone,
                            MnuHex, MnuDecimal, MnuAscii, MnuEditDirectly, MnuCloningOptions})
        m->SetEnabled(enabled);
}

void TMainForm::IdentifyDevice()
{
    TMainUnitState& unit = MainUnit();
    if (!unit.PlugInLoaded || !unit.PlugIn.PowerUpDevice) {
        tk::ShowMessage(tk::LoadStr(S_NO_PLUGIN_SELECTED));
        return;
    }
    if (FPortAddress == 0)
        return;
    const TPlugInEntryPoints& p = unit.PlugIn;
    const std::int32_t port = FPortAddress;
    {
        TDevicePower power(p, port);
        power.Up();
        power.Hold();
        PlugInCall(pfCheckSignature, [&] { p.CheckSignature(port); });
        power.Off();
    }
    unit.DeviceName = CopyPlugInText(unit.PlugInFileName, PlugInDeviceFunctionNames[pfGetDeviceFoundName],
                                     PlugInCall(pfGetDeviceFoundName, [&] { return p.GetDeviceFoundName(); }));
    // A size of 0 or below is an absent memory; one beyond what a buffer
    // may take is refused (and treated as absent) instead of allocated.
    const auto trustedSize = [&unit](std::int32_t size, const char* memory) -> std::int32_t {
        if (size <= 0)
            return 0;
        if (size <= kMaxMemorySize)
            return size;
        if (!unit.DeviceName.empty())
            tk::ShowMessage(tk::FmtLoadStr(S_MEMORY_SIZE_REFUSED, {tk::IntToStr(size), memory, unit.DeviceName}));
        return 0;
    };
    FFlashSize = trustedSize(PlugInCall(pfGetDeviceFoundFlashSize, [&] { return p.GetDeviceFoundFlashSize(); }), "Flash");
    FEEpromSize =
        trustedSize(PlugInCall(pfGetDeviceFoundEEpromSize, [&] { return p.GetDeviceFoundEEpromSize(); }), "EEPROM");

    unit.FlashEnabled = FFlashSize != 0 ? 1 : 0;
    if (!unit.FlashEnabled)
        FFlashSize = 1;
    SetFlashControls(unit.FlashEnabled != 0);
    // The combined controls end up following the EEPROM.
    unit.EEpromEnabled = FEEpromSize != 0 ? 1 : 0;
    if (!unit.EEpromEnabled)
        FEEpromSize = 1;
    SetEEpromControls(unit.EEpromEnabled != 0);

    if (unit.DeviceName.empty()) {
        SetDeviceControls(false);
        SetPanelText(0, tk::LoadStr(S_NO_DEVICE));
        SetPanelText(1, tk::LoadStr(S_NO_CHARACTERISTICS));
        return;
    }
    unit.FlashBuffer.resize(static_cast<std::size_t>(FFlashSize), 0);
    unit.EEpromBuffer.resize(static_cast<std::size_t>(FEEpromSize), 0);
    SetPanelText(0, unit.DeviceName);
    const auto shown = [](std::int32_t size) { return tk::IntToStr(size == 1 ? 0 : size); };
    SetPanelText(1, tk::FmtLoadStr(S_DEVICE_CHARACTERISTICS, {shown(FFlashSize), shown(FEEpromSize)}));
    SetDeviceControls(true);
    ShowFlashBuffer();
    ShowEEpromBuffer();
}

// --- device operations ------------------------------------------------------------------

template <class Work>
void TMainForm::RunDeviceCommand(Work&& work)
{
    if (!CheckNotBusy())
        return;
    struct Frame {
        TMainForm& form;
        ~Frame()
        {
            MainUnit().Busy = 0;
            if (form.FReleasePortLines)
                form.ReleasePortLines();
            form.FinishDeferredExit();
        }
    } frame{*this};
    MainUnit().Busy = 1;
    if (!CheckPortPresent())
        return;
    work();
}

namespace {

struct TTransferTexts {
    unsigned disabled;
    unsigned progress;
    unsigned errors;
    unsigned success;
    unsigned mismatch;
};

TTransferTexts TransferTexts(bool flash, bool read, bool write)
{
    if (flash) {
        if (read)
            return {S_FLASH_FUNCTIONS_DISABLED, S_READING_FLASH_PROGRESS, S_READ_FLASH_ERRORS, S_FLASH_READ_OK,
                    S_VERIFY_FLASH_MISMATCH};
        if (write)
            return {S_FLASH_FUNCTIONS_DISABLED, S_PROGRAMMING_FLASH_PROGRESS, S_PROGRAM_FLASH_ERRORS,
                    S_FLASH_PROGRAMMED_OK, S_VERIFY_FLASH_MISMATCH};
        return {S_FLASH_FUNCTIONS_DISABLED, S_VERIFYING_FLASH_PROGRESS, 0, S_FLASH_READ_OK, S_VERIFY_FLASH_MISMATCH};
    }
    if (read)
        return {S_EEPROM_FUNCTIONS_DISABLED, S_READING_EEPROM_PROGRESS, S_READ_EEPROM_ERRORS, S_EEPROM_READ_OK,
                S_VERIFY_EEPROM_MISMATCH};
    if (write)
        return {S_EEPROM_FUNCTIONS_DISABLED, S_PROGRAMMING_EEPROM_PROGRESS, S_PROGRAM_EEPROM_ERRORS,
                S_EEPROM_PROGRAMMED_OK, S_VERIFY_EEPROM_MISMATCH};
    return {S_EEPROM_FUNCTIONS_DISABLED, S_VERIFYING_EEPROM_PROGRESS, 0, S_EEPROM_READ_OK, S_VERIFY_EEPROM_MISMATCH};
}

// Two upper-case hexadecimal digits of the low byte of v.
void HexByte(char* out, std::int32_t v)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = kDigits[(v >> 4) & 15];
    out[1] = kDigits[v & 15];
}

// The progress text of a device loop, set once per address. Its format is
// loaded once per loop and the text is formatted into storage that is kept,
// so after the first address nothing allocates. Formats with anything but
// "%s" and "%%" (a language module may have them) go the general way.
class TProgressText {
public:
    explicit TProgressText(std::string format) : format_(std::move(format))
    {
        for (std::size_t i = 0; i < format_.size(); ++i) {
            if (format_[i] != '%')
                continue;
            const char type = i + 1 < format_.size() ? format_[i + 1] : '\0';
            if (type == 's')
                ++placeholders_;
            else if (type != '%')
                simple_ = false;
            ++i;
        }
        text_.reserve(format_.size() + 64);
    }

    const std::string& Format(std::string_view a, std::string_view b)
    {
        if (!simple_ || placeholders_ != 2)
            return text_ = tk::Format(format_, {a, b});
        return Fill({a, b});
    }

    const std::string& Format(std::string_view a, std::string_view b, std::string_view c)
    {
        if (!simple_ || placeholders_ != 3)
            return text_ = tk::Format(format_, {a, b, c});
        return Fill({a, b, c});
    }

private:
    const std::string& Fill(std::initializer_list<std::string_view> args)
    {
        text_.clear();
        const std::string_view* next = args.begin();
        for (std::size_t i = 0; i < format_.size(); ++i) {
            const char ch = format_[i];
            if (ch != '%') {
                text_.push_back(ch);
                continue;
            }
            ++i;
            if (format_[i] == '%')
                text_.push_back('%');
            else
                text_.append(*next++);
        }
        return text_;
    }

    std::string format_;
    std::string text_;
    int placeholders_ = 0;
    bool simple_ = true;
};

}  // namespace

TMainForm::TTransferOutcome TMainForm::Transfer(TMemory memory, TTransfer transfer)
{
    TMainUnitState& unit = MainUnit();
    const bool flash = memory == TMemory::Flash;
    const bool reading = transfer == TTransfer::Read;
    const bool writing = transfer == TTransfer::Write;
    const bool verifying = transfer == TTransfer::Verify;
    const TTransferTexts texts = TransferTexts(flash, reading, writing);

    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!(flash ? unit.FlashEnabled : unit.EEpromEnabled)) {
        SetPanelText(1, tk::FmtLoadStr(texts.disabled, {unit.DeviceName}));
        return TTransferOutcome::Skipped;
    }
    if (!CheckProgrammer())
        return TTransferOutcome::Refused;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return TTransferOutcome::Refused;
    }
    const TPlugInEntryPoints& p = unit.PlugIn;
    const std::int32_t port = FPortAddress;
    if (writing && FChipEraseBeforeProgramming == 1) {
        PlugInCall(pfEraseChip, [&] { p.EraseChip(port); });
        if (flash)
            tk::SleepBeepSeam()->Sleep(100);
    }
    TDevicePower power(p, port);
    if (!power.Up()) {
        tk::ShowMessage(tk::LoadStr(S_DEVICE_NOT_POWERED_UP));
        return TTransferOutcome::Refused;
    }
    if (!PlugInCall(pfEnableProgramming, [&] { return p.EnableProgramming(port); })) {
        // Powered, so powered off again before the user hears of it.
        power.Off();
        tk::ShowMessage(tk::LoadStr(S_DEVICE_NOT_ENABLED));
        return TTransferOutcome::Refused;
    }

    std::vector<std::int32_t>& buffer = flash ? unit.FlashBuffer : unit.EEpromBuffer;
    const ReadAddressProc read = flash ? p.ReadFlashAddress : p.ReadEEpromAddress;
    const WriteAddressProc write = flash ? p.WriteFlashAddress : p.WriteEEpromAddress;
    const PlugInFunctionIndex readFunction = flash ? pfReadFlashAddress : pfReadEEpromAddress;
    const PlugInFunctionIndex writeFunction = flash ? pfWriteFlashAddress : pfWriteEEpromAddress;
    const auto redraw = [this, flash] { flash ? ShowFlashBuffer() : ShowEEpromBuffer(); };
    const std::int32_t last = static_cast<std::int32_t>(buffer.size()) - 1;
    PBar->SetMax(std::max(last, 0));
    PBar->SetPosition(0);
    if (!verifying)
        unit.ErrorCount = 0;

    // Everything a step needs is at hand before the first address: one
    // plug-in call, one status text, one message pass (skipped while the
    // last one is only milliseconds old) and one progress step per address.
    TProgressText progress(tk::LoadStr(texts.progress));
    // The panel is looked up at each step: it belongs to the window's
    // description, which a language switch served by a message pass re-reads.
    const auto status = [this]() -> tk::StatusPanel& { return SBar->Panels()[1]; };
    tk::Application& app = tk::App();
    char high[3] = {'$', '0', '0'};
    char low[2] = {'0', '0'};
    char errors[16] = {};
    std::string_view errorText = "0";
    std::int32_t countShown = 0;
    struct LoopScope {
        bool& running;
        ~LoopScope() { running = false; }
    } loopScope{loopRunning_};
    loopRunning_ = true;

    const auto stopAborted = [&] {
        SetPanelText(1, tk::LoadStr(S_OPERATION_ABORTED));
        power.Off();
        if (reading)
            redraw();
        return TTransferOutcome::Aborted;
    };

    std::int32_t verified = 0;
    for (std::int32_t address = 0; address <= last && static_cast<std::size_t>(address) < buffer.size(); ++address) {
        const auto index = static_cast<std::size_t>(address);
        HexByte(high + 1, address >> 8);
        HexByte(low, address);
        if (verifying) {
            // A read that fails cannot confirm the byte: it counts as a
            // difference. The device's byte is the low 8 bits of the answer.
            const bool readOk = PlugInCall(readFunction, [&] { return read(port, address, &verified); }) != 0;
            status().SetText(progress.Format({high, 3}, {low, 2}));
            if (!readOk || buffer[index] != (verified & 0xFF)) {
                power.Off();
                tk::MessageDlg(tk::FmtLoadStr(texts.mismatch, {std::string_view(high, 3), std::string_view(low, 2)}),
                               tk::mtError, tk::mbOK);
                PBar->SetPosition(0);
                return TTransferOutcome::Difference;
            }
        } else {
            bool ok = false;
            if (reading) {
                // The device's byte is the low 8 bits of the answer, so the
                // grid, a following write and a saved file all see that byte.
                std::int32_t data = buffer[index];
                ok = PlugInCall(readFunction, [&] { return read(port, address, &data); }) != 0;
                buffer[index] = data & 0xFF;
            } else {
                const std::int32_t data = buffer[index];
                ok = PlugInCall(writeFunction, [&] { return write(port, address, data); }) != 0;
            }
            if (!ok)
                ++unit.ErrorCount;
            if (unit.ErrorCount != countShown) {
                countShown = unit.ErrorCount;
                const auto result = std::to_chars(errors, errors + sizeof errors, countShown);
                errorText = std::string_view(errors, static_cast<std::size_t>(result.ptr - errors));
            }
            status().SetText(progress.Format({high, 3}, {low, 2}, errorText));
        }
        app.ProcessMessagesIfDue();
        if (deferredExit_ != TDeferredExit::None) {
            // The program is ending: no question, the device goes off.
            unit.AbortRequested = 0;
            return stopAborted();
        }
        if (unit.AbortRequested) {
            unit.AbortRequested = 0;
            if (tk::MessageDlg(tk::LoadStr(S_REALLY_ABORT_OPERATION), tk::mtConfirmation, tk::mbYesNo) == tk::mrYes)
                return stopAborted();
        }
        PBar->SetPosition(PBar->Position() + 1);
    }

    if (flash && writing)
        tk::SleepBeepSeam()->Sleep(500);
    PBar->SetPosition(0);
    if (!verifying && unit.ErrorCount != 0)
        lastSummary_ = tk::FmtLoadStr(texts.errors, {tk::IntToStr(unit.ErrorCount)});
    else
        lastSummary_ = tk::LoadStr(texts.success);
    SetPanelText(1, lastSummary_);
    power.Off();
    redraw();
    return TTransferOutcome::Completed;
}

void TMainForm::RunTransfer(TMemory memory, TTransfer transfer)
{
    TCommandResult result(*this);
    lastTransfer_ = TTransferOutcome::Refused;
    RunDeviceCommand([&] { lastTransfer_ = Transfer(memory, transfer); });
    // Done: the loop ran to its end without a failed read or write (a
    // verify that completes found no difference). A memory the device
    // lacks was not read, written or verified.
    result.Done(lastTransfer_ == TTransferOutcome::Completed &&
                (transfer == TTransfer::Verify || MainUnit().ErrorCount == 0));
}

void TMainForm::Action_GetChipIdExecute(tk::Component*)
{
    TCommandResult result(*this);
    RunDeviceCommand([this, &result] {
        if (CheckProgrammer()) {
            IdentifyDevice();
            result.Done(!MainUnit().DeviceName.empty());
        }
    });
}

void TMainForm::Action_EraseChipExecute(tk::Component*)
{
    TCommandResult result(*this);
    RunDeviceCommand([this, &result] {
        const TMainUnitState& unit = MainUnit();
        if (!unit.PlugInLoaded || !unit.PlugIn.PowerUpDevice) {
            tk::ShowMessage(tk::LoadStr(S_NO_PLUGIN_SELECTED));
            return;
        }
        TDevicePower power(unit.PlugIn, FPortAddress);
        if (!power.Up()) {
            tk::ShowMessage(tk::LoadStr(S_DEVICE_NOT_POWERED_UP));
            return;
        }
        const std::int32_t port = FPortAddress;
        PlugInCall(pfEraseChip, [&] { unit.PlugIn.EraseChip(port); });
        power.Off();
        SetPanelText(1, tk::LoadStr(S_DEVICE_ERASED));
        result.Done();
    });
}

void TMainForm::Action_ReadFlashExecute(tk::Component*) { RunTransfer(TMemory::Flash, TTransfer::Read); }

void TMainForm::Action_ReadPromExecute(tk::Component*) { RunTransfer(TMemory::EEprom, TTransfer::Read); }

void TMainForm::Action_WriteFlashExecute(tk::Component*) { RunTransfer(TMemory::Flash, TTransfer::Write); }

void TMainForm::Action_WritePromExecute(tk::Component*) { RunTransfer(TMemory::EEprom, TTransfer::Write); }

void TMainForm::Action_VerifyFlashExecute(tk::Component*) { RunTransfer(TMemory::Flash, TTransfer::Verify); }

void TMainForm::Action_VerifyPromExecute(tk::Component*) { RunTransfer(TMemory::EEprom, TTransfer::Verify); }

bool TMainForm::PrepareCombinedCommand()
{
    if (!CheckNotBusy() || !CheckPortPresent())
        return false;
    const TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!CheckProgrammer())
        return false;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return false;
    }
    return true;
}

bool TMainForm::TPass::Stopped() const
{
    return outcome == TTransferOutcome::Refused || outcome == TTransferOutcome::Aborted ||
           outcome == TTransferOutcome::Difference;
}

TMainForm::TPass TMainForm::LastPass() const
{
    TPass pass;
    pass.outcome = lastTransfer_;
    // Only a loop that ran to its end has an error count of its own.
    if (pass.outcome == TTransferOutcome::Completed) {
        pass.errors = MainUnit().ErrorCount;
        pass.summary = lastSummary_;
    }
    return pass;
}

bool TMainForm::TPass::Faultless() const
{
    return outcome == TTransferOutcome::Skipped || (outcome == TTransferOutcome::Completed && errors == 0);
}

bool TMainForm::CombinedDone(const TPass& flash, const TPass& eeprom)
{
    // A memory the device lacks is no failure here, but one of the two
    // must have been transferred.
    return flash.Faultless() && eeprom.Faultless() &&
           (flash.outcome == TTransferOutcome::Completed || eeprom.outcome == TTransferOutcome::Completed);
}

void TMainForm::FinishCombined(const TPass& flash, const TPass& eeprom, unsigned success, unsigned errors)
{
    const bool flashRan = flash.outcome == TTransferOutcome::Completed;
    const bool eepromRan = eeprom.outcome == TTransferOutcome::Completed;
    if (!flashRan || !eepromRan) {
        // A memory the device lacks: the pass that ran speaks for itself.
        if (eepromRan)
            SetPanelText(1, eeprom.summary);
        else if (flashRan)
            SetPanelText(1, flash.summary);
        return;
    }
    if (errors != 0 && (flash.errors != 0 || eeprom.errors != 0))
        SetPanelText(1, tk::FmtLoadStr(errors, {tk::IntToStr(flash.errors), tk::IntToStr(eeprom.errors)}));
    else if (success != 0)
        SetPanelText(1, tk::LoadStr(success));
}

void TMainForm::Action_ReadAllExecute(tk::Component*)
{
    TCommandResult result(*this);
    if (!PrepareCombinedCommand())
        return;
    Action_ReadFlashExecute(nullptr);
    const TPass flash = LastPass();
    if (flash.Stopped())
        return;
    Action_ReadPromExecute(nullptr);
    const TPass eeprom = LastPass();
    if (eeprom.Stopped())
        return;
    FinishCombined(flash, eeprom, S_FLASH_AND_EEPROM_READ_OK, S_READ_BOTH_ERRORS);
    result.Done(CombinedDone(flash, eeprom));
}

void TMainForm::Action_WriteAllExecute(tk::Component*)
{
    TCommandResult result(*this);
    if (!PrepareCombinedCommand())
        return;
    Action_WriteFlashExecute(nullptr);
    const TPass flash = LastPass();
    if (flash.Stopped())
        return;
    TPass eeprom;
    {
        // The chip is erased at most once, before the first memory written:
        // the Flash, or the EEPROM of a device that has no Flash.
        const std::uint8_t erase = FChipEraseBeforeProgramming;
        if (flash.outcome != TTransferOutcome::Skipped)
            FChipEraseBeforeProgramming = 0;
        struct Restore {
            std::uint8_t& option;
            std::uint8_t value;
            ~Restore() { option = value; }
        } restore{FChipEraseBeforeProgramming, erase};
        Action_WritePromExecute(nullptr);
        eeprom = LastPass();
    }
    if (eeprom.Stopped())
        return;
    FinishCombined(flash, eeprom, S_FLASH_AND_EEPROM_PROGRAMMED_OK, S_PROGRAM_BOTH_ERRORS);
    result.Done(CombinedDone(flash, eeprom));
}

void TMainForm::Action_VerifyAllExecute(tk::Component*)
{
    TCommandResult result(*this);
    Action_VerifyFlashExecute(nullptr);
    const TPass flash = LastPass();
    if (flash.Stopped())
        return;
    Action_VerifyPromExecute(nullptr);
    const TPass eeprom = LastPass();
    if (eeprom.Stopped())
        return;
    // Both verified: the EEPROM pass's text stays, as after its own command.
    FinishCombined(flash, eeprom, 0, 0);
    // A verify has no failed addresses of its own (the count is the last
    // read's or write's): having come through is having found no difference.
    result.Done(flash.outcome == TTransferOutcome::Completed || eeprom.outcome == TTransferOutcome::Completed);
}

// --- views and cell editing -----------------------------------------------------------------

void TMainForm::SetViewMode(std::uint8_t mode)
{
    TCommandResult result(*this);
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    if (!CheckPortPresent())
        return;
    TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (mode == vmHex && unit.DeviceName.empty())
        return;
    if (!CheckProgrammer())
        return;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }
    unit.ViewMode = mode;
    MnuHex->SetChecked(mode == vmHex);
    MnuDecimal->SetChecked(mode == vmDecimal);
    MnuAscii->SetChecked(mode == vmAscii);
    ShowFlashBuffer();
    ShowEEpromBuffer();
    result.Done();
}

void TMainForm::Action_HexExecute(tk::Component*) { SetViewMode(vmHex); }

void TMainForm::Action_DecExecute(tk::Component*) { SetViewMode(vmDecimal); }

void TMainForm::Action_AsciiExecute(tk::Component*) { SetViewMode(vmAscii); }

void TMainForm::MnuEditDirectlyClick(tk::Component*)
{
    if (!CheckNotBusy())
        return;
    TBusyScope busy;
    if (!CheckPortPresent())
        return;
    TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        IdentifyDevice();
    if (!CheckProgrammer())
        return;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return;
    }
    unit.EditValuesDirectly = unit.EditValuesDirectly ? 0 : 1;
    ApplyEditingState();
}

void TMainForm::ApplyEditingState()
{
    const TMainUnitState& unit = MainUnit();
    MnuEditDirectly->SetChecked(unit.EditValuesDirectly != 0);
    const auto setEditing = [](tk::StringGrid& grid, bool on) {
        grid.SetOptions(on ? (grid.Options() | tk::goEditing) : (grid.Options() & ~static_cast<unsigned>(tk::goEditing)));
        grid.SetColor(on ? tk::clWindow : tk::clBtnFace);
    };
    if (unit.EditValuesDirectly) {
        // A grid whose memory is absent stays read-only and grey.
        if (unit.FlashEnabled)
            setEditing(*SG1, true);
        if (unit.EEpromEnabled)
            setEditing(*SG2, true);
    } else {
        setEditing(*SG1, false);
        setEditing(*SG2, false);
    }
}

void TMainForm::CellSelected(tk::StringGrid& grid, unsigned notInitialized, unsigned writeMode, unsigned readOnly)
{
    if (MainUnit().DeviceName.empty())
        SetPanelText(1, tk::LoadStr(notInitialized));
    else if (grid.Options() & tk::goEditing)
        SetPanelText(1, tk::LoadStr(writeMode));
    else
        SetPanelText(1, tk::LoadStr(readOnly));
}

void TMainForm::SG1SelectCell(tk::Component*, int, int, bool&)
{
    CellSelected(*SG1, S_FLASH_DATA_NOT_INITIALIZED, S_FLASH_DATA_WRITE_MODE, S_FLASH_DATA_READ_ONLY);
}

void TMainForm::SG2SelectCell(tk::Component*, int, int, bool&)
{
    CellSelected(*SG2, S_EEPROM_DATA_NOT_INITIALIZED, S_EEPROM_DATA_WRITE_MODE, S_EEPROM_DATA_READ_ONLY);
}

void TMainForm::CellTyped(std::vector<std::int32_t>& buffer, int col, int row, const std::string& value,
                          bool typedWhole)
{
    const std::uint8_t mode = MainUnit().ViewMode;
    const std::int64_t perRow = mode == vmDecimal ? 10 : 16;
    const std::int64_t address = static_cast<std::int64_t>(row - 1) * perRow + (col - 1);
    std::int32_t converted = 0;
    switch (mode) {
    case vmDecimal:
        if (value.empty() || value.size() > 3)
            return;
        // A sign alone is a number still being typed ("-5" is ignored as no
        // byte once its digit follows), not a wrong one.
        if (value == "-" || value == "+")
            return;
        try {
            converted = tk::StrToInt(value);
        } catch (const tk::EConvertError&) {
            tk::ShowMessage(tk::FmtLoadStr(S_NOT_A_CORRECT_DECIMAL_NUMBER, {value}));
            return;
        }
        break;
    case vmAscii:
        if (value.size() != 1)
            return;
        // A character without a byte in the code page reads as the page's
        // default character, which must not be stored in its place.
        if (!typedWhole) {
            tk::ShowMessage(tk::LoadStr(S_CHARACTER_NOT_IN_CODE_PAGE));
            return;
        }
        converted = static_cast<std::uint8_t>(value[0]);
        break;
    default:
        if (value.empty() || value.size() > 2)
            return;
        try {
            converted = tk::StrToInt("$" + value);
        } catch (const tk::EConvertError&) {
            tk::ShowMessage(tk::FmtLoadStr(S_NOT_A_CORRECT_HEX_NUMBER, {value}));
            return;
        }
        break;
    }
    if (converted < 0 || converted > 255)
        return;
    if (address >= 0 && address < static_cast<std::int64_t>(buffer.size()))
        buffer[static_cast<std::size_t>(address)] = converted;
}

namespace {

// Whether the grid's editor holds the typed text whole in the code page.
bool EditorTextWhole(const tk::StringGrid& grid) { return !grid.Editor() || grid.Editor()->TextConverts(); }

}  // namespace

void TMainForm::SG1SetEditText(tk::Component*, int col, int row, const std::string& value)
{
    CellTyped(MainUnit().FlashBuffer, col, row, value, EditorTextWhole(*SG1));
}

void TMainForm::SG2SetEditText(tk::Component*, int col, int row, const std::string& value)
{
    CellTyped(MainUnit().EEpromBuffer, col, row, value, EditorTextWhole(*SG2));
}

void TMainForm::EditorOpening(std::string& value)
{
    // Hex cells start an empty editor when they hold more than a byte. An
    // empty cell does not read as a number: that error reaches the
    // application's error box.
    if (MainUnit().ViewMode == vmHex && tk::StrToInt("$" + value) > 255)
        value.clear();
}

void TMainForm::SG1GetEditText(tk::Component*, int, int, std::string& value) { EditorOpening(value); }

void TMainForm::SG2GetEditText(tk::Component*, int, int, std::string& value) { EditorOpening(value); }

// --- HEX file commands and the settings file ------------------------------------------
// The four commands move the buffers to and from Intel HEX files; each
// remembers the folder of its last file in ZeltoPrg.ini (section
// Directories). In command mode the two read commands take the file a
// script named and show no dialog.

namespace {

constexpr const char* kSettingsFileName = "ZeltoPrg.ini";
constexpr const char* kDirectoriesSection = "Directories";

std::string& SettingsFolderOverride()
{
    static std::string folder;
    return folder;
}

// The folder of a path, with its trailing separator ("" for a bare name).
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithoutTrailingSeparator(std::string folder)
{
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

// One memory as the HEX commands see it.
struct THexTarget {
    bool flash;
    const char* loadKey;
    const char* saveKey;
    int filterIndex;
    unsigned readTitle;
    unsigned saveTitle;
    unsigned loaded;
    unsigned notLoaded;
    unsigned saved;
    const char* defaultExt;
};

constexpr THexTarget kFlashHex{true,
                               "LoadHexFiles",
                               "SaveHexFiles",
                               1,
                               S_READ_HEX_TO_FLASH_TITLE,
                               S_SAVE_FLASH_TO_HEX_TITLE,
                               S_FLASH_HEX_LOADED,
                               S_FLASH_HEX_NOT_LOADED,
                               S_FLASH_BUFFER_SAVED,
                               "HEX"};
constexpr THexTarget kEEpromHex{false,
                                "LoadEEPFiles",
                                "SaveEEPFiles",
                                2,
                                S_READ_HEX_TO_EEPROM_TITLE,
                                S_SAVE_EEPROM_TO_HEX_TITLE,
                                S_EEPROM_HEX_LOADED,
                                S_EEPROM_HEX_NOT_LOADED,
                                S_EEPROM_BUFFER_SAVED,
                                "EEP"};

std::vector<std::int32_t>& BufferOf(const THexTarget& target)
{
    TMainUnitState& unit = MainUnit();
    return target.flash ? unit.FlashBuffer : unit.EEpromBuffer;
}

}  // namespace

std::string SettingsFileName()
{
    std::string folder = SettingsFolderOverride();
    if (folder.empty())
        folder = FolderOf(tk::App().ExeName());
    return WithoutTrailingSeparator(folder) + "\\" + kSettingsFileName;
}

void SetSettingsFolder(const std::string& folder) { SettingsFolderOverride() = folder; }

std::string ReadDirectorySetting(const std::string& key)
{
    char value[MAX_PATH * 4] = {};
    ::GetPrivateProfileStringA(kDirectoriesSection, key.c_str(), "", value, sizeof(value), SettingsFileName().c_str());
    return value;
}

void WriteDirectorySetting(const std::string& key, const std::string& value)
{
    ::WritePrivateProfileStringA(kDirectoriesSection, key.c_str(), value.c_str(), SettingsFileName().c_str());
}

std::function<bool(int LineNumber)>& HexSaveLineFault()
{
    static std::function<bool(int)> fault;
    return fault;
}

namespace {

constexpr std::int32_t kHexFillByte = 255;

// Reads a file into one buffer; "" when it loaded, else why not. Any
// failure (size checks, a missing, unreadable or locked file, a format
// error) ends in the status text alone, with the buffer all 255: what an
// earlier load or read left there must not be taken for the file's data.
std::string LoadHexFile(TMainForm& form, const THexTarget& target, const std::string& fileName)
{
    std::vector<std::int32_t>& buffer = BufferOf(target);
    try {
        THexFile hex;
        hex.FileName = fileName;
        hex.BufSize = static_cast<std::int32_t>(buffer.size()) - 1;
        hex.FillByte = kHexFillByte;
        hex.LoadFromFile(buffer);
        form.SetPanelText(1, tk::LoadStr(target.loaded));
        return std::string();
    } catch (const std::exception& e) {
        std::fill(buffer.begin(), buffer.end(), kHexFillByte);
        form.SetPanelText(1, tk::LoadStr(target.notLoaded));
        return e.what();
    }
}

std::string LoadFlashHexFile(TMainForm& form, const std::string& fileName)
{
    return LoadHexFile(form, kFlashHex, fileName);
}

std::string LoadEEpromHexFile(TMainForm& form, const std::string& fileName)
{
    return LoadHexFile(form, kEEpromHex, fileName);
}

// The prologue the four commands share, after the busy guard; false when
// the command must end.
bool HexCommandPrologue(TMainForm& form)
{
    TMainUnitState& unit = MainUnit();
    if (unit.DeviceName.empty())
        form.IdentifyDevice();
    if (!form.CheckProgrammer())
        return false;
    if (unit.DeviceName.empty()) {
        tk::ShowMessage(tk::LoadStr(S_NO_DEVICE_DETECTED));
        return false;
    }
    return true;
}

void OpenHexFile(TMainForm& form, const THexTarget& target, std::string (*load)(TMainForm&, const std::string&))
{
    TCommandResult result(form);
    // Until the file is in, the command line can tell why it is not.
    form.NoteLoadFailure(tk::LoadStr(target.notLoaded));
    if (!form.CheckNotBusy())
        return;
    TBusyScope busy;
    if (!HexCommandPrologue(form))
        return;
    tk::OpenDialog& dialog = *form.OpenDlg;
    const std::string folder = ReadDirectorySetting(target.loadKey);
    if (!folder.empty())
        dialog.SetInitialDir(folder);
    dialog.SetFilterIndex(target.filterIndex);
    dialog.SetTitle(tk::LoadStr(target.readTitle));
    dialog.SetFileName("");
    std::string fileName;
    if (form.FCommandMode) {
        fileName = form.FScriptHexFileName;
    } else if (dialog.Execute()) {
        fileName = dialog.FileName();
        WriteDirectorySetting(target.loadKey, FolderOf(fileName));
    } else {
        form.SetPanelText(1, tk::LoadStr(target.notLoaded));
    }
    if (form.FCommandMode || !fileName.empty()) {
        const std::string failure = load(form, fileName);
        result.Done(failure.empty());
        form.NoteLoadFailure(failure.empty() ? failure : tk::LoadStr(target.notLoaded) + "\r\n" + failure);
    }
    if (target.flash)
        form.ShowFlashBuffer();
    else
        form.ShowEEpromBuffer();
}

void SaveHexFile(TMainForm& form, const THexTarget& target)
{
    if (!form.CheckNotBusy())
        return;
    TBusyScope busy;
    if (!HexCommandPrologue(form))
        return;
    tk::SaveDialog& dialog = *form.SaveDlg;
    const std::string folder = ReadDirectorySetting(target.saveKey);
    if (!folder.empty())
        dialog.SetInitialDir(folder);
    dialog.SetFilterIndex(target.filterIndex);
    dialog.SetFileName("");
    dialog.SetTitle(tk::LoadStr(target.saveTitle));
    dialog.SetDefaultExt(target.defaultExt);
    // Also in command mode: no script keyword saves, so a user is there.
    if (!dialog.Execute())
        return;
    const std::string path = dialog.FileName();
    WriteDirectorySetting(target.saveKey, FolderOf(path));
    // A save that fails leaves an earlier file as it was (THexFile writes
    // beside it and replaces it only when complete); the error reaches the
    // application's error box. A read-only file is refused as Windows itself
    // refuses to replace one, also where the file system would allow it.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw tk::EInOutError(tk::LoadStr(S_TK_FILE_ACCESS_DENIED));
    THexFile hex;
    hex.FileName = path;
    const std::vector<std::int32_t>& buffer = BufferOf(target);
    hex.BufSize = static_cast<std::int32_t>(buffer.size()) - 1;
    hex.FillByte = 255;
    hex.LineWriteFault = HexSaveLineFault();
    hex.SaveToFile(buffer);
    form.SetPanelText(1, tk::FmtLoadStr(target.saved, {path}));
}

}  // namespace

void TMainForm::Action_OpenFlashExecute(tk::Component*) { OpenHexFile(*this, kFlashHex, LoadFlashHexFile); }

void TMainForm::Action_OpenPromExecute(tk::Component*) { OpenHexFile(*this, kEEpromHex, LoadEEpromHexFile); }

void TMainForm::Action_SaveFlashExecute(tk::Component*) { SaveHexFile(*this, kFlashHex); }

void TMainForm::Action_SavePromExecute(tk::Component*) { SaveHexFile(*this, kEEpromHex); }
