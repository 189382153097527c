#include "mail/notification_pump.h"

#include <optional>
#include <string>

namespace kiosk {

void PumpNotificationQueue(NotificationQueue& queue, const SendNotificationFn& send, LogWriter& log) {
    const std::optional<std::string> text = queue.TakeFirst();
    if (!text) return;
    const std::string error = send(*text);
    queue.RemoveFirst();
    try {
        log.WriteLog(LogLevel::Error, error);
        // The texts a full queue had to drop are told in one entry (which is queued in turn).
        if (const size_t dropped = queue.TakeDroppedCount())
            log.WriteLog(LogLevel::Error,
                         "Уведомлений не отправлено (очередь полна): " + std::to_string(dropped));
    } catch (...) {
        // The log's file cannot be opened: there is nothing left to report the failure to.
    }
}

}  // namespace kiosk
