#include "proxy/http/browser_connection.h"

#include <optional>

#include "proxy/http/keep_alive.h"
#include "proxy/http/leg_relay.h"
#include "proxy/http/request_head.h"
#include "proxy/http/request_target.h"
#include "proxy/http/tunnel_exchange.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

// The origin connection of a browser connection's plain requests: kept after an answer while the
// origin keeps it, and taken again by the next request that goes the same route (target and upstream
// proxy alike); any other request closes it and opens its own.
class OriginConnection {
public:
    explicit OriginConnection(ProxyConnection& context) : context_(context) {}
    OriginConnection(const OriginConnection&) = delete;
    OriginConnection& operator=(const OriginConnection&) = delete;
    ~OriginConnection() { Close(); }

    BufferedConnection& For(const OutboundRoute& route) {
        if (connection_ && route_ == route && connection_->Connected()) return *connection_;
        Close();
        OpenOutboundConnection(route, UpstreamUse::PassThrough, context_.Outbound);
        connection_.emplace(context_.Outbound, kReadTimeout);
        route_ = route;
        return *connection_;
    }

    void Close() {
        connection_.reset();
        route_.reset();
        context_.Outbound.Close();
    }

private:
    ProxyConnection& context_;
    std::optional<OutboundRoute> route_;
    std::optional<BufferedConnection> connection_;
};

void SetUpstreamTarget(ProxyConnection& context, const std::string& target) {
    const PassThroughTarget parsed = ParsePassThroughTarget(target);
    context.Route->Host = parsed.host;
    context.Route->Port = PortNumber(parsed.port, 80);
    context.Document = parsed.document;
}

// The request goes upstream as HTTP/1.0 with its body, the answer comes back through the document
// hook. Returns whether the browser's connection stays for another request.
bool PassThroughExchange(ProxyConnection& context, const RequestHead& request, OriginConnection& origin,
                         const ExchangeSetup& setup) {
    BufferedConnection& browser = context.Connection();
    // The route is none outside an exchange, also when one fails.
    const struct RouteCleared {
        ProxyConnection& context;
        ~RouteCleared() { context.Route.reset(); }
    } routeCleared{context};
    context.Route = std::make_unique<OutboundRoute>();
    SetUpstreamTarget(context, request.target);
    context.KeepBrowser = BrowserKeepsAlive(context, request.version);
    context.BrowserTakesChunks = request.version == "HTTP/1.1";
    BeginRequestLeg(context, setup);

    BufferedConnection& server = origin.For(*context.Route);
    RelayLeg(context, browser, server, setup.hooks);

    ReadAnswerHead(server, context.Headers);
    context.TransferMode = setup.transferMode;
    context.TransferSide = ExchangeSide::FromServer;
    // Chunks in an answer to HTTP/1.0 pass as they are, so such an answer can only end with the close.
    if (IsChunked(context.Headers)) context.KeepBrowser = false;
    const bool keepOrigin = context.KeepBrowser && OriginKeepsAlive(context);
    RelayLeg(context, server, browser, setup.hooks);
    if (!keepOrigin) origin.Close();
    return context.KeepBrowser;
}

}  // namespace

void ServeBrowserConnection(ProxyConnection& context, const ExchangeSetup& setup) {
    BufferedConnection& browser = context.Connection();
    OriginConnection origin(context);
    do {
        RequestHead request;
        RequestRefusal refusal = ReadRequestHead(browser, request);
        if (refusal == RequestRefusal::None) refusal = CheckRequestBody(request.headers);
        if (refusal != RequestRefusal::None) {
            browser.Write(RefusalAnswer(refusal));
            return;
        }
        context.Command = request.method;
        context.Headers = std::move(request.headers);
        if (request.method == "CONNECT") {
            origin.Close();
            TunnelExchange(context, request.target, setup);
            return;
        }
        if (!PassThroughExchange(context, request, origin, setup)) return;
    } while (NextRequestArrives(browser));
}

}  // namespace kiosk
