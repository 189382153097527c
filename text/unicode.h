#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Text inside the program is UTF-8. These helpers walk and build it.

// Appends the UTF-8 form of one code point (invalid code points become U+FFFD).
void AppendUtf8(std::string& out, char32_t codePoint);

// Reads the code point at text[pos] and advances pos. An invalid or cut-short sequence yields U+FFFD
// and advances by one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos);

// Decodes UTF-16 bytes (little- or big-endian) to UTF-8. An odd last byte is dropped; unpaired
// surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The length of the longest start of bytes that is valid UTF-8 (up to the first invalid or cut-short
// sequence); bytes.size() when all of it is.
size_t ValidUtf8Length(std::string_view bytes);

inline bool IsValidUtf8(std::string_view bytes) {
    return ValidUtf8Length(bytes) == bytes.size();
}

// Replaces every invalid UTF-8 sequence by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace kiosk
