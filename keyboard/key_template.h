#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kiosk {

enum class ElementKind { Key, Gap, Separator };

// What a key does when clicked.
enum class KeyAction { None, Character, Press, Tab, CapsLock, Enter, Shift, Language, Copy, Paste };

// The pictures some keys show instead of a caption.
enum class KeyPicture { None, ArrowUp, ArrowDown, ArrowLeft, ArrowRight, Copy, Paste };

struct KeyFont {
    int Height = 0;  // character height in pixels
    bool Bold = false;
};

// One element of the keyboard's layout, in design units at 96 pixels per inch.
struct TemplateElement {
    ElementKind Kind = ElementKind::Key;
    int Width = 0;
    int Height = 0;
    std::string Caption;  // for character keys, the caption used when the key state cannot be read
    KeyFont Font;
    KeyPicture Picture = KeyPicture::None;
    KeyAction Action = KeyAction::None;
    std::uint16_t Code = 0;  // key code for Character and Press keys
    bool Stretch = false;    // the row's first key, widened or narrowed to make the row fit
    bool Enabled() const { return Kind == ElementKind::Key; }
};

inline constexpr int kTemplatePadding = 6;
inline constexpr int kTemplateRowWidth = 505;
inline const char kFontName[] = "Tahoma";

// The 125 elements in layout order: five rows of keys with a gap between neighbouring keys and a row
// separator between rows.
const std::vector<TemplateElement>& KeyTemplate();

}  // namespace kiosk
