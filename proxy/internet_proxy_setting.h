#pragma once

#include "os/user_settings_store.h"
#include "proxy/system_proxy_setting.h"

namespace kiosk {

// The user's Internet proxy setting: the values ProxyEnable, ProxyServer and SyncMode5 of the
// Internet Settings key of the user settings store.
class InternetProxySetting : public SystemProxySetting {
public:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

    InternetProxySetting(UserSettingsStore& store, InternetSettingsNotifier& notifier)
        : store_(store), notifier_(notifier) {}

    void Save(SavedProxySetting& saved) override;
    std::string Set(std::int32_t enable, std::int32_t syncMode, const std::string& server) override;

private:
    UserSettingsStore& store_;
    InternetSettingsNotifier& notifier_;
};

}  // namespace kiosk
