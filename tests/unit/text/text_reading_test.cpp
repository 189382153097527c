#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/bom_text.h"
#include "text/text_lines.h"

namespace kiosk {
namespace {

using Lines = std::vector<std::string>;

TEST(DecodeTextWithBom, SelectsTheEncodingByItsMark) {
    EXPECT_EQ(DecodeTextWithBom(std::string("\xFF\xFE"
                                            "a\0\x16\x04",
                                            6)),
              "aЖ");
    EXPECT_EQ(DecodeTextWithBom(std::string("\xFE\xFF\0a\x04\x16", 6)), "aЖ");
    EXPECT_EQ(DecodeTextWithBom("\xEF\xBB\xBF"
                                "aЖ"),
              "aЖ");
    EXPECT_EQ(DecodeTextWithBom("a\xC6"), "aЖ");  // no mark: windows-1251
    EXPECT_EQ(DecodeTextWithBom(""), "");
    EXPECT_EQ(DecodeTextWithBom("\xFF\xFE"), "");
}

TEST(DecodeTextWithBom, DamagedUnicodeIsReplacedNotFatal) {
    // UTF-16 of odd length: the dangling byte is dropped.
    EXPECT_EQ(DecodeTextWithBom(std::string("\xFF\xFE"
                                            "a\0b",
                                            5)),
              "a");
    // A surrogate pair and a lone surrogate.
    EXPECT_EQ(DecodeTextWithBom(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x3D\xD8"
                                            "a\0",
                                            10)),
              "😀\uFFFDa");
    // Broken UTF-8 after a UTF-8 mark.
    EXPECT_EQ(DecodeTextWithBom("\xEF\xBB\xBF"
                                "a\xFF"
                                "b"),
              "a\uFFFDb");
}

TEST(SplitTextLines, EveryKindOfLineEnd) {
    EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTextLines("a\n"), (Lines{"a"}));
    EXPECT_EQ(SplitTextLines("a\n\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitTextLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two ends
    EXPECT_EQ(SplitTextLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines(""), Lines{});
    EXPECT_EQ(SplitTextLines(" x "), (Lines{" x "}));  // blanks stay
}

TEST(SplitTextLines, NulEndsTheText) {
    EXPECT_EQ(SplitTextLines(std::string("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines(std::string("\0a", 2)), Lines{});
}

}  // namespace
}  // namespace kiosk
