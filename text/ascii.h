#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Lower-cases the ASCII letters A to Z and leaves every other byte as it is.
std::string AsciiLower(std::string_view text);

// Whether two texts are equal when the ASCII letters A to Z and a to z are taken as the same; every
// other byte must match exactly. Independent of the C library's locale.
bool AsciiEqualsIgnoringCase(std::string_view a, std::string_view b);

// The text without the blanks and tabs at its start and end, as header values and list elements
// are read.
std::string_view TrimBlanks(std::string_view text);

}  // namespace kiosk
