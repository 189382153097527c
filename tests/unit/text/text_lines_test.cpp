#include "text/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiosk {
namespace {

using Lines = std::vector<std::string>;

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
