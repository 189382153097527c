#include "log/entry_text.h"

namespace kiosk {

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Whether the "://" at separator follows a scheme: a letter, then letters, digits, "+", "-", ".".
bool FollowsScheme(std::string_view text, size_t separator) {
    size_t start = separator;
    while (start > 0 && IsSchemeCharacter(text[start - 1])) --start;
    while (start < separator && !IsAsciiLetter(text[start])) ++start;
    return start < separator;
}

// Where the authority that begins at start ends: at the path, query or fragment, or at a blank
// (the end of the URL in an entry's text).
size_t AuthorityEnd(std::string_view text, size_t start) {
    const size_t end = text.find_first_of("/\\?# \t", start);
    return end == std::string_view::npos ? text.size() : end;
}

}  // namespace

std::string BlankControls(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsControl(text[i])) {
            line += text[i];
            continue;
        }
        line += ' ';
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return line;
}

std::string WithoutUserInfo(std::string_view text) {
    std::string clean(text);
    for (size_t separator = clean.find("://"); separator != std::string::npos;
         separator = clean.find("://", separator + 3)) {
        if (!FollowsScheme(clean, separator)) continue;
        const size_t authority = separator + 3;
        const size_t end = AuthorityEnd(clean, authority);
        // The last "@" ends the user information: an unencoded "@" inside it comes before.
        const size_t at = clean.rfind('@', end - 1);
        if (at != std::string::npos && at >= authority && at < end)
            clean.erase(authority, at + 1 - authority);
    }
    return clean;
}

std::string CleanEntryText(std::string_view message) {
    return WithoutUserInfo(BlankControls(message));
}

}  // namespace kiosk
