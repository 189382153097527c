#pragma once

#include "proxy/http/proxy_context.h"
#include "proxy/proxy_server.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// The Content-Length of headers as a number; -1 when it is missing or not a decimal integer.
long long ContentLength(const TIdHeaderList& headers);

// Whether the headers say the body comes in HTTP/1.1 chunks.
bool IsChunked(const TIdHeaderList& headers);

// Whether an answer carries no body whatever its headers announce: the answer to HEAD, and the
// statuses 1xx, 204 and 304.
bool AnswerWithoutBody(const TIdHTTPProxyServerContext& context);

// Relays one leg of a pass-through exchange, as TransferSide says: the request (request line as
// HTTP/1.0, or HTTP/1.1 inside a decrypted CONNECT; headers; the body when Content-Length is above 0)
// or the answer (headers and the body; inside a decrypted CONNECT a chunked body is joined). A body is
// read whole and given to the document hook before anything of the leg is written.
void RelayLeg(TIdHTTPProxyServerContext& context, BufferedConnection& source, BufferedConnection& destination,
              const ProxyHooks& hooks);

}  // namespace kiosk
