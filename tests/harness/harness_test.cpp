// Checks the ground the other test areas stand on: a 32-bit process, the
// pinned locale that start-up reads its language module from, and a display.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

TEST(Harness, RunsAsThirtyTwoBitWithPinnedLocaleAndDisplay)
{
    EXPECT_EQ(sizeof(void*), 4u);
    EXPECT_EQ(sizeof(long double), 12u);  // the 80-bit extended type of the port library

    char abbrev[16] = {};
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbrev, sizeof abbrev), 0);
    EXPECT_STREQ(abbrev, "ENU");

    HWND wnd = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    DestroyWindow(wnd);
}
