#include "shell/right_button_filter.h"

namespace kiosk {

bool SwallowsMouseEvent(MouseButton button, MouseAction action) {
    return button == MouseButton::Right && (action == MouseAction::Press || action == MouseAction::Release);
}

}  // namespace kiosk
