// Main: the programmer's main window. It owns the port component and the
// options, shows the Flash and EEPROM buffers in two grids, builds the
// parallel-port menu from the ports the port library finds, reports the
// port's kind, and runs every command of the menu, the toolbars and the
// scripts through one set of handlers guarded by the busy flag. The state
// that the whole unit shares (buffers, flags, plug-in binding) lives in one
// TMainUnitState object that tests can reset.
#pragma once

#include <windows.h>

#include "components/PortIO.h"
#include "programmer/BufferView.h"
#include "programmer/PlugInGuard.h"
#include "programmer/PlugInInterface.h"
#include "toolkit/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {
class Panel;
class Splitter;
class StringGrid;
class StatusBar;
class ProgressBar;
class ActionList;
class Action;
class ImageList;
class OpenDialog;
class SaveDialog;
class MainMenu;
class MenuItem;
}  // namespace tk

class TOneInstance;
class TDock;
class TToolbar;
class TToolbarButton;
class TProgramLauncher;

// The 23 device functions of the bound plug-in, in binding order.
struct TPlugInEntryPoints {
    PowerOffDeviceProc PowerOffDevice = nullptr;
    PowerUpDeviceProc PowerUpDevice = nullptr;
    CheckProgrammingDeviceProc CheckProgrammingDevice = nullptr;
    CheckSignatureProc CheckSignature = nullptr;
    EnableProgrammingProc EnableProgramming = nullptr;
    EraseChipProc EraseChip = nullptr;
    GetDeviceFoundNameProc GetDeviceFoundName = nullptr;
    GetDeviceFoundFlashSizeProc GetDeviceFoundFlashSize = nullptr;
    GetDeviceFoundEEpromSizeProc GetDeviceFoundEEpromSize = nullptr;
    ReadFlashAddressProc ReadFlashAddress = nullptr;
    WriteFlashAddressProc WriteFlashAddress = nullptr;
    ReadEEpromAddressProc ReadEEpromAddress = nullptr;
    WriteEEpromAddressProc WriteEEpromAddress = nullptr;
    GetSpecialBitsCategoryNameProc GetSpecialBitsCategoryName = nullptr;
    ReadSpecialBitsProc ReadSpecialBits1 = nullptr;
    ReadSpecialBitsProc ReadSpecialBits2 = nullptr;
    ReadSpecialBitsProc ReadSpecialBits3 = nullptr;
    WriteSpecialBitsProc WriteSpecialBits1 = nullptr;
    WriteSpecialBitsProc WriteSpecialBits2 = nullptr;
    WriteSpecialBitsProc WriteSpecialBits3 = nullptr;
    ReadSpecialBitsNamesProc ReadSpecialBits1Names = nullptr;
    ReadSpecialBitsNamesProc ReadSpecialBits2Names = nullptr;
    ReadSpecialBitsNamesProc ReadSpecialBits3Names = nullptr;
};

// What the main window's unit shares between the main window, the device
// operations and the dialogs. Zero at load; one instance per process.
struct TMainUnitState {
    std::int32_t PortPresent278 = 0;
    std::int32_t PortPresent378 = 0;
    std::int32_t PortPresent3BC = 0;
    std::uint8_t PortIsECP = 0;
    std::uint8_t PortIsBidirectional = 0;
    std::vector<std::int32_t> FlashBuffer;
    std::vector<std::int32_t> EEpromBuffer;
    std::uint8_t ViewMode = 0;  // vmHex, vmDecimal or vmAscii
    std::uint8_t AbortRequested = 0;
    std::uint8_t EditValuesDirectly = 0;
    std::int32_t ErrorCount = 0;
    std::uint8_t FlashEnabled = 0;
    std::uint8_t EEpromEnabled = 0;
    std::uint8_t Busy = 0;
    std::string DeviceName;  // at most 255 characters; empty = no device
    std::uint8_t PlugInLoaded = 0;
    std::string PlugInFileName;
    HMODULE PlugInHandle = nullptr;
    TPlugInEntryPoints PlugIn;
    // Copied from the plug-in's answer at once (at most 255 characters each).
    std::vector<std::string> SpecialBitsCategoryNames;
};

