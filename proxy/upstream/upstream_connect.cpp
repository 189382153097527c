#include "proxy/upstream/upstream_connect.h"

#include <stdexcept>

#include "proxy/http/request_target.h"
#include "proxy/upstream/http_upstream.h"
#include "proxy/upstream/socks_handshake.h"

namespace kiosk {

namespace {

constexpr int kMostPort = 65535;
constexpr int kHttpPort = 80;

const TIdSocksInfo* EnabledSocks(const TIdTCPClient& client) {
    const auto* socks = std::get_if<TIdSocksInfo>(&client.TransparentProxy);
    return socks != nullptr && socks->Enabled() ? socks : nullptr;
}

const TIdConnectThroughHttpProxy* EnabledHttp(const TIdTCPClient& client) {
    const auto* http = std::get_if<TIdConnectThroughHttpProxy>(&client.TransparentProxy);
    return http != nullptr && http->Enabled ? http : nullptr;
}

// A target port beyond 16 bits would reach another port once cut to 16 bits, so it is refused, like
// port 0.
void CheckTarget(const TIdTCPClient& client) {
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

void ConnectThroughSocks(const TIdTCPClient& client, const TIdSocksInfo& socks, TcpSocket& socket) {
    CheckProxyPort(socks.Port);
    CheckHostForProxy(client.Host);
    if (socks.Version != TSocksVersion::svSocks5) CheckSocks4Target(socks, client.Host);
    socket.Connect(socks.Host, socks.Port, kConnectTimeout);
    if (socks.Version == TSocksVersion::svSocks5) {
        Socks5Handshake(socket, socks, client.Host, client.Port);
    } else {
        Socks4Handshake(socket, socks, client.Host, client.Port);
    }
}

void ConnectThroughHttp(const TIdTCPClient& client, const TIdConnectThroughHttpProxy& http, UpstreamUse use,
                        TcpSocket& socket) {
    CheckProxyPort(http.Port);
    CheckHostForProxy(client.Host);
    socket.Connect(http.Host, http.Port, kConnectTimeout);
    if (use == UpstreamUse::Tunnel) HttpConnectHandshake(socket, http, client.Host, client.Port);
}

}  // namespace

void OpenOutboundConnection(const TIdTCPClient& client, UpstreamUse use, TcpSocket& socket) {
    CheckTarget(client);
    if (const TIdSocksInfo* socks = EnabledSocks(client)) {
        ConnectThroughSocks(client, *socks, socket);
    } else if (const TIdConnectThroughHttpProxy* http = EnabledHttp(client)) {
        ConnectThroughHttp(client, *http, use, socket);
    } else {
        socket.Connect(client.Host, client.Port, kConnectTimeout);
    }
}

std::string UpstreamRequestTarget(const TIdTCPClient& client, const std::string& document) {
    if (EnabledHttp(client) == nullptr) return document;
    return "http://" +
           (client.Port == kHttpPort ? UrlHost(client.Host) : HostAndPort(client.Host, client.Port)) +
           document;
}

std::vector<std::string> UpstreamRequestHeaders(const TIdTCPClient& client) {
    const TIdConnectThroughHttpProxy* http = EnabledHttp(client);
    if (http == nullptr || http->Username.empty()) return {};
    return {ProxyAuthorizationLine(*http)};
}

}  // namespace kiosk
