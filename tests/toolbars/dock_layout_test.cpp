// Row layout of a dock and placement of a toolbar's controls, on objects
// without windows: thickness of empty and filled docks, growing inward,
// equal and out-of-range positions, full-size bars, closing empty rows, the
// drop zones of RowOfPoint; wrapping of a floating toolbar and its candidate
// sizes.
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// A bar with a fixed length and thickness (client pixels).
struct FixedBar : TCustomToolWindow {
    int length = 50;
    int thick = 22;
    int MeasureBarSize(TDockOrientation) override { return thick; }
    void MeasureMinimumSize(int& w, int& h) override { w = h = 0; }
    POINT PlaceControls(bool, TDockOrientation, TDock* dock) override {
        return DockOrientationOf(dock) == doVertical ? POINT{thick, length} : POINT{length, thick};
    }
};

struct DockLayout : ::testing::Test {
    std::unique_ptr<tk::Form> form = std::make_unique<tk::Form>();
    TDock* dock = nullptr;

    void SetUp() override {
        form->SetBounds(0, 0, 420, 300);
        dock = MakeDock(dpTop);
    }
    TDock* MakeDock(TDockPosition position) {
        auto* d = tk::Create<TDock>(*form);
        d->SetPosition(position);
        d->SetAllowDrag(false);  // a 2-pixel frame: bar size = client + 4
        d->SetParent(form.get());
        return d;
    }
    FixedBar* Bar(TDock* in, int row, int pos, int length = 50, int thick = 22) {
        auto* b = tk::Create<FixedBar>(*form);
        b->length = length;
        b->thick = thick;
        b->SetDockRow(row);
        b->SetDockPos(pos);
        b->SetParent(in);
        return b;
    }
};

}  // namespace

TEST_F(DockLayout, EmptyDocksAreZeroOrOnePixelAndABarSetsTheRowThickness) {
    EXPECT_EQ(dock->Height(), 0);
    dock->SetFixAlign(true);
    EXPECT_EQ(dock->Height(), 1);
    dock->SetFixAlign(false);
    EXPECT_EQ(dock->Height(), 0);

    dock->SetBoundLines((1 << blTop) | (1 << blBottom));
    FixedBar* b = Bar(dock, 0, 0);
    EXPECT_EQ(dock->Height(), 26 + 2);  // 22 + 4, plus the two bound lines
    EXPECT_EQ(b->Height(), 26);
    EXPECT_EQ(b->Width(), 54);
    // A row of small bars is at least 8 thick.
    b->thick = 5;
    dock->LayOutRows(false);
    EXPECT_EQ(dock->Height(), 12 + 2);
    // A hidden bar leaves the dock empty again: 0, bound lines not added.
    b->SetVisible(false);
    EXPECT_EQ(dock->Height(), 0);
}

TEST_F(DockLayout, BottomAndRightDocksGrowInward) {
    TDock* bottom = MakeDock(dpBottom);
    TDock* right = MakeDock(dpRight);
    const int bottomEdge = bottom->Top() + bottom->Height();
    const int rightEdge = right->Left() + right->Width();
    Bar(bottom, 0, 0);
    Bar(right, 0, 0, 40, 20);
    EXPECT_EQ(bottom->Height(), 26);
    EXPECT_EQ(bottom->Top() + bottom->Height(), bottomEdge);
    EXPECT_EQ(right->Width(), 24);
    EXPECT_EQ(right->Left() + right->Width(), rightEdge);
    Bar(dock, 0, 0);
    EXPECT_EQ(dock->Top(), 0);
    EXPECT_EQ(dock->Height(), 26);
}

