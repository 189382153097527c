#include "shell/start_page.h"

#include "text/ascii.h"

namespace kiosk {

std::string StartPageUrl(const std::string& start, const std::string& programDir) {
    const std::string prefix = AsciiLower(start.substr(0, 4));
    if (prefix == "http" || prefix == "www.") return start;
    return "file:///" + programDir + start;
}

}  // namespace kiosk
