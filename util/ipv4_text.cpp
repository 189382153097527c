#include "util/ipv4_text.h"

namespace kiosk {

namespace {

// One part of one to three digits, at most 255; moves text past it.
std::optional<std::uint8_t> TakePart(std::string_view& text) {
    int value = 0;
    size_t digits = 0;
    while (digits < text.size() && digits < 3 && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    if (digits == 0 || value > 255) return std::nullopt;
    text.remove_prefix(digits);
    return static_cast<std::uint8_t>(value);
}

}  // namespace

std::optional<std::array<std::uint8_t, 4>> ParseIPv4Literal(std::string_view text) {
    std::array<std::uint8_t, 4> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        const auto part = TakePart(text);
        if (!part) return std::nullopt;
        bytes[i] = *part;
    }
    if (!text.empty()) return std::nullopt;
    return bytes;
}

}  // namespace kiosk
