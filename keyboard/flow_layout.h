#pragma once

#include <vector>

#include "keyboard/placed_key.h"
#include "shell/control_model.h"

namespace kiosk {

// The lowered inner bevel of a flowing panel, on each side.
inline constexpr int kFlowPanelBevel = 1;

// Lays children out as a flowing panel does: in order from left to right inside the panel's margins
// and bevel, starting a new line when the next child does not fit.
void FlowLayout(const PanelModel& panel, std::vector<PlacedKey>& children);

}  // namespace kiosk
