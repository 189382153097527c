#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "keyboard/language_settings.h"
#include "platform/linux/x_display.h"
#include "platform/linux/xkb_keyboard_settings.h"
#include "tests/gui/keyboard_window.h"

namespace kiosk::testing {
namespace {

using Names = std::vector<std::string>;

class XkbSettings : public ::testing::Test {
protected:
    std::string Hotkey(const std::string& options) {
        SetLayout("-layout us,ru " + options);
        EXPECT_TRUE(settings.OpenKey("Keyboard Layout\\Toggle"));
        const std::string value = settings.ReadText("Hotkey");
        settings.CloseKey();
        return value;
    }

    GtkStarted gtk;
    XDisplay display;
    XkbKeyboardSettings settings{display.get()};
};

TEST_F(XkbSettings, PreloadHasOneLayoutIdentifierPerGroup) {
    SetLayout("-layout us,ru");
    ASSERT_TRUE(settings.OpenKey("Keyboard Layout\\Preload"));
    EXPECT_EQ(settings.ReadText("1"), "00000409");
    EXPECT_EQ(settings.ReadText("2"), "00000419");
    EXPECT_FALSE(settings.ValueExists("3"));
    EXPECT_THROW(settings.WriteText("3", "00000407"), std::runtime_error);
    settings.CloseKey();
    // A layout without a language keeps its place, so the names stay with their groups.
    SetLayout("-layout us,epo,ua");
    EXPECT_EQ(ReadLanguageNames(settings), (Names{"English", "", "Ukrainian"}));
}

TEST_F(XkbSettings, HotkeyFollowsTheGroupSwitchOption) {
    EXPECT_EQ(Hotkey("-option grp:alt_shift_toggle"), "1");
    EXPECT_EQ(Hotkey("-option ctrl:nocaps -option grp:ctrl_shift_toggle"), "2");
    EXPECT_EQ(Hotkey("-option grp:caps_toggle"), "3");
    EXPECT_EQ(Hotkey(""), "3");
    EXPECT_EQ(ReadHotkeyKind(settings), HotkeyKind::None);
    EXPECT_FALSE(settings.OpenKey("Keyboard Layout"));
}

}  // namespace
}  // namespace kiosk::testing
