#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "proxy/http/proxy_connection.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// What the exchanges inside a decrypted CONNECT take from the browser's and the origin's heads.

// Whether the value of the header name contains token, letter case ignored.
bool HasToken(const HeaderList& headers, std::string_view name, std::string_view token);

// Whether the origin leaves its connection open after the answer whose head context.Headers holds:
// HTTP/1.1 unless it says close, HTTP/1.0 only when it says keep-alive; and the answer's end is known
// without its close.
bool OriginKeepsAlive(const ProxyConnection& context);

}  // namespace kiosk
