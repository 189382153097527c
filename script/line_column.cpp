#include <algorithm>

#include "script/script_machine.h"

namespace kiosk {

std::string LineColumn(std::string_view text, std::int64_t position) {
    if (position < 1) return "1,0";
    const auto inText = static_cast<std::size_t>(std::min<std::int64_t>(position, std::ssize(text)));
    const std::string_view upTo = text.substr(0, inText);
    const auto line = 1 + std::count(upTo.begin(), upTo.end(), '\n');
    const std::size_t lastLineFeed = upTo.rfind('\n');
    const std::string_view lineStart =
        lastLineFeed == std::string_view::npos ? upTo : upTo.substr(lastLineFeed + 1);
    // Positions past the end are counted as ordinary bytes, so a cursor just past the end has a
    // column.
    const std::int64_t beyond = position - static_cast<std::int64_t>(inText);
    const auto column = std::ssize(lineStart) - std::count(lineStart.begin(), lineStart.end(), '\r') + beyond;
    return std::to_string(line) + "," + std::to_string(column);
}

}  // namespace kiosk
