#include "os/user_config_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kiosk {

std::string UserConfigFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::string(home) + "/.config";
    } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr) {
        base = std::string(user->pw_dir) + "/.config";
    }
    return base + "/kiosk-shell";
}

}  // namespace kiosk
