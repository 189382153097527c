#pragma once

#include "proxy/system_proxy_setting.h"

namespace kiosk {

// Placeholder until the user settings store exists: reads nothing, writes nothing, reports success.
class PlaceholderSystemProxySetting : public SystemProxySetting {
public:
    void Save(SavedProxySetting&) override {}
    std::string Set(std::int32_t, std::int32_t, const std::string&) override { return {}; }
};

}  // namespace kiosk
