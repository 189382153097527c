#include "tests/support/screen_keyboard.h"

#include <stdexcept>
#include <string>

#include "keyboard/key_placement.h"
#include "keyboard/template_scaling.h"
#include "shell/density_scaling.h"

namespace kiosk::testing {

namespace {

// Tahoma's text heights at 96 ppi: 10 px gives 12, the window font's 13 px (120 ppi) becomes 10 px.
constexpr ScaleRatio kWindowAt96{12, 16};

}  // namespace

ScreenKeyboard::ScreenKeyboard(int screenWidth, int screenHeight) {
    MainWindowControls window = DesignLayout();
    ScaleControls(window, kWindowAt96);
    PanelModel panel = window.KeyboardPlace;
    const auto& elements = ScaleKeyTemplate(KeyTemplate(), 96, ScaleRatio{});
    std::vector<std::string> captions;
    for (const auto& element : elements) captions.push_back(element.Caption);
    keys_ = PlaceKeys(elements, captions, panel, 0, 0);
    width_ = panel.Width;
    height_ = panel.Height;
    left_ = screenWidth - window.BusyAnimation.Width - panel.Width;
    const int bottomPanelHeight =
        panel.Height + window.ButtonArea.Padding.Top + window.ButtonArea.Padding.Bottom;
    top_ = screenHeight - bottomPanelHeight + window.KeyboardPlace.Top;
}

ScreenPoint ScreenKeyboard::Middle(const PlacedKey& key) const {
    return {left_ + key.Left + key.Width / 2, top_ + key.Top + key.Height / 2};
}

ScreenPoint ScreenKeyboard::KeyFor(std::uint16_t code) const {
    const auto& elements = KeyTemplate();
    for (const PlacedKey& key : keys_) {
        const TemplateElement& element = elements[key.Element];
        if (element.Enabled() && element.Code == code) return Middle(key);
    }
    throw std::runtime_error("no key for code " + std::to_string(code));
}

ScreenPoint ScreenKeyboard::KeyWith(KeyAction action) const {
    const auto& elements = KeyTemplate();
    for (const PlacedKey& key : keys_) {
        if (elements[key.Element].Enabled() && elements[key.Element].Action == action) return Middle(key);
    }
    throw std::runtime_error("no key with that action");
}

ScreenPoint ScreenKeyboard::KeyForCharacter(char c) const {
    if (c >= 'a' && c <= 'z') return KeyFor(static_cast<std::uint16_t>(c - 'a' + 'A'));
    if (c >= '0' && c <= '9') return KeyFor(static_cast<std::uint16_t>(c));
    switch (c) {
        case ' ':
            return KeyFor(0x20);
        case ',':
            return KeyFor(0xBC);
        case '.':
            return KeyFor(0xBE);
        case '-':
            return KeyFor(0xBD);
        case '=':
            return KeyFor(0xBB);
        case ';':
            return KeyFor(0xBA);
        case '/':
            return KeyFor(0xBF);
        case '`':
            return KeyFor(0xC0);
        case '[':
            return KeyFor(0xDB);
        case '\\':
            return KeyFor(0xDC);
        case ']':
            return KeyFor(0xDD);
        case '\'':
            return KeyFor(0xDE);
        default:
            throw std::runtime_error(std::string("no key for '") + c + "'");
    }
}

}  // namespace kiosk::testing
