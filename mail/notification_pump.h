#pragma once

#include <functional>
#include <string>

#include "mail/notification_queue.h"
#include "util/log_writer.h"

namespace kiosk {

// Sends one text; returns the failure's message, empty on success. Must not throw.
using SendNotificationFn = std::function<std::string(const std::string& text)>;

// One pass of the queue pump, on the main thread: the oldest text is sent and then leaves the queue,
// whatever came of it; a failure's message is written to the log as an error entry (which queues it
// in turn, unless it repeats). Never throws.
void PumpNotificationQueue(NotificationQueue& queue, const SendNotificationFn& send, LogWriter& log);

}  // namespace kiosk
