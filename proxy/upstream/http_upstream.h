#pragma once

#include <string>

#include "os/tcp_socket.h"
#include "proxy/upstream/upstream_client.h"

namespace kiosk {

// The route through an upstream HTTP proxy. A pass-through request goes to the proxy itself, with its
// target in absolute form; a tunnel is asked for with CONNECT.

// "Proxy-Authorization: Basic " and the base64 of user name, ":" and password, when the proxy has a
// user name; empty otherwise.
std::string ProxyAuthorizationLine(const HttpProxy& proxy);

// Asks the proxy, over socket already connected to it, for a tunnel to host and port, and reads its
// reply head up to the empty line. On return the socket carries the tunnel's bytes. Throws
// std::runtime_error with the proxy's status line when the status is not 2xx, and the socket's own
// errors when it fails, closes or stays silent longer than the read time-out.
void HttpConnectHandshake(TcpSocket& socket, const HttpProxy& proxy, const std::string& host, int port);

}  // namespace kiosk
