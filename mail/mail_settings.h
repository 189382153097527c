#pragma once

#include <string>

#include "config/key_value_table.h"

namespace kiosk {

// The notification mail's settings, each exactly as written in the configuration.
struct MailSettings {
    std::string recipients;  // errors "notification": addresses separated by commas
    std::string host;
    std::string login;
    std::string password;
    std::string from;
    std::string subject;
    std::string agent;  // the X-Mailer header; none when empty

    // Mailing is off while no recipient, server or sender is configured.
    bool Enabled() const { return !recipients.empty() && !host.empty() && !from.empty(); }
};

MailSettings ReadMailSettings(const KeyValueTable& mail, const KeyValueTable& errors);

}  // namespace kiosk
