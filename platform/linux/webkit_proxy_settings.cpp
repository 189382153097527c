#include "platform/linux/webkit_proxy_settings.h"

#include <webkit2/webkit2.h>

#include <memory>

#include "proxy/internet_proxy_setting.h"
#include "text/ascii.h"

namespace kiosk {

namespace {

// Closes the store's key however the read ends.
class OpenedKey {
public:
    explicit OpenedKey(UserSettingsStore& store) : store_(store) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        try {
            store_.CloseKey();
        } catch (...) {
            // Nothing more can be done about a key that does not close.
        }
    }

private:
    UserSettingsStore& store_;
};

}  // namespace

std::string ProxyUriOf(const std::string& server) {
    const std::string value(TrimBlanks(server));
    if (value.empty()) return {};
    if (value.find("://") != std::string::npos) return value;
    return "http://" + value;
}

BrowserProxy ReadBrowserProxy(UserSettingsStore& store) {
    try {
        if (!store.OpenKey(InternetProxySetting::kKey)) return {};
        OpenedKey key(store);
        if (!store.ValueExists("ProxyEnable") || store.ReadInteger("ProxyEnable") != 1) return {};
        const std::string uri = ProxyUriOf(store.ReadText("ProxyServer"));
        if (uri.empty()) return {};
        return {true, uri};
    } catch (...) {
        return {};
    }
}

void ApplyBrowserProxy(WebKitWebsiteDataManager* manager, const BrowserProxy& proxy) {
    if (!proxy.enabled) {
        webkit_website_data_manager_set_network_proxy_settings(manager, WEBKIT_NETWORK_PROXY_MODE_NO_PROXY,
                                                               nullptr);
        return;
    }
    // No ignore hosts: loopback URLs go through the proxy too.
    const std::unique_ptr<WebKitNetworkProxySettings, decltype(&webkit_network_proxy_settings_free)> settings(
        webkit_network_proxy_settings_new(proxy.uri.c_str(), nullptr), &webkit_network_proxy_settings_free);
    webkit_website_data_manager_set_network_proxy_settings(manager, WEBKIT_NETWORK_PROXY_MODE_CUSTOM,
                                                           settings.get());
}

}  // namespace kiosk
