#include "keyboard/key_caption.h"

namespace kiosk {

std::string KeyCaption(KeyboardLayout& layout, std::uint16_t code, const KeyState& state) {
    std::string chars;
    const int count = layout.KeyCharacters(code, state, chars);
    if (count <= 0 || count > 2) return {};
    if (chars == "&") return "&&";
    return chars;
}

}  // namespace kiosk
