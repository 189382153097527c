#pragma once

#include <stdexcept>
#include <string>

#include "keyboard/key_injector.h"
#include "keyboard/keyboard_layout.h"
#include "platform/user_settings_store.h"

namespace kiosk {

// Placeholder until key injection exists: the keys send nothing.
class PlaceholderKeyInjector : public KeyInjector {
public:
    void InjectKey(std::uint16_t, unsigned) override {}
};

// Placeholder until the layout can be read: the key state is never readable, so the keys show their
// fixed captions.
class PlaceholderKeyboardLayout : public KeyboardLayout {
public:
    bool ReadKeyState(KeyState&) override { return false; }
    int KeyCharacters(std::uint16_t, const KeyState&, std::string& chars) override {
        chars.clear();
        return 0;
    }
};

// Placeholder until the keyboard settings come from the X server's keyboard setup: no key can be
// opened, so the keyboard sends no language chord and shows "English". Unlike the user's own store it
// never creates keys.
class PlaceholderKeyboardSettings : public UserSettingsStore {
public:
    bool OpenKey(const std::string&) override { return false; }
    std::int32_t ReadInteger(const std::string&) override {
        throw std::runtime_error("no keyboard settings");
    }
    std::string ReadText(const std::string&) override { return {}; }
    bool ValueExists(const std::string&) override { return false; }
    void WriteInteger(const std::string&, std::int32_t) override {
        throw std::runtime_error("keyboard settings cannot be written");
    }
    void WriteText(const std::string&, const std::string&) override {
        throw std::runtime_error("keyboard settings cannot be written");
    }
    void CloseKey() override {}
};

}  // namespace kiosk
