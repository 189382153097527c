#pragma once

#include <string>

#include "os/user_settings_store.h"

typedef struct _WebKitWebsiteDataManager WebKitWebsiteDataManager;

namespace kiosk {

// The proxy a browser uses: none, or one proxy URI (http://host:port) for every URL, loopback ones
// included.
struct BrowserProxy {
    bool enabled = false;
    std::string uri;

    bool operator==(const BrowserProxy&) const = default;
};

// The proxy of the user's Internet settings, read as proxy/internet_proxy_setting.cpp writes them:
// ProxyEnable 1 with a ProxyServer "host:port" gives http://host:port; ProxyEnable 0, an empty
// server, or a store that cannot be read gives no proxy. Never throws.
BrowserProxy ReadBrowserProxy(UserSettingsStore& store);

// The URI of a ProxyServer value: "host:port" becomes "http://host:port"; a value that already has a
// scheme ("http://...", "socks5://...") is kept. Empty when the value is empty.
std::string ProxyUriOf(const std::string& server);

// Applies proxy to every view of the data manager's web context. Main thread only.
void ApplyBrowserProxy(WebKitWebsiteDataManager* manager, const BrowserProxy& proxy);

}  // namespace kiosk