TMainUnitState& MainUnit();
// Back to the state at load (a bound plug-in library is freed).
void ResetMainUnit();

// A call into the bound plug-in inside the fault guard (PlugInGuard.h): a
// hardware exception in it raises EPlugInFault naming the plug-in's file
// and `function`.
template <class Call>
auto PlugInCall(PlugInFunctionIndex function, Call&& call) -> decltype(call())
{
    return GuardPlugInCall(MainUnit().PlugInFileName, PlugInDeviceFunctionNames[function], call);
}

// Powers the device off on every way out once it has been powered up. The
// device counts as powered from the moment PowerUpDevice is called: a
// plug-in that faults inside it may have switched the power on.
class TDevicePower {
public:
    TDevicePower(const TPlugInEntryPoints& plugIn, std::int32_t port) : plugIn_(plugIn), port_(port) {}
    ~TDevicePower()
    {
        // Still on here only on an exception's way out: that exception is
        // the one reported, not a second fault while switching off.
        try {
            Off();
        } catch (...) {
        }
    }
    TDevicePower(const TDevicePower&) = delete;
    TDevicePower& operator=(const TDevicePower&) = delete;

    bool Up()
    {
        on_ = true;
        on_ = PlugInCall(pfPowerUpDevice, [this] { return plugIn_.PowerUpDevice(port_); }) != 0;
        return on_;
    }
    // Off at the end whatever the power-up answered.
    void Hold() { on_ = true; }
    void Off()
    {
        if (!on_)
            return;
        on_ = false;
        PlugInCall(pfPowerOffDevice, [this] { plugIn_.PowerOffDevice(port_); });
    }

private:
    const TPlugInEntryPoints& plugIn_;
    std::int32_t port_;
    bool on_ = false;
};

// Decides the Ports menu from what CheckPorts found.
struct TPortMenuPlan {
    bool changed = false;        // false: the menu and the port stay as they are
    bool captioned[3] = {};      // item gets its "Port $..." caption ($278, $378, $3BC)
    bool enabled[3] = {};
    bool checked[3] = {};        // items are only ever checked by the plan
    std::int32_t portAddress = 0;
};
TPortMenuPlan PlanPortMenu(std::int32_t portCount, std::int32_t has278, std::int32_t has378, std::int32_t has3BC);

// What the user made of the main window that lives only in its windows:
// the window's place and size, the bars' rows and positions in their docks,
// the grids' scrolling and current cells, the progress bar. A re-read of
// the description puts its stored values there; a language switch takes
// this before the re-read and gives it back after it.
struct TMainWindowLiveState {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    struct TBarPlace {
        TToolbar* bar = nullptr;
        int dockRow = 0;
        int dockPos = 0;
    };
    std::vector<TBarPlace> bars;
    struct TGridPlace {
        int col = 0;
        int row = 0;
        int topRow = 0;
        int leftCol = 0;
    };
    TGridPlace flashGrid;
    TGridPlace eepromGrid;
    int progressMax = 0;
    int progressPosition = 0;
    std::string message;  // status panel 1: the last operation's text
};

class TMainForm : public tk::Form {
public:
    // The port component talks to the driver through `portSystem` (a
    // simulated one in tests).
    explicit TMainForm(PortIOSystem portSystem = PortIOSystem::Win32());
    ~TMainForm() override;

    // --- main-window state ------------------------------------------------------
    std::uint8_t FCommandMode = 0;
    std::string FScriptHexFileName;
    std::string FScriptPlugInName;
    std::uint8_t FChipEraseBeforeProgramming = 0;
    std::uint8_t FReleasePortLines = 0;
    std::vector<std::uint8_t> FSpecialBits;
    std::int32_t FPortCount = 0;
    std::int32_t FPortAddress = 0;
    // Cloning options.
    std::uint8_t FFlashSerialNumbering = 0;
    std::uint8_t FEEpromSerialNumbering = 0;
    std::int32_t FFlashSNStartAddress = 0;
    std::int32_t FEEpromSNStartAddress = 0;
    std::int32_t FFlashSNByteCount = 0;
    std::int32_t FEEpromSNByteCount = 0;
    std::int32_t FFlashSNStartValue = 0;
    std::int32_t FEEpromSNStartValue = 0;
    std::int32_t FFlashSNIncrement = 0;
    std::int32_t FEEpromSNIncrement = 0;
    std::int64_t FFlashMaxClones = 0;
    std::int64_t FEEpromMaxClones = 0;
    std::uint8_t FFlashSNMsbFirst = 1;
    std::uint8_t FEEpromSNMsbFirst = 1;
    std::int32_t FFlashSize = 0;
    std::int32_t FEEpromSize = 0;

