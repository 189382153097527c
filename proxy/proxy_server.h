#pragma once

#include <functional>
#include <memory>
#include <string>

#include "proxy/http/proxy_connection.h"

namespace kiosk {

enum class SocketReuse { SystemDefault, Always, Never };

class HttpsInspection;

struct ProxyServerSettings {
    BodyTransfer DefaultTransferMode = BodyTransfer::Streaming;
    int ListenQueue = 15;
    SocketReuse ReuseSocket = SocketReuse::SystemDefault;
    int TerminateWaitTime = 5000;
    int DefaultPort = 8080;
    // Decrypts the CONNECTs it names; none: every CONNECT is a byte tunnel.
    std::shared_ptr<HttpsInspection> Inspection;
};

// The hooks the proxy calls on its connection threads.
struct ProxyHooks {
    // A failure that ended a connection's work, or an answer that could not be read whole.
    std::function<void(ProxyConnection&, const std::string& failure)> OnFailure;
    std::function<void(ProxyConnection&)> OnRequest;
    // Asked with an answer's head before its body: whether the document hook needs the body whole.
    // None, or false: the body is relayed as it arrives.
    std::function<bool(const ProxyConnection&)> WantsDocument;
    // Every answer's head with its body read whole, or with an empty body when the body is relayed
    // as it arrives; the same for a request with a body. The hook may change both.
    std::function<void(ProxyConnection&, std::string& body)> OnDocument;
};

// The loopback HTTP proxy. Configured and given its hooks while inactive; activation starts listening
// and throws when it cannot (port in use); deactivation closes every connection and waits for their
// threads. Deactivating an inactive server does nothing.
class ProxyServer {
public:
    virtual ~ProxyServer() = default;
    virtual void Configure(const ProxyServerSettings& settings) = 0;
    virtual void SetHooks(ProxyHooks hooks) = 0;
    virtual void SetActive(bool active) = 0;
    virtual bool Active() const = 0;
};

}  // namespace kiosk
