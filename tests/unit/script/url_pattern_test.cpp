#include "script/url_pattern.h"

#include <gtest/gtest.h>

namespace kiosk::testing {
namespace {

struct PatternCase {
    const char* pattern;
    const char* key;
    bool namesPage;
    bool runsOn;
};

TEST(UrlPattern, WithoutAStarEqualityNamesAPageAndContainingRunsTheScript) {
    const PatternCase cases[] = {
        {"h/a", "h/a", true, true},
        {"h/a?x=1", "h/a", false, true},  // a longer pattern runs on the key it contains
        {"h/a", "h/a?x=1", false, false},
        {"H/a", "h/a", false, false},  // case counts
        {"shop.example/cart*", "shop.example/cart", true, true},
        {"shop.example/cart*", "shop.example/cart?utm_source=x", true, true},
        {"shop.example/cart*", "shop.example/car", false, false},
        {"*/banner.js", "a.example/banner.js", true, true},
        {"*/banner.js", "b.example:8080/js/banner.js", true, true},
        {"*/banner.js", "a.example/banner.js?v=2", false, false},  // a star pattern matches the whole key
        {"*.example/*", "www.example/", true, true},
        {"*.example/*", "example/", false, false},
        {"a*b*c", "aXbYbZc", true, true},  // the star gives back characters when a later part fails
        {"a*b*c", "aXbYbZ", false, false},
        {"**", "", true, true},
        {"*", "anything/at?all", true, true},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(PatternNamesPage(c.pattern, c.key), c.namesPage) << c.pattern << " " << c.key;
        EXPECT_EQ(PatternRunsOn(c.pattern, c.key), c.runsOn) << c.pattern << " " << c.key;
    }
}

}  // namespace
}  // namespace kiosk::testing