    // Set once the command line has run: from then on the port library's
    // command mode (which only tells whether there were parameters) no
    // longer decides whether option and message dialogs are shown.
    bool CommandLineProcessed() const { return commandLineProcessed_; }
    void MarkCommandLineProcessed() { commandLineProcessed_ = true; }

    // How the commands of the command line went, for its exit code. Before
    // each action the interpreter clears CommandDone; an action sets it (by
    // a TCommandResult) only where its work has happened, so a refusal, an
    // abort, a failure, or an action that reports nothing, reads as failed.
    void BeginCommand() { commandDone_ = false; }
    bool CommandDone() const { return commandDone_; }
    void SetCommandDone(bool done) { commandDone_ = done; }
    // Run-wide: some command of the command line failed.
    void NoteCommandFailed() { commandsFailed_ = true; }
    bool CommandsFailed() const { return commandsFailed_; }
    // Why the last command that reads a HEX file into a buffer left no
    // file's data there ("" when it loaded).
    void NoteLoadFailure(std::string why) { loadFailure_ = std::move(why); }
    const std::string& LoadFailure() const { return loadFailure_; }

    TPortIO Port1;

    // --- components of the window description -------------------------------------
    tk::Panel* Panel1 = nullptr;
    TDock* Dock1 = nullptr;
    TToolbar* FileBar = nullptr;
    TToolbar* MiscBar = nullptr;
    TToolbar* FLEPBar = nullptr;
    TToolbar* ViewBar = nullptr;
    TToolbarButton* BtOpenFlash = nullptr;
    TToolbarButton* BtOpenEEprom = nullptr;
    TToolbarButton* BtSaveFlash = nullptr;
    TToolbarButton* BtSaveEEprom = nullptr;
    TToolbarButton* BtExitApp = nullptr;
    TToolbarButton* BtChipId = nullptr;
    TToolbarButton* BtEraseChip = nullptr;
    TToolbarButton* BtSpecialBits1 = nullptr;
    TToolbarButton* BtSpecialBits2 = nullptr;
    TToolbarButton* BtSpecialBits3 = nullptr;
    TToolbarButton* BtClone = nullptr;
    TToolbarButton* BtFill = nullptr;
    TToolbarButton* BtReadFlash = nullptr;
    TToolbarButton* BtReadEEprom = nullptr;
    TToolbarButton* BtReadAll = nullptr;
    TToolbarButton* BtWriteFlash = nullptr;
    TToolbarButton* BtWriteEEprom = nullptr;
    TToolbarButton* BtWriteAll = nullptr;
    TToolbarButton* BtVerFlash = nullptr;
    TToolbarButton* BtVerEEprom = nullptr;
    TToolbarButton* BtVerAll = nullptr;
    TToolbarButton* BtHex = nullptr;
    TToolbarButton* BtDec = nullptr;
    TToolbarButton* BtAsc = nullptr;
    tk::Panel* Panel2 = nullptr;
    tk::StringGrid* SG1 = nullptr;
    tk::Splitter* Splitter1 = nullptr;
    tk::Panel* Panel3 = nullptr;
    tk::StringGrid* SG2 = nullptr;
    TDock* Dock4 = nullptr;
    tk::StatusBar* SBar = nullptr;
    tk::ProgressBar* PBar = nullptr;
    tk::OpenDialog* OpenDlg = nullptr;
    tk::SaveDialog* SaveDlg = nullptr;
    tk::ImageList* Images = nullptr;
    TProgramLauncher* Launcher = nullptr;

