#include "mail/mail_address.h"

namespace kiosk {

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void AddEntry(std::vector<std::string>& entries, std::string_view entry) {
    const std::string_view trimmed = Trimmed(entry);
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
    if (close == std::string_view::npos) return std::string(Trimmed(entry));
    return std::string(Trimmed(entry.substr(open + 1, close - open - 1)));
}

}  // namespace kiosk
