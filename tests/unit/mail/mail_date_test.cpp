#include "mail/mail_date.h"

#include <gtest/gtest.h>

#include "util/date_time.h"

namespace kiosk {
namespace {

TEST(MailDate, IsEnglishWithoutLeadingZeroInTheDayAndWithASignedOffset) {
    EXPECT_EQ(MailDate(EncodeDateTime({2026, 12, 8, 14, 5, 9, 0}), 180), "Tue, 8 Dec 2026 14:05:09 +0300");
    EXPECT_EQ(MailDate(EncodeDateTime({2027, 1, 31, 0, 0, 0, 999}), 0), "Sun, 31 Jan 2027 00:00:00 +0000");
    EXPECT_EQ(MailDate(EncodeDateTime({2026, 7, 4, 23, 59, 59, 0}), -(4 * 60 + 30)),
              "Sat, 4 Jul 2026 23:59:59 -0430");
}

}  // namespace
}  // namespace kiosk
