#include "proxy/tls/inspection_policy.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kiosk {
namespace {

DocumentScriptList Scripts(const std::vector<std::string>& patterns) {
    DocumentScriptList scripts;
    for (const std::string& pattern : patterns)
        scripts.push_back(std::make_unique<DocumentScript>(DocumentScript{pattern, {}}));
    return scripts;
}

TEST(InspectionPolicy, ByDefaultOnlyTheHostsTheScriptsNameOnTheirPorts) {
    const DocumentScriptList scripts = Scripts(
        {"example.org/", "Shop.Example.COM:8443/cart", "[2001:db8::1]/", "[::1]:4443/x", "bare.example"});
    const InspectionPolicy policy("", scripts);
    EXPECT_TRUE(policy.Inspects("example.org", 443));
    EXPECT_TRUE(policy.Inspects("EXAMPLE.org", 443));
    EXPECT_FALSE(policy.Inspects("example.org", 8443));
    EXPECT_FALSE(policy.Inspects("www.example.org", 443));
    EXPECT_TRUE(policy.Inspects("shop.example.com", 8443));
    EXPECT_FALSE(policy.Inspects("shop.example.com", 443));
    EXPECT_TRUE(policy.Inspects("[2001:db8::1]", 443));
    EXPECT_TRUE(policy.Inspects("[::1]", 4443));
    EXPECT_TRUE(policy.Inspects("bare.example", 443));
    EXPECT_FALSE(policy.Inspects("other.example", 443));
}

TEST(InspectionPolicy, PatternsWithoutAHostOrWithABadPortNameNothing) {
    const DocumentScriptList scripts = Scripts({"/index.html", "", "example.org:99999/", "example.org:x/"});
    const InspectionPolicy policy("", scripts);
    for (const char* host : {"", "example.org", "example.org:x"}) {
        // 34463 is 99999 cut to 16 bits.
        for (const int port : {443, 34463}) EXPECT_FALSE(policy.Inspects(host, port)) << host << port;
    }
}

TEST(InspectionPolicy, AHostWithAStarNamesEveryHostItMatches) {
    const InspectionPolicy policy("", Scripts({"*.Shop.example/*", "cdn.example:*/lib.js"}));
    const std::tuple<const char*, int, bool> cases[] = {
        {"www.shop.example", 443, true},   {"a.b.shop.example", 443, true}, {"shop.example", 443, false},
        {"www.shop.example", 8443, false}, {"cdn.example", 8443, true},     {"cdn.example", 443, true},
        {"cdn.example.org", 443, false},
    };
    for (const auto& [host, port, inspected] : cases)
        EXPECT_EQ(policy.Inspects(host, port), inspected) << host << port;
    EXPECT_TRUE(InspectionPolicy("", Scripts({"*/banner.js"})).Inspects("any.example", 8443));
}

TEST(InspectionPolicy, AllAndTunnelDecideForEveryHostOtherValuesActAsEmpty) {
    const DocumentScriptList scripts = Scripts({"example.org/"});
    EXPECT_TRUE(InspectionPolicy("all", scripts).Inspects("anything.example", 8080));
    EXPECT_FALSE(InspectionPolicy("tunnel", scripts).Inspects("example.org", 443));
    for (const char* other : {"ALL", "yes", " all", "tunnels"}) {
        const InspectionPolicy policy(other, scripts);
        EXPECT_TRUE(policy.Inspects("example.org", 443)) << other;
        EXPECT_FALSE(policy.Inspects("anything.example", 443)) << other;
    }
}

TEST(InspectionPolicy, NothingIsInspectedWhenNoHostCanBe) {
    const std::tuple<const char*, std::vector<std::string>, bool> cases[] = {
        {"tunnel", {"example.org/"}, true},
        {"", {}, true},
        {"", {"/index.html", "example.org:x/"}, true},
        {"all", {}, false},
        {"", {"example.org/"}, false},
        {"", {"*/banner.js"}, false},
    };
    for (const auto& [option, patterns, nothing] : cases)
        EXPECT_EQ(InspectionPolicy(option, Scripts(patterns)).InspectsNothing(), nothing) << option;
}

}  // namespace
}  // namespace kiosk