    tk::ActionList* Actions = nullptr;
    tk::Action* Action_OpenFlash = nullptr;
    tk::Action* Action_OpenProm = nullptr;
    tk::Action* Action_SaveFlash = nullptr;
    tk::Action* Action_SaveProm = nullptr;
    tk::Action* Action_Exit = nullptr;
    tk::Action* Action_GetChipId = nullptr;
    tk::Action* Action_EraseChip = nullptr;
    tk::Action* Action_ReadFlash = nullptr;
    tk::Action* Action_ReadProm = nullptr;
    tk::Action* Action_ReadAll = nullptr;
    tk::Action* Action_WriteFlash = nullptr;
    tk::Action* Action_WriteProm = nullptr;
    tk::Action* Action_WriteAll = nullptr;
    tk::Action* Action_VerifyFlash = nullptr;
    tk::Action* Action_VerifyProm = nullptr;
    tk::Action* Action_VerifyAll = nullptr;
    tk::Action* Action_Clone = nullptr;
    tk::Action* Action_FillBuffer = nullptr;
    tk::Action* Action_Hex = nullptr;
    tk::Action* Action_Dec = nullptr;
    tk::Action* Action_Ascii = nullptr;
    tk::Action* Action_LoadPlugin = nullptr;
    tk::Action* Action_ProgramSpecBits1 = nullptr;

    tk::MainMenu* MainMenu1 = nullptr;
    tk::MenuItem* MnuFile = nullptr;
    tk::MenuItem* MnuOpenFlash = nullptr;
    tk::MenuItem* MnuOpenEEprom = nullptr;
    tk::MenuItem* MnuSaveFlash = nullptr;
    tk::MenuItem* MnuSaveEEprom = nullptr;
    tk::MenuItem* MnuExitApp = nullptr;
    tk::MenuItem* MnuDevice = nullptr;
    tk::MenuItem* MnuGetChipId = nullptr;
    tk::MenuItem* MnuEraseChip = nullptr;
    tk::MenuItem* MnuReadOperations = nullptr;
    tk::MenuItem* MnuReadFlash = nullptr;
    tk::MenuItem* MnuReadEEprom = nullptr;
    tk::MenuItem* MnuReadAll = nullptr;
    tk::MenuItem* MnuWriteOperations = nullptr;
    tk::MenuItem* MnuWriteFlash = nullptr;
    tk::MenuItem* MnuWriteEEprom = nullptr;
    tk::MenuItem* MnuWriteAll = nullptr;
    tk::MenuItem* MnuVerifyOperations = nullptr;
    tk::MenuItem* MnuVerifyFlash = nullptr;
    tk::MenuItem* MnuVerifyEEprom = nullptr;
    tk::MenuItem* MnuVerifyAll = nullptr;
    tk::MenuItem* MnuMiscellaneous = nullptr;
    tk::MenuItem* MnuSpecialBits1 = nullptr;
    tk::MenuItem* MnuSpecialBits2 = nullptr;
    tk::MenuItem* MnuSpecialBits3 = nullptr;
    tk::MenuItem* MnuClone = nullptr;
    tk::MenuItem* MnuFillBuffer = nullptr;
    tk::MenuItem* MnuView = nullptr;
    tk::MenuItem* MnuHex = nullptr;
    tk::MenuItem* MnuDecimal = nullptr;
    tk::MenuItem* MnuAscii = nullptr;
    tk::MenuItem* MnuToolbars = nullptr;
    tk::MenuItem* MnuFileOperations = nullptr;
    tk::MenuItem* MnuMiscOperations = nullptr;
    tk::MenuItem* MnuFLEPOperations = nullptr;
    tk::MenuItem* MnuViewOperations = nullptr;
    tk::MenuItem* MnuOptions = nullptr;
    tk::MenuItem* MnuChipErase = nullptr;
    tk::MenuItem* MnuEditDirectly = nullptr;
    tk::MenuItem* MnuCloningOptions = nullptr;
    tk::MenuItem* MnuRelease = nullptr;
    tk::MenuItem* MnuPorts = nullptr;
    tk::MenuItem* LPT11 = nullptr;
    tk::MenuItem* LPT21 = nullptr;
    tk::MenuItem* LPT31 = nullptr;
    tk::MenuItem* MnuPlugIns = nullptr;
    tk::MenuItem* MnuUsePlugIn = nullptr;
    tk::MenuItem* MnuLanguage = nullptr;
    tk::MenuItem* LanguageEnglish = nullptr;
    tk::MenuItem* LanguageFrench = nullptr;
    tk::MenuItem* LanguageItalian = nullptr;
    tk::MenuItem* LanguageGerman = nullptr;
    tk::MenuItem* LanguageRomanian = nullptr;
    tk::MenuItem* MnuHelp = nullptr;
    tk::MenuItem* MnuAbout = nullptr;
    tk::MenuItem* OnlineHTMLhelp1 = nullptr;
    tk::MenuItem* MnuSystemInfo = nullptr;
    tk::MenuItem* MnuAlltheinfoUneed = nullptr;

