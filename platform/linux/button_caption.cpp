#include "platform/linux/button_caption.h"

namespace kiosk {

std::string ShownCaption(const std::string& caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 == caption.size() || caption[i + 1] != '&') continue;
            ++i;
        }
        shown += caption[i];
    }
    return shown;
}

}  // namespace kiosk
