#include "mail/mail_address.h"

#include "text/ascii.h"

namespace kiosk {

namespace {

void AddEntry(std::vector<std::string>& entries, std::string_view entry) {
    const std::string_view trimmed = TrimBlanks(entry);
    if (!trimmed.empty()) entries.emplace_back(trimmed);
}

}  // namespace

std::vector<std::string> SplitAddressList(std::string_view list) {
    std::vector<std::string> entries;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == '"') quoted = !quoted;
        if (list[i] != ',' || quoted) continue;
        AddEntry(entries, list.substr(start, i - start));
        start = i + 1;
    }
    AddEntry(entries, list.substr(start));
    return entries;
}

std::string MailboxOf(std::string_view entry) {
    const size_t open = entry.rfind('<');
    const size_t close = open == std::string_view::npos ? open : entry.find('>', open);
    if (close == std::string_view::npos) return std::string(TrimBlanks(entry));
    return std::string(TrimBlanks(entry.substr(open + 1, close - open - 1)));
}

}  // namespace kiosk
