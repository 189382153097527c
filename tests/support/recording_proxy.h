#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "proxy/http_proxy_server.h"
#include "proxy/tls/https_inspection.h"
#include "tests/support/child_process.h"
#include "tests/support/event_record.h"
#include "tests/support/loopback_peers.h"

namespace kiosk::testing {

// The proxy on a free loopback port, with hooks that record what they see: "before HOST:PORT",
// "client BODY" and "server BODY" for documents (a request's body is relayed as it arrives, so the hook
// sees "client " with an empty body), "failure TEXT".
struct RecordingProxy {
    using Rewrite = std::function<void(ProxyConnection&, std::string&)>;

    EventRecord events;
    // Whether the document hook gets answers' bodies whole; false: every body is relayed as it arrives.
    std::atomic<bool> wantsDocuments = true;
    HttpProxyServer server;

    // inspection: the HTTPS inspection of the proxy; none: every CONNECT is a tunnel.
    explicit RecordingProxy(std::shared_ptr<HttpsInspection> inspection = nullptr) {
        ProxyServerSettings settings;
        settings.Inspection = std::move(inspection);
        settings.DefaultTransferMode = BodyTransfer::FullDocument;
        settings.DefaultPort = 0;
        settings.ListenQueue = 600;  // tests open hundreds of connections at once
        server.Configure(settings);
        ProxyHooks hooks;
        hooks.OnFailure = [this](ProxyConnection&, const std::string& failure) {
            events.Add("failure " + failure);
        };
        hooks.OnRequest = [this](ProxyConnection& context) {
            context.Route->TransparentProxy = Route();
            events.Add("before " + context.Route->Host + ":" + std::to_string(context.Route->Port));
        };
        hooks.WantsDocument = [this](const ProxyConnection&) { return wantsDocuments.load(); };
        hooks.OnDocument = [this](ProxyConnection& context, std::string& body) {
            const bool fromClient = context.TransferSide == ExchangeSide::FromClient;
            events.Add((fromClient ? "client " : "server ") + body);
            if (const Rewrite rewrite = TheRewrite()) rewrite(context, body);
        };
        server.SetHooks(std::move(hooks));
        server.SetActive(true);
    }

    // What the document hook runs after it has recorded the call. Both may be set while the proxy runs:
    // its connection threads read them under the lock.
    void SetRewrite(Rewrite rewrite) {
        std::lock_guard lock(mutex_);
        rewrite_ = std::move(rewrite);
    }
    // The upstream route the before-command hook attaches to every request.
    void SetRoute(TransparentProxySlot route) {
        std::lock_guard lock(mutex_);
        route_ = std::move(route);
    }

    TcpSocket Connect() { return ConnectTo(server.ListeningPort()); }
    // Sends request on a new connection and returns all the proxy sends back before it closes.
    std::string Exchange(const std::string& request) {
        TcpSocket browser = Connect();
        browser.Send(request);
        return ReadUntilClosed(browser);
    }
    bool ThreadsEnd() {
        return WaitUntil([&] { return server.ConnectionThreads() == 0; }, std::chrono::seconds(5));
    }
    std::vector<std::string> Failures() const { return events.Starting("failure "); }

private:
    Rewrite TheRewrite() {
        std::lock_guard lock(mutex_);
        return rewrite_;
    }
    TransparentProxySlot Route() {
        std::lock_guard lock(mutex_);
        return route_;
    }

    std::mutex mutex_;
    Rewrite rewrite_;
    TransparentProxySlot route_;
};

inline std::string Url(int port, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

}  // namespace kiosk::testing
