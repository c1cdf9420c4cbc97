// Main: the installer's window and its two roads. The install road creates
// the installation folder, copies the chosen files of the package (the
// installer's own folder), makes the Start-menu group and links, records
// the installation in the registry and associates ".ZLT" script files with
// the programmer; the uninstall road removes all of that again. Every step
// is one coloured line in the window's log: lime for progress, yellow for a
// warning, red for an error; a colour stays in force for the lines after it.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

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
// relative, network or drive-root path, no "." or ".." part, no character
// a file name cannot hold.
bool IsInstallableFolder(const std::string& folder);
// A Start-menu group name: empty (links straight into Programs) or parts
// separated by "\" that are file names; no drive, "..", leading "\".
bool IsValidGroupName(const std::string& group);

// The user's shell folder ("Programs", or "Desktop") from the "Shell Folders"
// values, else from the shell itself; empty when neither names an existing
// folder.
std::string ShellFolder(const std::string& Which);
// Creates the single folder <shell folder>\Name (its parent must exist).
void CreateStartMenuFolder(const std::string& Name, const std::string& Which);
// Saves the link <shell folder>\Group\LinkName.lnk to Target. Failures to
// save are not reported; an error of the shell-link object itself raises.
void CreateShellLink(const std::string& LinkName, const std::string& Group, const std::string& Target,
                     const std::string& WorkDir, const std::string& Which);
// Deletes the files of <shell folder>\Name and the folder; true when
// anything failed. With ownLinksOnly only the installer's own link names are
// deleted and the shell folder itself is never removed (the empty group).
bool DeleteStartMenuFolder(const std::string& Name, const std::string& Which, bool ownLinksOnly = false);

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
    // raises EInstallError with the package texts.
    void CopyPackageFile(const std::string& FileName, const std::string& FromDir, const std::string& ToDir);

private:
    void Log(const std::string& line);
    void LogIn(tk::Color color, const std::string& line);
    // Step 4's folder creation; false when a part could not be made or entered.
    bool CreateInstallationFolder();
    void CopySelectedFiles();
    void MakeStartMenuLinks();
    void WriteInstallRecord();
    void AssociateScripts();
    void RemoveInstalledFiles(bool& Partial);
    void RemoveStartMenuFolders(bool& Partial);
};
