#include "log/entry_page.h"

#include "log/journal_entry.h"

namespace kiosk {

namespace {

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
}

bool IsHost(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (!IsHostCharacter(c)) return false;
    }
    return true;
}

// The authority of a URL with a scheme: what lies between "://" and the path, query or fragment.
std::string_view HostOfUrl(std::string_view url) {
    const size_t start = url.find("://");
    if (start == std::string_view::npos) return {};
    const std::string_view rest = url.substr(start + 3);
    return rest.substr(0, rest.find_first_of("/?#"));
}

// "host/path:" as the first word of the message, as the proxy names the page of a failure.
EntryPage LeadingProxyPage(std::string_view message) {
    const std::string_view word = message.substr(0, message.find(' '));
    if (word.size() < 2 || !word.ends_with(':')) return {};
    const std::string_view page = word.substr(0, word.size() - 1);
    const size_t slash = page.find('/');
    if (slash == std::string_view::npos || !IsHost(page.substr(0, slash))) return {};
    return {page, page.substr(0, slash)};
}

}  // namespace

EntryPage PageOfEntry(std::string_view message) {
    if (const std::string_view url = UrlInMessage(message); !url.empty()) return {url, HostOfUrl(url)};
    return LeadingProxyPage(message);
}

}  // namespace kiosk
