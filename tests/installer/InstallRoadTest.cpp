// The installer's window and both roads in the test prefix's real registry,
// Start menu and file system, with a package folder and a target folder made
// by the test. Message boxes are answered through the message seam; links
// are read back through the shell-link interface.
#include "InstallerTestSupport.h"
#include "components/OneInstance.h"
#include "installer/Main.h"
#include "tests/support/ProgramProcess.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <shlobj.h>
#include <shlwapi.h>

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

// A folder path of exactly length characters below base, in parts that
// a file name can be.
std::string LongFolder(const std::string& base, std::size_t length)
{
    std::string folder = base;
    while (folder.size() < length) {
        folder += std::string(std::min<std::size_t>(60, length - folder.size()), 'p');
        if (folder.size() < length)
            folder += '\\';
    }
    return folder;
}

constexpr tk::Color kLime = RGB(0, 255, 0);
constexpr tk::Color kYellow = RGB(255, 255, 0);
constexpr tk::Color kRed = RGB(255, 0, 0);
const char kGroup[] = "ZeltoInstallerTest";

class InstallerWindow : public ::testing::Test {
protected:
    InstallerWindow()
        : package_("package"), target_("target"),
          messages_([](const tk::MessageRequest& r) { ADD_FAILURE() << "unexpected message box: " << r.text; })
    {
        tk::App().Reset();
        Clean();
        // Each test starts without driver files; the ones there are put back.
        ::DeleteFileA((SystemFolderPath() + "varize.vxd").c_str());
        ::DeleteFileA((SystemFolderPath() + "varize.sys").c_str());
        MakePackage(package_.Path());
        folder_ = target_.Path() + "Program Files\\Zelto Test\\";
        form_ = NewRun();
    }
    ~InstallerWindow() override
    {
        tk::App().Reset();
        Clean();
    }

    static void Clean()
    {
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Zelto");
        for (const char* key : {".ZLT", "ZLTfile", "Zelto Raz-Edezadu Divudavizu", "ForeignZltType"})
            ::SHDeleteKeyA(HKEY_CLASSES_ROOT, key);
        RemoveTree(ProgramsFolder() + "\\" + kGroup);
    }

    // The window as a new start of the installer makes it.
    TMainForm* NewRun()
    {
        TMainForm* form = tk::Create<TMainForm>(tk::App());
        form->PackageFolder = package_.Path();
        form->InstallationDirectory->SetText(folder_);
        form->StartMenuGroup->SetText(kGroup);
        return form;
    }

    std::vector<std::string> Log(TMainForm* form = nullptr) const
    {
        return (form ? form : form_)->Messages->LineTexts();
    }
    tk::Color ColorOf(const std::string& line, TMainForm* form = nullptr) const
    {
        const tk::RichEdit& log = *(form ? form : form_)->Messages;
        for (std::size_t i = 0; i < log.LineCount(); ++i)
            if (log.Lines(i).text == line)
                return log.Lines(i).color;
        ADD_FAILURE() << "no log line " << line;
        return tk::clNone;
    }
    bool Logged(const std::string& line, TMainForm* form = nullptr) const
    {
        const auto lines = Log(form);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::size_t CopyLines() const
    {
        const auto lines = Log();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("Copying", 0) == 0; });
    }

    void Install(TMainForm* form, bool expectQuestion, const std::string& end = "INSTALLATION SUCCESSFUL!")
    {
        if (expectQuestion)
            messages_.Answer(tk::mrYes);
        form->InstallBtClick(form->InstallBt);
        ASSERT_EQ(Log(form).back(), end) << ::testing::PrintToString(Log(form));
    }

    void Uninstall()
    {
        TMainForm* form = NewRun();
        ASSERT_TRUE(form->UninstallButton->Visible());
        messages_.Answer(tk::mrOk);
        form->UninstallButtonClick(form->UninstallButton);
        last_ = form;
    }

    SavedFile vxd_{SystemFolderPath() + "varize.vxd"};
    SavedFile sys_{SystemFolderPath() + "varize.sys"};
    ScratchFolder package_;
    ScratchFolder target_;
    tk::ScriptedMessages messages_;
    std::string folder_;
    TMainForm* form_ = nullptr;
    TMainForm* last_ = nullptr;
};

} // namespace

