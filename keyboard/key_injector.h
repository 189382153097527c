#pragma once

#include <cstdint>

namespace kiosk {

// Flags of an injected key event.
inline constexpr unsigned kKeyExtended = 1;  // the key is one of the extended keys (arrows, Home, ...)
inline constexpr unsigned kKeyRelease = 2;   // release; without it a press

// Puts key events into the system's input stream, where they reach the focused element as real
// keystrokes do and change the system's key, Caps Lock and input language state.
class KeyInjector {
public:
    virtual ~KeyInjector() = default;
    // code is a Windows virtual-key code; flags combine kKeyExtended and kKeyRelease.
    virtual void InjectKey(std::uint16_t code, unsigned flags) = 0;
};

}  // namespace kiosk
