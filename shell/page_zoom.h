#pragma once

#include <optional>
#include <string>

namespace kiosk {

// The zoom factor written to each completed page for the zoom option's value (-2, -1, 1, 2), as
// decimal text; no factor for any other value.
std::optional<std::string> PageZoomFactor(const std::string& zoomOption);

}  // namespace kiosk
