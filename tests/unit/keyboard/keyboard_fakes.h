#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "keyboard/key_injector.h"
#include "keyboard/keyboard_layout.h"
#include "os/user_settings_store.h"

namespace kiosk::test {

// Records injected keys as "code/flags" in hexadecimal code and decimal flags, and "pump" for every
// processing of pending messages when given to it.
class RecordingInjector : public KeyInjector {
public:
    void InjectKey(std::uint16_t code, unsigned flags) override {
        char text[16];
        std::snprintf(text, sizeof text, "%02X/%u", code, flags);
        events.push_back(text);
    }
    std::vector<std::string> events;
};

// A layout that gives per key code a fixed text and count; the shifted text while Shift (0x10) is
// down in the key state.
class FakeLayout : public KeyboardLayout {
public:
    struct Result {
        int count;
        std::string chars;
    };
    bool ReadKeyState(KeyState& state) override {
        if (!readable) return false;
        state = {};
        if (shiftDown) state[0x10] = 0x80;
        return true;
    }
    int KeyCharacters(std::uint16_t code, const KeyState& state, std::string& chars) override {
        const auto& table = (state[0x10] & 0x80) ? shifted : plain;
        auto it = table.find(code);
        if (it == table.end()) {
            chars = "x";
            return 1;
        }
        chars = it->second.chars;
        return it->second.count;
    }
    bool readable = true;
    bool shiftDown = false;
    std::map<std::uint16_t, Result> plain, shifted;
};

// Settings of keys holding text values only.
class FakeSettings : public UserSettingsStore {
public:
    bool OpenKey(const std::string& key) override {
        open_ = key;
        return true;
    }
    std::int32_t ReadInteger(const std::string& name) override {
        if (!integers[open_].count(name)) throw std::runtime_error("not an integer");
        return integers[open_][name];
    }
    std::string ReadText(const std::string& name) override {
        if (integers[open_].count(name)) throw std::runtime_error("not a text");
        return keys[open_][name];
    }
    bool ValueExists(const std::string& name) override {
        return keys[open_].count(name) > 0 || integers[open_].count(name) > 0;
    }
    void WriteInteger(const std::string&, std::int32_t) override {}
    void WriteText(const std::string&, const std::string&) override {}
    void CloseKey() override { open_.clear(); }

    std::map<std::string, std::map<std::string, std::string>> keys;
    std::map<std::string, std::map<std::string, int>> integers;

private:
    std::string open_;
};

}  // namespace kiosk::test
