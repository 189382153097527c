#include "proxy/http/inspected_exchange.h"

#include <optional>

#include "proxy/http/http_text.h"
#include "proxy/http/keep_alive.h"
#include "proxy/http/leg_relay.h"
#include "proxy/http/request_head.h"
#include "proxy/http/request_target.h"
#include "proxy/http/tunnel_exchange.h"
#include "proxy/server/connection_server.h"
#include "proxy/tls/https_inspection.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

bool IsUpgradeRequest(const HeaderList& headers) {
    return !headers.Value("Upgrade").empty() && HasToken(headers, "Connection", "upgrade");
}

// The origin's connection of a decrypted CONNECT: opened through the request's route when there is
// none, or when the origin has closed the last one.
class OriginLink {
public:
    OriginLink(ProxyConnection& context, HttpsInspection& inspection, const TunnelTarget& target)
        : context_(context), inspection_(inspection), target_(target) {}
    ~OriginLink() { Close(); }

    BufferedConnection& Connection() {
        if (connection_ && connection_->Connected()) return *connection_;
        Close();
        OpenOutboundConnection(*context_.Route, UpstreamUse::Tunnel, context_.Outbound);
        tls_ = inspection_.ConnectOrigin(context_.Outbound, target_.host, target_.port);
        connection_.emplace(*tls_, kReadTimeout);
        return *connection_;
    }

    void Close() {
        connection_.reset();
        tls_.reset();
        context_.Outbound.Close();
    }

private:
    ProxyConnection& context_;
    HttpsInspection& inspection_;
    const TunnelTarget target_;
    std::unique_ptr<TlsStream> tls_;
    std::optional<BufferedConnection> connection_;
};

// The request's head as the origin gets it. Its body follows the head at once, so the origin is not
// asked to confirm it first; the connection's own headers are the proxy's.
void PrepareRequestHead(HeaderList& request, bool upgrade) {
    request.SetValue("Expect", "");
    request.SetValue("Proxy-Connection", "");
    request.SetValue("Keep-Alive", "");
    if (!upgrade) request.SetValue("Connection", "keep-alive");
}

// Serves one request of the browser's connection. Returns whether the connection stays for another.
bool ServeRequest(ProxyConnection& context, BufferedConnection& browser, OriginLink& origin,
                  const ExchangeSetup& setup) {
    RequestHead request;
    RequestRefusal refusal = ReadRequestHead(browser, request);
    if (refusal == RequestRefusal::None) refusal = CheckRequestBody(request.headers);
    // A tunnel inside the tunnel is not served.
    if (refusal == RequestRefusal::None && request.method == "CONNECT")
        refusal = RequestRefusal::NotImplemented;
    if (refusal != RequestRefusal::None) {
        browser.Write(RefusalAnswer(refusal));
        return false;
    }
    context.Command = request.method;
    context.Headers = std::move(request.headers);
    context.KeepBrowser = BrowserKeepsAlive(context, request.version);
    context.BrowserTakesChunks = request.version == "HTTP/1.1";
    const bool upgrade = IsUpgradeRequest(context.Headers);
    context.Document = ParsePassThroughTarget(request.target).document;
    const bool confirmBody =
        HasToken(context.Headers, "Expect", "100-continue") && ContentLength(context.Headers) > 0;
    PrepareRequestHead(context.Headers, upgrade);
    BeginRequestLeg(context, setup);
    // The proxy takes the body at once; a browser that asked first would otherwise wait for its timeout.
    if (confirmBody && context.BrowserTakesChunks) browser.Write(kContinue);

    BufferedConnection& server = origin.Connection();
    RelayLeg(context, browser, server, setup.hooks);
    ReadAnswerHead(server, context.Headers);
    context.TransferSide = ExchangeSide::FromServer;
    if (upgrade && context.Headers.Count() > 0 && StatusCode(context.Headers[0]) == 101) {
        browser.Write(HeadText(context.Headers.Lines()));
        RelayBothWays(browser, server);
        return false;
    }
    const bool keepOrigin = !upgrade && OriginKeepsAlive(context);
    RelayLeg(context, server, browser, setup.hooks);
    if (!keepOrigin) origin.Close();
    return context.KeepBrowser;
}

}  // namespace

void InspectedExchange(ProxyConnection& context, const TunnelTarget& target, const ExchangeSetup& setup,
                       HttpsInspection& inspection) {
    OriginLink origin(context, inspection, target);
    origin.Connection();
    const auto leaf = inspection.TrustedLeaf(target.host, [&context] { return context.Aborted(); });
    BufferedConnection& plain = context.Connection();
    plain.Write(kConnectionEstablished);
    if (plain.HasBuffered()) throw std::runtime_error("Bytes before the TLS handshake.");
    const std::unique_ptr<TlsStream> tls = inspection.AcceptBrowser(plain.Stream(), *leaf);
    BufferedConnection browser(*tls, kReadTimeout);
    context.Inspected = true;
    while (NextRequestArrives(browser) && ServeRequest(context, browser, origin, setup)) {
    }
}

}  // namespace kiosk
