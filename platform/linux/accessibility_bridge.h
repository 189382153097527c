#pragma once

#include <string>

namespace kiosk {

// Whether a D-Bus session bus can be reached: its address is in the environment, or the user's
// runtime folder holds the bus socket where the system's user manager puts it.
bool SessionBusReachable(const char* busAddress, const char* runtimeDirectory);

// Switches GTK's accessibility bridge off when no session bus can be reached: no assistive technology
// can listen then, and the bridge's search for one (it autolaunches dbus-launch) holds up every
// start, the more so as the browser's sandboxed page processes wait for it. Where a bus exists the
// bridge stays. Must run before GTK is initialised.
void QuietAccessibilityBridgeWithoutSessionBus();

}  // namespace kiosk
