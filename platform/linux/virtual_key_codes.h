#pragma once

#include <cstdint>
#include <span>

namespace kiosk {

// One Windows virtual-key code and the evdev keycode (linux/input-event-codes.h) of the key at its
// place on a US keyboard.
struct VirtualKeyCode {
    std::uint16_t Vk;
    unsigned Evdev;
};

// The fixed table of every key the on-screen keyboard sends or reads, and a few more. A code that has
// both a generic and a left-hand form (Shift, Ctrl, Alt) maps the generic one to the left-hand key.
std::span<const VirtualKeyCode> VirtualKeyTable();

// The evdev keycode of vk; 0 when vk is not in the table.
unsigned EvdevKeycode(std::uint16_t vk);

// The X keycode of vk on a server with evdev keycodes (the evdev keycode + 8); 0 when vk is not in
// the table.
unsigned XKeycode(std::uint16_t vk);

}  // namespace kiosk
