// Timer: an interval timer component. It runs on the clock seam, so tests
// drive it with a fake clock; OnTimer runs on the user-interface thread.
#pragma once

#include "toolkit/Component.h"

#include <windows.h>

namespace tk {

class Timer : public Component {
public:
    Timer();
    ~Timer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    unsigned Interval() const { return interval_; }
    // 0 stops the timer (it starts again when a nonzero interval is set).
    void SetInterval(unsigned ms);
    // Runs every Interval milliseconds while Enabled and set.
    NotifyEvent OnTimer;
    void SetOnTimer(NotifyEvent handler);
    bool Running() const { return id_ != 0; }

protected:
    void Loaded() override;

private:
    void Update();
    void Tick();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};

}  // namespace tk
