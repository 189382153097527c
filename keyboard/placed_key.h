#pragma once

#include <cstddef>

#include "keyboard/key_template.h"
#include "shell/control_model.h"

namespace kiosk {

// A placed copy of a template element in the main window's keyboard panel. Clicks on it run the
// handler of template element Element.
struct PlacedKey : ControlModel {
    std::size_t Element = 0;
    KeyFont Font;
    bool Flat = false;
    KeyPicture Picture = KeyPicture::None;
};

}  // namespace kiosk
