// Services: the real implementations behind the seams that need no window
// of their own (sleep and beep, process exit, timers, input state).
#include "toolkit/Services.h"

#include "toolkit/Forms.h"

#include <map>

namespace tk {

void SleepBeepService::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

void SleepBeepService::Beep(unsigned frequency, unsigned milliseconds) { ::Beep(frequency, milliseconds); }

Seam<SleepBeepService>& SleepBeepSeam() {
    static SleepBeepService real;
    static Seam<SleepBeepService> seam(real);
    return seam;
}

void ExitService::Exit(int code) { ::ExitProcess(static_cast<UINT>(code)); }

Seam<ExitService>& ExitSeam() {
    static ExitService real;
    static Seam<ExitService> seam(real);
    return seam;
}

namespace {

std::map<UINT_PTR, std::function<void()>>& Timers() {
    static std::map<UINT_PTR, std::function<void()>> timers;
    return timers;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    try {
        auto it = Timers().find(id);
        if (it == Timers().end()) return;
        // A copy: the handler may stop (and so erase) its own timer.
        std::function<void()> tick = it->second;
        tick();
    } catch (...) {
        App().HandleException();
    }
}

}  // namespace

DWORD ClockService::Now() { return ::GetTickCount(); }

UINT_PTR ClockService::StartTimer(unsigned intervalMs, std::function<void()> onTick) {
    UINT_PTR id = ::SetTimer(nullptr, 0, intervalMs ? intervalMs : 1, TimerProc);
    if (id) Timers()[id] = std::move(onTick);
    return id;
}

void ClockService::StopTimer(UINT_PTR id) {
    if (!id) return;
    ::KillTimer(nullptr, id);
    Timers().erase(id);
}

Seam<ClockService>& ClockSeam() {
    static ClockService real;
    static Seam<ClockService> seam(real);
    return seam;
}

POINT InputSource::CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

SHORT InputSource::KeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

bool InputSource::AsyncKeyDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

Seam<InputSource>& InputSeam() {
    static InputSource real;
    static Seam<InputSource> seam(real);
    return seam;
}

UINT PopupMenuService::Track(const PopupMenuRequest& request) {
    return static_cast<UINT>(
        ::TrackPopupMenu(request.menu, request.flags | TPM_RETURNCMD, request.x, request.y, 0, request.owner, nullptr));
}

Seam<PopupMenuService>& PopupMenuSeam() {
    static PopupMenuService real;
    static Seam<PopupMenuService> seam(real);
    return seam;
}

}  // namespace tk
