#include "mail/main_thread_call.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace kiosk {

namespace {

// Shared by the waiting thread and the queued call, so that a call the event loop runs after the
// waiter has gone still finds it and only learns that it was cancelled.
struct PendingCall {
    std::mutex mutex;
    std::condition_variable_any finished;
    std::function<void()> fn;
    bool done = false;
    bool cancelled = false;
};

void RunPending(const std::shared_ptr<PendingCall>& call) {
    {
        std::lock_guard lock(call->mutex);
        if (call->cancelled) return;
    }
    try {
        call->fn();
    } catch (...) {
        // Nothing may leave an event handler of the main loop.
    }
    {
        std::lock_guard lock(call->mutex);
        call->done = true;
    }
    call->finished.notify_all();
}

}  // namespace

bool RunOnMainThreadUnlessStopped(Ui& ui, std::function<void()> fn, std::stop_token stop) {
    auto call = std::make_shared<PendingCall>();
    call->fn = std::move(fn);
    ui.RunOnMainThread([call] { RunPending(call); }, false);
    std::unique_lock lock(call->mutex);
    if (call->finished.wait(lock, stop, [&] { return call->done; })) return true;
    call->cancelled = true;
    return false;
}

}  // namespace kiosk
