#include "proxy/http/tunnel_exchange.h"

#include "proxy/http/inspected_exchange.h"
#include "proxy/http/request_target.h"
#include "proxy/server/connection_server.h"
#include "proxy/tls/https_inspection.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

// Forwards what has arrived from source. Returns false when source has closed in order; a reset
// throws. A TLS stream that took only a message without data, or part of a record, forwards nothing
// yet (its wait without time handles what it took).
bool ForwardArrived(BufferedConnection& source, BufferedConnection& destination) {
    if (!source.HoldsInput() && !source.Stream().WaitReadable(Milliseconds(0))) return true;
    try {
        destination.Write(source.ReadAvailable(kWaitForever));
    } catch (const ConnectionClosedGracefully&) {
        return false;
    }
    return true;
}

}  // namespace

void RelayBothWays(BufferedConnection& browser, BufferedConnection& server) {
    for (;;) {
        int ready = (browser.HasBuffered() ? 1 : 0) | (server.HasBuffered() ? 2 : 0);
        if (ready == 0) ready = WaitEitherReadable(browser.Stream(), server.Stream(), kIdleConnectionLimit);
        if (ready == 0) return;  // idle for too long
        if ((ready & 1) && !ForwardArrived(browser, server)) return;
        if ((ready & 2) && !ForwardArrived(server, browser)) return;
    }
}

void TunnelExchange(ProxyConnection& context, const std::string& requestTarget, const ExchangeSetup& setup) {
    BufferedConnection& browser = context.Connection();
    ExchangeCleanup cleanup(context);
    context.Route = std::make_unique<OutboundRoute>();
    const TunnelTarget target = ParseTunnelTarget(requestTarget);
    context.Route->Host = target.host;
    context.Route->Port = target.port;
    BeginRequestLeg(context, setup);
    if (setup.inspection && setup.inspection->Inspects(target.host, target.port)) {
        InspectedExchange(context, target, setup, *setup.inspection);
        return;
    }

    OpenOutboundConnection(*context.Route, UpstreamUse::Tunnel, context.Outbound);
    browser.Write(kConnectionEstablished);
    BufferedConnection server(context.Outbound, kWaitForever);
    RelayBothWays(browser, server);
}

}  // namespace kiosk
