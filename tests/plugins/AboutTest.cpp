// The About box: its fixed, stay-on-top window with only a system menu,
// centred on the screen, the red bold underlined title, and OK closing it.
#include "programmer/About.h"

#include "tests/plugins/PlugInsTestSupport.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    tk::ScriptedModalForms modal{[](tk::Form&) { ADD_FAILURE() << "unexpected window"; }};
    TAboutBox about;
};

TEST_F(AboutBoxTest, ShowsTheTitleInRedBoldUnderlinedLetters) {
    EXPECT_EQ(about.Caption(), "About");
    EXPECT_EQ(about.TitleLabel->Caption(), "Raz-Edezadu Divudavizu");
    const tk::Font& font = about.TitleLabel->GetFont();
    EXPECT_EQ(font.color, tk::clRed);
    EXPECT_EQ(font.style, static_cast<unsigned>(tk::fsBold | tk::fsUnderline));
}

TEST_F(AboutBoxTest, IsAFixedStayOnTopWindowWithOnlyASystemMenuCentredOnTheScreen) {
    EXPECT_EQ(about.GetBorderIcons(), static_cast<tk::BorderIcons>(tk::biSystemMenu));
    EXPECT_EQ(about.GetFormStyle(), tk::fsStayOnTop);
    modal.Expect([&](tk::Form&) {
        HWND wnd = about.Handle();
        const LONG style = GetWindowLongA(wnd, GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_FALSE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(IsWindowVisible(wnd));
        RECT window{};
        GetWindowRect(wnd, &window);
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);
        return tk::mrCancel;
    });
    about.ShowModal();
}

TEST_F(AboutBoxTest, OkClosesIt) {
    modal.Expect([&](tk::Form&) {
        SendMessageA(about.OKButton->Handle(), BM_CLICK, 0, 0);
        plugtest::Pump();
        return about.GetModalResult();
    });
    EXPECT_EQ(about.ShowModal(), tk::mrOk);
    EXPECT_FALSE(about.Visible());
}

}  // namespace
