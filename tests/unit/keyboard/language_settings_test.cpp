#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "keyboard/language_settings.h"
#include "keyboard/language_table.h"
#include "tests/unit/keyboard/keyboard_fakes.h"

namespace kiosk {
namespace {

using Names = std::vector<std::string>;

std::vector<std::string> Preload(std::map<std::string, std::string> values) {
    test::FakeSettings settings;
    settings.keys["Keyboard Layout\\Preload"] = std::move(values);
    return ReadLanguageNames(settings);
}

TEST(LanguageSettingsTest, PreloadEntriesInNumberOrder) {
    EXPECT_EQ(Preload({{"1", "00000419"}, {"2", "00000409"}}), (Names{"Russian", "English"}));
    EXPECT_EQ(Preload({{"2", "00000409"}, {"10", "00000407"}, {"1", "00000419"}}),
              (Names{"Russian", "English", "German"}));
}

TEST(LanguageSettingsTest, UnusableEntriesAreSkipped) {
    EXPECT_EQ(Preload({{"1", "d0010419"},
                       {"2", ""},
                       {"4", "zz"},
                       {"5", "0"},
                       {"6", "00000422"},
                       {"7", "-419"},
                       {"8", "100000409"},
                       {"9", " 409"}}),
              (Names{"Ukrainian"}));
    EXPECT_EQ(Preload({{"1", "00010409"}, {"2", "00000409"}}), (Names{"", "English"}));
    EXPECT_EQ(Preload({}), (Names{"English"}));
    EXPECT_EQ(Preload({{"1", "d0010419"}}), (Names{"English"}));
}

TEST(LanguageSettingsTest, NonTextEntryIsSkipped) {
    test::FakeSettings settings;
    settings.keys["Keyboard Layout\\Preload"] = {{"2", "00000419"}};
    settings.integers["Keyboard Layout\\Preload"] = {{"1", 0x409}};
    EXPECT_EQ(ReadLanguageNames(settings), (Names{"Russian"}));
}

TEST(LanguageSettingsTest, HotkeyKinds) {
    for (auto [text, kind] : std::vector<std::pair<std::string, HotkeyKind>>{{"1", HotkeyKind::AltShift},
                                                                             {"2", HotkeyKind::CtrlShift},
                                                                             {"3", HotkeyKind::None},
                                                                             {"", HotkeyKind::None},
                                                                             {"x", HotkeyKind::None},
                                                                             {"1x", HotkeyKind::None}}) {
        test::FakeSettings settings;
        settings.keys["Keyboard Layout\\Toggle"] = {{"Hotkey", text}};
        EXPECT_EQ(ReadHotkeyKind(settings), kind) << text;
    }
    test::FakeSettings integer;
    integer.integers["Keyboard Layout\\Toggle"] = {{"Hotkey", 2}};
    EXPECT_EQ(ReadHotkeyKind(integer), HotkeyKind::CtrlShift);
    test::FakeSettings missing;
    EXPECT_EQ(ReadHotkeyKind(missing), HotkeyKind::None);
}

TEST(LanguageTableTest, WholeTable) {
    std::set<std::int32_t> ids;
    std::set<std::string> names;
    for (const LanguageEntry& entry : LanguageTable()) {
        ids.insert(entry.Identifier);
        names.insert(entry.Name);
    }
    EXPECT_EQ(ids.size(), 167u);
    EXPECT_EQ(LanguageTable().size(), 167u);
    EXPECT_EQ(names.size(), 85u);
    EXPECT_EQ(LanguageName(0x0408), "Greck");
    EXPECT_EQ(LanguageName(0x041A), "Croatian");
    EXPECT_EQ(LanguageName(0x101A), "Croatian");
    EXPECT_EQ(LanguageName(0x0C1A), "Serbian");
    EXPECT_EQ(LanguageName(0x201A), "Bosnian");
    EXPECT_EQ(LanguageName(0x500A), "Spanish");
    EXPECT_EQ(LanguageName(0x0481), "Maori");
    EXPECT_EQ(LanguageName(0x0428), "");
    EXPECT_EQ(LanguageName(0x10409), "");
}

}  // namespace
}  // namespace kiosk
