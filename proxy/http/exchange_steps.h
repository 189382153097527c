#pragma once

#include <string>
#include <vector>

#include "proxy/http/proxy_connection.h"
#include "proxy/proxy_server.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

class HttpsInspection;

// What every exchange of the proxy works with besides its context.
struct ExchangeSetup {
    const ProxyHooks& hooks;
    BodyTransfer transferMode;
    HttpsInspection* inspection = nullptr;  // none: every CONNECT is a byte tunnel
};

// The longest answer head taken from an origin.
inline constexpr size_t kMostAnswerHeadBytes = 1u << 20;

// Clears headers, then adds every line read up to the first empty one (which is consumed). Throws
// std::runtime_error when the lines together are longer than kMostAnswerHeadBytes.
void ReadHeaderLines(BufferedConnection& connection, HeaderList& headers);

// Reads an answer's head into headers, its status line first, passing over interim answers
// (100 Continue, 103 Early Hints); a switch of protocols (101) is the answer. Throws
// std::runtime_error for a head whose first line is not a status line ("HTTP/d.d NNN ...").
void ReadAnswerHead(BufferedConnection& server, HeaderList& headers);

// Starts the leg that relays the request from the browser, then calls the before-command hook.
void BeginRequestLeg(ProxyConnection& context, const ExchangeSetup& setup);

// Ends an exchange however it ends: closes the outbound connection and frees the Route.
class ExchangeCleanup {
public:
    explicit ExchangeCleanup(ProxyConnection& context) : context_(context) {}
    ExchangeCleanup(const ExchangeCleanup&) = delete;
    ExchangeCleanup& operator=(const ExchangeCleanup&) = delete;
    ~ExchangeCleanup() {
        context_.Outbound.Close();
        context_.Route.reset();
    }

private:
    ProxyConnection& context_;
};

}  // namespace kiosk
