#pragma once

#include <string>
#include <vector>

#include "proxy/http/proxy_context.h"
#include "proxy/proxy_server.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

class HttpsInspection;

// What every exchange of the proxy works with besides its context.
struct ExchangeSetup {
    const ProxyHooks& hooks;
    TIdHTTPProxyTransferMode transferMode;
    HttpsInspection* inspection = nullptr;  // none: every CONNECT is a byte tunnel
};

// Clears headers, then adds every line read up to the first empty one (which is consumed).
void ReadHeaderLines(BufferedConnection& connection, TIdHeaderList& headers);

// The request target: the first parameter of the request line. Throws when there is none.
const std::string& RequestTarget(const std::vector<std::string>& parameters);

// Starts the leg that relays the request from the browser, then calls the before-command hook.
void BeginRequestLeg(TIdHTTPProxyServerContext& context, const ExchangeSetup& setup);

// Ends an exchange however it ends: closes the outbound connection and frees the UpstreamClient.
class ExchangeCleanup {
public:
    explicit ExchangeCleanup(TIdHTTPProxyServerContext& context) : context_(context) {}
    ExchangeCleanup(const ExchangeCleanup&) = delete;
    ExchangeCleanup& operator=(const ExchangeCleanup&) = delete;
    ~ExchangeCleanup() {
        context_.Outbound.Close();
        context_.UpstreamClient.reset();
    }

private:
    TIdHTTPProxyServerContext& context_;
};

}  // namespace kiosk
