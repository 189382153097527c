#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "keyboard/keyboard_form.h"
#include "keyboard/on_screen_keyboard.h"
#include "keyboard/placed_key.h"

namespace kiosk {

// The on-screen keyboard: a template of keys whose copies are placed into the main window.
class TemplateOnScreenKeyboard : public OnScreenKeyboard {
public:
    TemplateOnScreenKeyboard(KeyInjector& injector, KeyboardLayout& layout, UserSettingsStore& settings,
                             std::function<void()> processMessages)
        : injector_(injector),
          layout_(layout),
          settings_(settings),
          processMessages_(std::move(processMessages)) {}

    // Creates the template when it does not exist yet, then places its copies into target.
    void PlaceKeyboard(PanelModel& target, MainWindowControls& window, int keys, int interval) override;
    void SetCopyPasteSwitches(bool copyWithCtrlC, bool pasteWithCtrlV) override;

    // The template's elements as this screen shows them (scaled to its density); the design's
    // elements until set.
    void SetTemplateElements(std::vector<TemplateElement> elements) { elements_ = std::move(elements); }

    // Called with every key press once placed; the main window restarts its idle timer there.
    void SetKeyUpTarget(KeyboardForm::KeyUpHandler keyUp) { keyUp_ = std::move(keyUp); }

    // The placed copies in layout order; empty before placement.
    const std::vector<PlacedKey>& PlacedKeys() const { return copies_; }
    // The template; null before placement.
    KeyboardForm* Template() { return template_.get(); }

private:
    KeyInjector& injector_;
    KeyboardLayout& layout_;
    UserSettingsStore& settings_;
    std::function<void()> processMessages_;
    KeyboardForm::KeyUpHandler keyUp_;
    std::unique_ptr<KeyboardForm> template_;
    std::vector<PlacedKey> copies_;
    std::vector<TemplateElement> elements_ = KeyTemplate();
};

}  // namespace kiosk
