#include "text/unicode.h"

#include <gtest/gtest.h>

#include <string>

namespace kiosk {
namespace {

std::string Utf8(char32_t codePoint) {
    std::string out;
    AppendUtf8(out, codePoint);
    return out;
}

char32_t First(std::string_view text, size_t& pos) {
    pos = 0;
    return NextCodePoint(text, pos);
}

TEST(Utf8, EncodesEachLengthAtItsBoundariesAndReplacesWhatIsNoCharacter) {
    EXPECT_EQ(Utf8(0x7F), "\x7F");
    EXPECT_EQ(Utf8(0x80), "\xC2\x80");
    EXPECT_EQ(Utf8(0x7FF), "\xDF\xBF");
    EXPECT_EQ(Utf8(0x800), "\xE0\xA0\x80");
    EXPECT_EQ(Utf8(0xFFFF), "\xEF\xBF\xBF");
    EXPECT_EQ(Utf8(0x10000), "\xF0\x90\x80\x80");
    EXPECT_EQ(Utf8(0x10FFFF), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf8(0x110000), "\uFFFD");
    EXPECT_EQ(Utf8(0xD800), "\uFFFD");
}

TEST(Utf8, ReadsWholeSequencesAndStepsOneByteOverBrokenOnes) {
    size_t pos = 0;
    EXPECT_EQ(First("Ж!", pos), U'Ж');
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(First("😀", pos), U'😀');
    EXPECT_EQ(pos, 4u);
    // Overlong, cut short, a stray continuation byte, an encoded surrogate.
    for (const std::string_view broken : {"\xC0\x80", "\xE2\x82", "\x80x", "\xED\xA0\x80"}) {
        EXPECT_EQ(First(broken, pos), 0xFFFDu) << broken;
        EXPECT_EQ(pos, 1u) << broken;
    }
}

TEST(Utf8, SanitizingKeepsGoodTextAndReplacesEachBrokenByte) {
    EXPECT_EQ(SanitizeUtf8("aЖ😀"), "aЖ😀");
    EXPECT_EQ(SanitizeUtf8("a\xFF\xFE"
                           "b"),
              "a\uFFFD\uFFFDb");
    EXPECT_EQ(SanitizeUtf8("\xE2\x82"), "\uFFFD\uFFFD");
    EXPECT_EQ(SanitizeUtf8("\xEF\xBF\xBD"), "\uFFFD");  // a real U+FFFD stays one
}

TEST(Utf16, BothByteOrdersPairsAndLoneSurrogates) {
    EXPECT_EQ(Utf16ToUtf8(std::string("\x16\x04\x3D\xD8\x00\xDE", 6), false), "Ж😀");
    EXPECT_EQ(Utf16ToUtf8(std::string("\x04\x16\xD8\x3D\xDE\x00", 6), true), "Ж😀");
    EXPECT_EQ(Utf16ToUtf8(std::string("\x00\xDE"
                                      "a\0",
                                      4),
                          false),
              "\uFFFDa");
    EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8", 2), false), "\uFFFD");  // a high surrogate at the end
    EXPECT_EQ(Utf16ToUtf8(std::string("a\0b", 3), false), "a");           // the odd byte is dropped
}

}  // namespace
}  // namespace kiosk
