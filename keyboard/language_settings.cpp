#include "keyboard/language_settings.h"

#include <charconv>
#include <stdexcept>

#include "keyboard/language_table.h"

namespace kiosk {
namespace {

// The text of a value; empty when it is missing or not a text.
std::string TextOrEmpty(UserSettingsStore& store, const std::string& name) {
    if (!store.ValueExists(name)) return {};
    try {
        return store.ReadText(name);
    } catch (const std::runtime_error&) {
        return {};
    }
}

std::optional<int> ParseWholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [next, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || next != end) return std::nullopt;
    return value;
}

// A whole number stored as text or as an integer; none when missing or neither.
std::optional<int> ReadWholeNumber(UserSettingsStore& store, const std::string& name) {
    if (!store.ValueExists(name)) return std::nullopt;
    try {
        return ParseWholeNumber(store.ReadText(name));
    } catch (const std::runtime_error&) {
    }
    try {
        return store.ReadInteger(name);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

}  // namespace

HotkeyKind ReadHotkeyKind(UserSettingsStore& store) {
    if (!store.OpenKey("Keyboard Layout\\Toggle")) return HotkeyKind::None;
    const std::optional<int> number = ReadWholeNumber(store, "Hotkey");
    store.CloseKey();
    if (number == 1) return HotkeyKind::AltShift;
    if (number == 2) return HotkeyKind::CtrlShift;
    return HotkeyKind::None;
}

std::optional<std::int32_t> ParseLayoutIdentifier(const std::string& text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [next, error] = std::from_chars(text.data(), end, value, 16);
    if (error != std::errc() || next != end) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::vector<std::string> ReadLanguageNames(UserSettingsStore& store) {
    std::vector<std::string> names;
    if (store.OpenKey("Keyboard Layout\\Preload")) {
        for (int i = 1; i <= kMaxPreloadEntries; ++i) {
            const std::optional<std::int32_t> id =
                ParseLayoutIdentifier(TextOrEmpty(store, std::to_string(i)));
            if (id && *id > 0) names.push_back(LanguageName(*id));
        }
        store.CloseKey();
    }
    if (names.empty()) names.push_back("English");
    return names;
}

}  // namespace kiosk
