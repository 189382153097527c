#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kiosk {

// The four bytes of an IPv4 address written in dotted decimal ("192.168.0.1"), or nothing when the
// text is anything else.
std::optional<std::array<std::uint8_t, 4>> ParseIPv4Literal(std::string_view text);

}  // namespace kiosk
