#include "keyboard/template_keyboard.h"

#include "keyboard/key_placement.h"

namespace kiosk {

void TemplateOnScreenKeyboard::PlaceKeyboard(PanelModel& target, MainWindowControls&, int keys,
                                             int interval) {
    if (!template_)
        template_ = std::make_unique<KeyboardForm>(injector_, layout_, settings_, processMessages_);
    copies_ = PlaceKeys(elements_, template_->Captions(), target, keys, interval);
    template_->Placed(copies_, [this](std::uint16_t code, bool shift) {
        if (keyUp_) keyUp_(code, shift);
    });
}

void TemplateOnScreenKeyboard::SetCopyPasteSwitches(bool copyWithCtrlC, bool pasteWithCtrlV) {
    if (!template_) return;
    template_->CopyWithCtrlC = copyWithCtrlC;
    template_->PasteWithCtrlV = pasteWithCtrlV;
}

}  // namespace kiosk
