#pragma once

#include <vector>

#include "keyboard/key_template.h"
#include "shell/density_scaling.h"

namespace kiosk {

// The template's elements for a screen of pixelsPerInch: font heights scaled from the template's
// density to that screen, widths and heights by ratio (DensityScale with kKeyTemplateDesign). Each
// size is scaled by itself, so that keys of one design size stay of one size; placement makes the
// rows as wide as the first.
std::vector<TemplateElement> ScaleKeyTemplate(const std::vector<TemplateElement>& elements, int pixelsPerInch,
                                              ScaleRatio ratio);

}  // namespace kiosk