    // Brings the running first copy to the front when this one is a second.
    std::unique_ptr<TOneInstance> OneInstance1;

    // --- window and menu handlers -------------------------------------------------
    void FormCreate(tk::Component* sender);
    void FormClose(tk::Component* sender, tk::CloseAction& action);
    void FormResize(tk::Component* sender);
    void FormKeyDown(tk::Component* sender, WORD& key, tk::ShiftState shift);
    void MnuAboutClick(tk::Component* sender);
    void LPT11Click(tk::Component* sender);
    void LPT21Click(tk::Component* sender);
    void LPT31Click(tk::Component* sender);
    void MnuChipEraseClick(tk::Component* sender);
    void MnuReleaseClick(tk::Component* sender);
    void Action_ExitExecute(tk::Component* sender);

    // Plug-in host and device commands.
    void Action_LoadPluginExecute(tk::Component* sender);
    void Action_GetChipIdExecute(tk::Component* sender);
    void Action_EraseChipExecute(tk::Component* sender);
    void Action_ReadFlashExecute(tk::Component* sender);
    void Action_ReadPromExecute(tk::Component* sender);
    void Action_ReadAllExecute(tk::Component* sender);
    void Action_WriteFlashExecute(tk::Component* sender);
    void Action_WritePromExecute(tk::Component* sender);
    void Action_WriteAllExecute(tk::Component* sender);
    void Action_VerifyFlashExecute(tk::Component* sender);
    void Action_VerifyPromExecute(tk::Component* sender);
    void Action_VerifyAllExecute(tk::Component* sender);

    // HEX files, fill, special bits, cloning.
    void Action_OpenFlashExecute(tk::Component* sender);
    void Action_OpenPromExecute(tk::Component* sender);
    void Action_SaveFlashExecute(tk::Component* sender);
    void Action_SavePromExecute(tk::Component* sender);
    void Action_FillBufferExecute(tk::Component* sender);
    void ProgramSpecialBits(tk::Component* sender);
    void EditSpecialBits(tk::Component* sender);
    void Action_CloneExecute(tk::Component* sender);
    void MnuCloningOptionsClick(tk::Component* sender);

    // Views, editing, toolbars.
    void Action_HexExecute(tk::Component* sender);
    void Action_DecExecute(tk::Component* sender);
    void Action_AsciiExecute(tk::Component* sender);
    void MnuEditDirectlyClick(tk::Component* sender);
    // The grids take typed values (white) or not (grey) after the direct-edit
    // option and the memories present; the menu item's check mark agrees.
    void ApplyEditingState();
    void SG1SelectCell(tk::Component* sender, int col, int row, bool& canSelect);
    void SG2SelectCell(tk::Component* sender, int col, int row, bool& canSelect);
    void SG1SetEditText(tk::Component* sender, int col, int row, const std::string& value);
    void SG2SetEditText(tk::Component* sender, int col, int row, const std::string& value);
    void SG1GetEditText(tk::Component* sender, int col, int row, std::string& value);
    void SG2GetEditText(tk::Component* sender, int col, int row, std::string& value);
    void MnuFileOperationsClick(tk::Component* sender);
    void MnuMiscOperationsClick(tk::Component* sender);
    void MnuFLEPOperationsClick(tk::Component* sender);
    void MnuViewOperationsClick(tk::Component* sender);

