// The plug-in browser: which libraries of the folder it lists and how, the
// device list and the choice of the working library through the window's
// real controls, careless answers of a plug-in, and that no library stays
// loaded (or is read from) after the scan.
#include "programmer/PlugIns.h"

#include "resources/StringIds.h"
#include "tests/plugins/PlugInsTestSupport.h"
#include "toolkit/Grids.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using plugtest::TempFolder;

namespace {

const std::string kListIntro = "The selected library implements programming \r\nfor the following ";

class PlugInBrowserTest : public ::testing::Test {
protected:
    PlugInBrowserTest() {
        SetEnvironmentVariableA("ZP_DEMO_DIR", nullptr);
        SetEnvironmentVariableA("ZP_ODD_NAMES", nullptr);
    }
    ~PlugInBrowserTest() override { SetEnvironmentVariableA("ZP_ODD_NAMES", nullptr); }

    TPlugInForm& Open() {
        form = std::make_unique<TPlugInForm>(folder.Path());
        return *form;
    }
    std::string Cell(int col, int row) const { return form->SG1->Cells(col, row); }
    std::vector<std::string> Row(int row) const {
        std::vector<std::string> cells;
        for (int col = 0; col < form->SG1->ColCount(); ++col) cells.push_back(Cell(col, row));
        return cells;
    }
    // A user's click on a cell of the grid, through its window.
    void ClickCell(int col, int row) {
        const RECT r = form->SG1->CellRect(col, row);
        ASSERT_LT(r.left, r.right) << "cell " << col << "," << row << " is not visible";
        plugtest::ClickAt(form->SG1->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        plugtest::Pump();
    }
    // Presses the OK button and returns the result the modal loop ends with.
    tk::ModalResult PressOk() {
        SendMessageA(form->BitBtn1->Handle(), BM_CLICK, 0, 0);
        plugtest::Pump();
        return form->GetModalResult();
    }
    // Shows the browser as the host does, running `step` while it is up.
    tk::ModalResult Show(std::function<tk::ModalResult()> step) {
        modal.Expect([step](tk::Form&) { return step(); });
        return form->ShowModal();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const PlugInEntry& e : form->PlugIns()) names.push_back(e.fileName);
        return names;
    }

    TempFolder folder;
    tk::ScriptedMessages messages;
    tk::ScriptedModalForms modal{[](tk::Form&) { ADD_FAILURE() << "a window was shown that the test did not expect"; }};
    std::unique_ptr<TPlugInForm> form;
};

// --- what is listed ------------------------------------------------------------

TEST_F(PlugInBrowserTest, ListsAPlugInWithItsVersionFieldsAndDeviceCount) {
    folder.CopyIn("DemoPlugin.dll");
    folder.Write("DemoPlugin.cfg", "DEVICE_NAMES=A|B|C\r\n");
    Open();
    EXPECT_THAT(messages.Texts(), IsEmpty());
    ASSERT_EQ(form->SG1->RowCount(), 2);
    EXPECT_EQ(form->SG1->FixedRows(), 1);
    const std::vector<std::string> row = Row(1);
    EXPECT_EQ(row[0], "1");
    EXPECT_EQ(row[1], "DemoPlugin.dll");
    EXPECT_FALSE(row[2].empty());
    EXPECT_EQ(row[3], "1.2.0.7");
    EXPECT_EQ(row[4], "Zelto Demo Devices");
    EXPECT_EQ(row[5], "3");
    EXPECT_EQ(row[6], "Demonstration plug-in with simulated devices");
    EXPECT_THAT(form->PlugIns()[0].deviceNames, ElementsAre("A", "B", "C"));
}

TEST_F(PlugInBrowserTest, HeaderRowAndGridShape) {
    folder.CopyIn("DemoPlugin.dll");
    Open();
    EXPECT_THAT(Row(0), ElementsAre("", "File Name", "Date", "Version", "Author", "Devices", "Description"));
    const tk::StringGrid& grid = *form->SG1;
    ASSERT_EQ(grid.ColCount(), 7);
    const int widths[] = {24, 73, 54, 44, 107, 39, 261};
    for (int col = 0; col < 7; ++col) EXPECT_EQ(grid.ColWidths(col), widths[col]) << "column " << col;
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.RowHeights(1), 16);
    EXPECT_TRUE(grid.Options() & tk::goColSizing);
    EXPECT_FALSE(grid.Options() & tk::goEditing);
}

