#include "script/url_pattern.h"

namespace kiosk {

namespace {

bool HasWildcard(std::string_view pattern) {
    return pattern.find('*') != std::string_view::npos;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text) {
    // Greedy with one point of return: after a "*", a mismatch retries with the star taking one more
    // character. Linear in practice, at most pattern length times text length.
    size_t p = 0;
    size_t t = 0;
    size_t star = std::string_view::npos;
    size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starText = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool PatternNamesPage(std::string_view pattern, std::string_view key) {
    return HasWildcard(pattern) ? WildcardMatch(pattern, key) : pattern == key;
}

bool PatternRunsOn(std::string_view pattern, std::string_view key) {
    return HasWildcard(pattern) ? WildcardMatch(pattern, key) : pattern.find(key) != std::string_view::npos;
}

}  // namespace kiosk
