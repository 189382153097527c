#pragma once

#include <optional>
#include <string>
#include <vector>

#include "os/user_settings_store.h"

namespace kiosk {

// The system's language-switch chord.
enum class HotkeyKind { None = 0, AltShift = 1, CtrlShift = 2 };

// How many numbered values of the preloaded layouts are looked at ("1" up to this).
inline constexpr int kMaxPreloadEntries = 64;

// The chord from "Hotkey" of "Keyboard Layout\Toggle", a whole number as text or as an integer:
// 1 Left Alt+Left Shift, 2 Left Ctrl+Left Shift, anything else (missing or not a whole number
// included) none.
HotkeyKind ReadHotkeyKind(UserSettingsStore& store);

// A layout identifier as the hexadecimal text of a preload value, into a signed 32-bit number; none
// when the text is not a hexadecimal number of at most 8 digits.
std::optional<std::int32_t> ParseLayoutIdentifier(const std::string& text);

// The display names of the preloaded input languages ("Keyboard Layout\Preload", values "1", "2", ...
// in ascending order). Missing, empty, non-hexadecimal and non-positive entries are skipped; an
// identifier not in the language table gives an empty name. Never empty: "English" when no entry is
// usable.
std::vector<std::string> ReadLanguageNames(UserSettingsStore& store);

}  // namespace kiosk
