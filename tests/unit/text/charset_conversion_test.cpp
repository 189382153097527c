#include "text/charset_conversion.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "text/cp1251.h"

namespace kiosk {
namespace {

const std::string kPrivet = "Привет, мир";

TEST(CharsetConversion, RussianTextInEachCharsetAndBack) {
    const struct {
        const char* charset;
        std::string bytes;
    } cases[] = {
        {"UTF-8", kPrivet},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0"},
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2"},
        {"KOI8-U", "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2"},
        {"ISO-8859-5", "\xBF\xE0\xD8\xD2\xD5\xE2, \xDC\xD8\xE0"},
        {"IBM866", "\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0"},
        {"UTF-16LE",
         std::string("\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04,\0 \0\x3C\x04\x38\x04\x40\x04", 22)},
        {"UTF-16BE",
         std::string("\x04\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\0,\0 \x04\x3C\x04\x38\x04\x40", 22)},
    };
    for (const auto& c : cases) {
        const EncodedText encoded = EncodeUtf8(kPrivet, c.charset);
        EXPECT_TRUE(encoded.complete()) << c.charset;
        EXPECT_EQ(encoded.bytes, c.bytes) << c.charset;
        EXPECT_EQ(DecodeToUtf8(c.bytes, c.charset), kPrivet) << c.charset;
    }
    EXPECT_EQ(EncodeUtf8("caf\xC3\xA9", "windows-1252").bytes, "caf\xE9");
}

TEST(CharsetConversion, TheFirstMissingCharacterStopsTheText) {
    const struct {
        const char* charset;
        std::string text;
        std::string before;
        char32_t missing;
    } cases[] = {
        {"KOI8-R",
         "ab\xCE\xA9"
         "cd",
         "ab", U'Ω'},
        {"ISO-8859-5", "Ё€", "\xA1", U'€'},
        {"windows-1251", "x中y", "x", U'中'},
        {"windows-1252", "aЖ", "a", U'Ж'},
        {"KOI8-R",
         "a\xFF"
         "b",
         "a", U'\uFFFD'},                    // not UTF-8
        {"UTF-8", "a\xC3", "a", U'\uFFFD'},  // cut short
        {"windows-1251", "a\xE2\x82", "a", U'\uFFFD'},
    };
    for (const auto& c : cases) {
        const EncodedText encoded = EncodeUtf8(c.text, c.charset);
        EXPECT_EQ(encoded.bytes, c.before) << c.charset;
        EXPECT_EQ(encoded.missing, c.missing) << c.charset;
    }
}

TEST(CharsetConversion, Windows1251IsTheTableByteForByte) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::string utf8 = Cp1251ToUtf8(all);
    const EncodedText encoded = EncodeUtf8(utf8, "windows-1251");
    EXPECT_TRUE(encoded.complete());
    EXPECT_EQ(encoded.bytes, Utf8ToCp1251(utf8));
    EXPECT_EQ(encoded.bytes, all);  // 0x98 too
}

TEST(CharsetConversion, UndefinedBytesDecodeToReplacementAndUnknownNamesThrow) {
    EXPECT_EQ(DecodeToUtf8("a\x98z", "windows-1252"), "a\xCB\x9Cz");
    EXPECT_EQ(DecodeToUtf8("a\x81z", "windows-1252"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(DecodeToUtf8("a\xFFz", "UTF-8"), "a\xEF\xBF\xBDz");
    EXPECT_THROW(EncodeUtf8("a", "no-such-charset"), std::invalid_argument);
    EXPECT_THROW(DecodeToUtf8("a", "no-such-charset"), std::invalid_argument);
}

}  // namespace
}  // namespace kiosk
