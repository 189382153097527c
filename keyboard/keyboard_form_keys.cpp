#include "keyboard/key_codes.h"
#include "keyboard/keyboard_form.h"

namespace kiosk {

void KeyboardForm::Tap(std::uint16_t code) {
    Key(code, 0);
    Key(code, kKeyRelease);
}

void KeyboardForm::PressKey(std::uint16_t code) {
    // The latch is read once: a Shift click handled while messages are processed below must not
    // leave the Shift pressed here without its release.
    const bool shifted = ShiftLatched;
    if (shifted) {
        Key(kVkLShift, kKeyExtended);
        processMessages_();
    }
    const unsigned flags = IsExtendedKey(code) ? kKeyExtended : 0;
    Key(code, flags);
    Key(code, flags | kKeyRelease);
    if (shifted) {
        Key(kVkLShift, kKeyExtended | kKeyRelease);
        processMessages_();
    }
    if (KeyboardPlaced && keyUp_) keyUp_(code, shifted);
}

void KeyboardForm::ShiftKey() {
    if (!ShiftLatched) {
        Key(kVkShift, 0);
        RefreshCaptions();
        Key(kVkShift, kKeyRelease);
        processMessages_();
        ShiftLatched = true;
    } else {
        Tap(kVkShift);
        RefreshCaptions();
        ShiftLatched = false;
    }
}

void KeyboardForm::CapsLockKey() {
    Tap(kVkCapital);
    RefreshCaptions();
}

void KeyboardForm::TabKey() {
    Tap(kVkTab);
}

void KeyboardForm::EnterKey() {
    Tap(kVkReturn);
}

void KeyboardForm::CopyKey() {
    const std::uint16_t letter = CopyWithCtrlC ? kVkC : kVkInsert;
    Key(kVkLControl, 0);
    Tap(letter);
    Key(kVkLControl, kKeyRelease);
    processMessages_();
}

void KeyboardForm::PasteKey() {
    const std::uint16_t modifier = PasteWithCtrlV ? kVkLControl : kVkLShift;
    const std::uint16_t letter = PasteWithCtrlV ? kVkV : kVkInsert;
    Key(modifier, 0);
    Key(letter, 0);
    processMessages_();
    Key(letter, kKeyRelease);
    Key(modifier, kKeyRelease);
}

void KeyboardForm::SendLanguageHotkey() {
    if (Hotkey == HotkeyKind::None) return;
    const std::uint16_t modifier = Hotkey == HotkeyKind::AltShift ? kVkLMenu : kVkLControl;
    Key(modifier, 0);
    Key(kVkLShift, 0);
    processMessages_();
    Key(kVkLShift, kKeyRelease);
    Key(modifier, kKeyRelease);
}

}  // namespace kiosk
