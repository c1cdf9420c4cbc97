// BarCommon: the hook dispatcher and the shared painting helpers.
#include "toolbars/BarCommon.h"

#include "toolkit/Control.h"
#include "toolkit/Graphics.h"

#include <algorithm>
#include <array>
#include <memory>

TDockPosQueryProc DockPosQuery = nullptr;

namespace {

struct HookClient {
    THookClientProc proc;
    THookEvents events;
    // One entry per registration: the hook kinds that registration attached
    // (none at design time). Unregistering detaches exactly the last entry's.
    std::vector<THookKinds> attached;
    // Identifies the record across a dispatch, in which clients may leave.
    unsigned serial;
};

struct KindInfo {
    int idHook;
    HOOKPROC proc;
};

const std::array<KindInfo, 3> kKinds = {{
    {WH_CALLWNDPROC, HookCallWndProc},
    {WH_CBT, HookCbt},
    {WH_GETMESSAGE, HookGetMessage},
}};

const std::array<THookKind, 4> kEventKinds = {hkCallWndProc, hkCallWndProc, hkCbt, hkGetMessage};

// The dispatcher's whole state: one object, so shutdown can clear it.
struct HookState {
    std::unique_ptr<std::vector<HookClient>> clients;  // absent while nobody is registered
    std::array<HHOOK, 3> handles{};
    std::array<int, 3> useCounts{};
    unsigned nextSerial = 1;
};

HookState& State() {
    static HookState state;
    return state;
}

bool ClientListed(unsigned serial) {
    const auto& clients = State().clients;
    if (!clients) return false;
    return std::any_of(clients->begin(), clients->end(), [serial](const HookClient& c) { return c.serial == serial; });
}

// Calls every client subscribed to `event`. Works on a snapshot so that a
// client may register or unregister from inside; a client removed meanwhile
// is skipped, and no record is read after the list changed under it.
void Dispatch(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam) {
    if (!State().clients) return;
    struct Entry {
        THookClientProc proc;
        unsigned serial;
    };
    Entry snapshot[32];
    std::vector<Entry> many;
    std::size_t count = 0;
    const THookEvents bit = static_cast<THookEvents>(1u << event);
    for (const HookClient& c : *State().clients) {
        if (!(c.events & bit)) continue;
        if (count < std::size(snapshot)) snapshot[count] = Entry{c.proc, c.serial};
        else many.push_back(Entry{c.proc, c.serial});
        ++count;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& e = i < std::size(snapshot) ? snapshot[i] : many[i - std::size(snapshot)];
        if (i > 0 && !ClientListed(e.serial)) continue;
        try {
            e.proc(event, wnd, wParam, lParam);
        } catch (...) {
            // A client's fault must not keep the others or the next hook from running.
        }
    }
}

}  // namespace

THookKinds HookEventsToKinds(THookEvents events) {
    THookKinds kinds = 0;
    for (unsigned e = 0; e < kEventKinds.size(); ++e)
        if (events & (1u << e)) kinds = static_cast<THookKinds>(kinds | (1u << kEventKinds[e]));
    return kinds;
}

void AttachHooks(THookKinds kinds) {
    HookState& s = State();
    for (unsigned k = 0; k < kKinds.size(); ++k) {
        if (!(kinds & (1u << k))) continue;
        ++s.useCounts[k];
        if (!s.handles[k])
            s.handles[k] = ::SetWindowsHookExA(kKinds[k].idHook, kKinds[k].proc, nullptr, ::GetCurrentThreadId());
    }
}

void DetachHooks(THookKinds kinds, bool force) {
    HookState& s = State();
    for (unsigned k = 0; k < kKinds.size(); ++k) {
        if (!(kinds & (1u << k))) continue;
        if (s.useCounts[k] >= 1) --s.useCounts[k];
        if ((force || s.useCounts[k] == 0) && s.handles[k]) {
            ::UnhookWindowsHookEx(s.handles[k]);
            s.handles[k] = nullptr;
        }
    }
}

void RegisterHookClient(THookClientProc proc, THookEvents events, bool designTime) {
    HookState& s = State();
    if (!s.clients) s.clients = std::make_unique<std::vector<HookClient>>();
    const THookKinds kinds = designTime ? 0 : HookEventsToKinds(events);
    auto it = std::find_if(s.clients->begin(), s.clients->end(), [proc](const HookClient& c) { return c.proc == proc; });
    if (it != s.clients->end()) {
        it->attached.push_back(kinds);
    } else {
        s.clients->push_back(HookClient{proc, events, {kinds}, s.nextSerial++});
    }
    if (kinds) AttachHooks(kinds);
}

void UnregisterHookClient(THookClientProc proc) {
    HookState& s = State();
    if (!s.clients) return;
    auto it = std::find_if(s.clients->begin(), s.clients->end(), [proc](const HookClient& c) { return c.proc == proc; });
    if (it != s.clients->end()) {
        const THookKinds kinds = it->attached.back();
        it->attached.pop_back();
        if (it->attached.empty()) s.clients->erase(it);
        if (kinds) DetachHooks(kinds, false);
    }
    if (s.clients->empty()) s.clients.reset();
}

void ShutdownHooks() {
    DetachHooks(static_cast<THookKinds>((1u << hkCallWndProc) | (1u << hkCbt) | (1u << hkGetMessage)), true);
    HookState& s = State();
    s.useCounts = {};
    s.clients.reset();
}

THookKindState HookKindState(THookKind kind) {
    return THookKindState{State().handles[kind], State().useCounts[kind]};
}

