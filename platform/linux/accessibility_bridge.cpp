#include "platform/linux/accessibility_bridge.h"

#include <glib.h>

#include <filesystem>
#include <system_error>

namespace kiosk {

bool SessionBusReachable(const char* busAddress, const char* runtimeDirectory) {
    if (busAddress != nullptr && *busAddress != '\0') return true;
    if (runtimeDirectory == nullptr || *runtimeDirectory == '\0') return false;
    std::error_code error;
    return std::filesystem::is_socket(std::filesystem::path(runtimeDirectory) / "bus", error);
}

void QuietAccessibilityBridgeWithoutSessionBus() {
    if (SessionBusReachable(g_getenv("DBUS_SESSION_BUS_ADDRESS"), g_getenv("XDG_RUNTIME_DIR"))) return;
    // An operator's own setting stays as it is.
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
}

}  // namespace kiosk