TEST_F(DockLayout, EqualPositionsQueueUpAndPositionsPastTheEndArePulledBack) {
    FixedBar* a = Bar(dock, 0, 0);
    FixedBar* b = Bar(dock, 0, 0);
    // Sorted order of equal positions is not defined: one follows the other.
    FixedBar* first = a->Left() == 0 ? a : b;
    FixedBar* second = first == a ? b : a;
    EXPECT_EQ(first->Left(), 0);
    EXPECT_EQ(second->Left(), 54);
    EXPECT_EQ(first->DockPos(), 0);
    EXPECT_EQ(second->DockPos(), 54);

    const int length = dock->Width();
    second->SetDockPos(length + 100);
    EXPECT_EQ(second->Left(), length - 54);
    EXPECT_EQ(second->DockPos(), length + 100);  // only drawn there
    dock->LayOutRows(true);
    EXPECT_EQ(second->DockPos(), length - 54);
    // Both pulled back from the end, in order, without overlapping.
    first->SetDockPos(length);
    EXPECT_EQ(first->Left(), length - 54);
    EXPECT_EQ(second->Left(), length - 108);
    // A row longer than the dock starts at 0 and runs past its end.
    first->length = second->length = length;
    dock->LayOutRows(false);
    first->Rearrange();
    second->Rearrange();
    EXPECT_EQ(std::min(first->Left(), second->Left()), 0);
    EXPECT_EQ(std::max(first->Left(), second->Left()), length + 4);
}

TEST_F(DockLayout, FullSizeBarsTakeARowEmptyRowsCloseHiddenRowsTakeNoSpace) {
    FixedBar* a = Bar(dock, 0, 10);
    FixedBar* full = Bar(dock, 0, 30);
    full->SetFullSize(true);
    dock->LayOutRows(false);
    EXPECT_EQ(full->DockRow(), 0);
    EXPECT_EQ(a->DockRow(), 1);
    EXPECT_EQ(full->Left(), 0);
    EXPECT_EQ(full->Width(), dock->Width() - dock->BoundLinesWidth());
    EXPECT_EQ(a->Top(), 26);

    // Rows 0, 3 and 5 close up to 0, 1 and 2.
    full->SetFullSize(false);
    full->SetDockRow(3);
    FixedBar* c = Bar(dock, 5, 0);
    dock->LayOutRows(false);
    EXPECT_EQ(a->DockRow(), 0);
    EXPECT_EQ(full->DockRow(), 1);
    EXPECT_EQ(c->DockRow(), 2);
    // A row of hidden bars keeps its number but no pixels and no gap.
    full->SetVisible(false);
    EXPECT_EQ(full->DockRow(), 1);
    EXPECT_EQ(c->Top(), 26);
    EXPECT_EQ(dock->Height(), 52);
    EXPECT_EQ(dock->RowThickness().at(1), 0);

    dock->SetLimitToOneRow(true);
    dock->LayOutRows(false);
    EXPECT_EQ(a->DockRow(), 0);
    EXPECT_EQ(full->DockRow(), 0);
    EXPECT_EQ(c->DockRow(), 0);
    EXPECT_EQ(dock->Height(), 26);
}

TEST_F(DockLayout, RowOfPointAsksForNewRowsAtLeadingEdgesAndBelowTheLast) {
    Bar(dock, 0, 0);        // row 0: 22, spans 0..26
    Bar(dock, 1, 0, 50, 30);  // row 1: 30, spans 26..60
    bool before = false;
    EXPECT_EQ(dock->RowOfPoint(0, before), 0);
    EXPECT_TRUE(before);
    EXPECT_EQ(dock->RowOfPoint(4, before), 0);
    EXPECT_TRUE(before);
    EXPECT_EQ(dock->RowOfPoint(5, before), 0);
    EXPECT_FALSE(before);
    EXPECT_EQ(dock->RowOfPoint(20, before), 0);
    EXPECT_FALSE(before);
    // The trailing 5 pixels of row 0 fall to the leading zone of row 1.
    EXPECT_EQ(dock->RowOfPoint(21, before), 1);
    EXPECT_TRUE(before);
    EXPECT_EQ(dock->RowOfPoint(30, before), 1);
    EXPECT_TRUE(before);
    EXPECT_EQ(dock->RowOfPoint(31, before), 1);
    EXPECT_FALSE(before);
    EXPECT_EQ(dock->RowOfPoint(56, before), 2);
    EXPECT_TRUE(before);
    EXPECT_EQ(dock->RowOfPoint(500, before), 2);
    EXPECT_FALSE(before);
    EXPECT_EQ(dock->DesignRowOfPoint(25), 0);
    EXPECT_EQ(dock->DesignRowOfPoint(26), 1);
    EXPECT_EQ(dock->DesignRowOfPoint(60), 2);
}

// --- toolbar placement -------------------------------------------------------

