#pragma once

#include <string>
#include <variant>

namespace kiosk {

// The upstream proxies the request hook may attach to a request's outbound connection.

enum class TSocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };
enum class TSocksAuthentication { saNoAuthentication, saUsernamePassword };

struct TIdSocksInfo {
    TSocksVersion Version = TSocksVersion::svNoSocks;
    std::string Host;
    int Port = 1080;
    std::string Username;
    std::string Password;
    TSocksAuthentication Authentication = TSocksAuthentication::saNoAuthentication;
    bool Enabled() const { return Version != TSocksVersion::svNoSocks; }
};

struct TIdConnectThroughHttpProxy {
    std::string Host;
    int Port = 8080;
    std::string Username;
    std::string Password;
    bool Enabled = false;
};

// The transport's proxy slot: empty, a SOCKS proxy or an HTTP proxy.
using TransparentProxySlot = std::variant<std::monostate, TIdSocksInfo, TIdConnectThroughHttpProxy>;

// A request's outbound connection before it is made: the target and the transport's proxy slot.
// Network text (Host) is held as the bytes that arrived.
struct TIdTCPClient {
    std::string Host;
    int Port = 0;
    TransparentProxySlot TransparentProxy;
};

}  // namespace kiosk
