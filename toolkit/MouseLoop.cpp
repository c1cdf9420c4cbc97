// MouseLoop: a modal mouse loop that always gives back what it took.
#include "toolkit/MouseLoop.h"

#include "toolkit/Forms.h"
#include "toolkit/Services.h"

namespace tk {

namespace {

// Takes the next message that is not a paint message; when there is none,
// waits for one and answers false. Sent messages are handled inside the
// peek and the wait, so the caller looks at the capture and its controls
// again before it asks for the next.
bool TakeMessageButPaint(MSG& msg) {
    constexpr UINT kNoPaint = PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | kNoPaint)) return true;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT & ~QS_PAINT, MWMO_INPUTAVAILABLE);
    return false;
}

}  // namespace

MouseLoop::MouseLoop(HWND captureWindow, const Component* owner)
    : window_(captureWindow), owner_(owner ? owner->Token() : LifeToken()), hasOwner_(owner != nullptr) {
    App().SuspendHints();
}

MouseLoop::~MouseLoop() {
    Release();
    App().ResumeHints();
}

void MouseLoop::Watch(const Component* other) {
    if (other) watched_.push_back(other->Token());
}

bool MouseLoop::AllAlive() const {
    if (hasOwner_ && !owner_.Alive()) return false;
    for (const LifeToken& t : watched_) {
        if (!t.Alive()) return false;
    }
    return true;
}

void MouseLoop::ClipCursor(const RECT& screenRect) {
    ::ClipCursor(&screenRect);
    clipped_ = true;
}

void MouseLoop::Release() {
    if (clipped_) {
        ::ClipCursor(nullptr);
        clipped_ = false;
    }
    if (captured_) {
        captured_ = false;
        if (::GetCapture() == window_) ::ReleaseCapture();
    }
}

MouseLoop::Outcome MouseLoop::Run(const std::function<Step(const MSG& msg)>& onMessage) {
    ::SetCapture(window_);
    captured_ = true;
    App().ModalStarted();
    struct Finish {
        MouseLoop* loop;
        ~Finish() {
            loop->Release();
            App().ModalFinished();
        }
    } finish{this};
    for (;;) {
        if (!AllAlive()) return Outcome::ControlDied;
        if (::GetCapture() != window_) return Outcome::CaptureLost;
        MSG msg;
        if (!TakeMessageButPaint(msg)) continue;
        if (msg.message == WM_QUIT) {
            // Whoever asked to quit must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return Outcome::Quit;
        }
        const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        if (mouse || key) {
            Step step = onMessage(msg);
            if (!AllAlive()) return Outcome::ControlDied;
            if (step == Step::Finish) return Outcome::Finished;
            if (step == Step::Cancel) return Outcome::Cancelled;
            if (key && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return Outcome::Cancelled;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace tk
