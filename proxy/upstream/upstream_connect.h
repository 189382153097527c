#pragma once

#include <string>
#include <vector>

#include "os/tcp_socket.h"
#include "proxy/upstream/upstream_client.h"

namespace kiosk {

// Outbound connections give up connecting after this long ("Connect timed out.") and fail when a
// read gets no byte for this long ("Read timed out."), so that a silent server or upstream proxy
// cannot hold a connection thread, or a shutdown, for ever.
inline constexpr Milliseconds kConnectTimeout{30'000};
inline constexpr Milliseconds kReadTimeout{120'000};

enum class UpstreamUse {
    PassThrough,  // a GET, POST or HEAD exchange
    Tunnel,       // a CONNECT tunnel
};

// Opens client's outbound connection into socket: directly to Host and Port, or through the enabled
// upstream proxy of its TransparentProxy slot (the SOCKS 4, 4a or 5 handshake for the target; an HTTP
// proxy is connected to directly for a pass-through exchange and asked with CONNECT for a tunnel).
// Throws on failure with the message that is logged (socket errors, the SOCKS messages, the HTTP
// proxy's refusing status line, "Request target without a host.", "Invalid port ...").
void OpenOutboundConnection(const OutboundRoute& client, UpstreamUse use, TcpSocket& socket);

// The target of the request line sent upstream for a pass-through exchange: document, or through an
// enabled HTTP proxy its absolute form "http://" + host (+ ":" + port unless 80) + document.
std::string UpstreamRequestTarget(const OutboundRoute& client, const std::string& document);

// Header lines the upstream route adds to a pass-through request: "Proxy-Authorization: Basic ..."
// through an enabled HTTP proxy with a user name; none otherwise.
std::vector<std::string> UpstreamRequestHeaders(const OutboundRoute& client);

}  // namespace kiosk
