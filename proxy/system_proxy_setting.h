#pragma once

#include <cstdint>
#include <string>

namespace kiosk {

// The user's proxy setting as start-up found it, written back at shutdown.
struct SavedProxySetting {
    std::int32_t enable = 0;
    std::string server;
    std::int32_t syncMode = 0;
};

// The current user's Internet proxy setting, which the browser follows.
class SystemProxySetting {
public:
    virtual ~SystemProxySetting() = default;

    // Reads the current setting into saved. A failure while reading is thrown to the caller.
    virtual void Save(SavedProxySetting& saved) = 0;

    // Writes the three values and announces the change. Returns the error text, empty on success.
    virtual std::string Set(std::int32_t enable, std::int32_t syncMode, const std::string& server) = 0;
};

}  // namespace kiosk
