#include "proxy/request_hook.h"

#include <optional>

#include "config/option_defaults.h"
#include "proxy/filter/content_decoding.h"
#include "proxy/http/header_dump.h"
#include "proxy/http/http_text.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

std::optional<TSocksVersion> SocksVersion(const std::string& kind) {
    if (kind == "socks4") return TSocksVersion::svSocks4;
    if (kind == "socks4a") return TSocksVersion::svSocks4A;
    if (kind == "socks5") return TSocksVersion::svSocks5;
    return std::nullopt;
}

TIdSocksInfo SocksProxy(TSocksVersion version, const KeyValueTable& options) {
    TIdSocksInfo socks;
    socks.Version = version;
    socks.Host = options.Value("host");
    socks.Port = IntegerOr(options.Value("port"), kDefaultProxyPort);
    socks.Username = options.Value("login");
    socks.Password = options.Value("password");
    if (!socks.Username.empty()) socks.Authentication = TSocksAuthentication::saUsernamePassword;
    return socks;
}

// Switched on, so that "http" is a real route: pass-through requests go to the proxy in absolute form,
// tunnels are asked for with CONNECT.
TIdConnectThroughHttpProxy HttpProxy(const KeyValueTable& options) {
    TIdConnectThroughHttpProxy http;
    http.Host = options.Value("host");
    http.Port = IntegerOr(options.Value("port"), kDefaultProxyPort);
    http.Username = options.Value("login");
    http.Password = options.Value("password");
    http.Enabled = true;
    return http;
}

TransparentProxySlot UpstreamProxy(const KeyValueTable& options) {
    const std::string kind = options.Value("proxy");
    if (const auto version = SocksVersion(kind)) return SocksProxy(*version, options);
    if (kind == "http") return HttpProxy(options);
    return std::monostate{};
}

// Origins are asked only for encodings the document filter can take off, so that no answer it must
// rewrite arrives in one it cannot read. A value that needs no change stays as written.
void LimitAcceptedEncodings(TIdHeaderList& headers) {
    const std::string acceptEncoding = headers.Value("Accept-Encoding");
    if (acceptEncoding.empty()) return;
    const std::string accepted = AcceptedEncodings(acceptEncoding);
    if (accepted != acceptEncoding) headers.SetValue("Accept-Encoding", accepted);
}

}  // namespace

void RequestHook(TIdHTTPProxyServerContext& context, const KeyValueTable& options, LogWriter& log,
                 const std::string& directory) {
    if (!context.UpstreamClient) context.UpstreamClient = std::make_unique<TIdTCPClient>();
    context.UpstreamClient->TransparentProxy = UpstreamProxy(options);
    const std::string host = context.Headers.Value("Host");
    context.LastRequestHost = host;
    context.LastRequestTarget = context.Document;
    LimitAcceptedEncodings(context.Headers);
    DumpHead(options, log, directory, "Request " + host,
             context.Command + " " + context.Document + "\r\n" + HeadText(context.Headers.Lines()));
}

}  // namespace kiosk
