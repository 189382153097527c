#pragma once

#include <functional>
#include <memory>
#include <string>

#include "proxy/http/proxy_context.h"

namespace kiosk {

enum class TIdReuseSocket { rsOSDependent, rsTrue, rsFalse };

class HttpsInspection;

struct ProxyServerSettings {
    TIdHTTPProxyTransferMode DefaultTransferMode = TIdHTTPProxyTransferMode::tmStreaming;
    int ListenQueue = 15;
    TIdReuseSocket ReuseSocket = TIdReuseSocket::rsOSDependent;
    int TerminateWaitTime = 5000;
    int DefaultPort = 8080;
    // Decrypts the CONNECTs it names; none: every CONNECT is a byte tunnel.
    std::shared_ptr<HttpsInspection> Inspection;
};

// The hooks the proxy calls on its connection threads.
struct ProxyHooks {
    // A failure that ended a connection's work, or an answer that could not be read whole.
    std::function<void(TIdHTTPProxyServerContext&, const std::string& failure)> OnException;
    std::function<void(TIdHTTPProxyServerContext&)> OnHTTPBeforeCommand;
    // Asked with an answer's head before its body: whether the document hook needs the body whole.
    // None, or false: the body is relayed as it arrives.
    std::function<bool(const TIdHTTPProxyServerContext&)> WantsDocument;
    // Every answer's head with its body read whole, or with an empty body when the body is relayed
    // as it arrives; the same for a request with a body. The hook may change both.
    std::function<void(TIdHTTPProxyServerContext&, std::string& body)> OnHTTPDocument;
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
