#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace kiosk {

// A page's address as the tool asks for it.
struct PageAddress {
    bool https = false;
    std::string host;  // without brackets
    int port = 80;
    std::string hostHeader;  // what a browser sends as Host: the host, with ":port" unless the default
    std::string document;    // path and query, from "/"
    std::string absolute;    // the address without its fragment

    // What the document filter matches script patterns against.
    std::string ScriptKey() const { return hostHeader + document; }
};

// An http:// or https:// address with a host; nothing otherwise.
std::optional<PageAddress> ParsePageAddress(const std::string& url);

// Asks the HTTP proxy on the loopback port for the page as the kiosk's browser does: a plain request
// in absolute form, or for https a CONNECT, then TLS trusting only the PEM certificates of caFile (the
// terminal's CA), then the request. The answer's body goes to body as it arrives. Returns the
// answer's head (status line and header lines, CR LF each). Throws std::runtime_error when no answer
// came (the proxy closed the connection, a wait ran out, the TLS handshake failed).
std::string RequestThroughProxy(int proxyPort, const PageAddress& page, const std::string& caFile,
                                std::ostream& body);

}  // namespace kiosk
