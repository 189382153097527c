#pragma once

#include <string_view>

namespace kiosk {

// The bytes of a picture file built into the program (shell/pictures and keyboard/pictures), by its
// file name; empty when there is none of that name.
std::string_view EmbeddedPicture(std::string_view fileName);

// The text of a script built into the program (platform/linux/scripts), by its file name; empty
// when there is none of that name.
std::string_view EmbeddedScript(std::string_view fileName);

}  // namespace kiosk
