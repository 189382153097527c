#pragma once

#include <string>

namespace kiosk {

// The text a button shows for a caption of the window models: "&&" is one ampersand, and a lone "&"
// marks the next character as the button's accelerator and is not shown itself.
std::string ShownCaption(const std::string& caption);

}  // namespace kiosk
