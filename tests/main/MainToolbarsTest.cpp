// The main window's four toolbars on the real window: their rows in the top
// dock, the Toolbars menu closing the rows up, and bars floating over the
// window (owned by it, out of the task bar, hidden while it is minimised).
#include "MainTestSupport.h"

#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;

class MainToolbars : public MainFormFixture {
protected:
    TMainForm& ShownMainForm()
    {
        messages_.Answer(tk::mrOk);  // the port-kind message
        TMainForm& form = CreateMainForm();
        form.Show();
        PumpMessages();
        return form;
    }
};

std::size_t CountOf(const TToolbar& bar, bool separators)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < bar.ControlCount(); ++i)
        n += (dynamic_cast<TToolbarSep*>(bar.Controls(i)) != nullptr) == separators ? 1 : 0;
    return n;
}

TEST_F(MainToolbars, FourBarsLieInTheTopDockInTheirStoredRows)
{
    TMainForm& form = ShownMainForm();
    const std::vector<TCustomToolWindow*> inOrder{form.FileBar, form.MiscBar, form.FLEPBar, form.ViewBar};
    EXPECT_EQ(form.Dock1->Bars(), inOrder);
    EXPECT_EQ(form.Dock1->Position(), dpTop);
    EXPECT_EQ(form.Dock4->Position(), dpBottom);
    EXPECT_EQ(form.Dock4->Height(), 0);
    EXPECT_EQ(form.FileBar->Caption(), "File Operations");
    EXPECT_EQ(form.MiscBar->Caption(), "Misc Operations");
    EXPECT_EQ(form.FLEPBar->Caption(), "Flash and EEprom Operations ");
    EXPECT_EQ(form.ViewBar->Caption(), "View Operations");

    // Row 0: File, Misc; row 1: Flash and EEprom, View; side by side, each
    // whole, the rows one under the other and the dock as deep as both.
    EXPECT_EQ(form.FileBar->DockRow(), 0);
    EXPECT_EQ(form.MiscBar->DockRow(), 0);
    EXPECT_EQ(form.FLEPBar->DockRow(), 1);
    EXPECT_EQ(form.ViewBar->DockRow(), 1);
    EXPECT_EQ(form.FileBar->Left(), 0);
    EXPECT_EQ(form.MiscBar->Left(), form.FileBar->Left() + form.FileBar->Width());
    EXPECT_EQ(form.FLEPBar->Left(), 0);
    EXPECT_EQ(form.ViewBar->Left(), form.FLEPBar->Left() + form.FLEPBar->Width());
    EXPECT_EQ(form.MiscBar->Top(), form.FileBar->Top());
    EXPECT_EQ(form.FLEPBar->Top(), form.FileBar->Top() + form.FileBar->Height());
    EXPECT_EQ(form.ViewBar->Top(), form.FLEPBar->Top());
    EXPECT_EQ(form.Dock1->ClientHeight(), form.FLEPBar->Top() + form.FLEPBar->Height());

    std::size_t buttons = 0;
    std::size_t separators = 0;
    for (TCustomToolWindow* window : inOrder) {
        auto* bar = static_cast<TToolbar*>(window);
        SCOPED_TRACE(bar->Name());
        EXPECT_TRUE(bar->Docked());
        EXPECT_FALSE(bar->CloseButton());
        EXPECT_EQ(bar->DragHandleStyle(), dhDouble);
        EXPECT_EQ(bar->ClientHeight(), 22);
        buttons += CountOf(*bar, false);
        separators += CountOf(*bar, true);
        for (std::size_t i = 0; i < bar->ControlCount(); ++i) {
            tk::Control* c = bar->Controls(i);
            EXPECT_GE(c->Left(), 0) << c->Name();
            EXPECT_LE(c->Left() + c->Width(), bar->ClientWidth()) << c->Name();
        }
    }
    EXPECT_EQ(buttons, 24u);
    EXPECT_EQ(separators, 7u);
    // The separators split the groups of the menus: Save apart from Open,
    // Exit alone, the special bits apart from Clone and Fill.
    EXPECT_THAT(form.FileBar->OrderList(),
                ElementsAre(form.BtOpenFlash, form.BtOpenEEprom, ::testing::_, form.BtSaveFlash, form.BtSaveEEprom,
                            ::testing::_, form.BtExitApp));
    EXPECT_EQ(form.BtSaveFlash->Left(), form.BtOpenEEprom->Left() + 23 + 6);
    EXPECT_EQ(form.BtFill->Left(), form.BtClone->Left() + 23 + 6);
}

