#include "platform/linux/main_loop_queue.h"

#include <utility>

namespace kiosk {

namespace {

gboolean RunTaskOnce(gpointer task) {
    (*static_cast<std::function<void()>*>(task))();
    return G_SOURCE_REMOVE;
}

void DeleteTask(gpointer task) {
    delete static_cast<std::function<void()>*>(task);
}

}  // namespace

void QueueOnMainLoop(std::function<void()> task, gint priority) {
    g_idle_add_full(priority, &RunTaskOnce, new std::function<void()>(std::move(task)), &DeleteTask);
}

}  // namespace kiosk