    // Language, help, system information.
    void SwitchLanguage(tk::Component* sender);
    void OnlineHTMLhelp1Click(tk::Component* sender);
    void MnuAlltheinfoUneedClick(tk::Component* sender);
    void MnuSystemInfoClick(tk::Component* sender);

    // --- language switch ----------------------------------------------------------------
    TMainWindowLiveState TakeLiveState() const;
    // Puts the live state back and says the program's own state again in the
    // active language: the caption with the bound plug-in, the Ports items'
    // captions, the check marks of the view and of the bars, the device in
    // the status bar, the grids' shape and editing.
    void GiveBackLiveState(const TMainWindowLiveState& live);

    // --- plug-in host and device identification --------------------------------------
    // Binds one export of the loaded plug-in or ends the program with
    // `exitCode` after telling the user.
    template <class Proc>
    void BindPlugInFunction(Proc& entryPoint, const char* name, int exitCode);
    void ApplyPlugInSpecialBitsInfo();
    // Its first half: the special-bits names and pictures alone, without
    // identifying the device (a language switch during an operation).
    void ApplyPlugInSpecialBitsNames();
    bool CheckProgrammer();
    void IdentifyDevice();

    // How the last single read, write or verify command ended: refused
    // before its loop (guard, adapter, power-up, enable), skipped because
    // the device lacks that memory, completed (with or without failed
    // calls), aborted, or stopped at a verify difference.
    enum class TTransferOutcome { Refused, Skipped, Completed, Aborted, Difference };
    TTransferOutcome LastTransferOutcome() const { return lastTransfer_; }
    // True while a device loop runs its addresses.
    bool DeviceLoopRunning() const { return loopRunning_; }

    // --- operations -----------------------------------------------------------------
    void SetupPortMenu();
    void CheckBidirectional(std::int32_t port);
    // The busy guard: false (after telling the user) while an operation runs.
    bool CheckNotBusy();
    // Drives the data lines of the current port high; nothing without a port.
    void ReleasePortLines();
    // The device commands' port check: false, after telling the user, when
    // no parallel port was found, so that no plug-in call receives port 0.
    bool CheckPortPresent();

    void ShowFlashBuffer();
    void ShowEEpromBuffer();
    // The layouts behind the two grids' cell texts.
    const TBufferView& FlashView() const { return flashView_; }
    const TBufferView& EEpromView() const { return eepromView_; }

    // Status-bar panel text (0 device, 1 messages, 2 port and adapter).
    std::string PanelText(int panel) const;
    void SetPanelText(int panel, const std::string& text);
    // Status panel 2: the last check for a programming device on a port
    // (a string id taking the port).
    void ShowPortStatus(unsigned text, std::int32_t port);

private:
    enum class TMemory { Flash, EEprom };
    enum class TTransfer { Read, Write, Verify };

