#include "util/ipv4_text.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(IPv4Text, OnlyFourDecimalPartsUpTo255AreAnAddress) {
    EXPECT_EQ(ParseIPv4Literal("192.168.0.255"), (std::array<std::uint8_t, 4>{192, 168, 0, 255}));
    for (const char* name : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1.2.3.0004", "1..2.3",
                             "a.b.c.d", "1.2.3.4 ", "localhost"}) {
        EXPECT_FALSE(ParseIPv4Literal(name).has_value()) << name;
    }
}

}  // namespace
}  // namespace kiosk
