#pragma once

#include <string>

namespace kiosk {

// Where the event log hands every error entry (and its own write failures) for mailing.
class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    // text is UTF-8, one line.
    virtual void QueueNotification(const std::string& text) = 0;
};

}  // namespace kiosk
