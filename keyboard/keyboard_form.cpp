#include "keyboard/keyboard_form.h"

#include <utility>

#include "keyboard/key_caption.h"

namespace kiosk {
namespace {

std::size_t LanguageKeyIndex(const std::vector<TemplateElement>& elements) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].Action == KeyAction::Language) return i;
    }
    return 0;
}

}  // namespace

KeyboardForm::KeyboardForm(KeyInjector& injector, KeyboardLayout& layout, UserSettingsStore& settings,
                           std::function<void()> processMessages)
    : injector_(injector),
      layout_(layout),
      processMessages_(std::move(processMessages)),
      elements_(KeyTemplate()) {
    for (const TemplateElement& element : elements_) captions_.push_back(element.Caption);
    Hotkey = ReadHotkeyKind(settings);
    LanguageNames = ReadLanguageNames(settings);
    captions_[LanguageKeyIndex(elements_)] = LanguageNames.front();
    RefreshCaptions();
}

void KeyboardForm::Click(std::size_t index) {
    const TemplateElement& element = elements_.at(index);
    switch (element.Action) {
        case KeyAction::Character:
        case KeyAction::Press:
            PressKey(element.Code);
            break;
        case KeyAction::Tab:
            TabKey();
            break;
        case KeyAction::CapsLock:
            CapsLockKey();
            break;
        case KeyAction::Enter:
            EnterKey();
            break;
        case KeyAction::Shift:
            ShiftKey();
            break;
        case KeyAction::Language:
            LanguageKey();
            break;
        case KeyAction::Copy:
            CopyKey();
            break;
        case KeyAction::Paste:
            PasteKey();
            break;
        case KeyAction::None:
            break;
    }
}

void KeyboardForm::RefreshCaptions() {
    processMessages_();
    KeyState state{};
    const bool readable = layout_.ReadKeyState(state);
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const TemplateElement& element = elements_[i];
        if (element.Action != KeyAction::Character) continue;
        SetCaption(i, readable ? KeyCaption(layout_, element.Code, state) : element.Caption);
    }
}

void KeyboardForm::SetCaption(std::size_t index, const std::string& caption) {
    captions_[index] = caption;
    if (KeyboardPlaced && copies_ != nullptr) (*copies_)[index].Caption = caption;
}

void KeyboardForm::Placed(std::vector<PlacedKey>& copies, KeyUpHandler keyUp) {
    copies_ = &copies;
    keyUp_ = std::move(keyUp);
    KeyboardPlaced = true;
}

void KeyboardForm::LanguageKey() {
    ++LanguageIndex;
    if (LanguageIndex >= LanguageNames.size()) LanguageIndex = 0;
    SendLanguageHotkey();
    SetCaption(LanguageKeyIndex(elements_), LanguageNames[LanguageIndex]);
    RefreshCaptions();
}

}  // namespace kiosk
