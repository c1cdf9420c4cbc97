// The four HEX file commands: dialogs, the folders remembered in
// ZeltoPrg.ini, command-mode loads without a dialog, and saves that fail
// without harming an earlier file.
#include "DeviceTestSupport.h"
#include "programmer/HexFile.h"
#include "resources/StringIds.h"
#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <iterator>

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// An Intel HEX file with `count` bytes from address 0 of the given value.
std::string HexOf(int count, int value)
{
    THexFile hex;
    hex.FileName = "test";
    hex.BufSize = count - 1;
    hex.FillByte = 255;
    std::ostringstream out;
    hex.SaveToStream(out, std::vector<std::int32_t>(static_cast<std::size_t>(count), value));
    return out.str();
}

std::string Setting(const std::string& iniPath, const std::string& key)
{
    char value[1024] = {};
    ::GetPrivateProfileStringA("Directories", key.c_str(), "<none>", value, sizeof(value), iniPath.c_str());
    return value;
}

class HexCommands : public DeviceFixture {
protected:
    HexCommands() { SetSettingsFolder(settings_.Path()); }
    ~HexCommands() override
    {
        SetSettingsFolder("");
        HexSaveLineFault() = nullptr;
    }

    std::string Ini() const { return settings_.File("ZeltoPrg.ini"); }

    ScratchFolder settings_;
    ScratchFolder folder_;
};

}  // namespace

TEST_F(HexCommands, SettingsFileLiesInTheChosenFolder)
{
    EXPECT_EQ(SettingsFileName(), settings_.File("ZeltoPrg.ini"));
    SetSettingsFolder("");
    const std::string exe = tk::App().ExeName();
    EXPECT_EQ(SettingsFileName(), exe.substr(0, exe.find_last_of('\\')) + "\\ZeltoPrg.ini");
}

TEST_F(HexCommands, FirstReadCreatesTheSettingsFileWithItsFolder)
{
    TMainForm& form = StartWithDevice();
    const std::string path = folder_.File("program.hex");
    ASSERT_TRUE(WriteTextFile(path, HexOf(20, 0xA5)));
    ASSERT_FALSE(FileExists(Ini()));

    files_.Answer(path);
    form.Action_OpenFlashExecute(nullptr);

    ASSERT_EQ(files_.Requests().size(), 1u);
    const tk::FileDialogRequest& request = files_.Requests()[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.title, "Read Hex File to Flash buffer");
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(request.filter, "Intel HEX files (*.HEX)|*.HEX|EEP files (*.EEP)|*.EEP|All files (*.*)|*.*");
    EXPECT_TRUE(request.options & OFN_FILEMUSTEXIST);
    EXPECT_TRUE(request.options & OFN_HIDEREADONLY);
    EXPECT_TRUE(request.options & OFN_NOCHANGEDIR);
    EXPECT_TRUE(request.options & OFN_ENABLESIZING);

    ASSERT_TRUE(FileExists(Ini()));
    EXPECT_EQ(Setting(Ini(), "LoadHexFiles"), folder_.Path());
    EXPECT_EQ(Setting(Ini(), "LoadEEPFiles"), "<none>");
    EXPECT_EQ(form.PanelText(1), "HEX file successfully loaded in the flash buffer.");
    const auto& flash = MainUnit().FlashBuffer;
    ASSERT_EQ(flash.size(), 8192u);
    for (std::size_t a = 0; a < flash.size(); ++a)
        ASSERT_EQ(flash[a], a < 20 ? 0xA5 : 0xFF) << a;
    EXPECT_EQ(form.FlashView().RowCount(), 8192 / 16 + 1) << "the grid is redrawn";
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(HexCommands, TheRememberedFolderOpensTheNextDialog)
{
    TMainForm& form = StartWithDevice();
    ASSERT_TRUE(WriteTextFile(folder_.File("a.eep"), HexOf(4, 1)));
    ASSERT_TRUE(::WritePrivateProfileStringA("Directories", "LoadEEPFiles", "C:\\somewhere\\", Ini().c_str()));
    files_.Answer(folder_.File("a.eep"));
    form.Action_OpenPromExecute(nullptr);
    ASSERT_EQ(files_.Requests().size(), 1u);
    EXPECT_EQ(files_.Requests()[0].initialDir, "C:\\somewhere\\");
    EXPECT_EQ(files_.Requests()[0].filterIndex, 2);
    EXPECT_EQ(files_.Requests()[0].title, "Read Hex File to EEprom buffer");
    EXPECT_EQ(Setting(Ini(), "LoadEEPFiles"), folder_.Path());
    EXPECT_EQ(form.PanelText(1), "HEX file successfully loaded in the EEprom buffer.");
    EXPECT_EQ(MainUnit().EEpromBuffer[3], 1);
    EXPECT_EQ(MainUnit().EEpromBuffer[4], 255);
}

TEST_F(HexCommands, CancellingTheEEpromDialogSaysSoAndChangesNothing)
{
    TMainForm& form = StartWithDevice();
    MainUnit().EEpromBuffer.assign(512, 0x11);
    files_.Answer("");
    form.Action_OpenPromExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "No HEX file has been loaded in the EEprom buffer.");
    EXPECT_EQ(MainUnit().EEpromBuffer, std::vector<std::int32_t>(512, 0x11));
    EXPECT_EQ(form.EEpromView().RowCount(), 512 / 16 + 1);
    EXPECT_FALSE(FileExists(Ini())) << "no folder is remembered without a confirmed dialog";
}