TEST_F(PlugInBrowserTest, DemoPlugInReportsItsFiveDevices) {
    folder.CopyIn("DemoPlugin.dll");
    Open();
    EXPECT_EQ(Cell(5, 1), "5");
    EXPECT_THAT(form->PlugIns()[0].deviceNames,
                ElementsAre("ATDEMO8", "ATDEMOFL", "ATDEMOEE", "ATDEMO128", "ATDEMOTINY"));
}

TEST_F(PlugInBrowserTest, LibrariesThatAreNoPlugInsAreLeftOutWithoutShiftingTheNumbers) {
    folder.CopyIn("NotAPlugIn.dll");
    folder.CopyIn("DemoPluginNotZelto.dll");
    folder.CopyIn("VerFixNone.dll");
    folder.CopyIn("DemoPlugin.dll");
    folder.CopyIn("DemoPluginNoNames.dll");
    folder.Write("Broken.dll", "not a library at all");
    CreateDirectoryA(folder.PathOf("Folder.dll").c_str(), nullptr);
    folder.Write("Notes.txt", "");
    Open();
    EXPECT_THAT(messages.Texts(), IsEmpty());

    std::vector<std::string> expected;
    for (const std::string& name : ListLibraryFiles(folder.Path()))
        if (name == "DemoPlugin.dll" || name == "DemoPluginNoNames.dll") expected.push_back(name);
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(Names(), expected);
    ASSERT_EQ(form->SG1->RowCount(), 3);
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(Cell(0, row), std::to_string(row));
        EXPECT_EQ(Cell(1, row), expected[static_cast<std::size_t>(row - 1)]);
    }
}

TEST_F(PlugInBrowserTest, LibrariesThatFaultWhileProbedAreLeftOut) {
    folder.CopyIn("HostilePlugIn.dll");
    folder.CopyIn("DemoPlugin.dll");
    for (const char* behaviour : {"probe=fault", "devices=fault", "devices=garbage"}) {
        SetEnvironmentVariableA("ZP_HOSTILE", behaviour);
        Open();
        EXPECT_THAT(Names(), ElementsAre("DemoPlugin.dll")) << behaviour;
        ASSERT_EQ(form->SG1->RowCount(), 2) << behaviour;
        EXPECT_EQ(Row(1)[0], "1");
        EXPECT_EQ(Row(1)[5], "5");
    }
    SetEnvironmentVariableA("ZP_HOSTILE", nullptr);
    Open();
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_THAT(messages.Texts(), IsEmpty());
}

TEST_F(PlugInBrowserTest, PlugInWithoutVersionOrNamesShowsNotAvailableAndNoDevices) {
    folder.CopyIn("DemoPluginNoNames.dll");
    Open();
    ASSERT_EQ(form->SG1->RowCount(), 2);
    EXPECT_THAT(Row(1), ElementsAre("1", "DemoPluginNoNames.dll", testing::_, "N/A", "N/A", "0", "N/A"));
    EXPECT_THAT(form->PlugIns()[0].deviceNames, IsEmpty());
}

TEST_F(PlugInBrowserTest, VersionColumnsFollowTheFirstTranslationAndMayBeEmpty) {
    folder.CopyIn("VerPlugFull.dll");
    folder.CopyIn("VerPlugPartial.dll");
    folder.CopyIn("VerPlugGerman.dll");
    folder.CopyIn("VerPlugNoTranslation.dll");
    Open();
    ASSERT_EQ(form->PlugIns().size(), 4u);
    auto row = [&](const std::string& name) {
        for (int r = 1; r < form->SG1->RowCount(); ++r)
            if (Cell(1, r) == name) return std::vector<std::string>{Cell(3, r), Cell(4, r), Cell(6, r)};
        ADD_FAILURE() << name << " is not listed";
        return std::vector<std::string>{};
    };
    EXPECT_THAT(row("VerPlugFull.dll"), ElementsAre("1.2.3.4", "Zelto Test Works", "Full version fixture"));
    // A value the string table lacks is empty, not "N/A".
    EXPECT_THAT(row("VerPlugPartial.dll"), ElementsAre("0.9", "", "Partial fixture"));
    EXPECT_THAT(row("VerPlugGerman.dll"), ElementsAre("2.0 deutsch", "Deutsche Firma", ""));
    // A resource without a translation table names no string table.
    EXPECT_THAT(row("VerPlugNoTranslation.dll"), ElementsAre("", "", ""));
}

