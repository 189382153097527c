#include "log/journal_entry.h"

#include <algorithm>
#include <array>
#include <string>

namespace kiosk {

namespace {

constexpr std::array<std::string_view, 3> kUrlSchemes = {"http://", "https://", "file://"};

}  // namespace

std::string_view UrlInMessage(std::string_view message) {
    size_t start = std::string_view::npos;
    for (const std::string_view scheme : kUrlSchemes) start = std::min(start, message.find(scheme));
    if (start == std::string_view::npos) return {};
    const size_t end = message.find_first_of(" \t\r\n", start);
    return message.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::vector<JournalField> JournalEntry(LogLevel level, std::string_view message) {
    const bool error = level == LogLevel::Error;
    std::vector<JournalField> fields = {
        {"PRIORITY", error ? "3" : "6"},
        {"MESSAGE", std::string(message)},
        {"SYSLOG_IDENTIFIER", "kiosk-shell"},
        {"KIOSK_LEVEL", error ? "error" : "information"},
    };
    if (const std::string_view url = UrlInMessage(message); !url.empty())
        fields.emplace_back("KIOSK_URL", std::string(url));
    return fields;
}

}  // namespace kiosk
