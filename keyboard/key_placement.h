#pragma once

#include <string>
#include <vector>

#include "keyboard/key_template.h"
#include "keyboard/placed_key.h"
#include "shell/control_model.h"

namespace kiosk {

// Copies the template's elements into target, scaled by the keys and interval codes, makes every row
// as wide as the first, sizes target to fit the five rows and lays the copies out. captions are the
// template elements' current captions. Returns the copies in layout order; copy i is of element i.
std::vector<PlacedKey> PlaceKeys(const std::vector<TemplateElement>& elements,
                                 const std::vector<std::string>& captions, PanelModel& target, int keys,
                                 int interval);

}  // namespace kiosk
