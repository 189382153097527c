#include "proxy/http/request_target.h"

#include <algorithm>

#include "util/integer_text.h"

namespace kiosk {

namespace {

// Cuts the query off rest at its first "?".
std::string SplitQuery(std::string& rest) {
    const size_t question = rest.find('?');
    if (question == std::string::npos) return {};
    std::string query = rest.substr(question + 1);
    rest.resize(question);
    return query;
}

// Host and port text of "host:port"; an IPv6 address goes in brackets ("[::1]:8080"), which are
// not part of the host. The port is empty when there is none.
void SplitHostAndPort(std::string_view authority, std::string& host, std::string& port) {
    const size_t open = authority.find('[');
    const size_t close = open == std::string_view::npos ? open : authority.find(']', open);
    const size_t colon = authority.find(':', close == std::string_view::npos ? 0 : close);
    if (close != std::string_view::npos) {
        host = authority.substr(open + 1, close - open - 1);
    } else {
        host = authority.substr(0, colon);
    }
    if (colon != std::string_view::npos) port = authority.substr(colon + 1);
}

void SplitAuthority(std::string_view authority, PassThroughTarget& target) {
    const size_t at = authority.find('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    SplitHostAndPort(authority, target.host, target.port);
}

}  // namespace

PassThroughTarget ParsePassThroughTarget(std::string_view raw) {
    std::string rest(raw);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    PassThroughTarget target;
    std::string path;
    const size_t scheme = rest.find("://");
    if (scheme != std::string::npos) {
        rest.erase(0, scheme + 3);
        const std::string query = SplitQuery(rest);
        const size_t slash = rest.find('/');
        SplitAuthority(std::string_view(rest).substr(0, slash), target);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        const size_t last = rest.rfind('/');
        path.push_back('/');
        if (last != std::string::npos) path.append(rest, 0, last + 1);
        rest = last == std::string::npos ? rest : rest.substr(last + 1);
        target.document = query;
    } else {
        target.document = SplitQuery(rest);
        const size_t last = rest.rfind('/');
        path = last == std::string::npos ? std::string() : rest.substr(0, last + 1);
        rest = last == std::string::npos ? rest : rest.substr(last + 1);
    }
    const std::string name = rest.substr(0, rest.find('#'));
    const std::string query = std::move(target.document);
    target.document = path + name + (query.empty() ? std::string() : "?" + query);
    return target;
}

TunnelTarget ParseTunnelTarget(std::string_view raw) {
    TunnelTarget target;
    std::string port;
    SplitHostAndPort(raw, target.host, port);
    target.port = PortNumber(port, 443);
    return target;
}

int PortNumber(std::string_view text, int fallback) {
    return IntegerOr(text, fallback);
}

std::string UrlHost(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

std::string HostAndPort(const std::string& host, int port) {
    return UrlHost(host) + ":" + std::to_string(port);
}

}  // namespace kiosk
