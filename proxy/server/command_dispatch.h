#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

struct CommandMatch {
    size_t handler = 0;  // position of the matching name
    std::vector<std::string> parameters;
};

// The first name (in order) that the line equals, or that the line begins with followed by a blank,
// letter case ignored; the rest of the line split at blanks, empty pieces dropped. Nothing when no
// name matches.
std::optional<CommandMatch> MatchCommand(const std::vector<std::string>& names, std::string_view line);

}  // namespace kiosk