TEST_F(InstallerWindow, StartsWithTheDocumentedChoices)
{
    TMainForm* form = tk::Create<TMainForm>(tk::App());
    EXPECT_EQ(form->Caption(), "Zelto Raz-edezadu Divudavizu Installation");
    const RECT client = form->ClientRect();
    EXPECT_EQ(client.right - client.left, 492);
    EXPECT_EQ(client.bottom - client.top, 489);
    for (tk::CheckBox* box : {form->ProgrammerInterface, form->FrenchModules, form->RomanianModules,
                              form->ItalianModules, form->OnlineWinHelp, form->ZeltoAVRLoVSer, form->ZeltoAVRHiVSer,
                              form->ZeltoAVRPar, form->ZeltoI2CEEP, form->ZeltoMicrowire, form->Schematics})
        EXPECT_TRUE(box->Checked()) << box->Caption();
    EXPECT_FALSE(form->DemoPlugin->Checked());
    EXPECT_FALSE(form->German->Checked());
    EXPECT_FALSE(form->German->Enabled());
    EXPECT_EQ(form->InstallationDirectory->Text(), "C:\\Program Files\\Zelto\\Raz-Edezadu Divudavizu");
    EXPECT_EQ(form->StartMenuGroup->Text(), "Zelto");
    EXPECT_EQ(form->Messages->LineTexts(), std::vector<std::string>{"Installation results:"});
    EXPECT_FALSE(form->UninstallButton->Visible());

    messages_.Answer(tk::mrOk);
    form->Button1Click(form->Button1);
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_THAT(messages_.Shown()[0].text, HasSubstr("This software is provided \"as-is\".\r\nNo warranties"));
}

TEST_F(InstallerWindow, SchematicsFollowThePlugInBoxesButNotTheDemo)
{
    for (tk::CheckBox* box : {form_->ZeltoAVRLoVSer, form_->ZeltoAVRHiVSer, form_->ZeltoAVRPar, form_->ZeltoI2CEEP,
                              form_->ZeltoMicrowire})
        box->SetChecked(false);
    EXPECT_FALSE(form_->Schematics->Checked());
    EXPECT_FALSE(form_->Schematics->Enabled());
    form_->DemoPlugin->SetChecked(true);
    EXPECT_FALSE(form_->Schematics->Enabled());
    form_->ZeltoI2CEEP->SetChecked(true);
    EXPECT_TRUE(form_->Schematics->Checked());
    EXPECT_TRUE(form_->Schematics->Enabled());
    form_->Schematics->SetChecked(false);
    form_->ZeltoMicrowire->SetChecked(true);
    EXPECT_TRUE(form_->Schematics->Checked());
}

TEST_F(InstallerWindow, UnusableFoldersAndGroupNamesAreRefusedBeforeAnythingIsCreated)
{
    EXPECT_EQ(WithTrailingSlash("D:\\Tools"), "D:\\Tools\\");
    EXPECT_EQ(WithTrailingSlash("D:\\Tools\\"), "D:\\Tools\\");
    const std::string before = InstallationFootprint();
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    for (const std::string& folder :
         {std::string(), std::string("Tools"), std::string("\\\\server\\share\\x"), std::string("C:\\"),
          std::string("C:"), std::string("C:Tools"), std::string("C:\\a\\..\\b"), std::string("C:\\a|b"), package_.Path(),
          std::string(windows), SystemFolderPath(), std::string(windows) + "\\Zelto", std::string("C:\\Tools\\CON"),
          std::string("C:\\nul.txt\\Zelto"), std::string("C:\\Tools\\com1"), LongFolder(target_.Path(), 270)}) {
        form_->InstallationDirectory->SetText(folder);
        form_->InstallBtClick(form_->InstallBt);
        const auto log = Log();
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log.back(), "Installation aborted.") << folder;
        EXPECT_THAT(log[log.size() - 2], HasSubstr("cannot be used")) << folder;
        EXPECT_EQ(ColorOf(log[log.size() - 2]), kRed);
    }
    form_->InstallationDirectory->SetText(folder_);
    for (const char* group : {"..\\Up", "C:\\Zelto", "\\Zelto", "Ze:lto", "Zelto\\", "Zel*to", "A\\..\\B", "Zelto\\AUX"}) {
        form_->StartMenuGroup->SetText(group);
        form_->InstallBtClick(form_->InstallBt);
        EXPECT_EQ(Log().back(), "Installation aborted.") << group;
        EXPECT_THAT(Log()[Log().size() - 2], HasSubstr(std::string("Start Menu Group [") + group + "]"));
    }
    EXPECT_TRUE(IsValidGroupName(""));
    EXPECT_TRUE(IsValidGroupName("Zelto\\Tools"));
    EXPECT_TRUE(FolderTree(target_.Path()).empty());
    EXPECT_EQ(InstallationFootprint(), before);
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(InstallerWindow, NoToTheFolderQuestionEndsTheRoadInRed)
{
    messages_.Answer(tk::mrNo);
    form_->InstallBtClick(form_->InstallBt);
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_EQ(messages_.Shown()[0].text,
              "Installation directory [" + folder_ + "] does not exist.\r\nDo you wish to create it?");
    EXPECT_EQ(messages_.Shown()[0].buttons, tk::mbYesNo);
    const auto log = Log();
    EXPECT_EQ(log[log.size() - 2], "User did not allow the creation of the Installation directory [" + folder_ + "].");
    EXPECT_EQ(ColorOf(log.back()), kRed);
    EXPECT_FALSE(Exists(folder_));
    EXPECT_FALSE(form_->CancelBt->Enabled());
}

