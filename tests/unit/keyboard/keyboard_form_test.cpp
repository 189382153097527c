#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "keyboard/key_placement.h"
#include "keyboard/keyboard_form.h"
#include "tests/unit/keyboard/keyboard_fakes.h"

namespace kiosk {
namespace {

using Events = std::vector<std::string>;

std::size_t IndexOf(KeyAction action, std::uint16_t code = 0) {
    const std::vector<TemplateElement>& elements = KeyTemplate();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].Action == action && elements[i].Code == code) return i;
    }
    ADD_FAILURE() << "no such key";
    return 0;
}

class KbdformTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.keys["Keyboard Layout\\Preload"] = {{"1", "00000419"}, {"2", "00000409"}};
        settings.keys["Keyboard Layout\\Toggle"] = {{"Hotkey", "1"}};
        layout.plain[0x31] = {1, "1"};
        layout.shifted[0x31] = {1, "!"};
    }
    KeyboardForm& Form() {
        if (!form) form = std::make_unique<KeyboardForm>(injector, layout, settings, [this] { Pump(); });
        return *form;
    }
    void Pump() {
        injector.events.push_back("pump");
        if (onPump) std::exchange(onPump, nullptr)();
    }
    void Place() {
        Form().Placed(copies = PlaceKeys(KeyTemplate(), Form().Captions(), panel, 0, 0),
                      [this](std::uint16_t code, bool shift) {
                          keyUps.push_back(std::to_string(code) + (shift ? " shift" : ""));
                      });
    }
    const std::string& Caption(std::size_t index) { return Form().Captions()[index]; }

    test::RecordingInjector injector;
    test::FakeLayout layout;
    test::FakeSettings settings;
    std::unique_ptr<KeyboardForm> form;
    std::function<void()> onPump;
    PanelModel panel;
    std::vector<PlacedKey> copies;
    std::vector<std::string> keyUps;
};

TEST_F(KbdformTest, ShiftLatchWrapsEveryCharacterUntilReleased) {
    Form().ShiftKey();
    EXPECT_TRUE(Form().ShiftLatched);
    injector.events.clear();
    Form().Click(IndexOf(KeyAction::Character, 0x31));
    Form().Click(IndexOf(KeyAction::Character, 0x41));
    EXPECT_EQ(injector.events, (Events{"A0/1", "pump", "31/0", "31/2", "A0/3", "pump", "A0/1", "pump", "41/0",
                                       "41/2", "A0/3", "pump"}));
    injector.events.clear();
    Form().TabKey();
    Form().EnterKey();
    EXPECT_EQ(injector.events, (Events{"09/0", "09/2", "0D/0", "0D/2"}));
}

TEST_F(KbdformTest, ShiftComputesCaptionsWhileShiftIsDown) {
    const std::size_t one = IndexOf(KeyAction::Character, 0x31);
    Form();
    injector.events.clear();
    onPump = [this] { layout.shiftDown = true; };  // the injected press has reached the key state
    Form().ShiftKey();
    EXPECT_EQ(Caption(one), "!");
    EXPECT_EQ(injector.events, (Events{"10/0", "pump", "10/2", "pump"}));
    layout.shiftDown = false;
    injector.events.clear();
    Form().ShiftKey();
    EXPECT_FALSE(Form().ShiftLatched);
    EXPECT_EQ(Caption(one), "1");
    EXPECT_EQ(injector.events, (Events{"10/0", "10/2", "pump"}));
}

TEST_F(KbdformTest, ShiftClickedDuringAKeyStillReleasesShift) {
    Form().ShiftKey();
    injector.events.clear();
    onPump = [this] { Form().ShiftKey(); };
    Form().PressKey(0x31);
    EXPECT_EQ(injector.events.back(), "pump");
    EXPECT_EQ(injector.events[injector.events.size() - 2], "A0/3");
}

TEST_F(KbdformTest, ExtendedKeysCarryTheFlag) {
    Form();
    for (std::uint16_t code : {0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2E}) {
        injector.events.clear();
        Form().PressKey(code);
        char press[8], release[8];
        std::snprintf(press, sizeof press, "%02X/1", code);
        std::snprintf(release, sizeof release, "%02X/3", code);
        EXPECT_EQ(injector.events, (Events{press, release}));
    }
    injector.events.clear();
    Form().PressKey(0x20);
    Form().PressKey(0x08);
    EXPECT_EQ(injector.events, (Events{"20/0", "20/2", "08/0", "08/2"}));
}

