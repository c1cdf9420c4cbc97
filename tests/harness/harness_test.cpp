// Checks the ground the other test areas stand on: a process of the variant
// the tests were built for (32-bit, the product, or 64-bit), the pinned
// locale that start-up reads its language module from, and a display.
#include <gtest/gtest.h>
#include <windows.h>
#include <limits>
#include <string>

TEST(Harness, RunsAsItsVariantWithPinnedLocaleAndDisplay)
{
#if defined(__x86_64__)
    EXPECT_EQ(sizeof(void*), 8u);
    BOOL wow64 = TRUE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_FALSE(wow64);
#else
    EXPECT_EQ(sizeof(void*), 4u);
    EXPECT_EQ(sizeof(long double), 12u);
#endif
    EXPECT_EQ(std::numeric_limits<long double>::digits, 64);  // the port library's 80-bit extended type

    char abbrev[16] = {};
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbrev, sizeof abbrev), 0);
    EXPECT_STREQ(abbrev, "ENU");

    HWND wnd = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    DestroyWindow(wnd);
}
