#pragma once

#include <glib.h>

#include <functional>

namespace kiosk {

// Runs task once on the default main context's loop, from any thread: when no event of a higher
// priority is pending (by default, when the loop is idle). The task goes unrun, and is destroyed,
// if the loop never gets to it.
void QueueOnMainLoop(std::function<void()> task, gint priority = G_PRIORITY_DEFAULT_IDLE);

}  // namespace kiosk
