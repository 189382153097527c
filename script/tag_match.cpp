#include "script/tag_match.h"

namespace kiosk {

bool OpeningMatch(const WorkingText& text, std::string_view name, std::int64_t position) {
    const auto length = static_cast<std::int64_t>(name.size());
    std::size_t next = 0;
    for (std::int64_t at = position + 1; at <= position + length; ++at) {
        if (at > text.size()) return false;
        const char byte = text.at(at - 1);
        if (byte == '<') continue;
        if (byte != name[next++]) return false;
    }
    return true;
}

bool ClosingMatch(const WorkingText& text, std::string_view name, std::int64_t position) {
    const auto length = static_cast<std::int64_t>(name.size());
    std::size_t next = name.size();
    for (std::int64_t at = position - 1; at >= position - length; --at) {
        if (at < 1) return false;
        const char byte = text.at(at - 1);
        if (byte == '>') continue;
        if (byte != name[--next]) return false;
    }
    return true;
}

}  // namespace kiosk
