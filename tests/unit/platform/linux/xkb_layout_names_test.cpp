#include "platform/linux/xkb_layout_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "keyboard/language_settings.h"
#include "keyboard/language_table.h"

namespace kiosk {
namespace {

using namespace std::string_literals;

TEST(XkbLayoutNamesTest, RulesNamesAreFiveNulEndedTextsAndListsKeepEmptyItems) {
    const XkbRulesNames names = ParseRulesNames("evdev\0pc105\0us,,ru\0,intl\0grp:alt_shift_toggle\0"s);
    EXPECT_EQ(names.Layout, "us,,ru");
    EXPECT_EQ(names.Options, "grp:alt_shift_toggle");
    EXPECT_EQ(SplitList(names.Layout), (std::vector<std::string>{"us", "", "ru"}));
    // A property cut short leaves the missing texts empty.
    const XkbRulesNames cut = ParseRulesNames("evdev\0pc105\0de"s);
    EXPECT_EQ(cut.Layout, "de");
    EXPECT_EQ(cut.Options, "");
}

TEST(XkbLayoutNamesTest, EveryMappedLayoutHasALanguageName) {
    std::set<std::string_view> layouts;
    for (const LayoutLanguage& entry : LayoutLanguages()) {
        EXPECT_TRUE(layouts.insert(entry.Layout).second) << entry.Layout << " is listed twice";
        EXPECT_NE(LanguageName(entry.Language), "") << entry.Layout;
    }
    EXPECT_EQ(PreloadValue("gb"), "00000809");
    EXPECT_EQ(PreloadValue("fr"), "0000040C");
}

TEST(XkbLayoutNamesTest, AnUnknownLayoutStillTakesItsPlaceInTheLanguageList) {
    // The keyboard skips identifiers that are not positive hexadecimal numbers; an unknown layout
    // must not give one, or the names after it would belong to the wrong groups.
    for (const char* layout : {"epo", ""}) {
        const std::optional<std::int32_t> id = ParseLayoutIdentifier(PreloadValue(layout));
        ASSERT_TRUE(id.has_value()) << layout;
        EXPECT_GT(*id, 0) << layout;
        EXPECT_EQ(LanguageName(*id), "") << layout;
    }
}

TEST(XkbLayoutNamesTest, HotkeyIsTheChordTheKeyboardPresses) {
    EXPECT_EQ(HotkeyValue("ctrl:nocaps,grp:lalt_lshift_toggle"), "1");
    EXPECT_EQ(HotkeyValue("grp:lctrl_lshift_toggle"), "2");
    // Chords with keys the keyboard does not press.
    EXPECT_EQ(HotkeyValue("grp:alt_shift_toggle_bidir"), "3");
    EXPECT_EQ(HotkeyValue("grp:ralt_rshift_toggle"), "3");
}

}  // namespace
}  // namespace kiosk
