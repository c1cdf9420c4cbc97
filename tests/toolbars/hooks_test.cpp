// The shared hook dispatcher and helpers: reference-counted hooks, what each
// hook delivers, fault isolation between clients, and the sort.
#include "toolbars/BarButtons.h"
#include "toolbars/BarCommon.h"
#include "toolbars_support.h"
#include "toolkit/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using bartest::Pump;

namespace {

struct Call {
    THookEvent event;
    HWND wnd;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Call> g_first;
std::vector<Call> g_second;
bool g_firstThrows = false;
bool g_firstUnregistersSecond = false;

void SecondClient(THookEvent e, HWND w, WPARAM wp, LPARAM lp) { g_second.push_back({e, w, wp, lp}); }

void FirstClient(THookEvent e, HWND w, WPARAM wp, LPARAM lp) {
    g_first.push_back({e, w, wp, lp});
    if (g_firstUnregistersSecond) UnregisterHookClient(SecondClient);
    if (g_firstThrows) throw std::runtime_error("client fault");
}

// A plain top-level window of this thread to send and post to.
struct HookTest : ::testing::Test {
    HWND wnd = nullptr;
    void SetUp() override {
        g_first.clear();
        g_second.clear();
        g_firstThrows = false;
        g_firstUnregistersSecond = false;
        wnd = ::CreateWindowExA(0, "STATIC", "hooks", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(wnd);
    }
    void TearDown() override {
        ::DestroyWindow(wnd);
        ShutdownHooks();
        Pump();
    }
};

}  // namespace

TEST_F(HookTest, ButtonsShareOneRecordAndOneHookPerKindUntilTheLastLeaves) {
    auto* a = new TToolbarButton;
    auto* b = new TToolbarButton;
    EXPECT_EQ(HookClientRefCount(ButtonHookProc), 2);
    const THookKindState call = HookKindState(hkCallWndProc);
    const THookKindState get = HookKindState(hkGetMessage);
    EXPECT_NE(call.handle, nullptr);
    EXPECT_EQ(call.useCount, 2);
    EXPECT_NE(get.handle, nullptr);
    EXPECT_EQ(get.useCount, 2);
    EXPECT_EQ(HookKindState(hkCbt).handle, nullptr);  // buttons want no CBT events
    delete a;
    EXPECT_EQ(HookClientRefCount(ButtonHookProc), 1);
    EXPECT_EQ(HookKindState(hkCallWndProc).handle, call.handle);
    EXPECT_EQ(HookKindState(hkGetMessage).useCount, 1);
    delete b;
    EXPECT_EQ(HookKindState(hkCallWndProc).handle, nullptr);
    EXPECT_EQ(HookKindState(hkGetMessage).handle, nullptr);
    EXPECT_FALSE(HookClientListExists());
}

TEST_F(HookTest, EachRegistrationDetachesExactlyWhatItAttached) {
    RegisterHookClient(SecondClient, HookEvents({heActivateApp}), false);
    ASSERT_EQ(HookKindState(hkCallWndProc).useCount, 1);
    // A design-time registration installs nothing, so leaving takes nothing away.
    RegisterHookClient(FirstClient, HookEvents({heActivateApp}), true);
    UnregisterHookClient(FirstClient);
    EXPECT_EQ(HookKindState(hkCallWndProc).useCount, 1);
    EXPECT_NE(HookKindState(hkCallWndProc).handle, nullptr);
    // A later registration with other events: its unregistration removes its own hook.
    RegisterHookClient(FirstClient, HookEvents({heActivateApp}), true);
    RegisterHookClient(FirstClient, HookEvents({heDestroyingWindow}), false);
    EXPECT_EQ(HookClientRefCount(FirstClient), 2);
    EXPECT_NE(HookKindState(hkCbt).handle, nullptr);
    UnregisterHookClient(FirstClient);
    UnregisterHookClient(FirstClient);
    EXPECT_EQ(HookKindState(hkCbt).handle, nullptr);
    EXPECT_EQ(HookKindState(hkCallWndProc).useCount, 1);
    UnregisterHookClient(SecondClient);
    EXPECT_EQ(HookKindState(hkCallWndProc).handle, nullptr);
    UnregisterHookClient(SecondClient);  // not listed: nothing changes
    EXPECT_FALSE(HookClientListExists());
}

TEST_F(HookTest, OnlyAPostedMouseMoveIsAnEvent) {
    RegisterHookClient(FirstClient, HookEvents({heMouseMovePosted}), false);
    ::SendMessageA(wnd, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(3, 4));
    EXPECT_TRUE(g_first.empty());
    ::PostMessageA(wnd, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(3, 4));
    Pump();
    ASSERT_GE(g_first.size(), 1u);
    EXPECT_EQ(g_first[0].event, heMouseMovePosted);
    EXPECT_EQ(g_first[0].wnd, wnd);
    EXPECT_EQ(g_first[0].wParam, static_cast<WPARAM>(MK_SHIFT));
    EXPECT_EQ(g_first[0].lParam, MAKELPARAM(3, 4));
}

TEST_F(HookTest, SentMessagesReachOnlyTheirSubscribers) {
    RegisterHookClient(FirstClient, HookEvents({heActivateApp, heMouseMovePosted}), false);
    RegisterHookClient(SecondClient, HookEvents({heWindowPosChanged, heDestroyingWindow}), false);
    ::SendMessageA(wnd, WM_ACTIVATEAPP, 0, 77);
    ::SetWindowPos(wnd, nullptr, 5, 5, 60, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(g_first.size(), 1u);
    EXPECT_EQ(g_first[0].event, heActivateApp);
    EXPECT_EQ(g_first[0].wParam, 0u);
    EXPECT_EQ(g_first[0].lParam, 77);
    ASSERT_FALSE(g_second.empty());
    EXPECT_EQ(g_second.back().event, heWindowPosChanged);
    g_second.clear();
    HWND doomed = wnd;
    ::DestroyWindow(wnd);
    wnd = nullptr;
    const auto destroyed = std::count_if(g_second.begin(), g_second.end(), [doomed](const Call& c) {
        return c.event == heDestroyingWindow && c.wnd == doomed;
    });
    EXPECT_EQ(destroyed, 1);
}

TEST_F(HookTest, AFaultyOrLeavingClientStopsNoOther) {
    RegisterHookClient(FirstClient, HookEvents({heActivateApp}), false);
    RegisterHookClient(SecondClient, HookEvents({heActivateApp}), false);
    g_firstThrows = true;
    ::SendMessageA(wnd, WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(g_first.size(), 1u);
    EXPECT_EQ(g_second.size(), 1u);  // the exception stayed inside the first client
    // A client removed during a dispatch is not called by it any more.
    g_firstThrows = false;
    g_firstUnregistersSecond = true;
    ::SendMessageA(wnd, WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(g_first.size(), 2u);
    EXPECT_EQ(g_second.size(), 1u);
}

TEST_F(HookTest, ShutdownRemovesEveryHookWhateverItsCount) {
    RegisterHookClient(FirstClient, HookEvents({heActivateApp, heDestroyingWindow, heMouseMovePosted}), false);
    RegisterHookClient(FirstClient, HookEvents({heActivateApp}), false);
    ShutdownHooks();
    for (THookKind k : {hkCallWndProc, hkCbt, hkGetMessage}) {
        EXPECT_EQ(HookKindState(k).handle, nullptr);
        EXPECT_EQ(HookKindState(k).useCount, 0);
    }
    EXPECT_FALSE(HookClientListExists());
    ::SendMessageA(wnd, WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(g_first.empty());
}

TEST(BarHelpers, SortUsesTheExtraValueAndNeverComparesFewerThanTwo) {
    int compares = 0;
    auto byDistance = [&compares](int a, int b, int from) {
        ++compares;
        return std::abs(a - from) - std::abs(b - from);
    };
    std::vector<int> none;
    std::vector<int> one{5};
    SortListWithData(none, byDistance, 0);
    SortListWithData(one, byDistance, 0);
    EXPECT_EQ(compares, 0);
    std::vector<int> values{1, 9, 4, 12, 6, 20, 7};
    SortListWithData(values, byDistance, 10);
    EXPECT_EQ(values, (std::vector<int>{9, 12, 7, 6, 4, 1, 20}));
}

TEST(BarHelpers, ClipToTheWholeWindowRegionLeavesTheDCUnclipped) {
    HWND wnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 100, 100, 40, 30, nullptr, nullptr, nullptr, nullptr);
    HDC dc = ::GetWindowDC(wnd);
    ClipToNCUpdateRegion(wnd, dc, reinterpret_cast<HRGN>(1));
    tk::RegionHandle probe(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetClipRgn(dc, probe.Get()), 0);
    // A real update region is moved into window coordinates.
    tk::RegionHandle update(::CreateRectRgn(110, 105, 120, 115));
    ClipToNCUpdateRegion(wnd, dc, update.Get());
    ASSERT_EQ(::GetClipRgn(dc, probe.Get()), 1);
    RECT box{};
    ::GetRgnBox(probe.Get(), &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 5);
    ::ReleaseDC(wnd, dc);
    ::DestroyWindow(wnd);
}

namespace {

// A framed popup whose frame the "library" draws (red) and whose client
// paints itself blue, printed through the helpers.
class FramedWindow : public tk::CustomControl {
public:
    static void DrawFrame(HWND wnd, HDC dc, LPARAM) {
        RECT r{};
        ::GetWindowRect(wnd, &r);
        tk::BrushHandle red(::CreateSolidBrush(RGB(255, 0, 0)));
        RECT whole{0, 0, r.right - r.left, r.bottom - r.top};
        ::FillRect(dc, &whole, red.Get());
    }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_PRINT: return PrintWindowWithFrame(Handle(), wParam, lParam, DrawFrame, 0);
        case WM_PRINTCLIENT: return PrintClientArea(*this, wParam);
        default: return CustomControl::WndProc(msg, wParam, lParam);
        }
    }

protected:
    void CreateParams(tk::WindowCreateParams& p) override {
        CustomControl::CreateParams(p);
        p.style = WS_POPUP | WS_CAPTION;
        p.x = 50;
        p.y = 50;
        p.width = 80;
        p.height = 60;
    }
    void Paint(tk::Canvas& canvas) override {
        canvas.brush = tk::Brush{tk::clBlue};
        canvas.FillRect(ClientRect());
    }
};

}  // namespace

TEST(BarHelpers, PrintingAFramedWindowPutsFrameAndClientInPlace) {
    FramedWindow window;
    window.SetBounds(50, 50, 80, 60);
    HWND wnd = window.Handle();
    RECT wr{};
    ::GetWindowRect(wnd, &wr);
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    const int dx = origin.x - wr.left;
    const int dy = origin.y - wr.top;
    ASSERT_GT(dy, 0);
    tk::Bitmap out = tk::Bitmap::CreateDIB(wr.right - wr.left, wr.bottom - wr.top);
    ::SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(out.DC()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(bartest::Px(out, 0, 0), 0xFF0000u);
    EXPECT_EQ(bartest::Px(out, dx, dy), 0x0000FFu);
    EXPECT_EQ(bartest::Px(out, dx - 1, dy - 1), 0xFF0000u);
    // Invisible and asked to check: nothing is printed.
    tk::Bitmap none = tk::Bitmap::CreateDIB(20, 20);
    ::SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(none.DC()), PRF_CHECKVISIBLE | PRF_NONCLIENT);
    EXPECT_EQ(bartest::Px(none, 0, 0), 0u);
}
