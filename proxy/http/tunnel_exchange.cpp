#include "proxy/http/tunnel_exchange.h"

#include "proxy/http/request_target.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

constexpr std::string_view kEstablished =
    "HTTP/1.0 200 Connection established\r\nProxy-agent: Kiosk-Proxy/1.1\r\n\r\n";

// Waits on both connections at once and forwards whatever has arrived at once, so neither direction
// waits for the other. After each wait the next pass's open-test takes what arrived; a close seen
// there (either side closing in order, the tunnel's normal end) ends the tunnel quietly. A connection
// that fails while bytes are written still fails the tunnel.
void RelayBothWays(BufferedConnection& browser, BufferedConnection& server) {
    while (browser.Connected() && server.Connected()) {
        const int ready = (browser.HasBuffered() ? 1 : 0) | (server.HasBuffered() ? 2 : 0);
        if (ready == 0) {
            WaitEitherReadable(browser.Socket(), server.Socket(), kWaitForever);
            continue;
        }
        if (ready & 1) server.Write(browser.ReadAvailable(kWaitForever));
        if (ready & 2) browser.Write(server.ReadAvailable(kWaitForever));
    }
}

}  // namespace

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

    OpenOutboundConnection(*context.UpstreamClient, UpstreamUse::Tunnel, context.Outbound);
    browser.Write(kEstablished);
    BufferedConnection server(context.Outbound, kWaitForever);
    RelayBothWays(browser, server);
}

}  // namespace kiosk
