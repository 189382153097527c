#include "mail/notification_pump.h"

#include <optional>

namespace kiosk {

void PumpNotificationQueue(NotificationQueue& queue, const SendNotificationFn& send, LogWriter& log) {
    const std::optional<std::string> text = queue.TakeFirst();
    if (!text) return;
    const std::string error = send(*text);
    queue.RemoveFirst();
    try {
        log.WriteLog(LogLevel::Error, error);
    } catch (...) {
        // The log's file cannot be opened: there is nothing left to report the failure to.
    }
}

}  // namespace kiosk
