#pragma once

#include <cstddef>

#include "proxy/http/proxy_connection.h"
#include "proxy/proxy_server.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// The longest document read whole for the document hook; a longer one is relayed as it arrives,
// unfiltered, and reported through the exception hook with kDocumentTooLarge.
inline constexpr size_t kFilteredDocumentLimit = 64u << 20;
inline constexpr const char* kDocumentTooLarge = "Document larger than 64 MiB, relayed unfiltered.";

// The Content-Length of headers as a number; -1 when it is missing or not a decimal integer.
long long ContentLength(const HeaderList& headers);

// Whether the headers say the body comes in HTTP/1.1 chunks.
bool IsChunked(const HeaderList& headers);

// Whether an answer carries no body whatever its headers announce: the answer to HEAD, and the
// statuses 1xx, 204 and 304.
bool AnswerWithoutBody(const ProxyConnection& context);

// Relays one leg of a pass-through exchange, as TransferSide says.
// The request: its line (HTTP/1.0, or HTTP/1.1 inside a decrypted CONNECT), its headers, and the body
// its Content-Length announces, relayed as it arrives.
// The answer: a body the WantsDocument hook asks for is read whole (up to kFilteredDocumentLimit) and
// given to the document hook before anything of it is written; every other body is relayed as it
// arrives, a piece at a time, after the document hook has seen the head with an empty body. Inside a
// decrypted CONNECT the answer is framed for the browser's kept connection (see KeepBrowser).
void RelayLeg(ProxyConnection& context, BufferedConnection& source, BufferedConnection& destination,
              const ProxyHooks& hooks);

}  // namespace kiosk
