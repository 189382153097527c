#pragma once

#include <string>

#include "os/tcp_socket.h"
#include "proxy/upstream/upstream_client.h"

namespace kiosk {

// The handshakes with a SOCKS proxy over socket, already connected to it, that ask it for a
// connection to host and port. On return the socket carries the bytes of that connection. Throws
// std::runtime_error with the SOCKS failure message when the proxy refuses, and the socket's own
// errors when it fails or stays silent longer than the read time-out.

// SOCKS 4 and 4a carry IPv4 addresses and names only: throws std::runtime_error for a target written
// as an IPv6 address, before anything is sent.
void CheckSocks4Target(const SocksProxy& proxy, const std::string& host);

// SOCKS 4 (the target resolved here to its IPv4 address) and SOCKS 4a (the target's name sent to the
// proxy); the user name goes as the user id.
void Socks4Handshake(TcpSocket& socket, const SocksProxy& proxy, const std::string& host, int port);

// SOCKS 5 (RFC 1928), offering one method only: user name and password (RFC 1929) when the proxy's
// Authentication asks for it, otherwise none. The target goes as an IPv4 or IPv6 address when it is
// written as one, otherwise as a name.
void Socks5Handshake(TcpSocket& socket, const SocksProxy& proxy, const std::string& host, int port);

}  // namespace kiosk
