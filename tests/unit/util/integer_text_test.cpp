#include "util/integer_text.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(IntegerText, WholeDecimalNumbersOnly) {
    EXPECT_EQ(ParseInteger("15"), 15);
    EXPECT_EQ(ParseInteger("-3"), -3);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    for (const char* text : {"", "abc", "8181x", " 5", "5 ", "+-5", "1.5", "2147483648", "-"}) {
        EXPECT_FALSE(ParseInteger(text).has_value()) << text;
    }
    EXPECT_EQ(IntegerOr("abc", 15), 15);
}

}  // namespace
}  // namespace kiosk
