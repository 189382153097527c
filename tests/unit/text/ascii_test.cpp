#include "text/ascii.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(AsciiLower, OnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("OpTions[]Ж1"), "options[]Ж1");
}

}  // namespace
}  // namespace kiosk
