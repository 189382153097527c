#include "platform/linux/virtual_key_codes.h"

#include <gtest/gtest.h>

#include <set>

#include "keyboard/key_codes.h"
#include "keyboard/key_template.h"
#include "platform/linux/button_caption.h"

namespace kiosk {
namespace {

TEST(VirtualKeyCodesTest, EveryKeyTheKeyboardSendsHasAKeycode) {
    std::set<std::uint16_t> codes = {kVkTab, kVkReturn, kVkShift,  kVkCapital,  kVkInsert,
                                     kVkC,   kVkV,      kVkLShift, kVkLControl, kVkLMenu};
    for (const TemplateElement& element : KeyTemplate()) {
        if (element.Action == KeyAction::Character || element.Action == KeyAction::Press)
            codes.insert(element.Code);
    }
    for (const std::uint16_t code : codes) EXPECT_NE(XKeycode(code), 0u) << std::hex << code;
    EXPECT_EQ(XKeycode(0x41), 38u);  // A on a server with evdev keycodes
    EXPECT_EQ(XKeycode(0x07), 0u);
}

TEST(VirtualKeyCodesTest, OnlyTheGenericModifierCodesShareTheirLeftKey) {
    std::set<std::uint16_t> codes;
    std::set<unsigned> keys;
    for (const VirtualKeyCode& entry : VirtualKeyTable()) {
        EXPECT_TRUE(codes.insert(entry.Vk).second) << std::hex << entry.Vk;
        if (entry.Vk < 0x10 || entry.Vk > 0x12) {
            EXPECT_TRUE(keys.insert(entry.Evdev).second) << std::hex << entry.Vk;
        }
    }
    EXPECT_EQ(EvdevKeycode(0x11), EvdevKeycode(0xA2));
    EXPECT_NE(EvdevKeycode(0xA2), EvdevKeycode(0xA3));
}

TEST(ButtonCaptionTest, DoubledAmpersandIsOneAndALoneOneIsNotShown) {
    EXPECT_EQ(ShownCaption("&&"), "&");
    EXPECT_EQ(ShownCaption("a&&b&c&"), "a&bc");
}

}  // namespace
}  // namespace kiosk
