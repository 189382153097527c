#pragma once

#include <string_view>

namespace kiosk {

// The url pattern of a document script, matched against a script key (host, then the request
// target: "shop.example/cart?x=1"). A "*" in a pattern stands for any run of characters, and such a
// pattern must match the whole key. A pattern without "*" keeps the older rules: it names a page when
// it equals the key, and its script runs on every page whose key it contains.

// Whether the pattern names this page, so that the page's answer is read whole for the scripts.
bool PatternNamesPage(std::string_view pattern, std::string_view key);

// Whether the pattern's script runs on this page.
bool PatternRunsOn(std::string_view pattern, std::string_view key);

// Whether text matches pattern whole, "*" standing for any run of characters (none included).
bool WildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace kiosk
