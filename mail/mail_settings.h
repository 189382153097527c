#pragma once

#include <string>

#include "config/key_value_table.h"

namespace kiosk {

// The notification mail's settings, each exactly as written in the configuration.
struct MailSettings {
    std::string recipients{};  // errors "notification": addresses separated by commas
    std::string host{};
    std::string login{};
    std::string password{};
    std::string from{};
    std::string subject{};
    std::string agent{};   // the X-Mailer header; none when empty
    std::string tls{};     // "" TLS when the server offers it, "required", "off"
    std::string caFile{};  // the options' "cafile", resolved against the working folder; empty: none

    // Mailing is off while no recipient, server or sender is configured.
    bool Enabled() const { return !recipients.empty() && !host.empty() && !from.empty(); }
};

// caFile: the path of the PEM file the "cafile" option names, already resolved; empty when none.
MailSettings ReadMailSettings(const KeyValueTable& mail, const KeyValueTable& errors,
                              const std::string& caFile = {});

}  // namespace kiosk
