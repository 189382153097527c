#pragma once

#include <functional>

namespace kiosk {

// A window timer on the main thread: while enabled with a positive interval it calls OnTimer every
// Interval milliseconds. An interval of 0 never fires. Changing the interval or enabling it again
// starts the period anew.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void SetInterval(long long milliseconds) = 0;
    virtual long long Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetOnTimer(std::function<void()> handler) = 0;

    int Tag = 0;
};

}  // namespace kiosk
