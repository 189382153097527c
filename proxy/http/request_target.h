#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// A pass-through request's target, split: host and port text (empty when the target is a bare
// path) and the document sent upstream (path, document name and, when there is one, "?" and query).
struct PassThroughTarget {
    std::string host;
    std::string port;
    std::string document;
};

// Backslashes count as slashes; user name and password before "@" and a fragment after "#" are
// dropped. Only "?" starts the query: an "=" stays where it is.
PassThroughTarget ParsePassThroughTarget(std::string_view target);

struct TunnelTarget {
    std::string host;
    int port = 443;
};

// "host:port" of a CONNECT request, "[v6 address]:port" for IPv6 (the host without its brackets);
// the port is 443 when it is missing or not a number.
TunnelTarget ParseTunnelTarget(std::string_view target);

// The port's number, or fallback when the text is empty or not a number.
int PortNumber(std::string_view text, int fallback);

// host as a URL writes it: a host with colons (IPv6) goes in brackets.
std::string UrlHost(const std::string& host);

// "host:port" as a request target writes it, the host as in a URL.
std::string HostAndPort(const std::string& host, int port);

}  // namespace kiosk
