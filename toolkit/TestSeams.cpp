// TestSeams: the test doubles behind the seams.
#include "toolkit/TestSeams.h"

#include "toolkit/Forms.h"

#include <algorithm>

namespace tk {

ScriptedMessages::ScriptedMessages(std::function<void(const MessageRequest&)> onUnanswered)
    : override_(MessageSeam(), *this), onUnanswered_(std::move(onUnanswered)) {}

ScriptedMessages::~ScriptedMessages() = default;

ModalResult ScriptedMessages::Show(const MessageRequest& request) {
    shown_.push_back(request);
    if (answers_.empty()) {
        unanswered_.push_back(request);
        if (onUnanswered_) onUnanswered_(request);
        return fallback;
    }
    ModalResult r = answers_.front();
    answers_.pop_front();
    return r;
}

std::vector<std::string> ScriptedMessages::Texts() const {
    std::vector<std::string> out;
    for (const auto& r : shown_) out.push_back(r.text);
    return out;
}

void ScriptedMessages::Clear() {
    answers_.clear();
    shown_.clear();
    unanswered_.clear();
}

ScriptedFileDialogs::ScriptedFileDialogs(Seam<FileDialogService>& seam,
                                         std::function<void(const FileDialogRequest&)> onUnanswered)
    : seam_(seam), previous_(seam.Replace(this)), onUnanswered_(std::move(onUnanswered)) {}

ScriptedFileDialogs::~ScriptedFileDialogs() { seam_.Replace(previous_); }

bool ScriptedFileDialogs::Execute(FileDialogRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) {
        if (onUnanswered_) onUnanswered_(request);
        return false;
    }
    std::string answer = answers_.front();
    answers_.pop_front();
    if (answer.empty()) return false;
    request.fileName = answer;
    return true;
}

ScriptedModalForms::ScriptedModalForms(std::function<void(Form&)> onUnexpected)
    : override_(ModalFormSeam(), *this), onUnexpected_(std::move(onUnexpected)) {}

ScriptedModalForms::~ScriptedModalForms() = default;

ModalResult ScriptedModalForms::RunModal(Form& form) {
    ++shown_;
    if (steps_.empty()) {
        if (onUnexpected_) onUnexpected_(form);
        return mrCancel;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    return step(form);
}

RecordingSleepBeep::RecordingSleepBeep() : override_(SleepBeepSeam(), *this) {}
RecordingSleepBeep::~RecordingSleepBeep() = default;
void RecordingSleepBeep::Sleep(unsigned milliseconds) { sleeps.push_back(milliseconds); }
void RecordingSleepBeep::Beep(unsigned frequency, unsigned milliseconds) { beeps.emplace_back(frequency, milliseconds); }

InterceptedExit::InterceptedExit() : override_(ExitSeam(), *this) {}
InterceptedExit::~InterceptedExit() = default;

void InterceptedExit::Exit(int code) {
    codes.push_back(code);
    throw ExitRequested{code};
}

ManualClock::ManualClock() : override_(ClockSeam(), *this) {}
ManualClock::~ManualClock() = default;

UINT_PTR ManualClock::StartTimer(unsigned intervalMs, std::function<void()> onTick) {
    UINT_PTR id = nextId_++;
    unsigned interval = intervalMs ? intervalMs : 1;
    timers_.push_back(Timer{id, interval, now_ + interval, std::move(onTick)});
    return id;
}

void ManualClock::StopTimer(UINT_PTR id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                  timers_.end());
}

void ManualClock::Advance(DWORD milliseconds) {
    const DWORD end = now_ + milliseconds;
    for (;;) {
        // The earliest due timer fires next; a handler may stop or start timers.
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](const Timer& a, const Timer& b) { return a.due < b.due; });
        if (next == timers_.end() || next->due > end) break;
        now_ = next->due;
        next->due += next->interval;
        std::function<void()> tick = next->onTick;
        tick();
    }
    now_ = end;
}

FakeInput::FakeInput() : override_(InputSeam(), *this) {}
FakeInput::~FakeInput() = default;

SHORT FakeInput::KeyState(int virtualKey) {
    return std::find(keysDown.begin(), keysDown.end(), virtualKey) != keysDown.end() ? static_cast<SHORT>(0x8000) : 0;
}

bool FakeInput::AsyncKeyDown(int virtualKey) {
    return std::find(keysDown.begin(), keysDown.end(), virtualKey) != keysDown.end();
}

ScriptedPopupMenus::ScriptedPopupMenus() : override_(PopupMenuSeam(), *this) {}

ScriptedPopupMenus::~ScriptedPopupMenus() = default;

UINT ScriptedPopupMenus::Track(const PopupMenuRequest& request) {
    requests.push_back(request);
    return onTrack ? onTrack(request) : 0;
}

namespace {

constexpr UINT kStep = WM_APP + 77;
constexpr UINT_PTR kStepTimer = 1;

}  // namespace

StepWindow::StepWindow(std::function<void()> onStep) : onStep_(std::move(onStep)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &StepWindow::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZpStepWindow";
    ::RegisterClassA(&wc);  // fails harmlessly from the second window on
    wnd_ = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

StepWindow::~StepWindow() { ::DestroyWindow(wnd_); }

void StepWindow::PostStep() { ::PostMessageA(wnd_, kStep, 0, 0); }

void StepWindow::StepAfter(UINT milliseconds) { ::SetTimer(wnd_, kStepTimer, milliseconds, nullptr); }

LRESULT CALLBACK StepWindow::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<StepWindow*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self || (msg != kStep && msg != WM_TIMER)) return ::DefWindowProcA(wnd, msg, wParam, lParam);
    if (msg == WM_TIMER) ::KillTimer(wnd, kStepTimer);
    self->onStep_();
    return 0;
}

}  // namespace tk
