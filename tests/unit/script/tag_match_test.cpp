#include "script/tag_match.h"

#include <gtest/gtest.h>

#include "script/working_text.h"

namespace kiosk {
namespace {

TEST(TagMatch, OpeningNamesAreReadAfterTheAngleBracket) {
    const WorkingText text("x<div class=a><br>");
    EXPECT_TRUE(OpeningMatch(text, "div", 2));
    EXPECT_TRUE(OpeningMatch(text, "di", 2));  // only the name's length of bytes is looked at
    EXPECT_FALSE(OpeningMatch(text, "dvi", 2));
    EXPECT_TRUE(OpeningMatch(text, "br", 15));
    EXPECT_FALSE(OpeningMatch(text, "br>x", 15));  // past the end never matches
    EXPECT_FALSE(OpeningMatch(text, "div", 0));
}

TEST(TagMatch, ClosingNamesAreReadBackwardsFromTheAngleBracket) {
    const WorkingText text("<b>text</b>");
    EXPECT_TRUE(ClosingMatch(text, "/b", 11));
    EXPECT_TRUE(ClosingMatch(text, "b", 11));
    EXPECT_FALSE(ClosingMatch(text, "i", 11));
    EXPECT_TRUE(ClosingMatch(text, "b", 3));
    EXPECT_TRUE(ClosingMatch(text, "<b", 3));
    EXPECT_FALSE(ClosingMatch(text, "a<b", 3));  // before the start never matches
}

}  // namespace
}  // namespace kiosk
