// The folder-browse component over the shell's real folder dialog: a helper
// thread finds the dialog while Execute runs, reads its status line, picks a
// folder and presses OK or Cancel, as a user would.
#include "InstallerTestSupport.h"
#include "installer/Main.h"
#include "installer/folderBrowse.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <thread>

namespace {

struct Found {
    HWND wnd = nullptr;
    std::string text;
};

BOOL CALLBACK FindBrowseDialog(HWND wnd, LPARAM data)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(wnd) && std::string(cls) == "#32770" &&
        ::FindWindowExA(wnd, nullptr, "SysTreeView32", nullptr)) {
        reinterpret_cast<Found*>(data)->wnd = wnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindStaticText(HWND wnd, LPARAM data)
{
    char cls[64] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    char text[512] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    auto& found = *reinterpret_cast<Found*>(data);
    // The status line is the static under the title whose text the callback set.
    if (std::string(cls) == "Static" && ::GetDlgCtrlID(wnd) == 0x3743)
        found.text = text;
    return TRUE;
}

// What the helper thread saw and did with one dialog.
struct DialogVisit {
    bool seen = false;
    std::string statusText;
};

// Runs Execute (through `run`) while a helper thread works the dialog with `act`.
DialogVisit WithDialog(const std::function<void()>& run, const std::function<void(HWND)>& act)
{
    DialogVisit visit;
    std::thread helper([&] {
        Found dialog;
        for (int i = 0; i < 400 && !dialog.wnd; ++i) {
            ::Sleep(50);
            ::EnumWindows(FindBrowseDialog, reinterpret_cast<LPARAM>(&dialog));
        }
        if (!dialog.wnd)
            return;
        ::Sleep(200);
        visit.seen = true;
        Found status;
        ::EnumChildWindows(dialog.wnd, FindStaticText, reinterpret_cast<LPARAM>(&status));
        visit.statusText = status.text;
        act(dialog.wnd);
    });
    run();
    helper.join();
    return visit;
}

void PressOk(HWND dialog)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void PressCancel(HWND dialog)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The text of the tree's selected item.
std::string SelectedText(HWND dialog)
{
    HWND tree = ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return std::string();
    char text[MAX_PATH] = {};
    TVITEMA info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return text;
}

// Selects the folder as a click in the tree would, then presses OK. The
// dialog may still be settling its own first selection, which can undo an
// early one: asked again until the tree shows it.
std::function<void(HWND)> Choose(const std::string& path)
{
    return [path](HWND dialog) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        for (int attempt = 0; attempt < 10 && SelectedText(dialog) != name; ++attempt) {
            ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
            for (int i = 0; i < 10 && SelectedText(dialog) != name; ++i)
                ::Sleep(50);
        }
        PressOk(dialog);
    };
}

class BrowseDialog : public ::testing::Test {
protected:
    BrowseDialog() : folder_("browse"), messages_([](const tk::MessageRequest& r) { ADD_FAILURE() << r.text; })
    {
        tk::App().Reset();
        form_ = tk::Create<TMainForm>(tk::App());
        chosen_ = folder_.Path() + "Chosen";
        ::CreateDirectoryA(chosen_.c_str(), nullptr);
    }
    ~BrowseDialog() override { tk::App().Reset(); }

    ScratchFolder folder_;
    tk::ScriptedMessages messages_;
    TMainForm* form_ = nullptr;
    std::string chosen_;
};

} // namespace

TEST_F(BrowseDialog, OpensAtCWithItsStatusAndTheChosenFolderBecomesPathAndNextStart)
{
    TBrowseForFolder& bff = *form_->BFF1;
    EXPECT_EQ(bff.Flags(), TBrowseFlags(bf_statustext));
    EXPECT_EQ(bff.Root(), bl_DESKTOP);
    EXPECT_EQ(bff.Caption(), "Select the installation folder");

    DialogVisit first = WithDialog([&] { form_->SpeedButton3->Click(); }, PressOk);
    ASSERT_TRUE(first.seen);
    EXPECT_EQ(first.statusText, "Select a folder");
    EXPECT_EQ(bff.FolderName(), "C:\\");
    EXPECT_EQ(form_->InstallationDirectory->Text(), "C:\\");

    WithDialog([&] { form_->SpeedButton3->Click(); }, Choose(chosen_));
    EXPECT_EQ(form_->InstallationDirectory->Text(), chosen_);
    // The shell's display name of the folder (Wine gives the whole path).
    EXPECT_NE(bff.DisplayName().find("Chosen"), std::string::npos);

    // The next opening starts at the folder chosen before.
    WithDialog([&] { form_->SpeedButton3->Click(); }, PressOk);
    EXPECT_EQ(bff.FolderName(), chosen_);
    // BIF_VALIDATE went into the shell's record but is no flag of the set.
    EXPECT_TRUE(bff.BrowseInfo().ulFlags & BIF_VALIDATE);
    EXPECT_EQ(bff.Flags(), TBrowseFlags(bf_statustext));
}

TEST_F(BrowseDialog, CancelAndAFolderWithoutAPathChangeNothing)
{
    TBrowseForFolder& bff = *form_->BFF1;
    form_->InstallationDirectory->SetText("D:\\Keep");
    bool result = true;
    DialogVisit cancelled = WithDialog([&] { result = bff.Execute(); }, PressCancel);
    ASSERT_TRUE(cancelled.seen);
    EXPECT_FALSE(result);
    EXPECT_EQ(bff.FolderName(), "C:\\");
    EXPECT_EQ(bff.DisplayName(), "");

    // "My Computer" has no file-system path: refused, not an empty path.
    LPITEMIDLIST drives = nullptr;
    ASSERT_TRUE(SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
    WithDialog([&] { form_->SpeedButton3->Click(); },
               [drives](HWND dialog) {
                   for (int i = 0; i < 100 && SelectedText(dialog).empty(); ++i)
                       ::Sleep(50);
                   const std::string start = SelectedText(dialog);
                   for (int attempt = 0; attempt < 10 && SelectedText(dialog) == start; ++attempt) {
                       ::SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(drives));
                       for (int i = 0; i < 10 && SelectedText(dialog) == start; ++i)
                           ::Sleep(50);
                   }
                   PressOk(dialog);
               });
    ::CoTaskMemFree(drives);
    EXPECT_EQ(bff.FolderName(), "C:\\");
    EXPECT_EQ(form_->InstallationDirectory->Text(), "D:\\Keep");
}

TEST_F(BrowseDialog, EmptyTextsOpenAtTheRootWithAnEmptyStatusLine)
{
    TBrowseForFolder bff;
    bff.SetFolderName("");
    bff.SetStatusText("");
    bff.SetFlags(bf_statustext | bf_EditBox);
    EXPECT_EQ(bff.Flags(), TBrowseFlags(bf_statustext | bf_EditBox));
    bool result = true;
    DialogVisit visit = WithDialog([&] { result = bff.Execute(); }, PressCancel);
    ASSERT_TRUE(visit.seen);
    EXPECT_EQ(visit.statusText, "");
    EXPECT_FALSE(result);
    EXPECT_EQ(BrowseCallback(nullptr, BFFM_VALIDATEFAILEDA, 0, 0), 1);
    EXPECT_EQ(BrowseCallback(nullptr, BFFM_SELCHANGED, 0, 0), 0);
}
