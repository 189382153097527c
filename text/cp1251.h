#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// The system's single-byte code page is windows-1251: log files, messages written to files and the
// document texts of the rewriting scripts use it. The conversion is table-driven so that it behaves
// the same on every platform and never fails; the one unassigned byte 0x98 maps to U+0098 so that
// every byte survives a round trip.

// UTF-8 text to windows-1251. Characters the code page lacks become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// windows-1251 bytes to UTF-8 text.
std::string Cp1251ToUtf8(std::string_view bytes);

// The code point of one windows-1251 byte.
char32_t Cp1251ToCodePoint(unsigned char byte);

// The windows-1251 byte of a code point; false when the code page lacks it.
bool CodePointToCp1251(char32_t codePoint, char& byte);

}  // namespace kiosk
