#include "proxy/http_proxy_server.h"

#include "proxy/http/browser_connection.h"

namespace kiosk {

namespace {

// Every context the server creates is the proxy's.
ProxyConnection& ProxyContext(ConnectionContext& context) {
    return static_cast<ProxyConnection&>(context);
}

}  // namespace

HttpProxyServer::HttpProxyServer()
    : server_([](TcpSocket socket) { return std::make_unique<ProxyConnection>(std::move(socket)); }) {
    Configure(settings_);
    AddHandlers();
    server_.SetOnException([this](ConnectionContext& context, const std::string& failure) {
        if (hooks_.OnFailure) hooks_.OnFailure(ProxyContext(context), failure);
    });
}

void HttpProxyServer::Configure(const ProxyServerSettings& settings) {
    settings_ = settings;
    server_.Configure(
        {settings.DefaultPort, settings.ListenQueue, settings.TerminateWaitTime, settings.ReuseSocket});
}

void HttpProxyServer::AddHandlers() {
    server_.SetConnectionHandler([this](ConnectionContext& context) {
        ServeBrowserConnection(ProxyContext(context),
                               {hooks_, settings_.DefaultTransferMode, settings_.Inspection.get()});
    });
}

}  // namespace kiosk
