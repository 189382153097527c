#include "text/russian_plural.h"

namespace kiosk {

std::string CountInRussian(long long count, std::string_view one, std::string_view few,
                           std::string_view many) {
    const long long lastTwo = (count < 0 ? -count : count) % 100;
    const long long last = lastTwo % 10;
    const bool teen = lastTwo >= 11 && lastTwo <= 14;
    const std::string_view word = teen ? many : last == 1 ? one : (last >= 2 && last <= 4) ? few : many;
    return std::to_string(count) + " " + std::string(word);
}

}  // namespace kiosk
