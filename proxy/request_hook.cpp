#include "proxy/request_hook.h"

#include <optional>

#include "config/option_defaults.h"
#include "proxy/filter/content_decoding.h"
#include "proxy/http/header_dump.h"
#include "proxy/http/http_text.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

std::optional<SocksVersion> SocksVersionNamed(const std::string& kind) {
    if (kind == "socks4") return SocksVersion::Socks4;
    if (kind == "socks4a") return SocksVersion::Socks4A;
    if (kind == "socks5") return SocksVersion::Socks5;
    return std::nullopt;
}

SocksProxy ConfiguredSocksProxy(SocksVersion version, const KeyValueTable& options) {
    SocksProxy socks;
    socks.Version = version;
    socks.Host = options.Value("host");
    socks.Port = IntegerOr(options.Value("port"), kDefaultProxyPort);
    socks.Username = options.Value("login");
    socks.Password = options.Value("password");
    if (!socks.Username.empty()) socks.Authentication = SocksAuthentication::UsernamePassword;
    return socks;
}

// Switched on, so that "http" is a real route: pass-through requests go to the proxy in absolute form,
// tunnels are asked for with CONNECT.
HttpProxy ConfiguredHttpProxy(const KeyValueTable& options) {
    HttpProxy http;
    http.Host = options.Value("host");
    http.Port = IntegerOr(options.Value("port"), kDefaultProxyPort);
    http.Username = options.Value("login");
    http.Password = options.Value("password");
    http.Enabled = true;
    return http;
}

TransparentProxySlot ConfiguredUpstreamProxy(const KeyValueTable& options) {
    const std::string kind = options.Value("proxy");
    if (const auto version = SocksVersionNamed(kind)) return ConfiguredSocksProxy(*version, options);
    if (kind == "http") return ConfiguredHttpProxy(options);
    return std::monostate{};
}

// Origins are asked only for encodings the document filter can take off, so that no answer it must
// rewrite arrives in one it cannot read. A value that needs no change stays as written.
void LimitAcceptedEncodings(HeaderList& headers) {
    const std::string acceptEncoding = headers.Value("Accept-Encoding");
    if (acceptEncoding.empty()) return;
    const std::string accepted = AcceptedEncodings(acceptEncoding);
    if (accepted != acceptEncoding) headers.SetValue("Accept-Encoding", accepted);
}

}  // namespace

void RequestHook(ProxyConnection& context, const KeyValueTable& options, LogWriter& log,
                 const std::string& directory) {
    if (!context.Route) context.Route = std::make_unique<OutboundRoute>();
    context.Route->TransparentProxy = ConfiguredUpstreamProxy(options);
    const std::string host = context.Headers.Value("Host");
    context.LastRequestHost = host;
    context.LastRequestTarget = context.Document;
    LimitAcceptedEncodings(context.Headers);
    DumpHead(options, log, directory, "Request " + host,
             context.Command + " " + context.Document + "\r\n" + HeadText(context.Headers.Lines()));
}

}  // namespace kiosk
