#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The names the X server was given its keymap by (root window property _XKB_RULES_NAMES): rules,
// model, layouts, variants and options, the lists comma-separated.
struct XkbRulesNames {
    std::string Rules;
    std::string Model;
    std::string Layout;
    std::string Variant;
    std::string Options;
};

// The property's value: the five texts, each ended by a NUL; missing ones are empty.
XkbRulesNames ParseRulesNames(std::string_view property);

// The items of a comma-separated list, empty ones included ("us,,ru" has three).
std::vector<std::string> SplitList(std::string_view list);

struct LayoutLanguage {
    std::string_view Layout;
    std::uint16_t Language;
};

// The XKB layouts (xkeyboard-config's names) that have a language, with the language their basic
// variant is for.
std::span<const LayoutLanguage> LayoutLanguages();

// The Windows language identifier for an XKB layout name ("us" 0x0409, "ru" 0x0419, ...); 0 for a
// layout that has no language of its own in the table.
std::uint16_t LanguageOfLayout(std::string_view layout);

// The keyboard layout identifier to list for an XKB layout, as eight hexadecimal digits. A layout
// without a language gets a positive identifier that has no language name, so that the list keeps
// one entry per group.
std::string PreloadValue(std::string_view layout);

// The language-switch chord the keyboard presses for these XKB options: "1" Left Alt+Left Shift, "2"
// Left Ctrl+Left Shift, "3" none of the two.
std::string HotkeyValue(std::string_view options);

}  // namespace kiosk
