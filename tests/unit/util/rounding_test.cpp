#include "util/rounding.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(RoundedRatioTest, RoundsToTheNearestWithHalvesAsTheRuleSays) {
    const struct {
        int value, numerator, denominator, awayFromZero, toEven;
    } cases[] = {
        {13, 96, 120, 10, 10},   // 10.4
        {13, 144, 120, 16, 16},  // 15.6
        {5, 1, 2, 3, 2},         // 2.5
        {7, 1, 2, 4, 4},         // 3.5
        {-5, 1, 2, -3, -2},      // -2.5
        {5, 1, -2, -3, -2},
        {-7, 1, 2, -4, -4},  // -3.5
        {2000000000, 3, 4, 1500000000, 1500000000},
        {7, 3, 0, 7, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundedRatio(c.value, c.numerator, c.denominator, Halves::AwayFromZero), c.awayFromZero)
            << c.value << "*" << c.numerator << "/" << c.denominator;
        EXPECT_EQ(RoundedRatio(c.value, c.numerator, c.denominator, Halves::ToEven), c.toEven)
            << c.value << "*" << c.numerator << "/" << c.denominator;
    }
}

}  // namespace
}  // namespace kiosk
