#pragma once

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// Serves one browser connection: reads its request's head and refuses with an HTTP error, then closes,
// what is not HTTP or what this proxy cannot frame; a CONNECT becomes a tunnel (tunnel_exchange); any
// other method is forwarded upstream as HTTP/1.0 with the body its Content-Length announces, and the
// answer goes back through the document hook. Nothing after the request's body is ever read as a
// request: the connection ends with the answer.
void ServeBrowserConnection(ProxyConnection& context, const ExchangeSetup& setup);

}  // namespace kiosk
