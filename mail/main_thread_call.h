#pragma once

#include <functional>
#include <stop_token>

#include "os/ui.h"

namespace kiosk {

// Has the main thread run fn and waits until it has run. Unlike Ui::RunOnMainThread with wait, the
// wait also ends when stop is requested, so that the main thread can stop the caller while it does
// not run its event loop (at shutdown); a call the main thread has not started by then never runs fn,
// however late the event loop gets to it. Returns whether fn ran. fn must not throw.
bool RunOnMainThreadUnlessStopped(Ui& ui, std::function<void()> fn, std::stop_token stop);

}  // namespace kiosk
