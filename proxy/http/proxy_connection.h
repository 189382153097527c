#pragma once

#include <memory>
#include <string>

#include "os/tcp_socket.h"
#include "proxy/http/header_list.h"
#include "proxy/server/connection_context.h"
#include "proxy/upstream/upstream_client.h"

namespace kiosk {

enum class BodyTransfer { Streaming, FullDocument };
enum class ExchangeSide { FromClient, FromServer };

// The proxy's state of one browser connection, owned by the connection's thread. Everything that
// came from the network is held as the bytes that arrived.
class ProxyConnection : public ConnectionContext {
public:
    using ConnectionContext::ConnectionContext;

    // Deactivation ends the outbound connection too (a connect in progress included), so that a
    // silent server cannot keep the thread, and the shutdown, waiting.
    void Abort() override {
        ConnectionContext::Abort();
        Outbound.Shutdown();
    }

    // The request's header lines; for the answer, its status line followed by its header lines.
    HeaderList Headers;
    // The request's method, the known ones in capitals (see RequestHead).
    std::string Command;
    // What goes upstream as the request target: path, document name and query; empty for CONNECT.
    std::string Document;
    // The outbound connection of the current exchange; none outside it.
    std::unique_ptr<OutboundRoute> Route;
    // The socket of the outbound connection. Never replaced, so that Abort always reaches it.
    TcpSocket Outbound;
    BodyTransfer TransferMode = BodyTransfer::FullDocument;
    ExchangeSide TransferSide = ExchangeSide::FromClient;
    // Set while requests inside a decrypted CONNECT are served: they go to the origin over the TLS
    // session in origin form, whatever the upstream route of the tunnel itself.
    bool Inspected = false;
    // For the answer being relayed: whether the browser's connection stays for another request
    // (cleared when the answer can only end with the connection's close), and whether the browser
    // reads chunked bodies (its request was HTTP/1.1).
    bool KeepBrowser = false;
    bool BrowserTakesChunks = false;

    // The request's Host header and target, recorded by the request hook; empty until then.
    std::string LastRequestHost;
    std::string LastRequestTarget;
};

// The log message of a failure that ended a connection's work: host and target of its request, ": "
// and the failure's text (UTF-8).
std::string ProxyFailureMessage(const ProxyConnection& context, const std::string& failure);

}  // namespace kiosk
