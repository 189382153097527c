#pragma once

#include <string_view>
#include <vector>

#include "os/system_journal.h"
#include "util/log_writer.h"

namespace kiosk {

// The fields of an event-log entry for the system journal: PRIORITY (6 information, 3 error),
// MESSAGE, SYSLOG_IDENTIFIER, KIOSK_LEVEL and, when the message names a page, KIOSK_URL.
std::vector<JournalField> JournalEntry(LogLevel level, std::string_view message);

// The first http:, https: or file: URL in message, up to the next blank; empty when there is none.
std::string_view UrlInMessage(std::string_view message);

}  // namespace kiosk
