#pragma once

#include <mutex>

#include "log/mail_queue.h"
#include "log/notification_sink.h"

namespace kiosk {

// Placeholder for the notification queue until the mail sender exists: every text the log hands over
// is recorded in the mail queue, in order, and nothing is sent.
class NotificationRecorder : public NotificationSink {
public:
    void SetQueue(MailQueue* queue) {
        std::lock_guard lock(mutex_);
        queue_ = queue;
    }
    void QueueNotification(const std::string& text) override {
        std::lock_guard lock(mutex_);
        if (queue_ != nullptr) queue_->Append(text);
    }

private:
    std::mutex mutex_;
    MailQueue* queue_ = nullptr;
};

}  // namespace kiosk