    void SelectPort(tk::MenuItem* item, std::int32_t address);
    void FreePlugIn();
    bool LoadPlugInLibrary();
    void SetFlashControls(bool enabled);
    void SetEEpromControls(bool enabled);
    void SetDeviceControls(bool enabled);
    // The frame of every single device command: guard, busy flag, port
    // check, and on every way out the busy flag cleared and, when asked
    // for, the port lines released.
    template <class Work>
    void RunDeviceCommand(Work&& work);
    // One single read, write or verify command: its frame around Transfer.
    void RunTransfer(TMemory memory, TTransfer transfer);
    // The read, write or verify of one memory, inside a command's frame.
    TTransferOutcome Transfer(TMemory memory, TTransfer transfer);
    // The prologue of the combined commands; false ends them.
    bool PrepareCombinedCommand();
    // What one pass of a combined command left behind.
    struct TPass {
        TTransferOutcome outcome = TTransferOutcome::Refused;
        std::int32_t errors = 0;
        std::string summary;
        // A pass that was refused, aborted or found a difference ends the
        // combined command; its own text stays in panel 1.
        bool Stopped() const;
        // Transferred with no failed address, or skipped for a memory the
        // device lacks.
        bool Faultless() const;
    };
    // Whether a combined command whose passes all came through did its work.
    static bool CombinedDone(const TPass& flash, const TPass& eeprom);
    TPass LastPass() const;
    // The closing text of a combined command whose passes all came through.
    void FinishCombined(const TPass& flash, const TPass& eeprom, unsigned success, unsigned errors);
    // Exit or closing the window asked for while a loop ran: done now.
    void FinishDeferredExit();
    void SetViewMode(std::uint8_t mode);
    void CellSelected(tk::StringGrid& grid, unsigned notInitialized, unsigned writeMode, unsigned readOnly);
    // `typedWhole`: the editor's text has a byte for each of its characters.
    void CellTyped(std::vector<std::int32_t>& buffer, int col, int row, const std::string& value, bool typedWhole);
    void EditorOpening(std::string& value);
    void ShowBuffer(tk::StringGrid& grid, TBufferView& view, const std::vector<std::int32_t>& buffer,
                    std::uint8_t enabled, unsigned disabledMessage);
    // After a re-read description: the grids take the shape of the buffers
    // as last shown again.
    void ReshapeGrids();
    // The Flash grid's panel is at least as wide as the grid's widest layout.
    int FlashPanelWidth(int half) const;
    void ToggleBarVisible(TToolbar& bar, tk::MenuItem& item);
    // Each Toolbars item is checked when its bar is shown.
    void ShowBarMarks();
    // The caption names the bound plug-in, or says that there is none.
    void ShowPlugInInCaption();
    // The port items that the ports found give a caption get it.
    void CaptionPortItems(const TPortMenuPlan& plan);

    bool commandLineProcessed_ = false;
    bool commandDone_ = false;
    bool commandsFailed_ = false;
    std::string loadFailure_;
    // What status panel 2 says, to say it again in another language.
    struct {
        unsigned text = 0;
        std::int32_t port = 0;
    } portStatus_;
    TTransferOutcome lastTransfer_ = TTransferOutcome::Refused;
    std::string lastSummary_;
    bool loopRunning_ = false;
    // Exit (or closing the window) came while a loop ran; the loop stops
    // without asking and the program ends after it has returned.
    enum class TDeferredExit { None, Exit, Close };
    TDeferredExit deferredExit_ = TDeferredExit::None;
    TBufferView flashView_;
    TBufferView eepromView_;
};

// Formats a port address as the status texts and messages show it:
// upper-case hexadecimal with at least three digits.
std::string PortText(std::int32_t port);

// Runs the guarded part of a command: Busy is set for the scope and cleared
// on every way out, also when an exception leaves the command.
class TBusyScope {
public:
    TBusyScope();
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};

// An action's result for the command line: not done unless Done() was
// called, written when the scope ends on every way out (an exception
// included), so that a command run inside another (a pass of Read All, of a
// clone) never stands for the enclosing one.
class TCommandResult {
public:
    explicit TCommandResult(TMainForm& form) : form_(form) {}
    ~TCommandResult() { form_.SetCommandDone(done_); }
    TCommandResult(const TCommandResult&) = delete;
    TCommandResult& operator=(const TCommandResult&) = delete;
    void Done(bool done = true) { done_ = done; }

private:
    TMainForm& form_;
    bool done_ = false;
};

// The settings file ZeltoPrg.ini: in the program's folder, or in the folder
// a test names ("" = the program's folder again). Every read and write opens
// the file through the Windows profile functions and closes it again.
std::string SettingsFileName();
void SetSettingsFolder(const std::string& folder);
// A value of section Directories ("" when the key or the file is missing).
std::string ReadDirectorySetting(const std::string& key);
void WriteDirectorySetting(const std::string& key, const std::string& value);
// Fault injection for the two save commands: handed to THexFile::LineWriteFault.
std::function<bool(int LineNumber)>& HexSaveLineFault();

// The program's one main window, once created.
TMainForm* MainForm();