TEST_F(HexCommands, ACommandModeLoadWithABadChecksumLeavesAll255)
{
    TMainForm& form = StartWithDevice("DEVICE=ATDEMO8\n", /*commandMode=*/true);
    form.FCommandMode = 1;
    MainUnit().FlashBuffer.assign(8192, 0);
    std::string bad = HexOf(16, 0x42);
    char& checksum = bad[bad.find("\r\n") - 1];  // last digit of the first record's checksum
    checksum = checksum == '0' ? '1' : '0';
    const std::string path = folder_.File("bad.hex");
    ASSERT_TRUE(WriteTextFile(path, bad));
    form.FScriptHexFileName = path;
    form.Action_OpenFlashExecute(nullptr);
    EXPECT_TRUE(files_.Requests().empty()) << "command mode shows no dialog";
    EXPECT_EQ(MainUnit().FlashBuffer, std::vector<std::int32_t>(8192, 255));
    EXPECT_EQ(form.PanelText(1), "No HEX file has been loaded in the flash buffer.");
    EXPECT_TRUE(messages_.Shown().empty()) << "the reader's own message is not shown";
    EXPECT_FALSE(FileExists(Ini()));
}

TEST_F(HexCommands, ACommandModeLoadReadsTheScriptsFile)
{
    TMainForm& form = StartWithDevice("DEVICE=ATDEMO8\n", /*commandMode=*/true);
    form.FCommandMode = 1;
    const std::string path = folder_.File("good.eep");
    ASSERT_TRUE(WriteTextFile(path, HexOf(512, 0x3C)));
    form.FScriptHexFileName = path;
    form.Action_OpenPromExecute(nullptr);
    EXPECT_EQ(MainUnit().EEpromBuffer, std::vector<std::int32_t>(512, 0x3C));
    EXPECT_EQ(form.PanelText(1), "HEX file successfully loaded in the EEprom buffer.");
    // A missing or locked file is "not loaded", and what the good file left
    // must not stay behind to be written to a device as if it were loaded.
    form.FScriptHexFileName = folder_.File("missing.eep");
    form.Action_OpenPromExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "No HEX file has been loaded in the EEprom buffer.");
    EXPECT_EQ(MainUnit().EEpromBuffer, std::vector<std::int32_t>(512, 255));
    MainUnit().EEpromBuffer.assign(512, 0x3C);
    HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    form.FScriptHexFileName = path;
    form.Action_OpenPromExecute(nullptr);
    ::CloseHandle(lock);
    EXPECT_EQ(form.PanelText(1), "No HEX file has been loaded in the EEprom buffer.");
    EXPECT_EQ(MainUnit().EEpromBuffer, std::vector<std::int32_t>(512, 255));
}

