#include "os/host_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kiosk {
namespace {

// Sets TZ for the test's length (POSIX rules, so no zone files are needed).
class TimeZone {
public:
    explicit TimeZone(const char* rule) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        ::setenv("TZ", rule, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST(HostInfo, TheUtcOffsetIsTheOneInForceAtThatLocalTime) {
    {
        TimeZone moscow("MSK-3");
        EXPECT_EQ(UtcOffsetMinutes(EncodeDateTime({2026, 12, 8, 14, 5, 9, 0})), 180);
    }
    TimeZone newYork("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(UtcOffsetMinutes(EncodeDateTime({2026, 1, 15, 12, 0, 0, 0})), -300);
    EXPECT_EQ(UtcOffsetMinutes(EncodeDateTime({2026, 7, 15, 12, 0, 0, 0})), -240);
}

}  // namespace
}  // namespace kiosk
