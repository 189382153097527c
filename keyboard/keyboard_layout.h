#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kiosk {

// The user-interface thread's key state: one byte per virtual-key code, with the down bit (0x80) and
// the toggle bit (0x01).
using KeyState = std::array<std::uint8_t, 256>;

// The system's active input layout as the keyboard's captions need it.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // False when the key state cannot be read.
    virtual bool ReadKeyState(KeyState& state) = 0;
    // The characters the key gives under state in the active layout, as UTF-8 text in chars. Returns
    // their count: 0, 1 or 2, or a negative number for a dead key.
    virtual int KeyCharacters(std::uint16_t code, const KeyState& state, std::string& chars) = 0;
};

}  // namespace kiosk
