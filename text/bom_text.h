#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Decodes the bytes of a text file to UTF-8 by its byte-order mark: FF FE UTF-16 little-endian,
// FE FF UTF-16 big-endian, EF BB BF UTF-8; without a mark the bytes are windows-1251. The mark is not
// part of the text.
std::string DecodeTextWithBom(std::string_view bytes);

}  // namespace kiosk
