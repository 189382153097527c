#include <stdexcept>

#include "os/host_addresses.h"
#include "proxy/upstream/socks_handshake.h"
#include "proxy/upstream/upstream_connect.h"
#include "text/network_text.h"
#include "util/ipv4_text.h"

namespace kiosk {

namespace {

constexpr char kVersion = 5;
constexpr char kNoAuthentication = 0;
constexpr char kUsernamePassword = 2;
constexpr char kPasswordVersion = 1;
constexpr char kConnect = 1;
constexpr unsigned char kIPv4 = 1;
constexpr unsigned char kDomainName = 3;
constexpr unsigned char kIPv6 = 4;
constexpr size_t kMostFieldLength = 255;

[[noreturn]] void Fail(const char* message) {
    throw std::runtime_error(message);
}

// One field of a length byte and up to 255 bytes.
std::string LengthPrefixed(const std::string& bytes) {
    return static_cast<char>(bytes.size()) + bytes;
}

char OfferedMethod(const SocksProxy& proxy) {
    return proxy.Authentication == SocksAuthentication::UsernamePassword ? kUsernamePassword
                                                                         : kNoAuthentication;
}

// Offers the one method and checks the proxy's choice. A proxy that closes or stays silent instead
// of choosing has not responded.
void NegotiateMethod(TcpSocket& socket, char method) {
    socket.Send(std::string{kVersion, 1, method});
    std::string choice;
    try {
        choice = ReceiveExactly(socket, 2, kReadTimeout);
    } catch (const ConnectionClosedGracefully&) {
        Fail("Socks server did not respond.");
    } catch (const SocketTimeout&) {
        Fail("Socks server did not respond.");
    }
    if (choice[0] != kVersion) Fail("Unknown socks error.");
    if (choice[1] != method) Fail("Invalid socks authentication method.");
}

void Authenticate(TcpSocket& socket, const SocksProxy& proxy) {
    const std::string user = EncodeNetworkText(proxy.Username);
    const std::string password = EncodeNetworkText(proxy.Password);
    // Longer names cannot be sent; cutting them would log in with other credentials.
    if (user.size() > kMostFieldLength || password.size() > kMostFieldLength) {
        Fail("Authentication error to socks server.");
    }
    socket.Send(kPasswordVersion + LengthPrefixed(user) + LengthPrefixed(password));
    const std::string status = ReceiveExactly(socket, 2, kReadTimeout);
    if (status[1] != 0) Fail("Authentication error to socks server.");
}

// An IPv4 or IPv6 address literal goes as an address, any other host as a name.
std::string Destination(const std::string& host) {
    if (const auto address = ParseIPv4Literal(host)) {
        return static_cast<char>(kIPv4) + std::string(address->begin(), address->end());
    }
    if (const auto address = ParseIPv6Literal(host)) {
        return static_cast<char>(kIPv6) + std::string(address->begin(), address->end());
    }
    if (host.size() > kMostFieldLength) throw SocketError(kHostNotFound, "Host not found.");
    return static_cast<char>(kDomainName) + LengthPrefixed(host);
}

const char* RefusalMessage(unsigned char code) {
    static const char* const kMessages[] = {
        "General SOCKS server failure.", "Connection not allowed by ruleset.",
        "Network unreachable.",          "Host unreachable.",
        "Connection refused.",           "TTL expired.",
        "Command not supported.",        "Address type not supported.",
    };
    return code >= 1 && code <= 8 ? kMessages[code - 1] : "Unknown socks error.";
}

// Reads the rest of a granted reply, the address the proxy bound, so that nothing of it is left
// before the connection's own bytes.
void SkipBoundAddress(TcpSocket& socket, unsigned char type) {
    size_t length = 0;
    if (type == kIPv4) {
        length = 4;
    } else if (type == kIPv6) {
        length = 16;
    } else if (type == kDomainName) {
        length = static_cast<unsigned char>(ReceiveExactly(socket, 1, kReadTimeout)[0]);
    } else {
        Fail("Unknown socks error.");
    }
    ReceiveExactly(socket, length + 2, kReadTimeout);
}

void RequestConnection(TcpSocket& socket, const std::string& host, int port) {
    socket.Send(std::string{kVersion, kConnect, 0} + Destination(host) +
                std::string{static_cast<char>((port >> 8) & 0xFF), static_cast<char>(port & 0xFF)});
    const std::string reply = ReceiveExactly(socket, 4, kReadTimeout);
    if (reply[0] != kVersion) Fail("Unknown socks error.");
    const auto code = static_cast<unsigned char>(reply[1]);
    if (code != 0) Fail(RefusalMessage(code));
    SkipBoundAddress(socket, static_cast<unsigned char>(reply[3]));
}

}  // namespace

void Socks5Handshake(TcpSocket& socket, const SocksProxy& proxy, const std::string& host, int port) {
    const char method = OfferedMethod(proxy);
    NegotiateMethod(socket, method);
    if (method == kUsernamePassword) Authenticate(socket, proxy);
    RequestConnection(socket, host, port);
}

}  // namespace kiosk
