#include "proxy/server/command_dispatch.h"

namespace kiosk {

namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

std::vector<std::string> SplitAtBlanks(std::string_view text) {
    std::vector<std::string> pieces;
    while (!text.empty()) {
        const size_t blank = text.find(' ');
        if (blank != 0) pieces.emplace_back(text.substr(0, blank));
        if (blank == std::string_view::npos) break;
        text.remove_prefix(blank + 1);
    }
    return pieces;
}

}  // namespace

std::optional<CommandMatch> MatchCommand(const std::vector<std::string>& names, std::string_view line) {
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[i];
        if (line.size() < name.size() || !SameLetters(line.substr(0, name.size()), name)) continue;
        if (line.size() == name.size()) return CommandMatch{i, {}};
        if (line[name.size()] == ' ') return CommandMatch{i, SplitAtBlanks(line.substr(name.size() + 1))};
    }
    return std::nullopt;
}

}  // namespace kiosk