TEST_F(MainToolbars, TheToolbarsMenuHidesABarAndTheRowsCloseUp)
{
    TMainForm& form = ShownMainForm();
    const int twoRows = form.Dock1->Height();
    const int secondRowTop = form.FLEPBar->Top();

    form.MnuFileOperations->Click();
    EXPECT_FALSE(form.FileBar->Visible());
    EXPECT_FALSE(::IsWindowVisible(form.FileBar->Handle()));
    EXPECT_EQ(form.Dock1->VisibleBars().size(), 3u);
    EXPECT_EQ(form.FLEPBar->Top(), secondRowTop) << "Misc still holds the first row";

    // With the whole first row hidden the second one moves up and the dock
    // and the grids below follow.
    form.MnuMiscOperations->Click();
    EXPECT_EQ(form.FLEPBar->Top(), form.FileBar->Top());
    EXPECT_EQ(form.ViewBar->Top(), form.FLEPBar->Top());
    EXPECT_EQ(form.Dock1->Height(), twoRows - (secondRowTop - form.FLEPBar->Top()));
    EXPECT_EQ(form.Panel2->Top(), form.Dock1->Top() + form.Dock1->Height());

    form.MnuFileOperations->Click();
    form.MnuMiscOperations->Click();
    EXPECT_TRUE(form.MnuFileOperations->Checked());
    EXPECT_EQ(form.FileBar->DockRow(), 0);
    EXPECT_EQ(form.FLEPBar->Top(), secondRowTop);
    EXPECT_EQ(form.MiscBar->Left(), form.FileBar->Width());
    EXPECT_EQ(form.Dock1->Height(), twoRows);
}

TEST_F(MainToolbars, BarsFloatOverTheMainWindowOwnedByIt)
{
    TMainForm& form = ShownMainForm();
    form.FileBar->SetDockedTo(nullptr);
    form.ViewBar->SetDockedTo(nullptr);  // a second one over the same window
    PumpMessages();
    for (TToolbar* bar : {form.FileBar, form.ViewBar}) {
        SCOPED_TRACE(bar->Name());
        ASSERT_TRUE(bar->Floating());
        ASSERT_NE(bar->FloatParent(), nullptr);
        // The bar itself becomes the small window over the main window.
        const HWND floating = bar->Handle();
        EXPECT_TRUE(::IsWindowVisible(floating));
        EXPECT_EQ(::GetWindow(floating, GW_OWNER), form.Handle());
        for (HWND h : {floating, bar->FloatParent()->Handle()}) {
            EXPECT_TRUE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "not in the task bar";
            EXPECT_FALSE(::GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        }
        // A caption over the buttons, which sit in one line with margins.
        RECT window{};
        RECT client{};
        ::GetWindowRect(bar->Handle(), &window);
        ::GetClientRect(bar->Handle(), &client);
        EXPECT_GT((window.bottom - window.top) - client.bottom, 2 * 2);
        EXPECT_EQ(bar->ClientHeight(), 2 + 22 + 1);
    }
    EXPECT_NE(form.FileBar->FloatParent()->Name(), form.ViewBar->FloatParent()->Name());
    EXPECT_EQ(form.Dock1->VisibleBars().size(), 2u);
    EXPECT_EQ(form.MiscBar->DockRow(), 0);
    EXPECT_EQ(form.FLEPBar->DockRow(), 1);

    // Narrowed, a floating bar wraps its buttons into lines at a separator.
    form.FileBar->SetFloatingRightX(4 + 2 * 23 + 4);
    form.FileBar->Rearrange();
    EXPECT_EQ(form.BtSaveFlash->Left(), 4);
    EXPECT_GT(form.BtSaveFlash->Top(), form.BtOpenFlash->Top());

    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    PumpMessages();
    EXPECT_FALSE(::IsWindowVisible(form.FileBar->Handle()));
    EXPECT_FALSE(::IsWindowVisible(form.ViewBar->Handle()));
    ::ShowWindow(form.Handle(), SW_RESTORE);
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(form.FileBar->Handle()));
    EXPECT_TRUE(::IsWindowVisible(form.ViewBar->Handle()));

    // The menu hides and shows a floating bar as well.
    form.MnuViewOperations->Click();
    EXPECT_FALSE(::IsWindowVisible(form.ViewBar->Handle()));
    form.MnuViewOperations->Click();
    EXPECT_TRUE(::IsWindowVisible(form.ViewBar->Handle()));

    // Docked again: back in its row, the floating window gone.
    form.FileBar->SetDockedTo(form.Dock1);
    EXPECT_EQ(form.FileBar->FloatParent(), nullptr);
    EXPECT_EQ(form.FileBar->Parent(), form.Dock1);
    EXPECT_EQ(form.FileBar->DockRow(), 0);
    EXPECT_EQ(form.BtSaveFlash->Top(), form.BtOpenFlash->Top());
}

}  // namespace
