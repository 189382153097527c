#pragma once

#include <cstdint>
#include <string>

#include "keyboard/keyboard_layout.h"

namespace kiosk {

// The caption of a character key: the 0 to 2 characters the key gives under state, empty for a dead
// key, and "&&" for a lone ampersand (a caption shows that as one ampersand).
std::string KeyCaption(KeyboardLayout& layout, std::uint16_t code, const KeyState& state);

}  // namespace kiosk
