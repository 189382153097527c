#include "proxy/http/browser_connection.h"

#include "proxy/http/leg_relay.h"
#include "proxy/http/request_head.h"
#include "proxy/http/request_target.h"
#include "proxy/http/tunnel_exchange.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

void SetUpstreamTarget(ProxyConnection& context, const std::string& target) {
    const PassThroughTarget parsed = ParsePassThroughTarget(target);
    context.Route->Host = parsed.host;
    context.Route->Port = PortNumber(parsed.port, 80);
    context.Document = parsed.document;
}

// The request goes upstream as HTTP/1.0 with its body, the answer comes back through the document
// hook.
void PassThroughExchange(ProxyConnection& context, const std::string& target, const ExchangeSetup& setup) {
    BufferedConnection& browser = context.Connection();
    ExchangeCleanup cleanup(context);
    context.Route = std::make_unique<OutboundRoute>();
    SetUpstreamTarget(context, target);
    BeginRequestLeg(context, setup);

    OpenOutboundConnection(*context.Route, UpstreamUse::PassThrough, context.Outbound);
    BufferedConnection server(context.Outbound, kReadTimeout);
    RelayLeg(context, browser, server, setup.hooks);

    ReadAnswerHead(server, context.Headers);
    context.TransferMode = setup.transferMode;
    context.TransferSide = ExchangeSide::FromServer;
    RelayLeg(context, server, browser, setup.hooks);
}

}  // namespace

void ServeBrowserConnection(ProxyConnection& context, const ExchangeSetup& setup) {
    BufferedConnection& browser = context.Connection();
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
        TunnelExchange(context, request.target, setup);
    } else {
        PassThroughExchange(context, request.target, setup);
    }
}

}  // namespace kiosk