TEST_F(PlugInBrowserTest, DateColumnShowsTheLastWriteDateInTheShortFormat) {
    folder.CopyIn("DemoPlugin.dll");
    SYSTEMTIME local{};
    local.wYear = 2003;
    local.wMonth = 7;
    local.wDay = 15;
    local.wHour = 12;
    FILETIME localFile{}, utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localFile));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localFile, &utc));
    HANDLE file = CreateFileA(folder.PathOf("DemoPlugin.dll").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &utc));
    CloseHandle(file);

    char expected[128] = {};
    ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, expected, sizeof expected), 0);
    Open();
    EXPECT_EQ(Cell(2, 1), expected);
    EXPECT_NE(Cell(2, 1).find("2003"), std::string::npos);
}

TEST_F(PlugInBrowserTest, NoPlugInFoundShowsTheMessageAndAnEmptyGrid) {
    folder.CopyIn("NotAPlugIn.dll");
    folder.CopyIn("DemoPluginNotZelto.dll");
    Open();
    EXPECT_THAT(messages.Texts(), ElementsAre("No Programming Plugins Found!"));
    EXPECT_EQ(form->SG1->RowCount(), 1);
    EXPECT_THAT(form->PlugIns(), IsEmpty());

    // Nothing can be chosen from it.
    const tk::ModalResult result = Show([&] {
        ClickCell(1, 0);
        ClickCell(5, 0);
        return PressOk();
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_FALSE(form->Selected);
    EXPECT_EQ(form->SelectedName, "");
    EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST_F(PlugInBrowserTest, AnEmptyFolderShowsTheMessageToo) {
    Open();
    EXPECT_THAT(messages.Texts(), ElementsAre("No Programming Plugins Found!"));
    EXPECT_EQ(form->SG1->RowCount(), 1);
}

TEST_F(PlugInBrowserTest, TheFolderDefaultsToTheProgramsOwn) {
    EXPECT_EQ(ProgramDirectory(), plugtest::BinDir());
    // The demonstration plug-in keeps its files in our folder, not beside the build.
    SetEnvironmentVariableA("ZP_DEMO_DIR", folder.Path().c_str());
    form = std::make_unique<TPlugInForm>();
    EXPECT_EQ(form->PlugInDirectory(), plugtest::BinDir());
    EXPECT_THAT(Names(), Contains("DemoPlugin.dll"));
    EXPECT_THAT(Names(), Not(Contains("NotAPlugIn.dll")));
    EXPECT_THAT(Names(), Not(Contains("DemoPluginNotZelto.dll")));
    form.reset();
    SetEnvironmentVariableA("ZP_DEMO_DIR", nullptr);
}

// The folder the demonstration and scripts/run-program.sh start the program
// from is a user's: the test-only plug-ins built beside it stay out of its list.
TEST_F(PlugInBrowserTest, TheProgramFolderListsTheDemonstrationPlugInAlone) {
    SetEnvironmentVariableA("ZP_DEMO_DIR", folder.Path().c_str());
    form = std::make_unique<TPlugInForm>();
    EXPECT_THAT(Names(), ElementsAre("DemoPlugin.dll"));
    form.reset();
    SetEnvironmentVariableA("ZP_DEMO_DIR", nullptr);
}

TEST_F(PlugInBrowserTest, AFolderWithoutTrailingBackslashIsTakenAsWell) {
    folder.CopyIn("DemoPlugin.dll");
    std::string bare = folder.Path();
    bare.pop_back();
    form = std::make_unique<TPlugInForm>(bare);
    EXPECT_EQ(form->PlugInDirectory(), folder.Path());
    EXPECT_THAT(Names(), ElementsAre("DemoPlugin.dll"));
}

// --- the window -------------------------------------------------------------------

TEST_F(PlugInBrowserTest, WindowIsAStayOnTopDialogWithoutSystemMenuCentredOnTheScreen) {
    folder.CopyIn("DemoPlugin.dll");
    Open();
    EXPECT_EQ(form->Caption(), "Plug-Ins List");
    Show([&] {
        HWND wnd = form->Handle();
        const LONG style = GetWindowLongA(wnd, GWL_STYLE);
        const LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
        EXPECT_FALSE(style & WS_SYSMENU);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        RECT window{};
        GetWindowRect(wnd, &window);
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);
        return PressOk();
    });
}

TEST_F(PlugInBrowserTest, ClickingAFileNameAndOkHandsTheChoiceToTheHost) {
    folder.CopyIn("DemoPlugin.dll");
    folder.CopyIn("DemoPluginNoNames.dll");
    Open();
    ASSERT_EQ(form->SG1->RowCount(), 3);
    const std::string second = Cell(1, 2);
    const tk::ModalResult result = Show([&] {
        EXPECT_EQ(form->Label4->Caption(), "none");
        EXPECT_FALSE(form->Selected);
        ClickCell(1, 2);
        EXPECT_EQ(form->Label4->Caption(), second);
        return PressOk();
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_TRUE(form->Selected);
    EXPECT_EQ(form->SelectedName, second);
    EXPECT_THAT(messages.Texts(), IsEmpty());
}

TEST_F(PlugInBrowserTest, ClickingTheNameInTheCellThatIsAlreadyCurrentChoosesIt) {
    // The first plug-in's name is the grid's current cell from the start.
    folder.CopyIn("DemoPlugin.dll");
    Open();
    ASSERT_EQ(form->SG1->Col(), 1);
    ASSERT_EQ(form->SG1->Row(), 1);
    Show([&] {
        ClickCell(1, 1);
        return PressOk();
    });
    EXPECT_TRUE(form->Selected);
    EXPECT_EQ(form->SelectedName, "DemoPlugin.dll");
    EXPECT_EQ(form->Label4->Caption(), "DemoPlugin.dll");
}

TEST_F(PlugInBrowserTest, ALaterClickReplacesTheChoice) {
    folder.CopyIn("DemoPlugin.dll");
    folder.CopyIn("DemoPluginNoNames.dll");
    Open();
    Show([&] {
        ClickCell(1, 2);
        ClickCell(1, 1);
        return PressOk();
    });
    EXPECT_EQ(form->SelectedName, Cell(1, 1));
}

TEST_F(PlugInBrowserTest, ShowingAgainResetsTheLabelAndTheChoice) {
    folder.CopyIn("DemoPlugin.dll");
    Open();
    Show([&] {
        ClickCell(1, 1);
        return PressOk();
    });
    ASSERT_TRUE(form->Selected);
    const tk::ModalResult result = Show([&] {
        EXPECT_EQ(form->Label4->Caption(), "none");
        EXPECT_FALSE(form->Selected);
        EXPECT_EQ(form->SelectedName, "");
        return PressOk();
    });
    EXPECT_EQ(result, tk::mrOk);
    EXPECT_FALSE(form->Selected);
    EXPECT_EQ(form->SelectedName, "");
}

TEST_F(PlugInBrowserTest, TheChoiceHoldsWhicheverWayTheWindowCloses) {
    folder.CopyIn("DemoPlugin.dll");
    Open();
    const tk::ModalResult result = Show([&] {
        ClickCell(1, 1);
        // Alt+F4 or the task manager: no OK.
        SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
        plugtest::Pump();
        return form->GetModalResult();
    });
    EXPECT_NE(result, tk::mrOk);
    EXPECT_TRUE(form->Selected);
    EXPECT_EQ(form->SelectedName, "DemoPlugin.dll");
}

TEST_F(PlugInBrowserTest, OtherColumnsChooseNothingAndShowNothing) {
    folder.CopyIn("DemoPlugin.dll");
    folder.CopyIn("DemoPluginNoNames.dll");
    Open();
    Show([&] {
        for (int col : {2, 3, 4, 6}) ClickCell(col, 2);
        ClickCell(0, 2);  // the number column is fixed
        return PressOk();
    });
    EXPECT_FALSE(form->Selected);
    EXPECT_EQ(form->Label4->Caption(), "none");
    EXPECT_THAT(messages.Texts(), IsEmpty());
}

TEST_F(PlugInBrowserTest, DevicesCellShowsEveryDeviceOnItsOwnLine) {
    folder.CopyIn("DemoPlugin.dll");
    folder.Write("DemoPlugin.cfg", "DEVICE_NAMES=A|B|C\r\n");
    Open();
    Show([&] {
        ClickCell(5, 1);
        return PressOk();
    });
    EXPECT_THAT(messages.Texts(), ElementsAre(kListIntro + "3 devices:\r\n- A\r\n- B\r\n- C\r\n"));
    EXPECT_FALSE(form->Selected);
}

TEST_F(PlugInBrowserTest, DevicesCellOfAPlugInWithoutNamesShowsAnEmptyList) {
    folder.CopyIn("DemoPluginNoNames.dll");
    Open();
    Show([&] {
        ClickCell(5, 1);
        return PressOk();
    });
    EXPECT_THAT(messages.Texts(), ElementsAre(kListIntro + "0 devices:\r\n"));
}

TEST_F(PlugInBrowserTest, DeviceNamesLongerThan255CharactersAreCut) {
    folder.CopyIn("DemoPlugin.dll");
    folder.Write("DemoPlugin.cfg", "DEVICE_NAMES=" + std::string(300, 'N') + "|" + std::string(255, 'M') + "\r\n");
    Open();
    ASSERT_EQ(form->PlugIns().size(), 1u);
    EXPECT_THAT(form->PlugIns()[0].deviceNames, ElementsAre(std::string(255, 'N'), std::string(255, 'M')));
    Show([&] {
        ClickCell(5, 1);
        return PressOk();
    });
    EXPECT_THAT(messages.Texts(),
                ElementsAre(kListIntro + "2 devices:\r\n- " + std::string(255, 'N') + "\r\n- " + std::string(255, 'M') + "\r\n"));
}

// --- careless plug-ins ---------------------------------------------------------------

struct OddAnswer {
    const char* mode;
    std::size_t count;
    const char* countCell;
};

class OddPlugInTest : public PlugInBrowserTest, public ::testing::WithParamInterface<OddAnswer> {};

TEST_P(OddPlugInTest, CountIsClampedAndEveryNameIsCopied) {
    const OddAnswer answer = GetParam();
    folder.CopyIn("OddPlugIn.dll");
    SetEnvironmentVariableA("ZP_ODD_NAMES", answer.mode);
    Open();
    ASSERT_EQ(form->PlugIns().size(), 1u);
    EXPECT_EQ(form->PlugIns()[0].deviceNames.size(), answer.count);
    EXPECT_EQ(Cell(5, 1), answer.countCell);
}

INSTANTIATE_TEST_SUITE_P(Answers, OddPlugInTest,
                         ::testing::Values(OddAnswer{"huge", 10000, "10000"}, OddAnswer{"huge-only", 10000, "10000"},
                                           OddAnswer{"negative", 0, "0"}, OddAnswer{"untouched", 0, "0"},
                                           OddAnswer{"nulls", 3, "3"}, OddAnswer{"long", 1, "1"},
                                           OddAnswer{"plain", 2, "2"}),
                         [](const auto& info) {
                             std::string name = info.param.mode;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

TEST_F(PlugInBrowserTest, TwentyThousandNamesAreCutToTheSlotsOffered) {
    folder.CopyIn("OddPlugIn.dll");
    SetEnvironmentVariableA("ZP_ODD_NAMES", "huge");
    Open();
    const std::vector<std::string>& names = form->PlugIns()[0].deviceNames;
    ASSERT_EQ(names.size(), 10000u);
    EXPECT_EQ(names.front(), "D0");
    EXPECT_EQ(names.back(), "D9999");
    Show([&] {
        ClickCell(5, 1);
        return PressOk();
    });
    ASSERT_EQ(messages.Texts().size(), 1u);
    const std::string text = messages.Texts()[0];
    EXPECT_EQ(text.substr(0, kListIntro.size() + 26), kListIntro + "10000 devices:\r\n- D0\r\n- D1");
    EXPECT_NE(text.find("- D9999\r\n"), std::string::npos);
}

TEST_F(PlugInBrowserTest, NullNamesReadAsEmpty) {
    folder.CopyIn("OddPlugIn.dll");
    SetEnvironmentVariableA("ZP_ODD_NAMES", "nulls");
    Open();
    EXPECT_THAT(form->PlugIns()[0].deviceNames, ElementsAre("first", "", "third"));
    SetEnvironmentVariableA("ZP_ODD_NAMES", "huge-only");
    Open();
    const std::vector<std::string>& names = form->PlugIns()[0].deviceNames;
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string()), 10000);
}

// --- libraries are freed, and never read once freed ----------------------------------

TEST_F(PlugInBrowserTest, NoLibraryStaysLoadedAndTheNamesOutliveThem) {
    folder.CopyIn("DemoPlugin.dll");
    folder.CopyIn("OddPlugIn.dll");
    folder.CopyIn("DemoPluginNotZelto.dll");
    folder.CopyIn("NotAPlugIn.dll");
    folder.Write("DemoPlugin.cfg", "DEVICE_NAMES=X1|X2\r\n");
    Open();
    for (const char* name : {"DemoPlugin.dll", "OddPlugIn.dll", "DemoPluginNotZelto.dll", "NotAPlugIn.dll"})
        EXPECT_EQ(GetModuleHandleA(folder.PathOf(name).c_str()), nullptr) << name << " is still loaded";
    // The copies stay readable with the libraries gone.
    std::vector<std::vector<std::string>> lists;
    for (const PlugInEntry& e : form->PlugIns()) lists.push_back(e.deviceNames);
    EXPECT_THAT(lists, testing::UnorderedElementsAre(ElementsAre("X1", "X2"), ElementsAre("ODD-A", "ODD-B")));
}

TEST_F(PlugInBrowserTest, EachLibraryIsLoadedAskedAndFreedInTurn) {
    folder.CopyIn("DemoPlugin.dll");
    folder.Write("DemoPlugin.cfg", "TRACE_LOAD=1\r\n");
    Open();
    EXPECT_THAT(plugtest::Lines(folder.Read("DemoPlugin.trace")),
                ElementsAre("Load DemoPlugin.dll", "IsZeltoPlugIn", "Unload DemoPlugin.dll", "Load DemoPlugin.dll",
                            "GetDevicesNames 9999", "Unload DemoPlugin.dll"));
}

TEST_F(PlugInBrowserTest, LibrariesThatAnswerFalseAreFreedAfterTheQuestion) {
    folder.CopyIn("DemoPluginNotZelto.dll");
    folder.Write("DemoPlugin.cfg", "TRACE_LOAD=1\r\n");
    Open();
    EXPECT_THAT(plugtest::Lines(folder.Read("DemoPlugin.trace")),
                ElementsAre("Load DemoPluginNotZelto.dll", "IsZeltoPlugIn", "Unload DemoPluginNotZelto.dll"));
}

// --- the copy of a plug-in's answer, without a library ----------------------------------

TEST(PlugInAnswers, CountsOutsideTheSlotsAreClamped) {
    const char* slots[3] = {"a", "b", "c"};
    EXPECT_THAT(CopyDeviceNames(20000, slots, 3), ElementsAre("a", "b", "c"));
    EXPECT_THAT(CopyDeviceNames(2, slots, 3), ElementsAre("a", "b"));
    EXPECT_THAT(CopyDeviceNames(-1, slots, 3), IsEmpty());
    EXPECT_THAT(CopyDeviceNames(INT32_MIN, slots, 3), IsEmpty());
    EXPECT_THAT(CopyDeviceNames(3, nullptr, 3), IsEmpty());
}

TEST(PlugInAnswers, NullTextsReadAsEmptyAndLongOnesAreCut) {
    // A name without its terminator within 255 characters is not read past them.
    std::vector<char> unterminated(255, 'q');
    const char* slots[3] = {nullptr, unterminated.data(), "ok"};
    const std::vector<std::string> names = CopyDeviceNames(3, slots, 3);
    EXPECT_THAT(names, ElementsAre("", std::string(255, 'q'), "ok"));
    EXPECT_EQ(ShortStringFrom(nullptr), "");
    EXPECT_EQ(ShortStringFrom(std::string(256, 'z').c_str()), std::string(255, 'z'));
}

TEST(PlugInAnswers, ProbesOfMissingOrBrokenFilesSayNo) {
    TempFolder folder;
    folder.Write("Broken.dll", "MZ but nothing else");
    EXPECT_FALSE(IsPlugInLibrary(folder.PathOf("Broken.dll")));
    EXPECT_FALSE(IsPlugInLibrary(folder.PathOf("Missing.dll")));
    EXPECT_THAT(ReadPlugInDeviceNames(folder.PathOf("Missing.dll")), IsEmpty());
    EXPECT_EQ(FileShortDate(folder.PathOf("Missing.dll")), "");
    EXPECT_THAT(ListLibraryFiles(folder.PathOf("Nowhere")), IsEmpty());
}

}  // namespace
