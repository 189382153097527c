#pragma once

#include <string>

#include "proxy/header_list.h"

namespace kiosk {

// The proxy's state of one browser connection, owned by the connection's thread. Everything that
// came from the network is held as the bytes that arrived.
class TIdHTTPProxyServerContext {
public:
    virtual ~TIdHTTPProxyServerContext() = default;

    // The request's header lines; for the answer, its status line followed by its header lines.
    TIdHeaderList Headers;
    // What goes upstream as the request target: path, document name and query.
    std::string Document;

    // The request's Host header and target, recorded by the request hook; empty until then.
    std::string LastRequestHost;
    std::string LastRequestTarget;
};

// The log message of a failure that ended a connection's work: host and target of its request, ": "
// and the failure's text (UTF-8).
std::string ProxyFailureMessage(const TIdHTTPProxyServerContext& context, const std::string& failure);

}  // namespace kiosk
