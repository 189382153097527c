#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The body of a digest: one line for each text, oldest first, and when more wait behind them a
// closing line that counts them ("… и ещё 3 записи (в следующем письме)").
std::string DigestBody(const std::vector<std::string>& texts, size_t more);

}  // namespace kiosk
