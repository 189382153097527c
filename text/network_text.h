#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// The fixed single-byte mapping of text written to network connections (proxy and mail): the
// Cyrillic letters U+0410..U+044F become 0xC0..0xFF, U+0401 becomes 0xA8, U+0451 becomes 0xB8, every
// other character the low 8 bits of its code. Bytes read from the network are characters 0..255, so
// what was read goes back out unchanged.

std::string EncodeNetworkText(std::string_view utf8);
std::string DecodeNetworkText(std::string_view bytes);

}  // namespace kiosk
