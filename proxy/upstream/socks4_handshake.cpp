#include <stdexcept>

#include "os/host_addresses.h"
#include "proxy/upstream/socks_handshake.h"
#include "proxy/upstream/upstream_connect.h"
#include "text/network_text.h"

namespace kiosk {

namespace {

constexpr char kVersion = 4;
constexpr char kConnect = 1;
constexpr unsigned char kGranted = 90;

// SOCKS 4a marks a request that carries a name by the address 0.0.0.x with x not 0.
constexpr char kNameFollows[] = {0, 0, 0, 1};

std::string PortBytes(int port) {
    return {static_cast<char>((port >> 8) & 0xFF), static_cast<char>(port & 0xFF)};
}

std::string Request(const SocksProxy& proxy, const std::string& host, int port) {
    std::string request{kVersion, kConnect};
    request += PortBytes(port);
    if (proxy.Version == SocksVersion::Socks4A) {
        request.append(kNameFollows, sizeof kNameFollows);
    } else {
        const auto address = ResolveIPv4Address(host);
        request.append(address.begin(), address.end());
    }
    request += EncodeNetworkText(proxy.Username);
    request += '\0';
    if (proxy.Version == SocksVersion::Socks4A) request += host + '\0';
    return request;
}

const char* RefusalMessage(unsigned char code) {
    switch (code) {
        case 91:
            return "Request rejected or failed.";
        case 92:
            return "Request rejected because SOCKS server cannot connect.";
        case 93:
            return "Request rejected because the client program and identd report different user-ids.";
        default:
            return "Unknown socks error.";
    }
}

}  // namespace

void CheckSocks4Target(const SocksProxy& proxy, const std::string& host) {
    if (!ParseIPv6Literal(host)) return;
    const char* version = proxy.Version == SocksVersion::Socks4A ? "SOCKS 4a" : "SOCKS 4";
    throw std::runtime_error("IPv6 address " + host + " cannot be sent through " + version + ".");
}

void Socks4Handshake(TcpSocket& socket, const SocksProxy& proxy, const std::string& host, int port) {
    socket.Send(Request(proxy, host, port));
    // Version of the reply (0; some proxies answer 4), code, then a port and address we do not use.
    const std::string reply = ReceiveExactly(socket, 8, kReadTimeout);
    const auto version = static_cast<unsigned char>(reply[0]);
    const auto code = static_cast<unsigned char>(reply[1]);
    if ((version != 0 && version != 4) || code != kGranted) throw std::runtime_error(RefusalMessage(code));
}

}  // namespace kiosk
