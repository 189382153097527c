#include "util/integer_text.h"

#include <charconv>

namespace kiosk {

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, 10);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::int32_t IntegerOr(std::string_view text, std::int32_t fallback) {
    return ParseInteger(text).value_or(fallback);
}

}  // namespace kiosk
