#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "keyboard/template_keyboard.h"
#include "platform/linux/xkb_keyboard_layout.h"
#include "platform/linux/xkb_keyboard_settings.h"
#include "platform/linux/xtest_key_injector.h"
#include "tests/gui/keyboard_window.h"

namespace kiosk::testing {
namespace {

// The on-screen keyboard's logic on the X devices, typing into a focused entry.
class KeyboardTyping : public ::testing::Test {
protected:
    // The layout is set first: creating the template reads the language settings.
    KeyboardForm& Create(const std::string& layout) {
        SetLayout(layout);
        keyboard = std::make_unique<TemplateOnScreenKeyboard>(injector, xkbLayout, settings, Pump);
        MainWindowControls controls;
        keyboard->PlaceKeyboard(controls.KeyboardPlace, controls, -2, -2);
        return *keyboard->Template();
    }

    void Type(const std::string& keys) {
        for (const unsigned char c : keys) keyboard->Template()->PressKey(c);
    }

    std::string Caption(std::uint16_t code) const {
        return keyboard->Template()->Captions()[CharacterKey(code)];
    }

    EntryWindow window;
    XTestKeyInjector injector{GdkXDisplay()};
    XkbKeyboardLayout xkbLayout;
    XkbKeyboardSettings settings{GdkXDisplay()};
    std::unique_ptr<TemplateOnScreenKeyboard> keyboard;
};

TEST_F(KeyboardTyping, ShiftLatchHoldsUntilShiftIsPressedAgain) {
    KeyboardForm& form = Create("-layout us");
    form.ShiftKey();
    EXPECT_EQ(Caption('H'), "H");
    EXPECT_EQ(Caption('7'), "&&");  // shown as one ampersand
    Type("H");
    form.ShiftKey();
    EXPECT_EQ(Caption('H'), "h");
    Type("ELLO\xBC ");  // 0xBC is the comma key
    form.ShiftKey();
    Type("W");
    form.ShiftKey();
    Type("ORLD");
    form.ShiftKey();
    Type("1");
    form.EnterKey();  // adds nothing, and the latch holds across it
    Type("1");
    form.ShiftKey();
    EXPECT_TRUE(window.ShowsText("Hello, World!!")) << window.Text();
}

TEST_F(KeyboardTyping, LanguageKeySwitchesTheServersLayout) {
    KeyboardForm& form = Create("-layout us,ru -option grp:alt_shift_toggle");
    ASSERT_EQ(form.LanguageNames, (std::vector<std::string>{"English", "Russian"}));
    form.LanguageKey();
    EXPECT_EQ(keyboard->PlacedKeys()[112].Caption, "Russian");
    EXPECT_EQ(Caption('Q'), "й");
    form.ShiftKey();
    Type("G");  // П
    form.ShiftKey();
    Type("HBDTN");  // ривет
    EXPECT_TRUE(window.ShowsText("Привет")) << window.Text();

    form.LanguageKey();
    EXPECT_EQ(keyboard->PlacedKeys()[112].Caption, "English");
    EXPECT_EQ(Caption('Q'), "q");
    Type("Q");
    EXPECT_TRUE(window.ShowsText("Приветq")) << window.Text();
}

}  // namespace
}  // namespace kiosk::testing
