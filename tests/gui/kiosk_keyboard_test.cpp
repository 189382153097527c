// The on-screen keyboard of the running program: typing into a page's field in two languages, the
// keyboard opening by itself, and the poll that closes it.

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/screen.h"
#include "tests/support/screen_keyboard.h"
#include "tests/support/window_layout.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

// The keyboard's handlers run the program's pending messages while they press keys, so a touch that
// arrives meanwhile would be handled inside the one before, which no finger is quick enough for.
// A touch whose effect the test cannot see is followed by a finger's pause.
constexpr auto kFingerPause = 80ms;

// A page with one text field that reports its value to the origin after every change.
constexpr char kFieldPage[] =
    "<html><body><form><input id='field' type='text' style='font-size:30px;width:600px'></form>"
    "<script>document.getElementById('field').addEventListener('input', e =>"
    " fetch('/report?field=' + encodeURIComponent(e.target.value), {cache: 'no-store'}));</script>"
    "</body></html>";

class KioskKeyboard : public KioskRun {
protected:
    void StartOn(const std::string& page, const std::string& more = "") {
        origin.Put("page.html", page);
        WriteFile(dir / "kiosk.cfg", "[options]\nstart\n" + origin.Url("/page.html") + "\ninternal\n" +
                                         std::to_string(proxyPort) + "\n" + more);
        Start();
        ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: " + origin.Url("/page.html")));
    }
    void Touch(ScreenPoint point) {
        ClickAt(display, point.x, point.y);
        std::this_thread::sleep_for(kFingerPause);
    }
    // Touches the key of a character, and waits until the page reports the change it makes.
    void TypeKey(ScreenPoint point) {
        const int reports = FieldReports();
        ClickAt(display, point.x, point.y);
        EXPECT_TRUE(WaitUntil([&] { return FieldReports() > reports; }, 10s)) << "no change of the field";
    }
    // Types text on the US layout's keys. The on-screen Shift is a latch that holds until it is
    // touched again, so it is latched for capitals and "!" and released for everything else.
    void TypeUs(const std::string& text) {
        for (const char c : text) {
            const bool shifted = (c >= 'A' && c <= 'Z') || c == '!';
            if (shifted != shiftLatched_) {
                Touch(keys.KeyWith(KeyAction::Shift));
                shiftLatched_ = shifted;
            }
            if (c >= 'A' && c <= 'Z') {
                TypeKey(keys.KeyForCharacter(static_cast<char>(c - 'A' + 'a')));
            } else {
                TypeKey(keys.KeyForCharacter(c == '!' ? '1' : c));
            }
        }
    }
    // How many changes of the field the page has reported.
    int FieldReports() const { return origin.RequestsFor("/report?field=", true); }
    // The field's value as the page last reported it.
    std::string FieldValue() const {
        std::string value;
        for (const auto& line : origin.Requests()) {
            if (!line.starts_with("GET /report?field=")) continue;
            const std::string rest = line.substr(std::string("GET /report?field=").size());
            value = DecodedReport(rest.substr(0, rest.find(' ')));
        }
        return value;
    }
    bool WaitForField(const std::string& value) const {
        return WaitUntil([&] { return FieldValue() == value; }, 10s);
    }
    // Dark pixels of captions where the keyboard shows when it is open.
    long KeyboardInk() {
        return CountPixelsNear(Shot("keyboard.png"), {keys.Left(), keys.Top(), keys.Width(), keys.Height()},
                               "#000000", 90);
    }
    bool WaitForKeyboard() {
        return WaitUntil([&] { return KeyboardInk() > 500; }, 10s);
    }
    // Dark pixels of the caption of the key for letter in shot.
    long CaptionInk(const std::string& shot, char letter) const {
        const ScreenPoint key = keys.KeyForCharacter(letter);
        return CountPixelsNear(shot, {key.x - 10, key.y - 10, 20, 20}, "#000000", 90);
    }

    bool shiftLatched_ = false;
    FileOrigin origin;
    ScreenKeyboard keys{display.Width(), display.Height()};
};

TEST_F(KioskKeyboard, TypesIntoThePagesFieldInBothLanguages) {
    RunOnDisplay(display, "setxkbmap -layout us,ru -option grp:alt_shift_toggle");
    StartOn(kFieldPage);
    ASSERT_TRUE(WaitForKeyboard()) << "the keyboard opens by itself on a page with a text field";
    TypeUs("Hello, World!");
    ASSERT_TRUE(WaitForField("Hello, World!")) << FieldValue();
    const std::string usShot = Shot("us.png");
    const ScreenPoint language = keys.KeyWith(KeyAction::Language);
    ClickAt(display, language.x, language.y);
    // The layout has changed once the keys show it.
    EXPECT_TRUE(
        WaitUntil([&] { return CaptionInk(Shot("switched.png"), 'q') != CaptionInk(usShot, 'q'); }, 10s));
    TypeUs("Ghbdtn");  // the keys of "Привет" on the Russian layout
    ASSERT_TRUE(WaitForField("Hello, World!Привет")) << FieldValue();
    // The letter keys show the Russian layout's characters now ("Й" where "Q" was).
    const std::string ruShot = Shot("ru.png");
    for (const char letter : {'q', 'w', 'f'})
        EXPECT_NE(CaptionInk(usShot, letter), CaptionInk(ruShot, letter)) << letter;
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskKeyboard, EditingKeysCapsLockCopyAndPasteWork) {
    StartOn(kFieldPage);
    ASSERT_TRUE(WaitForKeyboard());
    TypeUs("abcd");
    Touch(keys.KeyFor(0x24));  // Home
    Touch(keys.KeyFor(0x2E));  // Del
    ASSERT_TRUE(WaitForField("bcd")) << FieldValue();
    Touch(keys.KeyFor(0x23));  // End
    Touch(keys.KeyFor(0x25));  // Left
    Touch(keys.KeyFor(0x08));  // BackSpace
    ASSERT_TRUE(WaitForField("bd")) << FieldValue();
    Touch(keys.KeyWith(KeyAction::CapsLock));
    TypeUs("x");
    Touch(keys.KeyWith(KeyAction::CapsLock));
    TypeUs("y");
    ASSERT_TRUE(WaitForField("bXyd")) << FieldValue();
    // Shift latched with an arrow selects the character before the cursor; copy it and paste at the end.
    Touch(keys.KeyWith(KeyAction::Shift));
    Touch(keys.KeyFor(0x25));
    Touch(keys.KeyWith(KeyAction::Shift));
    Touch(keys.KeyWith(KeyAction::Copy));
    Touch(keys.KeyFor(0x23));
    Touch(keys.KeyWith(KeyAction::Paste));
    ASSERT_TRUE(WaitForField("bXydy")) << FieldValue();
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskKeyboard, APasswordFieldAloneDoesNotOpenTheKeyboard) {
    StartOn("<html><body><form><input type='password'></form></body></html>");
    // It would have opened within a second, as it does for a text field.
    EXPECT_TRUE(HoldsFor([&] { return KeyboardInk() < 50; }, 1s));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(KioskKeyboard, AMarkedDocumentWithoutFieldsClosesTheKeyboardAfterTwelveSeconds) {
    StartOn("<html><body><p>no fields here</p></body></html>",
            "[document]\nurl\n127.0.0.1:" + std::to_string(origin.Port()) + "/page.html\n");
    PressButton(display, Button::Keys);
    EXPECT_TRUE(WaitForKeyboard());
    ASSERT_TRUE(WaitUntil([&] { return KeyboardInk() < 50; }, 20s));
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
