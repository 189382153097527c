#pragma once

#include <string>

namespace kiosk {

// The start page's URL: the start option as written when it begins with "http" or "www." (letter case
// ignored), otherwise "file:///" + the program's directory + the option.
std::string StartPageUrl(const std::string& start, const std::string& programDir);

}  // namespace kiosk
