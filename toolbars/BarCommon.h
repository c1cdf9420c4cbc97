// BarCommon: what the toolbar controls share. One dispatcher of the thread's
// window hooks serves any number of clients (toolbar buttons, tool windows);
// a sort with an extra value for the compare function; whether the
// application is in the foreground; helpers for non-client painting and for
// WM_PRINT / WM_PRINTCLIENT; and the routine through which a button asks on
// which edge its toolbar is docked. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tk {
class Control;
class WinControl;
}  // namespace tk

// --- hooks --------------------------------------------------------------------
enum THookEvent : std::uint8_t { heActivateApp, heWindowPosChanged, heDestroyingWindow, heMouseMovePosted };
// A set of THookEvent: bit (1 << event).
using THookEvents = std::uint8_t;
constexpr THookEvents HookEvents(std::initializer_list<THookEvent> events) {
    THookEvents set = 0;
    for (THookEvent e : events) set = static_cast<THookEvents>(set | (1u << e));
    return set;
}

// The three kinds of hook the dispatcher installs, in installation order.
enum THookKind : std::uint8_t { hkCallWndProc, hkCbt, hkGetMessage };
using THookKinds = std::uint8_t;  // bit (1 << kind)

// Called on the user-interface thread from inside its message processing.
using THookClientProc = void (*)(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam);

// Adds one registration of `proc`. The events of the first registration are
// the ones delivered; `designTime` lists the client without installing hooks.
void RegisterHookClient(THookClientProc proc, THookEvents events, bool designTime);
// Removes one registration of `proc` and detaches exactly the hooks that
// registration attached. Unknown procedures change nothing.
void UnregisterHookClient(THookClientProc proc);
THookKinds HookEventsToKinds(THookEvents events);
void AttachHooks(THookKinds kinds);
void DetachHooks(THookKinds kinds, bool force);
// Removes every hook whatever its count and forgets every client. The program
// calls it once before it ends; nothing does it behind its back.
void ShutdownHooks();

LRESULT CALLBACK HookCallWndProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HookCbt(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK HookGetMessage(int code, WPARAM wParam, LPARAM lParam);

// What the dispatcher holds now (for tests and diagnostics).
struct THookKindState {
    HHOOK handle = nullptr;
    int useCount = 0;
};
THookKindState HookKindState(THookKind kind);
// RefCount of the client record of `proc`, 0 when it is not listed.
int HookClientRefCount(THookClientProc proc);
bool HookClientListExists();

// --- docking query -------------------------------------------------------------
enum TDockPosition : std::uint8_t { dpTop, dpBottom, dpLeft, dpRight };
// What DockPosQuery answers when no docked tool window holds the control.
constexpr TDockPosition dpNotDocked = static_cast<TDockPosition>(4);
using TDockPosQueryProc = TDockPosition (*)(tk::Control* control);
// Set by the tool windows; empty until one exists.
extern TDockPosQueryProc DockPosQuery;

// --- helpers -------------------------------------------------------------------
// Sorts `list` in place with compare(a, b, extra) < 0 when a goes before b.
// Not stable: the compare function settles ties itself.
template <class T, class Compare, class Extra>
void SortListWithData(std::vector<T>& list, Compare compare, Extra extra) {
    if (list.size() < 2) return;
    auto sort = [&](auto& self, std::ptrdiff_t l, std::ptrdiff_t r) -> void {
        do {
            std::ptrdiff_t i = l;
            std::ptrdiff_t j = r;
            const T pivot = list[static_cast<std::size_t>((l + r) / 2)];
            do {
                while (compare(list[static_cast<std::size_t>(i)], pivot, extra) < 0) ++i;
                while (compare(list[static_cast<std::size_t>(j)], pivot, extra) > 0) --j;
                if (i <= j) {
                    std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j) self(self, l, j);
            l = i;
        } while (l < r);
    };
    sort(sort, 0, static_cast<std::ptrdiff_t>(list.size()) - 1);
}

// True when this thread owns the active window (the program is in front).
bool AppHasActiveWindow();

// The flags of GetWindowDC, so that tk::WindowDC can own a DC of the whole
// window (frame included) for the non-client painters.
constexpr DWORD kWholeWindowDC = DCX_WINDOW | 0x00010000 /* DCX_USESTYLE */;

// A line from `from` up to (not including) `to` in `pen`, which is selected
// for the line alone.
void DrawLineWith(HDC dc, HPEN pen, POINT from, POINT to);

// Prepares a whole-window DC for non-client painting: clips it to the
// WM_NCPAINT region `rgn` (screen coordinates; 0 and 1 mean the whole window).
void ClipToNCUpdateRegion(HWND wnd, HDC dc, HRGN rgn);

using TNCPaintProc = void (*)(HWND wnd, HDC dc, LPARAM appData);
// Answers WM_PRINT (wParam = the DC, lParam = PRF_* flags) for a window whose
// frame the library draws; returns the message result (1).
LRESULT PrintWindowWithFrame(HWND wnd, WPARAM wParam, LPARAM lParam, TNCPaintProc ncPaint, LPARAM appData);
// Answers WM_PRINTCLIENT: the control and its windowless children paint into
// the DC of wParam.
LRESULT PrintClientArea(tk::WinControl& control, WPARAM wParam);
