#pragma once

#include <string>
#include <string_view>

#include "mail/mail_settings.h"
#include "util/date_time.h"

namespace kiosk {

// The header lines of a notification, each ended by CR LF: From, Subject, To, Content-Type,
// MIME-Version, Content-Transfer-Encoding, Date and, when an agent is set, X-Mailer. A header whose
// value would be empty is left out.
std::string MessageHeaders(const MailSettings& settings, DateTime now, int utcOffsetMinutes);

// What follows the DATA command: the headers, an empty line, the body's lines each ended by CR LF
// (a line beginning with "." gets one more in front) and the closing line ".". The body is split at
// every kind of line break, so no bare CR or LF reaches the server.
std::string DataSection(std::string_view headers, std::string_view body);

}  // namespace kiosk
