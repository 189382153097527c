#pragma once

#include "util/date_time.h"

namespace kiosk {

// The current local date and time. The platform supplies the real one; tests use a fake.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

}  // namespace kiosk
