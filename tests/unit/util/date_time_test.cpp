#include "util/date_time.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(DateTime, TheEpochAndKnownDates) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1}), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2026, 12, 8, 12, 0, 0, 0}), 46364.5);
}

TEST(DateTime, DecodesWhatItEncodes) {
    const CivilDateTime c{2024, 2, 29, 23, 59, 59, 999};
    const CivilDateTime back = DecodeDateTime(EncodeDateTime(c));
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 23);
    EXPECT_EQ(back.minute, 59);
    EXPECT_EQ(back.second, 59);
    EXPECT_EQ(back.millisecond, 999);
}

TEST(DateTime, ShortDateAndLongTimeFormats) {
    const DateTime t = EncodeDateTime({2026, 3, 8, 7, 5, 9, 0});
    EXPECT_EQ(FormatShortDate(t), "08.03.2026");
    EXPECT_EQ(FormatLongTime(t), "07:05:09");
    EXPECT_EQ(ParseShortDate("08.03.2026"), EncodeDateTime({2026, 3, 8}));
}

TEST(DateTime, OnlyRealDatesInTheExactFormatParse) {
    for (const char* text : {"notes", "8.03.2026", "08.3.2026", "08.03.26", "32.01.2026", "29.02.2025",
                             "00.01.2026", "08-03-2026", "08.03.2026 ", "ab.cd.efgh", ""}) {
        EXPECT_FALSE(ParseShortDate(text).has_value()) << text;
    }
    EXPECT_TRUE(ParseShortDate("29.02.2024").has_value());
}

}  // namespace
}  // namespace kiosk
