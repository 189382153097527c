#include "shell/repeat_guard.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

DateTime At(int second, int millisecond) {
    return EncodeDateTime({2026, 12, 8, 10, 30, second, millisecond});
}

TEST(RepeatGuard, CountsWholeSecondsInEitherDirection) {
    EXPECT_TRUE(TooSoon(At(11, 990), At(10, 0)));
    EXPECT_FALSE(TooSoon(At(12, 0), At(10, 0)));
    // A clock set back.
    EXPECT_TRUE(TooSoon(At(8, 500), At(10, 0)));
    EXPECT_FALSE(TooSoon(At(8, 0), At(10, 0)));
    // Before start-up there was no action.
    EXPECT_FALSE(TooSoon(At(0, 0), 0));
}

TEST(RepeatGuard, ExactlyTwoSecondsIsNeverTooSoonWhateverTheMoment) {
    for (int second = 0; second < 58; ++second) {
        for (int millisecond = 0; millisecond < 1000; millisecond += 7) {
            ASSERT_FALSE(TooSoon(At(second + 2, millisecond), At(second, millisecond)))
                << second << "." << millisecond;
        }
    }
}

}  // namespace
}  // namespace kiosk
