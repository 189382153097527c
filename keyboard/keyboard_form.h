#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "keyboard/key_injector.h"
#include "keyboard/key_template.h"
#include "keyboard/keyboard_layout.h"
#include "keyboard/language_settings.h"
#include "keyboard/placed_key.h"
#include "os/user_settings_store.h"

namespace kiosk {

// The keyboard's template: its keys' captions, the keyboard state and what every key does. The
// placed copies in the main window show the template's captions and run its handlers.
class KeyboardForm {
public:
    // Called after every key press once the keys are placed: the key code and whether Shift is latched.
    using KeyUpHandler = std::function<void(std::uint16_t code, bool shift)>;

    // Sets the initial state, reads the language settings and computes the first captions.
    KeyboardForm(KeyInjector& injector, KeyboardLayout& layout, UserSettingsStore& settings,
                 std::function<void()> processMessages);

    // Runs the click handler of template element index.
    void Click(std::size_t index);

    void PressKey(std::uint16_t code);
    void ShiftKey();
    void CapsLockKey();
    void TabKey();
    void EnterKey();
    void CopyKey();
    void PasteKey();
    void LanguageKey();
    void SendLanguageHotkey();
    void RefreshCaptions();

    // Links the placed copies (copy i of element i); from now on captions are mirrored to them and
    // key presses reported to keyUp.
    void Placed(std::vector<PlacedKey>& copies, KeyUpHandler keyUp);

    const std::vector<std::string>& Captions() const { return captions_; }

    bool ShiftLatched = false;
    bool KeyboardPlaced = false;
    bool CopyWithCtrlC = true;
    bool PasteWithCtrlV = true;
    HotkeyKind Hotkey = HotkeyKind::None;
    std::vector<std::string> LanguageNames;
    std::size_t LanguageIndex = 0;

private:
    void Key(std::uint16_t code, unsigned flags) { injector_.InjectKey(code, flags); }
    void Tap(std::uint16_t code);
    void SetCaption(std::size_t index, const std::string& caption);

    KeyInjector& injector_;
    KeyboardLayout& layout_;
    std::function<void()> processMessages_;
    const std::vector<TemplateElement>& elements_;
    std::vector<std::string> captions_;
    std::vector<PlacedKey>* copies_ = nullptr;
    KeyUpHandler keyUp_;
};

}  // namespace kiosk
