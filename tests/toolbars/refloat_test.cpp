// A bar that floats, docks and floats again throws its first floating parent
// away on the way; freeing the form afterwards must find nothing that still
// points at it (a double click on the handle or a drag does exactly this).
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/Forms.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

#include <memory>

using bartest::Pump;

namespace {

struct RefloatTest : ::testing::Test {
    std::unique_ptr<tk::Form> form;
    TDock* top = nullptr;
    TToolbar* bar = nullptr;

    void SetUp() override {
        form = std::make_unique<tk::Form>();
        form->SetCaption("Refloat");
        form->SetBounds(120, 120, 460, 260);
        top = tk::Create<TDock>(*form);
        top->SetName("Top");
        top->SetParent(form.get());
        bar = tk::Create<TToolbar>(*form);
        bar->SetName("Bar");
        bar->SetCaption("Bar");
        for (int i = 0; i < 3; ++i) tk::Create<TToolbarButton>(*form)->SetParent(bar);
        bar->SetParent(top);
        form->Show();
        Pump();
    }
    void TearDown() override {
        FreeForm();
    }
    void FreeForm() {
        form.reset();
        tk::App().Reset();
        Pump();
    }
};

}  // namespace

TEST_F(RefloatTest, FormFreedAfterFloatDockFloat) {
    bar->SetDockedTo(nullptr);
    Pump();
    bar->SetDockedTo(top);
    Pump();
    bar->SetDockedTo(nullptr);
    Pump();
    EXPECT_TRUE(bar->Floating());
    FreeForm();
    EXPECT_TRUE(TCustomToolWindow::FloatingList().empty());
}

TEST_F(RefloatTest, FormFreedAfterFloatDockFloatDock) {
    for (int i = 0; i < 2; ++i) {
        bar->SetDockedTo(nullptr);
        Pump();
        bar->SetDockedTo(top);
        Pump();
    }
    EXPECT_EQ(bar->DockedTo(), top);
    FreeForm();
    EXPECT_TRUE(TCustomToolWindow::FloatingList().empty());
}

TEST_F(RefloatTest, FormFreedWhileRefloatedBarStillFloats) {
    // The bar floats over the form and the form goes first: the bar is freed
    // with it, whichever floating parent it had before.
    bar->SetDockedTo(nullptr);
    bar->SetDockedTo(top);
    bar->SetDockedTo(nullptr);
    bar->SetDockedTo(top);
    bar->SetDockedTo(nullptr);
    Pump();
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(TCustomToolWindow::FloatingList().size(), 1u);
    FreeForm();
    EXPECT_TRUE(TCustomToolWindow::FloatingList().empty());
}
