#pragma once

#include <string>

namespace kiosk {

// The proxy's state of one browser connection, owned by the connection's thread. Network text is
// held as UTF-8 of its bytes (each byte one character).
class TIdHTTPProxyServerContext {
public:
    virtual ~TIdHTTPProxyServerContext() = default;

    // The request's Host header and target, recorded by the request hook; empty until then.
    std::string LastRequestHost;
    std::string LastRequestTarget;
};

// The log message of a failure that ended a connection's work: host and target of its request, ": "
// and the failure's text.
std::string ProxyFailureMessage(const TIdHTTPProxyServerContext& context, const std::string& failure);

}  // namespace kiosk
