#include "shell/idle_return.h"

namespace kiosk {

void RestartIdleTimer(Timer& idleTimer) {
    idleTimer.SetEnabled(false);
    idleTimer.SetEnabled(true);
}

void ReturnAfterIdle(HomeButton& home, const BrowsingContext& window, const std::string& startPage) {
    home.Press(window, startPage);
    window.idleTimer.SetEnabled(false);
}

}  // namespace kiosk
