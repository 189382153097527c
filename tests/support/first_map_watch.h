#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>

#include "tests/support/screen.h"

typedef struct _XDisplay Display;

namespace kiosk::testing {

// Watches a display from before a program starts: the first top-level window it maps, and the
// place that window had at that moment.
class FirstMapWatch {
public:
    explicit FirstMapWatch(const XvfbDisplay& display);
    FirstMapWatch(const FirstMapWatch&) = delete;
    FirstMapWatch& operator=(const FirstMapWatch&) = delete;
    ~FirstMapWatch();

    // Waits up to limit for the first map; atMap runs the moment it is seen.
    std::optional<ScreenRect> WaitForFirstMap(std::chrono::milliseconds limit,
                                              const std::function<void()>& atMap);

    // The id of the window the last wait saw mapped; 0 before.
    unsigned long MappedWindow() const { return mapped_; }

private:
    Display* x_;
    unsigned long mapped_ = 0;
    std::map<unsigned long, ScreenRect> places_;  // top-level windows by id
};

}  // namespace kiosk::testing
