// Main: the installer's window and its two roads. The install road records
// the installation in the registry, creates the installation folder, copies
// the chosen files of the package (the installer's own folder), makes the
// Start-menu group and links and associates ".ZLT" script files with the
// programmer; the uninstall road removes what the install made, and only
// that, again. Every step is one coloured line in the window's log: lime
// for progress, yellow for a warning, red for an error; a colour stays in
// force for the lines after it.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {
class Button;
class CheckBox;
class Edit;
class GroupBox;
class Label;
class Panel;
class RadioGroup;
class RichEdit;
}  // namespace tk
class TAssociate;
class TBrowseForFolder;
class TOneInstance;

// Raised by the install road's steps; the road logs the message in red.
class EInstallError : public tk::Exception {
public:
    using tk::Exception::Exception;
};

// The installation record in HKEY_LOCAL_MACHINE.
extern const char kInstallRecordKey[];
// The product's own file-type key.
extern const char kProductTypeKey[];

// The files of the package that go into the installation folder, in copy
// order (every feature), and the program's settings file: what uninstall
// may delete there.
const std::vector<std::string>& InstalledFileNames();

// A folder text with one trailing "\" removed if present and "\" appended.
std::string WithTrailingSlash(const std::string& folder);
// A local, absolute folder below a drive's root ("D:\Tools\"): no empty,
// relative, network or drive-root path, no "." or ".." part, no device
// name, no character a file name cannot hold.
bool IsInstallableFolder(const std::string& folder);
// Why folder cannot hold an installation (the log's red line), or empty:
// not installable, a device name, the installer's own folder, the Windows
// folder or anything below it.
std::string InstallFolderRefusal(const std::string& folder, const std::string& packageFolder);
// A Start-menu group name: empty (links straight into Programs) or parts
// separated by "\" that are file names; no drive, "..", leading "\".
bool IsValidGroupName(const std::string& group);

// The installation record under kInstallRecordKey.
struct InstallRecord {
    std::string InstallPath;
    std::string StartMenuGroup;
    // What the installation made that was not there before, so that
    // uninstall removes that and nothing else: folders (full paths with a
    // trailing "\", the installation folder and those above it, the group's
    // Start-menu folders) and driver files in the system folder. A record
    // without the folder list comes from before folders were recorded: its
    // installation folder and group folders count as made by it.
    bool knowsFolders = true;
    std::vector<std::string> createdFolders;
    std::vector<std::string> createdFiles;
};
// False when there is no record.
bool LoadInstallRecord(InstallRecord& record);
// Raises ERegistryException when the record cannot be written.
void SaveInstallRecord(const InstallRecord& record);

// The user's shell folder ("Programs", or "Desktop") from the "Shell Folders"
// values, else from the shell itself; empty when neither names an existing
// folder.
std::string ShellFolder(const std::string& Which);
// Creates <shell folder>\Name with every missing folder of it, telling
// beforeCreating each folder (full path with "\") before making it; false
// when the folder is not there afterwards.
bool CreateStartMenuFolder(const std::string& Name, const std::string& Which,
                           const std::function<void(const std::string&)>& beforeCreating = {});
// Saves the link <shell folder>\Group\LinkName.lnk to Target; false when it
// could not be saved. An error of the shell-link object itself raises.
bool CreateShellLink(const std::string& LinkName, const std::string& Group, const std::string& Target,
                     const std::string& WorkDir, const std::string& Which);

// What became of a folder that an installation used, once its own files
// in it were deleted.
enum class FolderOutcome {
    Missing,      // not there
    Removed,      // empty, made by the installation, removed
    NotOurs,      // empty, but there before the installation: it stays
    HoldsOthers,  // still holds other items: it stays
    NotRemoved,   // empty and the installation's, yet the system refused
};
FolderOutcome RemoveFolderIfEmpty(const std::string& folder, bool created);
// Deletes the named links (without ".lnk") that <shell folder>\Name holds,
// adding those that could not be deleted to undeletedLinks, then the folder
// as RemoveFolderIfEmpty does; the shell folder itself is never removed.
FolderOutcome DeleteStartMenuFolder(const std::string& Name, const std::string& Which,
                                    const std::vector<std::string>& links, bool created,
                                    std::vector<std::string>& undeletedLinks);

class TMainForm : public tk::Form {
public:
    TMainForm();
    ~TMainForm() override;

