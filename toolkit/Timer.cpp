// Timer: starts and stops its clock-seam timer as its properties change.
#include "toolkit/Timer.h"

#include "toolkit/Forms.h"
#include "toolkit/Services.h"
#include "toolkit/Streaming.h"

namespace tk {

Timer::Timer() = default;

Timer::~Timer() {
    if (id_) ClockSeam()->StopTimer(id_);
    id_ = 0;
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Update();
}

void Timer::SetInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Update();
}

void Timer::SetOnTimer(NotifyEvent handler) {
    OnTimer = std::move(handler);
    Update();
}

void Timer::Loaded() {
    Component::Loaded();
    Update();
}

void Timer::Update() {
    if (id_) {
        ClockSeam()->StopTimer(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0 || IsLoading() || IsDestroying()) return;
    LifeToken alive = Token();
    id_ = ClockSeam()->StartTimer(interval_, [this, alive] {
        if (alive.Alive()) Tick();
    });
}

void Timer::Tick() {
    if (!OnTimer || IsDestroying() || IsLoading()) return;
    // The clock seam's callback comes from a system timer procedure: nothing
    // may unwind through it.
    try {
        OnTimer(this);
    } catch (...) {
        App().HandleException();
    }
}

namespace {

const ClassRegistration<Timer> kTimerReg("TTimer", "TComponent", [](ClassBuilder<Timer>& c) {
    c.Property("Enabled", &Timer::Enabled, &Timer::SetEnabled)
        .Property("Interval", &Timer::Interval, &Timer::SetInterval)
        .Event("OnTimer", &Timer::OnTimer);
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitTimer = 1;
}  // namespace tk
