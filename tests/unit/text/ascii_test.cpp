#include "text/ascii.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(AsciiLower, OnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("OpTions[]Ж1"), "options[]Ж1");
}

TEST(AsciiEqualsIgnoringCase, OnlyAsciiLettersMatchAcrossCase) {
    EXPECT_TRUE(AsciiEqualsIgnoringCase("Content-LENGTH", "content-length"));
    EXPECT_TRUE(AsciiEqualsIgnoringCase("", ""));
    EXPECT_FALSE(AsciiEqualsIgnoringCase("Host", "Hos"));
    EXPECT_FALSE(AsciiEqualsIgnoringCase("Hos", "Host"));
    // The letters' neighbours in the table differ from each other by the same 32 but are not letters.
    EXPECT_FALSE(AsciiEqualsIgnoringCase("@[", "`{"));
    // Bytes of other letters (here the UTF-8 of Ж and ж) are compared as they are.
    EXPECT_FALSE(AsciiEqualsIgnoringCase("Ж", "ж"));
    EXPECT_TRUE(AsciiEqualsIgnoringCase("Ж", "Ж"));
}

}  // namespace
}  // namespace kiosk
