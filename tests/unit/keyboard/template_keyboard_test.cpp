#include <gtest/gtest.h>

#include "keyboard/template_keyboard.h"
#include "tests/unit/keyboard/keyboard_fakes.h"

namespace kiosk {
namespace {

TEST(TemplateKeyboardTest, PlacesTheCopiesAndLinksThemToTheTemplate) {
    test::RecordingInjector injector;
    test::FakeLayout layout;
    layout.readable = false;
    test::FakeSettings settings;
    int keyUps = 0;
    TemplateOnScreenKeyboard keyboard(injector, layout, settings, [] {});
    keyboard.SetKeyUpTarget([&keyUps](std::uint16_t, bool) { ++keyUps; });
    MainWindowControls window;
    keyboard.PlaceKeyboard(window.KeyboardPlace, window, 0, 0);
    EXPECT_EQ(window.KeyboardPlace.Width, 766);
    EXPECT_EQ(window.KeyboardPlace.Height, 251);
    ASSERT_EQ(keyboard.PlacedKeys().size(), 125u);
    EXPECT_EQ(keyboard.PlacedKeys()[0].Caption, "`");
    EXPECT_EQ(keyboard.PlacedKeys()[112].Caption, "English");  // the language key

    keyboard.SetCopyPasteSwitches(false, true);
    ASSERT_NE(keyboard.Template(), nullptr);
    EXPECT_TRUE(keyboard.Template()->KeyboardPlaced);
    keyboard.Template()->CopyKey();
    EXPECT_EQ(injector.events[1], "2D/0");
    keyboard.Template()->Click(0);
    EXPECT_EQ(keyUps, 1);
}

}  // namespace
}  // namespace kiosk
