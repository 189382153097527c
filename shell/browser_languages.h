#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The languages the browser asks pages for (Accept-Language, navigator.languages), most wanted
// first. option is the "language" option: a comma-separated list ("ru-RU, ru, en"). When it is empty
// the terminal's locale decides (locale: the value of LC_ALL, LC_MESSAGES or LANG, e.g.
// "ru_RU.UTF-8" gives "ru-RU" and "ru"); a locale that names no language ("C", "POSIX", empty) gives
// Russian, the language of the terminal's own texts.
std::vector<std::string> PreferredLanguages(std::string_view option, std::string_view locale);

}  // namespace kiosk
