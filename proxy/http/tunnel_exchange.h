#pragma once

#include <string>
#include <string_view>

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// The proxy's answer to a CONNECT it has connected.
inline constexpr std::string_view kConnectionEstablished =
    "HTTP/1.0 200 Connection established\r\nProxy-agent: Kiosk-Proxy/1.1\r\n\r\n";

// Serves a CONNECT request whose head context holds: connects to its host and port, confirms to the browser
// and then relays bytes both ways, unread, until either side closes; or, for a host the inspection decrypts,
// serves the requests inside like plain ones.
void TunnelExchange(ProxyConnection& context, const std::string& requestTarget, const ExchangeSetup& setup);

// Waits on both connections at once and forwards whatever has arrived at once, so neither direction
// waits for the other. Either side closing in order (a tunnel's normal end), or both idle for
// kIdleConnectionLimit, ends the relay quietly; a reset, or a connection that fails while bytes are
// written, fails it.
void RelayBothWays(BufferedConnection& browser, BufferedConnection& server);

}  // namespace kiosk
