#include "shell/page_zoom.h"

#include "util/integer_text.h"

namespace kiosk {

std::optional<std::string> PageZoomFactor(const std::string& zoomOption) {
    switch (IntegerOr(zoomOption, 0)) {
        case -2:
            return "0.25";
        case -1:
            return "0.5";
        case 1:
            return "2";
        case 2:
            return "5";
        default:
            return std::nullopt;
    }
}

}  // namespace kiosk