namespace {

struct ToolbarPlacement : DockLayout {
    TToolbar* bar = nullptr;
    void SetUp() override {
        DockLayout::SetUp();
        bar = tk::Create<TToolbar>(*form);
        bar->SetName("Bar");
    }
    TToolbarButton* Button() {
        auto* b = tk::Create<TToolbarButton>(*form);
        b->SetParent(bar);
        return b;
    }
    TToolbarSep* Sep() {
        auto* s = tk::Create<TToolbarSep>(*form);
        s->SetParent(bar);
        return s;
    }
    POINT Floating() { return bar->PlaceControls(true, doNotDocked, nullptr); }
};

}  // namespace

TEST_F(ToolbarPlacement, EmptyToolbarsHaveTheMinimumSizes) {
    POINT f = bar->PlaceControls(false, doNotDocked, nullptr);
    EXPECT_EQ(f.x, 16);
    EXPECT_EQ(f.y, 11);
    POINT d = bar->PlaceControls(false, doHorizontal, dock);
    EXPECT_EQ(d.x, 8);
    EXPECT_EQ(d.y, 8);
}

TEST_F(ToolbarPlacement, FloatingLinesWrapAtSeparatorsThenInsideGroups) {
    TToolbarButton* b1 = Button();
    TToolbarButton* b2 = Button();
    TToolbarSep* sep = Sep();
    TToolbarButton* b3 = Button();
    TToolbarButton* b4 = Button();

    POINT one = Floating();
    EXPECT_EQ(one.x, 4 + 46 + 6 + 46 + 4);
    EXPECT_EQ(one.y, 2 + 22 + 1);
    EXPECT_EQ(sep->Width(), 6);
    EXPECT_TRUE(bar->SeparatorLines().empty());

    // Two lines, broken at the separator: it shrinks to 0 and becomes a line.
    bar->SetFloatingRightX(one.x - 1);
    POINT two = Floating();
    EXPECT_EQ(two.x, 54);
    EXPECT_EQ(two.y, 30 + 22 + 1);
    EXPECT_EQ(sep->Width(), 0);
    ASSERT_EQ(bar->SeparatorLines().size(), 1u);
    EXPECT_EQ(bar->SeparatorLines()[0], 30u);
    EXPECT_EQ(b3->Left(), 4);
    EXPECT_EQ(b3->Top(), 30);
    EXPECT_EQ(b2->Left(), 27);

    // Narrower: the groups break inside too (no gap inside a group).
    bar->SetFloatingRightX(53);
    POINT four = Floating();
    EXPECT_EQ(four.x, 31);
    EXPECT_EQ(four.y, 74 + 22 + 1);
    EXPECT_EQ(b1->Top(), 2);
    EXPECT_EQ(b2->Top(), 24);
    EXPECT_EQ(b3->Top(), 52);
    EXPECT_EQ(b4->Top(), 74);

    // An edge narrower than the widest button still shows it whole.
    b2->SetWidth(40);
    bar->SetFloatingRightX(10);
    POINT narrow = Floating();
    EXPECT_EQ(narrow.x, 4 + 40 + 4);
    EXPECT_EQ(b2->Left(), 4);

    // Docked, the same toolbar never wraps.
    b2->SetWidth(23);
    POINT docked = bar->PlaceControls(false, doHorizontal, dock);
    EXPECT_EQ(docked.x, 46 + 6 + 46);
    EXPECT_EQ(docked.y, 22);
}

TEST_F(ToolbarPlacement, CandidateSizesListTheNarrowestWidthOfEachLineCount) {
    Button();
    Button();
    Button();
    std::vector<POINT> sizes;
    bar->SetFloatingRightX(33);
    bar->ListCandidateSizes(sizes);
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].x, 77);
    EXPECT_EQ(sizes[0].y, 25);
    EXPECT_EQ(sizes[1].x, 54);
    EXPECT_EQ(sizes[1].y, 47);
    EXPECT_EQ(sizes[2].x, 31);
    EXPECT_EQ(sizes[2].y, 69);
    EXPECT_EQ(bar->FloatingRightX(), 33);  // restored

    Sep();
    Button();
    Button();
    bar->ListCandidateSizes(sizes);
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].x, 4 + 69 + 6 + 46 + 4);
    // Every candidate is narrower and taller than the one before.
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_LT(sizes[i].x, sizes[i - 1].x);
        EXPECT_GT(sizes[i].y, sizes[i - 1].y);
    }
    EXPECT_EQ(sizes.back().x, 31);
}

