#pragma once

#include <string>

namespace kiosk {

// The program's folder among the user's configuration: $XDG_CONFIG_HOME/kiosk-shell, or
// ~/.config/kiosk-shell when XDG_CONFIG_HOME is not an absolute path. It is not created here.
std::string UserConfigFolder();

}  // namespace kiosk
