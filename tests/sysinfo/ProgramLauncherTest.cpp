// TProgramLauncher: its defaults, the directory normalisation, the show
// command that follows the window state, and the configuration that the
// main window's description carries.
#include "components/ProgramLauncher.h"

#include "toolkit/Streaming.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(ProgramLauncherTest, StartsWithTheDocumentedConfiguration)
{
    TProgramLauncher launcher;
    EXPECT_EQ(launcher.ErrNo(), -1);
    EXPECT_EQ(launcher.ExeName(), "");
    EXPECT_EQ(launcher.ExePath(), "");
    EXPECT_THAT(launcher.ExeParams(), IsEmpty());
    EXPECT_EQ(launcher.WindowState(), tk::wsNormal);
    EXPECT_EQ(launcher.ShowCommand(), SW_SHOWNORMAL);
    EXPECT_TRUE(launcher.ChangeDir());
    EXPECT_FALSE(launcher.Wait());
}

TEST(ProgramLauncherTest, DirectoryLosesOneTrailingBackslashExceptAtARoot)
{
    struct Case {
        const char* given;
        const char* stored;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Zelto\\", "C:\\Program Files\\Zelto"},
        {"C:\\Program Files\\Zelto", "C:\\Program Files\\Zelto"},
        {"C:\\", "C:\\"},
        {"\\", "\\"},
        {"C:\\Tools\\\\", "C:\\Tools\\"},
        {"Tools\\", "Tools"},
        {"\\\\server\\share\\", "\\\\server\\share"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        TProgramLauncher launcher;
        launcher.SetExePath(c.given);
        EXPECT_EQ(launcher.ExePath(), c.stored);
    }
}

TEST(ProgramLauncherTest, ShowCommandFollowsTheWindowState)
{
    TProgramLauncher launcher;
    launcher.SetWindowState(tk::wsMaximized);
    EXPECT_EQ(launcher.ShowCommand(), SW_SHOWMAXIMIZED);
    EXPECT_EQ(launcher.ShowCommand(), 3);
    launcher.SetWindowState(tk::wsMaximized);
    EXPECT_EQ(launcher.WindowState(), tk::wsMaximized);
    EXPECT_EQ(launcher.ShowCommand(), 3);
    launcher.SetWindowState(tk::wsMinimized);
    EXPECT_EQ(launcher.ShowCommand(), 2);
    launcher.SetWindowState(tk::wsNormal);
    EXPECT_EQ(launcher.ShowCommand(), 1);
}

TEST(ProgramLauncherTest, ParametersAreCopiedNotShared)
{
    TProgramLauncher launcher;
    std::vector<std::string> params{"-a", "file.txt"};
    launcher.SetExeParams(params);
    params.push_back("later");
    EXPECT_THAT(launcher.ExeParams(), ElementsAre("-a", "file.txt"));
    launcher.SetExeParams(launcher.ExeParams());
    EXPECT_THAT(launcher.ExeParams(), ElementsAre("-a", "file.txt"));
}

// The main window carries one launcher configured in its description.
TEST(ProgramLauncherTest, MainWindowConfigurationIsReadFromADescription)
{
    tk::Component owner;
    tk::ReadComponent(owner,
                      "object Owner: TComponent\n"
                      "  object Launcher: TProgramLauncher\n"
                      "    ExeName = 'iexplore.exe'\n"
                      "    ChangeDir = False\n"
                      "    Wait = False\n"
                      "    WindowState = wsMaximized\n"
                      "  end\n"
                      "end\n",
                      tk::ReadMode::Create);
    auto* launcher = owner.Find<TProgramLauncher>("Launcher");
    ASSERT_NE(launcher, nullptr);
    EXPECT_EQ(launcher->ClassName(), "TProgramLauncher");
    EXPECT_EQ(launcher->ExeName(), "iexplore.exe");
    EXPECT_FALSE(launcher->ChangeDir());
    EXPECT_FALSE(launcher->Wait());
    EXPECT_EQ(launcher->WindowState(), tk::wsMaximized);
    EXPECT_EQ(launcher->ShowCommand(), SW_SHOWMAXIMIZED);
    EXPECT_EQ(launcher->ErrNo(), -1);
    EXPECT_EQ(tk::GetPropertyValue(*launcher, "ExeName").text, "iexplore.exe");
    EXPECT_EQ(tk::GetPropertyValue(*launcher, "ErrNo").integer, -1);
}

TEST(ProgramLauncherTest, DescriptionsSetPathAndParametersButNeverErrNo)
{
    tk::Component owner;
    tk::ReadComponent(owner,
                      "object Owner: TComponent\n"
                      "  object Launcher: TProgramLauncher\n"
                      "    ExePath = 'C:\\Tools\\'\n"
                      "    ExeParams.Strings = (\n"
                      "      '/s'\n"
                      "      'readme.txt')\n"
                      "  end\n"
                      "end\n",
                      tk::ReadMode::Create);
    auto* launcher = owner.Find<TProgramLauncher>("Launcher");
    ASSERT_NE(launcher, nullptr);
    EXPECT_EQ(launcher->ExePath(), "C:\\Tools");
    EXPECT_THAT(launcher->ExeParams(), ElementsAre("/s", "readme.txt"));
    EXPECT_TRUE(launcher->ChangeDir());

    tk::Value value;
    value.kind = tk::Value::Kind::Integer;
    value.integer = 0;
    EXPECT_THROW(tk::SetPropertyValue(*launcher, "ErrNo", value), tk::EReadError);
    EXPECT_EQ(launcher->ErrNo(), -1);
}

}  // namespace
