#pragma once

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// Serves one browser connection: reads its request's head and refuses with an HTTP error, then closes,
// what is not HTTP or what this proxy cannot frame; a CONNECT becomes a tunnel (tunnel_exchange); any
// other method is forwarded upstream as HTTP/1.0 with the body its Content-Length announces, and the
// answer goes back through the document hook. A request that asks to keep the connection
// (keep_alive.h) is answered with its end framed, and the next request is read after it; its origin
// connection is kept for the next request that goes the same route while the origin keeps it. Nothing
// inside a request's body is ever read as a request.
void ServeBrowserConnection(ProxyConnection& context, const ExchangeSetup& setup);

}  // namespace kiosk
