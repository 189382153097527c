#include "proxy/upstream/upstream_connect.h"

#include <stdexcept>

#include "proxy/http/request_target.h"
#include "proxy/upstream/http_upstream.h"
#include "proxy/upstream/socks_handshake.h"

namespace kiosk {

namespace {

constexpr int kMostPort = 65535;
constexpr int kHttpPort = 80;

const SocksProxy* EnabledSocks(const OutboundRoute& client) {
    const auto* socks = std::get_if<SocksProxy>(&client.TransparentProxy);
    return socks != nullptr && socks->Enabled() ? socks : nullptr;
}

const HttpProxy* EnabledHttp(const OutboundRoute& client) {
    const auto* http = std::get_if<HttpProxy>(&client.TransparentProxy);
    return http != nullptr && http->Enabled ? http : nullptr;
}

// A target port beyond 16 bits would reach another port once cut to 16 bits, so it is refused, like
// port 0.
void CheckTarget(const OutboundRoute& client) {
    if (client.Host.empty()) throw std::runtime_error("Request target without a host.");
    if (client.Port <= 0 || client.Port > kMostPort)
        throw std::runtime_error("Invalid port " + std::to_string(client.Port) + " in the request target.");
}

void CheckProxyPort(int port) {
    if (port <= 0 || port > kMostPort) {
        throw std::runtime_error("Invalid upstream proxy port " + std::to_string(port) + ".");
    }
}

// A host name goes to a proxy inside its protocol, where a control character or a blank would end
// the name early and let the rest pass as protocol bytes.
void CheckHostForProxy(const std::string& host) {
    for (const char c : host) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F')
            throw SocketError(kHostNotFound, "Host not found.");
    }
}

void ConnectThroughSocks(const OutboundRoute& client, const SocksProxy& socks, TcpSocket& socket) {
    CheckProxyPort(socks.Port);
    CheckHostForProxy(client.Host);
    if (socks.Version != SocksVersion::Socks5) CheckSocks4Target(socks, client.Host);
    socket.Connect(socks.Host, socks.Port, kConnectTimeout);
    if (socks.Version == SocksVersion::Socks5) {
        Socks5Handshake(socket, socks, client.Host, client.Port);
    } else {
        Socks4Handshake(socket, socks, client.Host, client.Port);
    }
}

void ConnectThroughHttp(const OutboundRoute& client, const HttpProxy& http, UpstreamUse use,
                        TcpSocket& socket) {
    CheckProxyPort(http.Port);
    CheckHostForProxy(client.Host);
    socket.Connect(http.Host, http.Port, kConnectTimeout);
    if (use == UpstreamUse::Tunnel) HttpConnectHandshake(socket, http, client.Host, client.Port);
}

}  // namespace

void OpenOutboundConnection(const OutboundRoute& client, UpstreamUse use, TcpSocket& socket) {
    CheckTarget(client);
    if (const SocksProxy* socks = EnabledSocks(client)) {
        ConnectThroughSocks(client, *socks, socket);
    } else if (const HttpProxy* http = EnabledHttp(client)) {
        ConnectThroughHttp(client, *http, use, socket);
    } else {
        socket.Connect(client.Host, client.Port, kConnectTimeout);
    }
}

std::string UpstreamRequestTarget(const OutboundRoute& client, const std::string& document) {
    if (EnabledHttp(client) == nullptr) return document;
    return "http://" +
           (client.Port == kHttpPort ? UrlHost(client.Host) : HostAndPort(client.Host, client.Port)) +
           document;
}

std::vector<std::string> UpstreamRequestHeaders(const OutboundRoute& client) {
    const HttpProxy* http = EnabledHttp(client);
    if (http == nullptr || http->Username.empty()) return {};
    return {ProxyAuthorizationLine(*http)};
}

}  // namespace kiosk