TEST_F(HexCommands, SavingTheEEpromBufferWritesTheFileAndRemembersTheFolder)
{
    TMainForm& form = StartWithDevice();
    MainUnit().EEpromBuffer.assign(512, 0x77);
    const std::string path = folder_.File("data.eep");
    files_.Answer(path);
    form.Action_SavePromExecute(nullptr);

    ASSERT_EQ(files_.Requests().size(), 1u);
    const tk::FileDialogRequest& request = files_.Requests()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save EEprom buffer to Hex File");
    EXPECT_EQ(request.filterIndex, 2) << "starts on EEP files (*.EEP)";
    EXPECT_EQ(request.defaultExt, "EEP") << "a name typed without an extension gets .EEP";
    EXPECT_EQ(request.filter, "Intel HEX files (*.HEX)|*.hex|EEP files (*.EEP)|*.eep|All files (*.*)|*.*");
    EXPECT_TRUE(request.options & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(request.options & OFN_PATHMUSTEXIST);

    EXPECT_EQ(ReadBytes(path), HexOf(512, 0x77));
    EXPECT_EQ(Setting(Ini(), "SaveEEPFiles"), folder_.Path());
    EXPECT_EQ(form.PanelText(1), "EEprom buffer successfully saved in " + path);
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(HexCommands, SavingTheFlashBufferUsesTheHexExtensionAndItsOwnKey)
{
    TMainForm& form = StartWithDevice();
    ASSERT_TRUE(::WritePrivateProfileStringA("Directories", "SaveHexFiles", folder_.Path().c_str(), Ini().c_str()));
    const std::string path = folder_.File("code.hex");
    files_.Answer(path);
    form.Action_SaveFlashExecute(nullptr);
    ASSERT_EQ(files_.Requests().size(), 1u);
    EXPECT_EQ(files_.Requests()[0].defaultExt, "HEX");
    EXPECT_EQ(files_.Requests()[0].filterIndex, 1);
    EXPECT_EQ(files_.Requests()[0].initialDir, folder_.Path());
    EXPECT_EQ(files_.Requests()[0].title, "Save Flash buffer to Hex File");
    EXPECT_EQ(ReadBytes(path).size(), HexOf(8192, 0).size());
    EXPECT_EQ(form.PanelText(1), "Flash buffer successfully saved in " + path);
    EXPECT_EQ(Setting(Ini(), "SaveEEPFiles"), "<none>");
}

TEST_F(HexCommands, CancellingASaveWritesNothingAndSaysNothing)
{
    TMainForm& form = StartWithDevice();
    form.SetPanelText(1, "before");
    files_.Answer("");
    form.Action_SaveFlashExecute(nullptr);
    EXPECT_EQ(form.PanelText(1), "before");
    EXPECT_FALSE(FileExists(Ini()));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(HexCommands, ASaveFailingPartWayLeavesThePreviousFileByteForByte)
{
    TMainForm& form = StartWithDevice();
    const std::string path = folder_.File("keep.hex");
    const std::string previous = HexOf(8192, 0x12);
    ASSERT_TRUE(WriteTextFile(path, previous));
    form.SetPanelText(1, "before");
    MainUnit().FlashBuffer.assign(8192, 0x34);
    HexSaveLineFault() = [](int line) { return line == 100; };
    files_.Answer(path);
    EXPECT_THROW(form.Action_SaveFlashExecute(nullptr), tk::EInOutError);
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_FALSE(FileExists(path + ".~tmp"));
    EXPECT_EQ(form.PanelText(1), "before") << "no success text after a failure";
    EXPECT_EQ(Setting(Ini(), "SaveHexFiles"), folder_.Path()) << "the folder was remembered first";
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(HexCommands, ASaveIntoAVanishedFolderFailsAndTouchesNoOtherFile)
{
    TMainForm& form = StartWithDevice();
    const std::string previous = HexOf(512, 0x12);
    ASSERT_TRUE(WriteTextFile(folder_.File("data.eep"), previous));
    files_.Answer(folder_.File("gone\\data.eep"));
    EXPECT_THROW(form.Action_SavePromExecute(nullptr), tk::EInOutError);
    EXPECT_EQ(ReadBytes(folder_.File("data.eep")), previous);
    EXPECT_FALSE(FileExists(folder_.File("gone\\data.eep")));
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(HexCommands, ASaveOverAReadOnlyFileLeavesItByteForByte)
{
    TMainForm& form = StartWithDevice();
    const std::string path = folder_.File("locked.eep");
    const std::string previous = HexOf(512, 0x12);
    ASSERT_TRUE(WriteTextFile(path, previous));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    files_.Answer(path);
    EXPECT_THROW(form.Action_SavePromExecute(nullptr), tk::EInOutError);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_FALSE(FileExists(path + ".~tmp"));
}

TEST_F(HexCommands, ASaveIntoAReadOnlyFolderFailsAndChangesNothing)
{
    // The process file system's folder takes no new files, not even from root.
    const std::string folder = "Z:\\proc\\";
    if (!FileExists(folder + "version"))
        GTEST_SKIP() << "no read-only folder to try";
    TMainForm& form = StartWithDevice();
    const std::string before = ReadBytes(folder + "version");
    files_.Answer(folder + "zeltoprg-test.eep");
    EXPECT_THROW(form.Action_SavePromExecute(nullptr), tk::EInOutError);
    EXPECT_FALSE(FileExists(folder + "zeltoprg-test.eep"));
    EXPECT_FALSE(FileExists(folder + "zeltoprg-test.eep.~tmp"));
    files_.Answer(folder + "version");
    try {
        form.Action_SavePromExecute(nullptr);
        FAIL() << "replacing a read-only file succeeded";
    } catch (const tk::EInOutError& e) {
        EXPECT_EQ(e.Message(), "File access denied");
    }
    EXPECT_EQ(ReadBytes(folder + "version"), before);
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(HexCommands, ASaveIntoAFolderThatIsAFileFails)
{
    TMainForm& form = StartWithDevice();
    ASSERT_TRUE(WriteTextFile(folder_.File("plain"), "x"));
    files_.Answer(folder_.File("plain\\data.eep"));
    EXPECT_THROW(form.Action_SavePromExecute(nullptr), tk::EInOutError);
    EXPECT_EQ(ReadBytes(folder_.File("plain")), "x");
}

TEST_F(HexCommands, AMissingMemoryFailsToLoadAndToSave)
{
    TMainForm& form = StartWithDevice("DEVICE=ATDEMOFL\n");
    ASSERT_EQ(MainUnit().EEpromBuffer.size(), 1u);
    ASSERT_TRUE(WriteTextFile(folder_.File("x.eep"), ":0100000005FA\r\n:00000001FF\r\n"));
    files_.Answer(folder_.File("x.eep"));
    form.SetPanelText(1, "");
    form.Action_OpenPromExecute(nullptr);
    // The loader's failure text, then the redraw of a memory the device lacks says so.
    EXPECT_EQ(form.PanelText(1), "EEprom functions are disabled for ATDEMOFL.");
    EXPECT_EQ(MainUnit().EEpromBuffer.size(), 1u);
    files_.Answer(folder_.File("y.eep"));
    try {
        form.Action_SavePromExecute(nullptr);
        FAIL() << "a one-element buffer cannot be saved";
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), Text(S_HEX_ZERO_LENGTH_BUFFER));
    }
    EXPECT_FALSE(FileExists(folder_.File("y.eep")));
}

TEST_F(HexCommands, WhileBusyEveryHexCommandIsRefused)
{
    TMainForm& form = StartWithDevice();
    MainUnit().Busy = 1;
    for (auto handler : {&TMainForm::Action_OpenFlashExecute, &TMainForm::Action_OpenPromExecute,
                         &TMainForm::Action_SaveFlashExecute, &TMainForm::Action_SavePromExecute}) {
        messages_.Clear();
        messages_.Answer(tk::mrOk);
        (form.*handler)(nullptr);
        EXPECT_EQ(messages_.Texts(), std::vector<std::string>{"Cancel the current operation first!"});
        EXPECT_EQ(MainUnit().Busy, 1);
    }
    EXPECT_TRUE(files_.Requests().empty());
    MainUnit().Busy = 0;
}

TEST_F(HexCommands, WithoutAnAdapterNoDialogIsShown)
{
    TMainForm& form = StartWithDevice();
    ConfigureDemo("DEVICE=ATDEMO8\nADAPTER=0\n");
    messages_.Answer(tk::mrOk);  // programming device not found
    form.Action_SaveFlashExecute(nullptr);
    EXPECT_TRUE(files_.Requests().empty());
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_EQ(messages_.Texts()[0], Text(S_PROGRAMMER_NOT_FOUND, {"378"}));
}
