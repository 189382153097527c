#pragma once

namespace kiosk {

// Defaults of the numeric options: the option table starts with them, and the code that reads an
// option falls back on them when its configured text is not a number.
inline constexpr int kDefaultKeyboardInterval = 0;  // "interval": scale code of the keyboard's gaps
inline constexpr int kDefaultKeyboardKeys = 0;      // "keys": scale code of the keyboard's keys
inline constexpr int kDefaultSleepMinutes = 15;     // "sleep": idle minutes before the start page
inline constexpr int kDefaultDaysToKeep = 31;       // "log": days the daily log files are kept
inline constexpr int kDefaultInternalPort = 8181;   // "internal": the loopback proxy's port
inline constexpr int kDefaultProxyPort = 8080;      // "port": the upstream proxy's port

}  // namespace kiosk
