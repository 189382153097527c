#pragma once

#include <string>

namespace kiosk {

// The start page's URL: the start option as written when it begins with "http" or "www." (letter case
// ignored), otherwise the local page of that name in the program's directory.
std::string StartPageUrl(const std::string& start, const std::string& programDir);

// "file:///" + the program's directory + name, nothing escaped. A directory that starts with "/" (as
// on Linux) does not repeat it after the three slashes.
std::string LocalPageUrl(const std::string& programDir, const std::string& name);

}  // namespace kiosk
