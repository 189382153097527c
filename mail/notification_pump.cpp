#include "mail/notification_pump.h"

#include <string>

#include "mail/mail_message.h"

namespace kiosk {

void PumpNotificationQueue(NotificationQueue& queue, const SendNotificationFn& send, LogWriter& log) {
    const NotificationDigest digest = queue.TakeDigest(kMostDigestTexts);
    if (digest.texts.empty()) return;
    const std::string error = send(DigestBody(digest.texts, digest.more));
    if (error.empty()) queue.RemoveOldest(digest.texts.size());
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
