#pragma once

#include <string>
#include <string_view>

#include "proxy/http/proxy_connection.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// Which connections outlive an exchange: the browser's, for its next request, and the origin's, for
// the next request that goes the same way.

// Whether the value of the header name contains token, letter case ignored.
bool HasToken(const HeaderList& headers, std::string_view name, std::string_view token);

// Whether the browser's connection may carry another request after this one. Inside a decrypted
// CONNECT: HTTP/1.1 unless the request says close, HTTP/1.0 only when it says keep-alive. A plain
// request is kept only when it asks by name ("Connection: keep-alive", as browsers send it): the proxy
// has always closed after one plain request, and a client that does not ask is answered as before.
bool BrowserKeepsAlive(const ProxyConnection& context, const std::string& version);

// Whether the origin leaves its connection open after the answer whose head context.Headers holds,
// and the answer's end is known without its close. Inside a decrypted CONNECT the request went as
// HTTP/1.1: kept unless the origin says close, an HTTP/1.0 answer only when it says keep-alive. A
// plain request went as HTTP/1.0: kept only when the origin says keep-alive, and never after chunks,
// which that request does not ask for and which the relay passes as they are.
bool OriginKeepsAlive(const ProxyConnection& context);

// Whether another request begins on the browser's kept connection before it closes or stays idle for
// kIdleConnectionLimit.
bool NextRequestArrives(BufferedConnection& browser);

}  // namespace kiosk
