#pragma once

#include <string>
#include <variant>

namespace kiosk {

// The upstream proxies the request hook may attach to a request's outbound connection.

enum class SocksVersion { None, Socks4, Socks4A, Socks5 };
enum class SocksAuthentication { None, UsernamePassword };

struct SocksProxy {
    SocksVersion Version = SocksVersion::None;
    std::string Host;
    int Port = 1080;
    std::string Username;
    std::string Password;
    SocksAuthentication Authentication = SocksAuthentication::None;
    bool Enabled() const { return Version != SocksVersion::None; }
    bool operator==(const SocksProxy&) const = default;
};

struct HttpProxy {
    std::string Host;
    int Port = 8080;
    std::string Username;
    std::string Password;
    bool Enabled = false;
    bool operator==(const HttpProxy&) const = default;
};

// The transport's proxy slot: empty, a SOCKS proxy or an HTTP proxy.
using TransparentProxySlot = std::variant<std::monostate, SocksProxy, HttpProxy>;

// A request's outbound connection before it is made: the target and the transport's proxy slot.
// Network text (Host) is held as the bytes that arrived.
struct OutboundRoute {
    std::string Host;
    int Port = 0;
    TransparentProxySlot TransparentProxy;
    bool operator==(const OutboundRoute&) const = default;
};

}  // namespace kiosk
