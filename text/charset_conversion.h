#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// Conversion between the program's UTF-8 and the charset of a page. charset is a name
// CanonicalCharset gives (text/charset_label.h); another name iconv does not know throws
// std::invalid_argument. windows-1251 uses the program's own table (text/cp1251.h), so its bytes are
// those of Utf8ToCp1251 on every platform; UTF-16 uses text/unicode.h; the others use iconv.

// UTF-8 text in a charset, up to the first character the charset cannot hold.
struct EncodedText {
    std::string bytes;
    // The character that stopped the conversion (U+FFFD for bytes that are not UTF-8); 0 when the
    // whole text was converted (NUL is in every charset).
    char32_t missing = 0;

    bool complete() const { return missing == 0; }
};

// The UTF-8 text in charset. Nothing is ever replaced by '?': the caller decides what a missing
// character means.
EncodedText EncodeUtf8(std::string_view utf8, std::string_view charset);

// The bytes of a text in charset as UTF-8; a byte (or sequence) the charset does not define becomes
// U+FFFD.
std::string DecodeToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace kiosk
