#pragma once

#include <cstdint>

namespace kiosk {

// Windows virtual-key codes the keyboard sends itself.
inline constexpr std::uint16_t kVkTab = 0x09;
inline constexpr std::uint16_t kVkReturn = 0x0D;
inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkCapital = 0x14;
inline constexpr std::uint16_t kVkInsert = 0x2D;
inline constexpr std::uint16_t kVkC = 0x43;
inline constexpr std::uint16_t kVkV = 0x56;
inline constexpr std::uint16_t kVkLShift = 0xA0;
inline constexpr std::uint16_t kVkLControl = 0xA2;
inline constexpr std::uint16_t kVkLMenu = 0xA4;

// End, Home, the arrows, Insert and Delete, sent with the extended-key flag.
constexpr bool IsExtendedKey(std::uint16_t code) {
    return (code >= 0x23 && code <= 0x28) || code == kVkInsert || code == 0x2E;
}

}  // namespace kiosk
