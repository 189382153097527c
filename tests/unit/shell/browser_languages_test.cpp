#include "shell/browser_languages.h"

#include <gtest/gtest.h>

namespace kiosk::testing {
namespace {

using Languages = std::vector<std::string>;

TEST(BrowserLanguages, TheOptionThenTheLocaleThenRussian) {
    const std::tuple<const char*, const char*, Languages> cases[] = {
        {"ru-RU, ru, en", "de_DE.UTF-8", {"ru-RU", "ru", "en"}},
        {" en-GB ,, fr ", "", {"en-GB", "fr"}},
        {"", "ru_RU.UTF-8", {"ru-RU", "ru"}},
        {"", "uk_UA.KOI8-U@euro", {"uk-UA", "uk"}},
        {"", "de.UTF-8", {"de"}},
        {"", "C", {"ru-RU", "ru"}},
        {"", "C.UTF-8", {"ru-RU", "ru"}},
        {"", "POSIX", {"ru-RU", "ru"}},
        {"", "", {"ru-RU", "ru"}},
        {" , ", "", {"ru-RU", "ru"}},
    };
    for (const auto& [option, locale, expected] : cases)
        EXPECT_EQ(PreferredLanguages(option, locale), expected) << option << "|" << locale;
}

}  // namespace
}  // namespace kiosk::testing
