#pragma once

#include <atomic>

#include "util/clock.h"

namespace kiosk::testing {

// A clock that says what the test sets.
class FakeClock : public Clock {
public:
    explicit FakeClock(DateTime now = EncodeDateTime({2026, 12, 8, 10, 30, 0, 0})) : now_(now) {}
    DateTime Now() const override { return now_.load(); }
    void Set(DateTime now) { now_.store(now); }
    void Set(const CivilDateTime& civil) { now_.store(EncodeDateTime(civil)); }

private:
    std::atomic<DateTime> now_;
};

}  // namespace kiosk::testing
