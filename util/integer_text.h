#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kiosk {

// Reads a whole text as a signed 32-bit decimal integer: an optional sign followed by digits, nothing
// else. Empty text, other characters and values outside the 32-bit range give no number.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// The integer value of a text, or fallback when it is not one.
std::int32_t IntegerOr(std::string_view text, std::int32_t fallback);

}  // namespace kiosk