TEST_F(ToolbarPlacement, DockedToolbarsCentreTheirControlsInTheRow) {
    TToolbarButton* b = Button();
    TToolbarButton* tall = Button();
    tall->SetHeight(30);
    bar->SetParent(dock);
    EXPECT_EQ(dock->RowThickness().at(0), 30);
    EXPECT_EQ(b->Top(), 4);  // (30 - 22) / 2
    EXPECT_EQ(tall->Top(), 0);
    EXPECT_EQ(bar->Height(), 34);
    EXPECT_EQ(bar->Width(), 46 + 4);
}

TEST(DraggingOutline, DrawingTheSameRectangleTwiceErasesIt) {
    tk::Bitmap dib = tk::Bitmap::CreateDIB(60, 40);
    tk::MemoryDCHandle dc = tk::CreateMemoryDC();
    tk::SelectGuard sel(dc.Get(), dib.Handle());
    RECT all{0, 0, 60, 40};
    ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    auto px = [&](int x, int y) {
        ::GdiFlush();
        return dib.Bits()[y * 60 + x] & 0xFFFFFF;
    };
    const RECT docked{10, 10, 50, 30};
    DrawDraggingOutline(dc.Get(), &docked, nullptr, true, false, 4);
    // A 1-pixel half-tone ring: every other pixel of the edge inverted.
    EXPECT_NE(px(10, 10) ^ px(11, 10), 0u);
    EXPECT_EQ(px(12, 12), 0xFFFFFFu);  // inside untouched
    // Moving to a floating outline (4 thick) erases the old ring as it draws.
    const RECT floating{12, 12, 52, 32};
    DrawDraggingOutline(dc.Get(), &floating, &docked, false, true, 4);
    EXPECT_EQ(px(10, 20), 0xFFFFFFu);
    int inverted = 0;
    for (int x = 12; x < 16; ++x) inverted += px(x, 20) != 0xFFFFFFu;
    EXPECT_EQ(inverted, 2);
    DrawDraggingOutline(dc.Get(), nullptr, &floating, false, false, 4);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(px(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(DockLayout, OnResizeFiresOncePerSizeChangeWithTheRowsLaidOut) {
    FixedBar* bar = Bar(dock, 0, 300);
    std::vector<int> leftSeen;
    dock->OnResize = [&](tk::Component*) { leftSeen.push_back(bar->Left()); };
    form->SetBounds(0, 0, 200, 300);
    // The bar past the new end was already pulled back when the handler ran.
    ASSERT_EQ(leftSeen.size(), 1u);
    EXPECT_EQ(leftSeen[0], dock->Width() - 54);
}

TEST_F(ToolbarPlacement, FreedChildrenLeaveTheOrderListAndLongSeparatorsDoNotOverflow) {
    TToolbarButton* first = Button();
    TToolbarButton* gone = Button();
    bar->PlaceControls(false, doNotDocked, nullptr);
    tk::Free(gone);
    // Nothing of the freed button is left to read or to be mistaken for a new one.
    EXPECT_EQ(bar->OrderList(), std::vector<tk::Control*>{first});

    TToolbarSep* sep = Sep();
    sep->SetSizeHorz(2147483647);
    TToolbarButton* after = Button();
    bar->SetParent(dock);
    EXPECT_GT(after->Left(), sep->Left());
    EXPECT_GT(bar->Width(), 2147483647 / 4);
    EXPECT_EQ(bar->Height(), 22 + 4);
}

// The row layout as data: no dock, no bars, no windows.
TEST(DockRowsAsData, RowsQueueUpPullBackPastTheEndAndStackAcross) {
    // Row 0: two bars wanting the same place, one past the end; row 1: a
    // full-size bar; a hidden bar keeps its place and takes no room.
    const std::vector<TDockBarSlot> bars = {
        {0, 10, 50, false, true}, {0, 10, 40, false, true}, {0, 500, 30, false, true},
        {1, 7, 20, true, true},   {1, 90, 25, false, false},
    };
    const TDockRowsLayout h = LayOutDockRows(bars, {22, 26}, 200, false);
    EXPECT_EQ(h.positions, (std::vector<int>{10, 60, 500, 0, 90}));
    EXPECT_EQ(h.places, (std::vector<int>{10, 60, 170, 0, 90}));
    EXPECT_EQ(h.bounds[1].left, 60);
    EXPECT_EQ(h.bounds[1].right, 100);
    EXPECT_EQ(h.bounds[2].left, 170);
    EXPECT_EQ(h.bounds[2].bottom, 26);
    EXPECT_EQ(h.bounds[3].top, 26);
    EXPECT_EQ(h.bounds[3].right, 200);  // full size: the dock's length
    EXPECT_EQ(h.bounds[4].right, 0);    // hidden: not placed
    EXPECT_EQ(h.thickness, 26 + 30);

    // A row longer than the dock: pulled back from the end, pushed on from the start.
    const TDockRowsLayout tight = LayOutDockRows({{0, 0, 80, false, true}, {0, 0, 80, false, true}}, {22}, 100, true);
    EXPECT_EQ(tight.places, (std::vector<int>{0, 80}));
    EXPECT_EQ(tight.bounds[1].top, 80);
    EXPECT_EQ(tight.bounds[1].right, 26);  // vertical: rows go across as columns
    // An empty row adds nothing; no rows, no thickness.
    EXPECT_EQ(LayOutDockRows({{1, 0, 10, false, true}}, {0, 8}, 50, false).bounds[0].top, 0);
    EXPECT_EQ(LayOutDockRows({}, {}, 50, false).thickness, 0);
}

// A toolbar's lines as data: no toolbar, no windows.
TEST(ToolbarLinesAsData, FloatingLinesWrapAtSeparatorsThenInsideAGroupDockedOnesCentre) {
    const TToolbarItem button{20, 22, false, false};
    const TToolbarItem sep{6, 0, true, true};
    TToolbarLineRules floating{true, false, 60, 22, 22};
    // Two groups of two: the second goes to a new line, its separator shrinks to a drawn line.
    const TToolbarLines wrapped = LayOutToolbarLines({button, button, sep, button, button}, floating);
    EXPECT_EQ(wrapped.bounds[1], (TToolbarItemBounds{24, 2, 20, 22}));
    EXPECT_EQ(wrapped.bounds[2], (TToolbarItemBounds{44, 2, 0, 22}));
    EXPECT_EQ(wrapped.bounds[3], (TToolbarItemBounds{4, 30, 20, 22}));
    EXPECT_EQ(wrapped.separatorLines, (std::vector<std::uint32_t>{30u | (1u << 16)}));
    EXPECT_EQ(wrapped.size.x, 48);
    EXPECT_EQ(wrapped.size.y, 53);
    // One group wider than the limit breaks inside itself, without a separator line.
    floating.limit = 50;
    const TToolbarLines broken = LayOutToolbarLines({button, button, button}, floating);
    EXPECT_EQ(broken.bounds[2], (TToolbarItemBounds{4, 24, 20, 22}));
    EXPECT_TRUE(broken.separatorLines.empty());
    EXPECT_EQ(broken.size.y, 47);
    EXPECT_EQ(LayOutToolbarLines({}, floating).size.x, 16);

    // Docked down a vertical dock: a control centred across a thicker row, a separator spanning it.
    const TToolbarLines docked = LayOutToolbarLines({{20, 24, false, false}, {6, 0, true, false}}, {false, true, 0, 24, 30});
    EXPECT_EQ(docked.bounds[0], (TToolbarItemBounds{3, 0, 24, 20}));
    EXPECT_EQ(docked.bounds[1], (TToolbarItemBounds{0, 20, 30, 6}));
    EXPECT_EQ(docked.size.x, 24);
    EXPECT_EQ(docked.size.y, 26);
    // A separator as long as an int goes: what follows is pushed far on, not wrapped round.
    const TToolbarLines pushed = LayOutToolbarLines({button, {INT_MAX, 0, true, false}, button}, {false, false, 0, 22, 22});
    EXPECT_EQ(pushed.bounds[1].width, INT_MAX);
    EXPECT_GT(pushed.bounds[2].left, 20);
    EXPECT_EQ(pushed.size.x, pushed.bounds[2].left);
}
