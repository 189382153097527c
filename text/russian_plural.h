#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// "count word" with the word in the Russian form the number takes: one (1, 21, 101: "запись"),
// few (2-4, 22-24: "записи") or many (0, 5-20, 25-30: "записей").
std::string CountInRussian(long long count, std::string_view one, std::string_view few,
                           std::string_view many);

}  // namespace kiosk
