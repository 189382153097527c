#include "proxy/http/tunnel_exchange.h"

#include "proxy/http/inspected_exchange.h"
#include "proxy/http/request_target.h"
#include "proxy/tls/https_inspection.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

void RelayBothWays(BufferedConnection& browser, BufferedConnection& server) {
    while (browser.Connected() && server.Connected()) {
        const int ready = (browser.HasBuffered() ? 1 : 0) | (server.HasBuffered() ? 2 : 0);
        if (ready == 0) {
            WaitEitherReadable(browser.Stream(), server.Stream(), kWaitForever);
            continue;
        }
        if (ready & 1) server.Write(browser.ReadAvailable(kWaitForever));
        if (ready & 2) browser.Write(server.ReadAvailable(kWaitForever));
    }
}

void TunnelExchange(TIdHTTPProxyServerContext& context, const std::vector<std::string>& parameters,
                    const ExchangeSetup& setup) {
    context.Command = "CONNECT";
    BufferedConnection& browser = context.Connection();
    ReadHeaderLines(browser, context.Headers);
    ExchangeCleanup cleanup(context);
    context.UpstreamClient = std::make_unique<TIdTCPClient>();
    const TunnelTarget target = ParseTunnelTarget(RequestTarget(parameters));
    context.UpstreamClient->Host = target.host;
    context.UpstreamClient->Port = target.port;
    BeginRequestLeg(context, setup);
    if (setup.inspection && setup.inspection->Inspects(target.host, target.port)) {
        InspectedExchange(context, target, setup, *setup.inspection);
        return;
    }

    OpenOutboundConnection(*context.UpstreamClient, UpstreamUse::Tunnel, context.Outbound);
    browser.Write(kConnectionEstablished);
    BufferedConnection server(context.Outbound, kWaitForever);
    RelayBothWays(browser, server);
}

}  // namespace kiosk