int HookClientRefCount(THookClientProc proc) {
    const auto& clients = State().clients;
    if (!clients) return 0;
    for (const HookClient& c : *clients)
        if (c.proc == proc) return static_cast<int>(c.attached.size());
    return 0;
}

bool HookClientListExists() { return State().clients != nullptr; }

// The hook procedures run inside the system's message processing: nothing
// may unwind through them, and the next hook is always called.
LRESULT CALLBACK HookCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HC_ACTION && State().clients) {
            const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (msg->message == WM_ACTIVATEAPP)
                Dispatch(heActivateApp, msg->hwnd, msg->wParam, msg->lParam);
            else if (msg->message == WM_WINDOWPOSCHANGED)
                Dispatch(heWindowPosChanged, msg->hwnd, msg->wParam, msg->lParam);
        }
    } catch (...) {
    }
    return ::CallNextHookEx(State().handles[hkCallWndProc], code, wParam, lParam);
}

LRESULT CALLBACK HookCbt(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HCBT_DESTROYWND && State().clients)
            Dispatch(heDestroyingWindow, reinterpret_cast<HWND>(wParam), 0, 0);
    } catch (...) {
    }
    return ::CallNextHookEx(State().handles[hkCbt], code, wParam, lParam);
}

LRESULT CALLBACK HookGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (code == HC_ACTION && State().clients) {
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg->message == WM_MOUSEMOVE) Dispatch(heMouseMovePosted, msg->hwnd, msg->wParam, msg->lParam);
        }
    } catch (...) {
    }
    return ::CallNextHookEx(State().handles[hkGetMessage], code, wParam, lParam);
}

// --- helpers -------------------------------------------------------------------

bool AppHasActiveWindow() { return ::GetActiveWindow() != nullptr; }

void DrawLineWith(HDC dc, HPEN pen, POINT from, POINT to) {
    const tk::SelectGuard selected(dc, pen);
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
}

void ClipToNCUpdateRegion(HWND wnd, HDC dc, HRGN rgn) {
    if (reinterpret_cast<UINT_PTR>(rgn) <= 1) return;
    RECT wr{};
    ::GetWindowRect(wnd, &wr);
    if (::SelectClipRgn(dc, rgn) == ERROR) {
        tk::RegionHandle whole(::CreateRectRgnIndirect(&wr));
        ::SelectClipRgn(dc, whole.Get());
    }
    ::OffsetClipRgn(dc, -wr.left, -wr.top);
}

namespace {

struct PrintChildData {
    HWND printing;
    HDC dc;
    LPARAM flags;
};

void MoveOrigin(HDC dc, POINT by) {
    POINT origin{};
    ::GetViewportOrgEx(dc, &origin);
    ::SetViewportOrgEx(dc, origin.x + by.x, origin.y + by.y, nullptr);
}

BOOL CALLBACK PrintChildWindow(HWND wnd, LPARAM param) {
    try {
        const auto* data = reinterpret_cast<const PrintChildData*>(param);
        if (reinterpret_cast<HWND>(::GetWindowLongPtrA(wnd, GWLP_HWNDPARENT)) != data->printing) return TRUE;
        if (!(::GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE)) return TRUE;
        RECT r{};
        ::GetWindowRect(wnd, &r);
        ::MapWindowPoints(nullptr, data->printing, reinterpret_cast<POINT*>(&r), 2);
        tk::SaveDCGuard saved(data->dc);
        MoveOrigin(data->dc, POINT{r.left, r.top});
        ::IntersectClipRect(data->dc, 0, 0, r.right - r.left, r.bottom - r.top);
        ::SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(data->dc), data->flags);
    } catch (...) {
    }
    return TRUE;
}

}  // namespace

LRESULT PrintWindowWithFrame(HWND wnd, WPARAM wParam, LPARAM lParam, TNCPaintProc ncPaint, LPARAM appData) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    if ((lParam & PRF_CHECKVISIBLE) && !::IsWindowVisible(wnd)) return 1;
    tk::SaveDCGuard whole(dc);
    if ((lParam & PRF_NONCLIENT) && ncPaint) {
        tk::SaveDCGuard frame(dc);
        ncPaint(wnd, dc, appData);
    }
    RECT wr{};
    ::GetWindowRect(wnd, &wr);
    POINT client{0, 0};
    ::ClientToScreen(wnd, &client);
    const POINT clientOrigin{client.x - wr.left, client.y - wr.top};
    if (lParam & PRF_CLIENT) {
        if (lParam & PRF_ERASEBKGND) {
            tk::SaveDCGuard erase(dc);
            if (lParam & PRF_NONCLIENT) MoveOrigin(dc, clientOrigin);
            ::SendMessageA(wnd, WM_ERASEBKGND, wParam, 0);
        }
        {
            tk::SaveDCGuard inside(dc);
            if (lParam & PRF_NONCLIENT) MoveOrigin(dc, clientOrigin);
            ::SendMessageA(wnd, WM_PRINTCLIENT, wParam, 0);
        }
        MoveOrigin(dc, clientOrigin);
        if (lParam & PRF_CHILDREN) {
            PrintChildData data{wnd, dc, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN};
            ::EnumChildWindows(wnd, PrintChildWindow, reinterpret_cast<LPARAM>(&data));
        }
        if (lParam & PRF_OWNED) {
            PrintChildData data{wnd, dc, lParam};
            ::EnumWindows(PrintChildWindow, reinterpret_cast<LPARAM>(&data));
        }
    }
    return 1;
}

LRESULT PrintClientArea(tk::WinControl& control, WPARAM wParam) {
    tk::SaveDCGuard saved(reinterpret_cast<HDC>(wParam));
    control.Perform(WM_PAINT, wParam, 0);
    return 0;
}