TEST_F(InstallerWindow, InstallTwiceAndUninstallLeaveACleanSystemAsItWas)
{
    const std::string before = InstallationFootprint();
    form_->DemoPlugin->SetChecked(true);
    Install(form_, true);
    const auto log = Log();
    EXPECT_EQ(ColorOf("Installation results:"), kLime);
    EXPECT_THAT(log, Contains("Creating directory [" + folder_ + "];"));
    EXPECT_THAT(log, Contains("Installing from [" + package_.Path() + "] ;"));
    EXPECT_EQ(ColorOf("In order for the following links to work, you will have to do this manually."), kYellow);
    // The colour stays in force after the warnings.
    EXPECT_EQ(ColorOf("INSTALLATION SUCCESSFUL!"), kYellow);
    EXPECT_TRUE(form_->CancelBt->Enabled());
    EXPECT_EQ(ReadFile(folder_ + "DemoPlugin.dll"), "PLACEHOLDER DemoPlugin.dll\r\n");
    // ZeltoI2C.dll comes with both I2C plug-ins: two copies.
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "Copying file [ZeltoI2C.dll] from [" + package_.Path() + "] to [" + folder_ + "];"),
              2);

    const std::string group = ProgramsFolder() + "\\" + kGroup + "\\";
    const LinkInfo app = ReadLink(group + "Zelto Raz-Edezadu Divudavizu.lnk");
    ASSERT_TRUE(app.loaded);
    EXPECT_TRUE(::lstrcmpiA(app.path.c_str(), (folder_ + "ZeltoPrg.exe").c_str()) == 0) << app.path;
    EXPECT_EQ(app.workDir, folder_);
    EXPECT_EQ(app.arguments, "");
    EXPECT_TRUE(::lstrcmpiA(ReadLink(group + "Online Help.lnk").path.c_str(), (folder_ + "zeltoprg.chm").c_str()) == 0);
    EXPECT_THAT(ReadLink(group + "Schematics\\Zelto I2C Generic Interface schematics.lnk").path,
                HasSubstr("ZeltoI2CEEP.sch"));
    EXPECT_THAT(ReadLink(group + "Schematics\\Zelto I2C EEPROM specific Interface schematics.lnk").path,
                HasSubstr("I2CGeneric.sch"));
    EXPECT_TRUE(ReadLink(group + "Schematics\\Zelto Atmel AVR Hi-Voltage Serial schematics .lnk").loaded);

    char command[512] = {};
    DWORD size = sizeof command;
    ::RegGetValueA(HKEY_CLASSES_ROOT, "ZLTfile\\Shell\\Open\\Command", nullptr, RRF_RT_REG_SZ, nullptr, command, &size);
    EXPECT_EQ(std::string(command), "\"" + folder_ + "ZeltoPrg.exe\" \"%1\"");

    // A second install, in a second run, into the same folder: no question.
    TMainForm* second = NewRun();
    EXPECT_EQ(second->UninstallLabel1->Caption(), folder_);
    Install(second, false);
    EXPECT_TRUE(Logged("Installation directory [" + folder_ + "] already exists.", second));

    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_TRUE(Logged("Directory [" + folder_ + "] was removed;", last_));
    EXPECT_FALSE(last_->UninstallButton->Visible());
    EXPECT_FALSE(Exists(folder_));
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(InstallerWindow, AForeignAssociationAndTheUsersOwnFileSurviveInstallAndUninstall)
{
    SetRegistryString(HKEY_CLASSES_ROOT, ".ZLT", "", "ForeignZltType");
    SetRegistryString(HKEY_CLASSES_ROOT, "ForeignZltType\\Shell\\Open\\Command", "", "C:\\Foreign\\f.exe \"%1\"");
    ::SHCreateDirectoryExA(nullptr, folder_.c_str(), nullptr);
    WriteFile(folder_ + "notes.txt", "mine");
    const std::string before = InstallationFootprint();

    Install(form_, false);
    Install(form_, false);
    Uninstall();
    EXPECT_EQ(FolderTree(folder_), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(ColorOf("Directory [" + folder_ + "] could not be removed;", last_), kYellow);
    EXPECT_EQ(Log(last_).back(), "Look at the yellow lines and proceed accordingly to complete uninstall manually.");
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(InstallerWindow, AnEmptyGroupLinksIntoProgramsAndUninstallTakesOnlyItsOwnLinks)
{
    const std::string programs = ProgramsFolder() + "\\";
    WriteFile(programs + "Foreign tool.lnk", "not ours");
    const std::string before = InstallationFootprint();
    form_->StartMenuGroup->SetText("");
    Install(form_, true);
    EXPECT_TRUE(ReadLink(programs + "Zelto Raz-Edezadu Divudavizu.lnk").loaded);
    EXPECT_TRUE(ReadLink(programs + "Schematics\\Zelto Microwire EEproms schematics.lnk").loaded);
    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_EQ(InstallationFootprint(), before);
    EXPECT_EQ(ReadFile(programs + "Foreign tool.lnk"), "not ours");
    ::DeleteFileA((programs + "Foreign tool.lnk").c_str());
}

TEST_F(InstallerWindow, AMissingProgramsValueIsAskedOfTheShell)
{
    const char key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    char saved[MAX_PATH] = {};
    DWORD size = sizeof saved;
    const bool had = ::RegGetValueA(HKEY_CURRENT_USER, key, "Programs", RRF_RT_REG_SZ, nullptr, saved, &size) ==
                     ERROR_SUCCESS;
    ::SHDeleteValueA(HKEY_CURRENT_USER, key, "Programs");
    const std::string folder = ShellFolder("Programs");
    if (had)
        SetRegistryString(HKEY_CURRENT_USER, key, "Programs", saved);
    EXPECT_EQ(folder, ProgramsFolder());
}

namespace {

// Points a shell-folder value elsewhere for a test and puts it back.
class ShellFolderValue {
public:
    ShellFolderValue(const char* key, const char* name, const std::string& value) : key_(key), name_(name)
    {
        size_ = sizeof data_;
        had_ = ::SHGetValueA(HKEY_CURRENT_USER, key_, name_, &type_, data_, &size_) == ERROR_SUCCESS;
        ::SHSetValueA(HKEY_CURRENT_USER, key_, name_, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
    ~ShellFolderValue()
    {
        if (had_)
            ::SHSetValueA(HKEY_CURRENT_USER, key_, name_, type_, data_, size_);
        else
            ::SHDeleteValueA(HKEY_CURRENT_USER, key_, name_);
    }

private:
    const char* key_;
    const char* name_;
    bool had_ = false;
    DWORD type_ = REG_SZ;
    BYTE data_[1024] = {};
    DWORD size_ = 0;
};

} // namespace

TEST_F(InstallerWindow, WithoutAnyProgramsFolderTheLinksAreSkippedWithAWarning)
{
    const std::string nowhere = target_.Path() + "No Start Menu";
    {
        ShellFolderValue cached("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs",
                                nowhere);
        ShellFolderValue user("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              "Programs", nowhere);
        ASSERT_EQ(ShellFolder("Programs"), "");
        Install(form_, true, "INSTALLATION PARTLY SUCCESSFUL: look at the yellow lines.");
        EXPECT_EQ(ColorOf("The Start menu's Programs folder was not found: no group and no links were made."), kYellow);
        EXPECT_FALSE(Logged(std::string("Adding group [") + kGroup + "] to the Start menu;"));
        Uninstall();
        EXPECT_EQ(ColorOf("The Start menu's Programs folder was not found: no group and no links were removed.", last_),
                  kYellow);
        EXPECT_EQ(Log(last_).back(), "Look at the yellow lines and proceed accordingly to complete uninstall manually.");
    }
    EXPECT_FALSE(Exists(nowhere));
    EXPECT_EQ(ShellFolder("Programs"), ProgramsFolder());
}

TEST_F(InstallerWindow, CopiesAreExactAndAFailedOneLeavesTheOldFileWhole)
{
    const std::string from = package_.Path();
    const std::string to = target_.Path();
    WriteFile(from + "block.bin", std::string(2048, 'x'));
    WriteFile(from + "empty.bin", "");
    form_->CopyPackageFile("block.bin", from, to);
    form_->CopyPackageFile("empty.bin", from, to);
    EXPECT_EQ(ReadFile(to + "block.bin"), std::string(2048, 'x'));
    EXPECT_TRUE(Exists(to + "empty.bin"));
    EXPECT_EQ(ReadFile(to + "empty.bin"), "");
    EXPECT_EQ(Log().back(), "Copying file [empty.bin] from [" + from + "] to [" + to + "];");

    const auto failure = [&](const std::string& name) {
        try {
            form_->CopyPackageFile(name, from, to);
        } catch (const EInstallError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(failure("missing.bin"), "Source file [" + from + "missing.bin] does not exist. Package error.");

    // A destination that cannot be replaced keeps its old content, no
    // half-written copy is left beside it, and the line names it and why.
    WriteFile(to + "block.bin", "old");
    HANDLE locked = ::CreateFileA((to + "block.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string error = failure("block.bin");
    ::CloseHandle(locked);
    EXPECT_THAT(error, ::testing::StartsWith("Destination file [" + to + "block.bin] could not be written: "));
    EXPECT_GT(error.size(), ("Destination file [" + to + "block.bin] could not be written: ").size());
    EXPECT_EQ(ReadFile(to + "block.bin"), "old");
    EXPECT_EQ(FolderTree(to), (std::vector<std::string>{"block.bin", "empty.bin"}));

    // The failed copy let go of its source.
    EXPECT_TRUE(::DeleteFileA((from + "block.bin").c_str()));

    locked = ::CreateFileA((from + "empty.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(failure("empty.bin"), "Source file [" + from + "empty.bin] could not be read from.");
    ::CloseHandle(locked);
}

TEST_F(InstallerWindow, AnInstallThatStopsAtAMissingPackageFileIsRemovedCompletely)
{
    const std::string before = InstallationFootprint();

    ::DeleteFileA((package_.Path() + "ZeltoAVRHiVSer.chm").c_str());
    messages_.Answer(tk::mrYes);
    form_->InstallBtClick(form_->InstallBt);
    const auto log = Log();
    EXPECT_EQ(log[log.size() - 2],
              "Source file [" + package_.Path() + "ZeltoAVRHiVSer.chm] does not exist. Package error.");
    EXPECT_EQ(ColorOf(log.back()), kRed);
    EXPECT_TRUE(Exists(folder_ + "ZeltoAVRHiVSer.dll"));
    EXPECT_FALSE(Exists(folder_ + "ZeltoAVRPar.dll"));
    // The driver files were not there before: the install made them.
    EXPECT_TRUE(Exists(SystemFolderPath() + "varize.sys"));
    // The window offers to remove what was made.
    EXPECT_TRUE(form_->UninstallButton->Visible());
    EXPECT_EQ(form_->UninstallLabel1->Caption(), folder_);

    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_TRUE(FolderTree(target_.Path()).empty());
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(InstallerWindow, LanguagesAndHelpComeWithoutTheProgrammerInterface)
{
    for (tk::CheckBox* box : {form_->ProgrammerInterface, form_->RomanianModules, form_->ItalianModules,
                              form_->ZeltoAVRLoVSer, form_->ZeltoAVRHiVSer, form_->ZeltoAVRPar, form_->ZeltoI2CEEP,
                              form_->ZeltoMicrowire})
        box->SetChecked(false);
    Install(form_, true);
    EXPECT_EQ(CopyLines(), 2u);
    EXPECT_EQ(FolderTree(folder_), (std::vector<std::string>{"ZELTOPRG.chm", "ZELTOPRG.fra"}));
    EXPECT_TRUE(ReadLink(ProgramsFolder() + "\\" + kGroup + "\\Zelto Raz-Edezadu Divudavizu.lnk").loaded);
    EXPECT_FALSE(Logged("Eagle does not make the association between [.sch] files and the application."));
}

TEST_F(InstallerWindow, ARecordedPathNoInstallCouldHaveUsedIsNotLookedAt)
{
    SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Zelto\\Raz-edezadu Divudavizu", "InstallPath", "C:\\");
    SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Zelto\\Raz-edezadu Divudavizu", "StartMenuGroup", "..\\..");
    Uninstall();
    EXPECT_EQ(ColorOf("Installation Directory [C:\\] is not a folder the installer may remove.", last_), kYellow);
    EXPECT_TRUE(Logged("Group [..\\..] could not be deleted from the Start menu;", last_));
    EXPECT_EQ(Log(last_).back(), "Look at the yellow lines and proceed accordingly to complete uninstall manually.");
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, "Software\\Zelto"), "");
}

TEST_F(InstallerWindow, TheUsersOwnItemsInTheGroupSurviveUninstall)
{
    for (const std::string& group : {std::string(kGroup), std::string("StartUp")}) {
        const std::string folder = ProgramsFolder() + "\\" + group + "\\";
        const bool hadFolder = Exists(folder);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        WriteFile(folder + "mine.txt", "the user's");
        const std::string before = InstallationFootprint();
        TMainForm* form = NewRun();
        form->StartMenuGroup->SetText(group);
        Install(form, !Exists(folder_));
        Uninstall();
        EXPECT_EQ(ColorOf("Group [" + group + "] still holds other items and stays in the Start menu;", last_),
                  kYellow);
        EXPECT_EQ(Log(last_).back(), "Look at the yellow lines and proceed accordingly to complete uninstall manually.");
        EXPECT_EQ(ReadFile(folder + "mine.txt"), "the user's");
        EXPECT_EQ(InstallationFootprint(), before) << group;
        ::DeleteFileA((folder + "mine.txt").c_str());
        if (!hadFolder)
            ::RemoveDirectoryA(folder.c_str());
    }
}

TEST_F(InstallerWindow, APlaceholderOfThePackageReplacesNoRealDriver)
{
    const std::string system = SystemFolderPath();
    WriteFile(system + "varize.sys", "MZ a real driver");
    for (const char* driver : {"varize.vxd", "varize.sys"})
        WriteFile(package_.Path() + driver, "PLACEHOLDER - NOT THE REAL FILE\r\nstands in for the driver\r\n");
    const std::string before = InstallationFootprint();

    Install(form_, true);
    EXPECT_EQ(ColorOf("The package carries no real [varize.sys], only a placeholder: the existing file [" + system +
                      "varize.sys] stays as it was."),
              kYellow);
    EXPECT_EQ(ReadFile(system + "varize.sys"), "MZ a real driver");
    // Where there was none, the stand-in goes in, and uninstall takes it again.
    EXPECT_THAT(ReadFile(system + "varize.vxd"), HasSubstr("PLACEHOLDER"));
    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(InstallerWindow, FoldersTheInstallMakesAreMadeWholeAndRemovedAgain)
{
    // The longest folder whose longest chosen file still fits the path limit
    // (ZeltoProgBasic.dll: 240 + 1 + 18 = 259 characters), below two
    // folders that are not there yet, and a group whose parent is not there.
    for (tk::CheckBox* box : {form_->ZeltoAVRLoVSer, form_->ZeltoAVRHiVSer, form_->ZeltoAVRPar, form_->ZeltoI2CEEP,
                              form_->ZeltoMicrowire})
        box->SetChecked(false);
    const std::string folder = LongFolder(target_.Path() + "Made Above\\", 240);
    ASSERT_EQ(folder.size(), 240u);
    form_->InstallationDirectory->SetText(folder);
    const std::string group = std::string(kGroup) + "\\Zelto";
    form_->StartMenuGroup->SetText(group);
    const std::string before = InstallationFootprint();

    Install(form_, true);
    EXPECT_EQ(ReadFile(folder + "\\ZeltoProgBasic.dll"), "PLACEHOLDER ZeltoProgBasic.dll\r\n");
    const LinkInfo app = ReadLink(ProgramsFolder() + "\\" + group + "\\Zelto Raz-Edezadu Divudavizu.lnk");
    ASSERT_TRUE(app.loaded);
    EXPECT_EQ(app.workDir, folder + "\\");

    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_TRUE(Logged("Directory [" + target_.Path() + "Made Above\\] was removed;", last_));
    EXPECT_TRUE(Logged(std::string("Group [") + kGroup + "] was deleted from the Start menu;", last_));
    EXPECT_TRUE(FolderTree(target_.Path()).empty());
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST_F(InstallerWindow, InstallingIntoAnotherFolderAsksAndUninstallTakesTheNewOne)
{
    Install(form_, true);
    const std::string other = target_.Path() + "Folder B\\";
    TMainForm* form = NewRun();
    EXPECT_EQ(form->UninstallLabel1->Caption(), folder_);
    form->InstallationDirectory->SetText(other);
    messages_.Answer(tk::mrNo);
    form->InstallBtClick(form->InstallBt);
    EXPECT_EQ(messages_.Shown().back().text, "An earlier installation was found under [" + folder_ +
                                                 "].\r\nInstalling into [" + other +
                                                 "] will not remove it.\r\nDo you wish to go on?");
    EXPECT_EQ(Log(form).back(), "Installation aborted.");
    EXPECT_FALSE(Exists(other));

    messages_.Answer(tk::mrYes);
    Install(form, true);
    EXPECT_EQ(form->UninstallLabel1->Caption(), other);
    messages_.Answer(tk::mrOk);
    form->UninstallButtonClick(form->UninstallButton);
    EXPECT_EQ(Log(form).back(), "Uninstall process succeeded without errors.");
    EXPECT_FALSE(Exists(other));
    EXPECT_TRUE(Exists(folder_ + "ZELTOPRG.exe"));
    EXPECT_FALSE(Exists(ProgramsFolder() + "\\" + kGroup));
    EXPECT_EQ(RegistryTree(HKEY_LOCAL_MACHINE, "Software\\Zelto"), "");
    EXPECT_FALSE(form->UninstallButton->Visible());
}

TEST_F(InstallerWindow, AnUninstallThatCannotFinishKeepsTheRecordForTheNextOne)
{
    const std::string before = InstallationFootprint();
    Install(form_, true);
    const std::string installed = InstallationFootprint();
    TMainForm* form = NewRun();
    messages_.Answer(tk::mrCancel);
    form->UninstallButtonClick(form->UninstallButton);
    EXPECT_EQ(Log(form).back(), "Uninstall procedure failed.");
    EXPECT_EQ(InstallationFootprint(), installed);
    EXPECT_TRUE(Exists(folder_ + "ZELTOPRG.exe"));

    // The program runs: its file cannot go.
    HANDLE running = ::CreateFileA((folder_ + "ZELTOPRG.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
    messages_.Answer(tk::mrOk);
    form->UninstallButtonClick(form->UninstallButton);
    ::CloseHandle(running);
    EXPECT_EQ(ColorOf("File [ZELTOPRG.exe] could not be deleted;", form), kYellow);
    EXPECT_EQ(ColorOf("Key [Software\\Zelto\\Raz-edezadu Divudavizu] was kept, so that a later uninstall can finish;",
                      form),
              kYellow);
    EXPECT_TRUE(form->UninstallButton->Visible());

    Uninstall();
    EXPECT_EQ(Log(last_).back(), "Uninstall process succeeded without errors.");
    EXPECT_FALSE(Exists(folder_));
    EXPECT_EQ(InstallationFootprint(), before);
}

TEST(InstallerProcess, ASecondSetupEndsAndBringsTheFirstForward)
{
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    folder.erase(folder.find_last_of('\\') + 1);
    const std::string setup = "\"" + folder + "setup.exe\"";
    ProgramProcess first;
    ASSERT_TRUE(first.Start(setup, folder));
    HWND window = first.WaitForWindow("Zelto Raz-edezadu Divudavizu Installation", 30000);
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(window));

    ProgramProcess second;
    ASSERT_TRUE(second.Start(setup, folder));
    EXPECT_EQ(second.WaitForExit(30000), 0);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(first.WaitForExit(0), -1);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(30000), 0);
}
