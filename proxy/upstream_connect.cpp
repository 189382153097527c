#include "proxy/upstream_connect.h"

#include <stdexcept>

namespace kiosk {

// Direct connections only, until the upstream routes (SOCKS, HTTP proxy) are built.

void OpenOutboundConnection(const TIdTCPClient& client, UpstreamUse, TcpSocket& socket) {
    if (client.Host.empty() || client.Port == 0) throw std::runtime_error("");
    socket.Connect(client.Host, client.Port, kConnectTimeout);
}

std::string UpstreamRequestTarget(const TIdTCPClient&, const std::string& document) {
    return document;
}

std::vector<std::string> UpstreamRequestHeaders(const TIdTCPClient&) {
    return {};
}

}  // namespace kiosk
