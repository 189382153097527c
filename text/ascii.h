#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Lower-cases the ASCII letters A to Z and leaves every other byte as it is.
std::string AsciiLower(std::string_view text);

}  // namespace kiosk
