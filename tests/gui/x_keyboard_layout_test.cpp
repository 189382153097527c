#include <gtest/gtest.h>

#include <string>

#include "keyboard/key_codes.h"
#include "platform/linux/x_display.h"
#include "platform/linux/xkb_keyboard_layout.h"
#include "platform/linux/xtest_key_injector.h"
#include "tests/gui/keyboard_window.h"

namespace kiosk::testing {
namespace {

class XkbLayout : public ::testing::Test {
protected:
    KeyState Read() {
        KeyState state{};
        EXPECT_TRUE(layout.ReadKeyState(state));
        return state;
    }

    // The characters of code in the server's layout of now, with Shift and Caps Lock as given.
    std::string Characters(std::uint16_t code, bool shift = false, bool caps = false) {
        KeyState state = Read();
        state[kVkShift] = shift ? 0x80 : 0;
        state[kVkCapital] = caps ? 0x01 : 0;
        std::string chars = "unchanged";
        const int count = layout.KeyCharacters(code, state, chars);
        return count == g_utf8_strlen(chars.c_str(), -1) ? chars : "count " + std::to_string(count);
    }

    void Tap(std::uint16_t code) {
        injector.InjectKey(code, 0);
        injector.InjectKey(code, kKeyRelease);
    }

    void SwitchGroup() {
        injector.InjectKey(kVkLMenu, 0);
        Tap(kVkLShift);
        injector.InjectKey(kVkLMenu, kKeyRelease);
    }

    GtkStarted gtk;
    XDisplay display;
    XTestKeyInjector injector{display.get()};
    XkbKeyboardLayout layout;
};

TEST_F(XkbLayout, CharactersFollowShiftCapsLockAndTheGroup) {
    SetLayout("-layout us,ru -option grp:alt_shift_toggle");
    EXPECT_EQ(Characters('Q'), "q");
    EXPECT_EQ(Characters('Q', true), "Q");
    EXPECT_EQ(Characters('Q', false, true), "Q");
    EXPECT_EQ(Characters('Q', true, true), "q");
    EXPECT_EQ(Characters('1', true, true), "!");
    SwitchGroup();
    EXPECT_EQ(Characters('Q'), "й");
    EXPECT_EQ(Characters('Q', false, true), "Й");
    EXPECT_EQ(Characters('7', true), "?");
    SwitchGroup();
    EXPECT_EQ(Characters('Q'), "q");
}

TEST_F(XkbLayout, FollowsAKeymapSetAtRunTime) {
    SetLayout("-layout us");
    EXPECT_EQ(Characters('Y'), "y");
    SetLayout("-layout de");
    EXPECT_EQ(Characters('Y'), "z");
    EXPECT_EQ(Characters(0xBA), "ö");
    SetLayout("-layout us");
    EXPECT_EQ(Characters('Y'), "y");
}

TEST_F(XkbLayout, DeadKeysAndKeysWithoutCharacters) {
    SetLayout("-layout us -variant intl");
    const KeyState state = Read();
    std::string chars = "unchanged";
    EXPECT_LT(layout.KeyCharacters(0xDE, state, chars), 0);  // the apostrophe key: dead acute
    EXPECT_EQ(chars, "");
    EXPECT_EQ(Characters('A'), "a");
    chars = "unchanged";
    EXPECT_EQ(layout.KeyCharacters(kVkLShift, state, chars), 0);
    EXPECT_EQ(chars, "");
    EXPECT_EQ(layout.KeyCharacters(0x07, state, chars), 0);  // a code without a key
}

TEST_F(XkbLayout, KeyStateHasTheServersDownAndToggleBits) {
    SetLayout("-layout us");
    injector.InjectKey(0xA1, 0);  // right Shift
    KeyState state = Read();
    EXPECT_EQ(state[0xA1], 0x80);
    EXPECT_EQ(state[kVkShift], 0x80);
    EXPECT_EQ(state[kVkLShift], 0);
    injector.InjectKey(0xA1, kKeyRelease);
    EXPECT_EQ(Read()[kVkShift], 0);

    for (const std::uint16_t lock : {kVkCapital, std::uint16_t{0x90}}) {  // Caps Lock, Num Lock
        Tap(lock);
        EXPECT_EQ(Read()[lock], 0x01) << lock;
        Tap(lock);
        EXPECT_EQ(Read()[lock], 0) << lock;
    }
}

}  // namespace
}  // namespace kiosk::testing
