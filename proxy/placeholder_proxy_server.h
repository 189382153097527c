#pragma once

#include "proxy/proxy_server.h"

namespace kiosk {

// Placeholder until the connection server exists: keeps its settings and hooks and its active flag,
// but listens nowhere.
class PlaceholderProxyServer : public ProxyServer {
public:
    void Configure(const ProxyServerSettings& settings) override { settings_ = settings; }
    void SetHooks(ProxyHooks hooks) override { hooks_ = std::move(hooks); }
    void SetActive(bool active) override { active_ = active; }
    bool Active() const override { return active_; }

private:
    ProxyServerSettings settings_;
    ProxyHooks hooks_;
    bool active_ = false;
};

}  // namespace kiosk
