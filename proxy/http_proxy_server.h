#pragma once

#include "proxy/proxy_server.h"
#include "proxy/server/connection_server.h"

namespace kiosk {

// The loopback HTTP proxy: every request but CONNECT is forwarded upstream as HTTP/1.0, its answer
// read whole before the document hook when the hook wants it; CONNECT becomes a two-way byte tunnel.
// One request per browser connection, each on its own thread (http/browser_connection).
class HttpProxyServer : public ProxyServer {
public:
    HttpProxyServer();

    void Configure(const ProxyServerSettings& settings) override;
    void SetHooks(ProxyHooks hooks) override { hooks_ = std::move(hooks); }
    void SetActive(bool active) override { server_.SetActive(active); }
    bool Active() const override { return server_.Active(); }

    // The port listened on while active (DefaultPort, or the port chosen for DefaultPort 0).
    int ListeningPort() const { return server_.ListeningPort(); }
    // Connection threads that have not ended yet.
    size_t ConnectionThreads() const { return server_.ConnectionThreads(); }

private:
    void AddHandlers();

    ProxyServerSettings settings_;
    ProxyHooks hooks_;
    // Last, so that its threads are gone before the hooks they call.
    ConnectionServer server_;
};

}  // namespace kiosk
