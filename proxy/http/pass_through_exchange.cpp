#include "proxy/http/pass_through_exchange.h"

#include "proxy/http/leg_relay.h"
#include "proxy/http/request_target.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

void SetUpstreamTarget(TIdHTTPProxyServerContext& context, const std::string& target) {
    const PassThroughTarget parsed = ParsePassThroughTarget(target);
    context.UpstreamClient->Host = parsed.host;
    context.UpstreamClient->Port = PortNumber(parsed.port, 80);
    context.Document = parsed.document;
}

}  // namespace

void PassThroughExchange(TIdHTTPProxyServerContext& context, const std::string& command,
                         const std::vector<std::string>& parameters, const ExchangeSetup& setup) {
    context.Command = command;
    BufferedConnection& browser = context.Connection();
    ReadHeaderLines(browser, context.Headers);
    ExchangeCleanup cleanup(context);
    context.UpstreamClient = std::make_unique<TIdTCPClient>();
    SetUpstreamTarget(context, RequestTarget(parameters));
    BeginRequestLeg(context, setup);

    OpenOutboundConnection(*context.UpstreamClient, UpstreamUse::PassThrough, context.Outbound);
    BufferedConnection server(context.Outbound, kReadTimeout);
    RelayLeg(context, browser, server, setup.hooks);

    ReadHeaderLines(server, context.Headers);
    context.TransferMode = setup.transferMode;
    context.TransferSide = TIdHTTPProxyTransferSide::FromServer;
    RelayLeg(context, server, browser, setup.hooks);
}

}  // namespace kiosk
