#pragma once

#include <functional>
#include <string>

#include "mail/notification_queue.h"
#include "util/log_writer.h"

namespace kiosk {

// Sends one text; returns the failure's message, empty on success. Must not throw.
using SendNotificationFn = std::function<std::string(const std::string& text)>;

// The most texts one message holds.
inline constexpr size_t kMostDigestTexts = 200;

// One pass of the queue pump, on the mail worker's thread: the oldest texts waiting (at most
// kMostDigestTexts) are sent as one digest (DigestBody), and leave the queue once it was sent; a digest that
// failed stays at the head of the queue for the next pass. A failure's message is written to the log as an
// error entry (which queues it in turn, unless it repeats). Never throws.
void PumpNotificationQueue(NotificationQueue& queue, const SendNotificationFn& send, LogWriter& log);

}  // namespace kiosk
