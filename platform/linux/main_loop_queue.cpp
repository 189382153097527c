#include "platform/linux/main_loop_queue.h"

#include <utility>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace kiosk {

namespace {

// A task reaches the main thread through GLib's queue, whose locks ThreadSanitizer does not see (GLib
// is not built with it). The hand-over is told to it, so that what the queuing thread did before is
// known to come before the task.
void HandOver([[maybe_unused]] gpointer task) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(task);
#endif
}

void TakeOver([[maybe_unused]] gpointer task) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(task);
#endif
}

gboolean RunTaskOnce(gpointer task) {
    TakeOver(task);
    (*static_cast<std::function<void()>*>(task))();
    return G_SOURCE_REMOVE;
}

void DeleteTask(gpointer task) {
    TakeOver(task);
    delete static_cast<std::function<void()>*>(task);
}

}  // namespace

void QueueOnMainLoop(std::function<void()> task, gint priority) {
    auto* queued = new std::function<void()>(std::move(task));
    HandOver(queued);
    g_idle_add_full(priority, &RunTaskOnce, queued, &DeleteTask);
}

}  // namespace kiosk