    tk::Panel* Panel2 = nullptr;
    tk::Panel* Panel3 = nullptr;
    tk::Button* Button1 = nullptr;
    tk::RadioGroup* RadioGroup1 = nullptr;
    tk::GroupBox* GroupBox1 = nullptr;
    tk::CheckBox* ProgrammerInterface = nullptr;
    tk::GroupBox* GroupBox6 = nullptr;
    tk::CheckBox* FrenchModules = nullptr;
    tk::CheckBox* RomanianModules = nullptr;
    tk::CheckBox* ItalianModules = nullptr;
    tk::CheckBox* German = nullptr;
    tk::GroupBox* GroupBox3 = nullptr;
    tk::CheckBox* OnlineWinHelp = nullptr;
    tk::GroupBox* GroupBox2 = nullptr;
    tk::CheckBox* ZeltoAVRLoVSer = nullptr;
    tk::CheckBox* ZeltoAVRHiVSer = nullptr;
    tk::CheckBox* ZeltoAVRPar = nullptr;
    tk::CheckBox* ZeltoI2CEEP = nullptr;
    tk::CheckBox* ZeltoMicrowire = nullptr;
    tk::CheckBox* DemoPlugin = nullptr;
    tk::GroupBox* GroupBox5 = nullptr;
    tk::CheckBox* Schematics = nullptr;
    tk::GroupBox* GroupBox4 = nullptr;
    tk::Label* Label1 = nullptr;
    tk::Edit* InstallationDirectory = nullptr;
    tk::Button* SpeedButton3 = nullptr;
    tk::Label* Label2 = nullptr;
    tk::Edit* StartMenuGroup = nullptr;
    tk::RichEdit* Messages = nullptr;
    tk::Label* UninstallLabel = nullptr;
    tk::Label* UninstallLabel1 = nullptr;
    tk::Button* UninstallButton = nullptr;
    tk::Button* InstallBt = nullptr;
    tk::Button* CancelBt = nullptr;
    TBrowseForFolder* BFF1 = nullptr;
    TAssociate* Associate = nullptr;
    std::unique_ptr<TOneInstance> OneInstance1;

    // Unit state of the roads.
    std::string SourceDir;
    std::string TargetDir;
    std::string BuiltPath;
    std::vector<std::string> PathParts;
    std::string UninstallDir;
    std::string UninstallGroup;
    // The folder the install road takes its package from: the running
    // installer's own (tests point it at a package of their own).
    std::string PackageFolder;

    void FormCreate(tk::Component* Sender);
    void CheckSchematics(tk::Component* Sender);
    void SpeedButton3Click(tk::Component* Sender);
    void Button1Click(tk::Component* Sender);
    void CancelBtClick(tk::Component* Sender);
    void InstallBtClick(tk::Component* Sender);
    void UninstallButtonClick(tk::Component* Sender);

    // Copies FromDir + FileName to ToDir + FileName, logging the step;
    // raises EInstallError with the package texts. A placeholder of the
    // package replaces no file but another placeholder (a yellow line).
    void CopyPackageFile(const std::string& FileName, const std::string& FromDir, const std::string& ToDir);

private:
    // One file of the chosen features and the folder it goes to.
    struct PackageCopy {
        std::string file;
        std::string toDir;
    };

    void Log(const std::string& line);
    void LogIn(tk::Color color, const std::string& line);
    // Reads the record and shows it, with the uninstall controls, or hides
    // them when there is none.
    void ShowInstallRecord();
    // Creates the installation folder part by part, adding each folder it
    // made to created; false when a part could not be made or entered.
    bool CreateInstallationFolder(std::vector<std::string>& created);
    // The record of this install: with what an earlier record of the same
    // folder says was made (or, of another folder, its Start-menu group's
    // folders), and the folders made now.
    InstallRecord RecordOfThisInstall(const InstallRecord* previous, const std::vector<std::string>& madeNow) const;
    // Adds path to a list of the record being installed and saves it.
    void NoteCreated(std::vector<std::string>& list, const std::string& path);
    std::vector<PackageCopy> SelectedCopies() const;
    // Whether the installation folder and every path of the chosen files
    // stay within the system's path limits.
    bool SelectedPathsFit() const;
    void CopySelectedFiles();
    void MakeStartMenuLinks(bool& Partial);
    void AssociateScripts();
    bool CreatedByInstall(const std::string& folder) const;
    // Removes the recorded folders above folder (and below floor) that are
    // then empty, deepest first, stopping at the first that stays.
    void RemoveCreatedParents(const std::string& folder, const std::string& floor,
                              const std::function<void(const std::string&, bool)>& report, bool& Partial);
    void RemoveInstalledFiles(bool& Partial, bool& OwnFileLeft);
    void RemoveDriverFiles(bool& Partial, bool& OwnFileLeft);
    // Deletes a file the installation made, logging it under its shown name;
    // one that stays makes the result partial and keeps the record.
    void DeleteOwnFile(const std::string& path, const std::string& shown, bool& Partial, bool& OwnFileLeft);
    void RemoveStartMenuFolders(bool& Partial, bool& OwnFileLeft);
    void RemoveInstallRecord(bool& Partial, bool OwnFileLeft);
    // Logs what became of a folder the installation used (yellow, and a
    // partial result, when it stays with other items or was refused); true
    // when it was removed.
    bool ReportFolder(FolderOutcome outcome, const std::string& name, const std::string& removed,
                      const std::string& holdsOthers, const std::string& notRemoved, bool& Partial);

    // The record as last read, and the one the install road writes.
    InstallRecord Recorded;
    InstallRecord Installing;
};
