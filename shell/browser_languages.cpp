#include "shell/browser_languages.h"

#include "text/ascii.h"

namespace kiosk {

namespace {

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view item = TrimBlanks(list.substr(0, comma));
        if (!item.empty()) items.emplace_back(item);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return items;
}

bool IsLetters(std::string_view text) {
    if (text.empty() || text.size() > 8) return false;
    for (const char c : text) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

// "ru_RU.UTF-8@euro" gives "ru-RU" and "ru"; "de.UTF-8" gives "de"; nothing for "C" and the like.
std::vector<std::string> LocaleLanguages(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const size_t underscore = locale.find('_');
    const std::string_view language = locale.substr(0, underscore);
    if (!IsLetters(language) || language == "C" || language == "POSIX") return {};
    if (underscore == std::string_view::npos) return {std::string(language)};
    const std::string_view region = locale.substr(underscore + 1);
    if (!IsLetters(region)) return {std::string(language)};
    return {std::string(language) + "-" + std::string(region), std::string(language)};
}

}  // namespace

std::vector<std::string> PreferredLanguages(std::string_view option, std::string_view locale) {
    std::vector<std::string> languages = SplitList(option);
    if (languages.empty()) languages = LocaleLanguages(locale);
    if (languages.empty()) languages = {"ru-RU", "ru"};
    return languages;
}

}  // namespace kiosk
