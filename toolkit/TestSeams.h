// TestSeams: ready test doubles for the seams of Services.h. Each installs
// itself for its lifetime (construct one in a test or fixture) and restores
// the previous implementation when destroyed.
#pragma once

#include "toolkit/Services.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tk {

// Message boxes: answers are queued; every box is recorded. A box nobody
// answered returns `fallback` and is reported through onUnanswered (tests
// pass ADD_FAILURE there), so it fails the test instead of blocking.
class ScriptedMessages : public MessageService {
public:
    explicit ScriptedMessages(std::function<void(const MessageRequest&)> onUnanswered = {});
    ~ScriptedMessages() override;

    void Answer(ModalResult result) { answers_.push_back(result); }
    ModalResult Show(const MessageRequest& request) override;

    const std::vector<MessageRequest>& Shown() const { return shown_; }
    std::vector<std::string> Texts() const;
    const std::vector<MessageRequest>& Unanswered() const { return unanswered_; }
    std::size_t PendingAnswers() const { return answers_.size(); }
    void Clear();
    ModalResult fallback = 1;  // mrOk

private:
    SeamOverride<MessageService> override_;
    std::function<void(const MessageRequest&)> onUnanswered_;
    std::deque<ModalResult> answers_;
    std::vector<MessageRequest> shown_;
    std::vector<MessageRequest> unanswered_;
};

// File dialogs: each queued answer is a file name ("" = cancelled).
class ScriptedFileDialogs : public FileDialogService {
public:
    explicit ScriptedFileDialogs(Seam<FileDialogService>& seam,
                                 std::function<void(const FileDialogRequest&)> onUnanswered = {});
    ~ScriptedFileDialogs() override;
    void Answer(const std::string& fileName) { answers_.push_back(fileName); }
    bool Execute(FileDialogRequest& request) override;
    const std::vector<FileDialogRequest>& Requests() const { return requests_; }

private:
    Seam<FileDialogService>& seam_;
    FileDialogService* previous_;
    std::function<void(const FileDialogRequest&)> onUnanswered_;
    std::deque<std::string> answers_;
    std::vector<FileDialogRequest> requests_;
};

// Modal forms: each queued step operates the shown form's real controls and
// returns its modal result. A form nobody expected gets mrCancel.
class ScriptedModalForms : public ModalFormHook {
public:
    using Step = std::function<ModalResult(Form& form)>;
    explicit ScriptedModalForms(std::function<void(Form&)> onUnexpected = {});
    ~ScriptedModalForms() override;
    void Expect(Step step) { steps_.push_back(std::move(step)); }
    ModalResult RunModal(Form& form) override;
    int Shown() const { return shown_; }
    std::size_t PendingSteps() const { return steps_.size(); }

private:
    SeamOverride<ModalFormHook> override_;
    std::function<void(Form&)> onUnexpected_;
    std::deque<Step> steps_;
    int shown_ = 0;
};

// Sleep and beep: recorded, never waited.
class RecordingSleepBeep : public SleepBeepService {
public:
    RecordingSleepBeep();
    ~RecordingSleepBeep() override;
    void Sleep(unsigned milliseconds) override;
    void Beep(unsigned frequency, unsigned milliseconds) override;
    std::vector<unsigned> sleeps;
    std::vector<std::pair<unsigned, unsigned>> beeps;

private:
    SeamOverride<SleepBeepService> override_;
};

// Process exit: records the code and throws ExitRequested.
class InterceptedExit : public ExitService {
public:
    InterceptedExit();
    ~InterceptedExit() override;
    [[noreturn]] void Exit(int code) override;
    bool Exited() const { return !codes.empty(); }
    std::vector<int> codes;

private:
    SeamOverride<ExitService> override_;
};

// The clock: time moves only by Advance, which fires due timers in order.
class ManualClock : public ClockService {
public:
    ManualClock();
    ~ManualClock() override;
    DWORD Now() override { return now_; }
    UINT_PTR StartTimer(unsigned intervalMs, std::function<void()> onTick) override;
    void StopTimer(UINT_PTR id) override;
    void Advance(DWORD milliseconds);
    std::size_t ActiveTimers() const { return timers_.size(); }

private:
    struct Timer {
        UINT_PTR id;
        unsigned interval;
        DWORD due;
        std::function<void()> onTick;
    };
    SeamOverride<ClockService> override_;
    DWORD now_ = 1000;
    UINT_PTR nextId_ = 1;
    std::vector<Timer> timers_;
};

// Cursor position and key state set by the test.
class FakeInput : public InputSource {
public:
    FakeInput();
    ~FakeInput() override;
    POINT CursorPos() override { return cursor; }
    SHORT KeyState(int virtualKey) override;
    bool AsyncKeyDown(int virtualKey) override;
    POINT cursor{0, 0};
    std::vector<int> keysDown;

private:
    SeamOverride<InputSource> override_;
};

// Popup menus: never shown. Each request is recorded; onTrack (while the
// "menu is open") may act like the user and returns the chosen command.
class ScriptedPopupMenus : public PopupMenuService {
public:
    ScriptedPopupMenus();
    ~ScriptedPopupMenus() override;
    UINT Track(const PopupMenuRequest& request) override;
    std::vector<PopupMenuRequest> requests;
    std::function<UINT(const PopupMenuRequest&)> onTrack;

private:
    SeamOverride<PopupMenuService> override_;
};

// A hidden message-only window that runs `onStep` once for each PostStep,
// or once after StepAfter's delay: scripted tests and benchmarks play their
// steps through it from inside whatever message loop is running.
class StepWindow {
public:
    explicit StepWindow(std::function<void()> onStep);
    ~StepWindow();
    StepWindow(const StepWindow&) = delete;
    StepWindow& operator=(const StepWindow&) = delete;
    void PostStep();
    void StepAfter(UINT milliseconds);

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    std::function<void()> onStep_;
    HWND wnd_ = nullptr;
};

}  // namespace tk
