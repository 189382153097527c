#pragma once

#include <string>

#include "shell/control_model.h"

namespace kiosk {

// Shows the busy animation and starts it, or stops it and hides it.
void SetBusy(AnimatorModel& animator, bool on);

// Reads a GIF file for the busy animation. Returns false, leaving picture as it was, when the file
// cannot be read or is not a GIF image that decodes whole.
bool LoadGifPicture(const std::string& path, std::string& picture);

}  // namespace kiosk
