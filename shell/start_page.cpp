#include "shell/start_page.h"

#include "text/ascii.h"

namespace kiosk {

std::string StartPageUrl(const std::string& start, const std::string& programDir) {
    const std::string prefix = AsciiLower(start.substr(0, 4));
    if (prefix == "http" || prefix == "www.") return start;
    return LocalPageUrl(programDir, start);
}

std::string LocalPageUrl(const std::string& programDir, const std::string& name) {
    const std::string directory = programDir.starts_with('/') ? programDir.substr(1) : programDir;
    return "file:///" + directory + name;
}

}  // namespace kiosk