TEST_F(KbdformTest, CopyAndPasteChordsFollowTheSwitches) {
    Form();
    injector.events.clear();
    Form().CopyKey();
    Form().PasteKey();
    EXPECT_EQ(injector.events,
              (Events{"A2/0", "43/0", "43/2", "A2/2", "pump", "A2/0", "56/0", "pump", "56/2", "A2/2"}));
    Form().CopyWithCtrlC = false;
    Form().PasteWithCtrlV = false;
    injector.events.clear();
    Form().CopyKey();
    Form().PasteKey();
    EXPECT_EQ(injector.events,
              (Events{"A2/0", "2D/0", "2D/2", "A2/2", "pump", "A0/0", "2D/0", "pump", "2D/2", "A0/2"}));
}

TEST_F(KbdformTest, LanguageKeySendsTheChordAndCyclesNames) {
    const std::size_t language = IndexOf(KeyAction::Language);
    EXPECT_EQ(Caption(language), "Russian");
    Place();
    injector.events.clear();
    Form().Click(language);
    EXPECT_EQ(Events(injector.events.begin(), injector.events.begin() + 5),
              (Events{"A4/0", "A0/0", "pump", "A0/2", "A4/2"}));
    EXPECT_EQ(Caption(language), "English");
    EXPECT_EQ(copies[language].Caption, "English");
    Form().Click(language);
    EXPECT_EQ(copies[language].Caption, "Russian");
    EXPECT_TRUE(keyUps.empty());
}

TEST_F(KbdformTest, LanguageChordPerHotkeyKind) {
    settings.keys["Keyboard Layout\\Toggle"] = {{"Hotkey", "2"}};
    Form();
    injector.events.clear();
    Form().SendLanguageHotkey();
    EXPECT_EQ(injector.events, (Events{"A2/0", "A0/0", "pump", "A0/2", "A2/2"}));
    Form().Hotkey = HotkeyKind::None;
    injector.events.clear();
    Form().LanguageKey();
    EXPECT_EQ(Form().LanguageIndex, 1u);
    EXPECT_EQ(injector.events, (Events{"pump"}));  // only the caption refresh
}

TEST_F(KbdformTest, OneLanguageKeepsItsCaptionButSendsTheChord) {
    settings.keys["Keyboard Layout\\Preload"] = {{"1", "00000419"}};
    Form();
    injector.events.clear();
    Form().LanguageKey();
    EXPECT_EQ(Caption(IndexOf(KeyAction::Language)), "Russian");
    EXPECT_EQ(injector.events.front(), "A4/0");
}

TEST_F(KbdformTest, CaptionsFromTheLayout) {
    layout.plain[0x51] = {-1, "^"};  // dead key
    layout.plain[0x57] = {1, "&"};   // ampersand
    layout.plain[0x45] = {2, "ab"};
    layout.plain[0x52] = {0, ""};
    Form();
    EXPECT_EQ(Caption(IndexOf(KeyAction::Character, 0x51)), "");
    EXPECT_EQ(Caption(IndexOf(KeyAction::Character, 0x57)), "&&");
    EXPECT_EQ(Caption(IndexOf(KeyAction::Character, 0x45)), "ab");
    EXPECT_EQ(Caption(IndexOf(KeyAction::Character, 0x52)), "");
}

TEST_F(KbdformTest, FixedCaptionsWhenTheKeyStateCannotBeRead) {
    layout.readable = false;
    Place();
    Form().RefreshCaptions();
    EXPECT_EQ(copies[IndexOf(KeyAction::Character, 0xDC)].Caption, "\\");
    EXPECT_EQ(copies[IndexOf(KeyAction::Character, 0xC0)].Caption, "`");
    EXPECT_EQ(Caption(IndexOf(KeyAction::Character, 0x51)), "q");
}

TEST_F(KbdformTest, KeyUpReportedOnlyOncePlaced) {
    Form().PressKey(0x31);
    EXPECT_TRUE(keyUps.empty());
    Place();
    Form().PressKey(0x31);
    Form().ShiftKey();
    Form().PressKey(0x2E);
    Form().TabKey();
    Form().CopyKey();
    EXPECT_EQ(keyUps, (Events{"49", "46 shift"}));
}

}  // namespace
}  // namespace kiosk
