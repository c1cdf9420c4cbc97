// Status bar and progress bar setters store at once and update the window
// once per tick; the rich-text log keeps each line's colour.
#include "toolkit/ComCtrls.h"

#include "controls_support.h"

#include <commctrl.h>

using namespace tk;

namespace {

std::string PartText(HWND bar, int part) {
    char buf[512] = {};
    ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buf));
    return buf;
}

}  // namespace

TEST(StatusBarControl, TextSettersCoalesceIntoOneWindowUpdate) {
    ctltest::TestForm host;
    auto* bar = host.Add<StatusBar>();
    for (int w : {75, 410, 50}) bar->Panels().Add().SetWidth(w);
    bar->Panels()[0].SetText("No Device.");
    HWND h = bar->Handle();
    bar->Flush();
    EXPECT_EQ(PartText(h, 0), "No Device.");
    EXPECT_EQ(::SendMessageA(h, SB_GETPARTS, 0, 0), 3);

    const unsigned before = bar->FlushCount();
    for (int i = 0; i < 1000; ++i) bar->Panels()[1].SetText("Address $" + std::to_string(i));
    // Stored at once, not yet drawn.
    EXPECT_EQ(bar->Panels()[1].Text(), "Address $999");
    EXPECT_EQ(bar->FlushCount(), before);
    EXPECT_EQ(PartText(h, 1), "");
    EXPECT_TRUE(bar->FlushPending());

    ASSERT_TRUE(ctltest::PumpUntil([&] { return !bar->FlushPending(); }));
    EXPECT_EQ(bar->FlushCount(), before + 1);
    EXPECT_EQ(PartText(h, 1), "Address $999");
    // Nothing pending: no further update.
    ctltest::PumpUntil(nullptr, 2 * kDeferredPaintMs);
    EXPECT_EQ(bar->FlushCount(), before + 1);
}

TEST(StatusBarControl, PanelsSetBeforeTheWindowExistsAppearWithIt) {
    ctltest::TestForm host;
    auto* bar = Create<StatusBar>(*host.form);
    bar->Panels().Add().SetText("a");
    bar->Panels().Add().SetText("b");
    bar->Panels()[1].SetAlignment(taCenter);
    bar->SetParent(host.host);
    HWND h = bar->Handle();
    EXPECT_EQ(PartText(h, 0), "a");
    EXPECT_NE(PartText(h, 1).find('b'), std::string::npos);
    EXPECT_FALSE(bar->FlushPending());
}

TEST(ProgressBarControl, PositionSettersCoalesceAndClamp) {
    ctltest::TestForm host;
    auto* pbar = host.Add<ProgressBar>();
    pbar->SetSmooth(true);
    HWND h = pbar->Handle();
    const unsigned before = pbar->FlushCount();
    for (int i = 0; i <= 100; ++i) pbar->SetPosition(i);
    EXPECT_EQ(pbar->Position(), 100);
    EXPECT_EQ(::SendMessageA(h, PBM_GETPOS, 0, 0), 0);
    ASSERT_TRUE(ctltest::PumpUntil([&] { return !pbar->FlushPending(); }));
    EXPECT_EQ(pbar->FlushCount(), before + 1);
    EXPECT_EQ(::SendMessageA(h, PBM_GETPOS, 0, 0), 100);

    pbar->SetPosition(250);
    EXPECT_EQ(pbar->Position(), 100);
    pbar->SetMax(50);
    EXPECT_EQ(pbar->Position(), 50);
    pbar->Flush();
    EXPECT_EQ(::SendMessageA(h, PBM_GETRANGE, FALSE, 0), 50);
    EXPECT_EQ(::SendMessageA(h, PBM_GETPOS, 0, 0), 50);
    EXPECT_TRUE(::GetWindowLongA(h, GWL_STYLE) & PBS_SMOOTH);
}

TEST(RichEditControl, LinesKeepTheColourInForceWhenAdded) {
    ctltest::TestForm host;
    auto* log = host.Add<RichEdit>();
    log->SetBounds(0, 0, 300, 120);
    log->SetColor(clBlack);
    log->SetReadOnly(true);
    log->SetTextColor(clLime);
    log->AddLine("Installation results:");
    log->AddLine("Installing from [C:\\setup\\] ;");
    log->SetTextColor(clYellow);
    log->AddLine("A later uninstallation will not be possible.");
    log->SetTextColor(clRed);
    log->AddLine("Installation aborted.");
    ASSERT_EQ(log->LineCount(), 4u);
    EXPECT_EQ(log->Lines(1).color, clLime);
    EXPECT_EQ(log->Lines(3).text, "Installation aborted.");
    EXPECT_EQ(log->ColorAt(log->LineStart(0)), clLime);
    EXPECT_EQ(log->ColorAt(log->LineStart(1) + 3), clLime);
    EXPECT_EQ(log->ColorAt(log->LineStart(2)), clYellow);
    EXPECT_EQ(log->ColorAt(log->LineStart(3) + 5), clRed);
    EXPECT_EQ(::SendMessageA(log->Handle(), EM_GETLINECOUNT, 0, 0), 4);

    // A new window (style change) is rebuilt from the stored lines.
    log->SetScrollBars(rsBoth);
    EXPECT_EQ(log->ColorAt(log->LineStart(2)), clYellow);
    log->Clear();
    EXPECT_EQ(log->LineCount(), 0u);
    EXPECT_EQ(::GetWindowTextLengthA(log->Handle()), 0);
}
