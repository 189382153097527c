#pragma once

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/tcp_socket.h"
#include "proxy/proxy_server.h"
#include "proxy/server/connection_context.h"

namespace kiosk {

// A connection (or a tunnel) that carries nothing for this long is closed.
inline constexpr Milliseconds kIdleConnectionLimit{120'000};

struct ConnectionServerSettings {
    int DefaultPort = 8080;  // 0: any free port (see ListeningPort)
    int ListenQueue = 15;
    // The longest time deactivation waits for connection threads, in milliseconds.
    int TerminateWaitTime = 5000;
    TIdReuseSocket ReuseSocket = TIdReuseSocket::rsOSDependent;  // kept; the listener decides
    // Connections served at once; more are closed as they come, so that a flood cannot take every
    // descriptor and thread of the program.
    size_t MostConnections = 512;
};

// A TCP server on the loopback addresses that gives every connection a thread of its own, reads its
// lines and dispatches each by its first word to a command handler. One handled command per
// connection: the connection is closed when the handler returns. Settings, handlers and hooks are set
// while inactive.
class ConnectionServer {
public:
    using CommandHandler =
        std::function<void(ConnectionContext&, const std::vector<std::string>& parameters)>;
    using ContextFactory = std::function<std::unique_ptr<ConnectionContext>(TcpSocket)>;
    using ExceptionHook = std::function<void(ConnectionContext&, const std::string& failure)>;

    explicit ConnectionServer(ContextFactory createContext);
    ConnectionServer(const ConnectionServer&) = delete;
    ConnectionServer& operator=(const ConnectionServer&) = delete;
    // Deactivates, and waits for every thread however long it takes: no thread outlives the server.
    ~ConnectionServer();

    void Configure(const ConnectionServerSettings& settings) { settings_ = settings; }
    // name in capitals; handlers are tried in the order they were added.
    void AddCommandHandler(std::string name, CommandHandler handler);
    void SetOnException(ExceptionHook hook) { onException_ = std::move(hook); }

    // true: listens (throws SocketError when it cannot, for example when the port is taken).
    // false: stops listening, aborts every connection and waits up to TerminateWaitTime for their
    // threads. Nothing happens when the server is already in that state.
    void SetActive(bool active);
    bool Active() const { return !listeners_.empty(); }

    // The port listened on while active.
    int ListeningPort() const;
    // Connection threads that have not ended yet.
    size_t ConnectionThreads() const;

private:
    struct Worker {
        // Freed by the worker's thread when it ends; guarded by mutex_.
        std::unique_ptr<ConnectionContext> context;
        std::thread thread;
        bool finished = false;
    };
    // A listening socket and its thread, which the destructor stops and joins.
    struct Listener {
        explicit Listener(TcpListener listener) : socket(std::move(listener)) {}
        ~Listener();
        TcpListener socket;
        std::thread thread;
    };

    void Activate();
    void Deactivate();
    void Listen(TcpListener& listener);
    void StartWorker(TcpSocket socket);
    void Serve(ConnectionContext& context);
    void ServeLines(ConnectionContext& context);
    void ReportFailure(ConnectionContext& context, const std::string& failure);
    void FinishWorker(std::list<Worker>::iterator worker);
    // Joins the threads of the workers that have finished and forgets them.
    void ReapFinishedWorkers();
    void AbortAllConnections();
    void JoinAllWorkers();

    ContextFactory createContext_;
    ConnectionServerSettings settings_;
    std::vector<std::string> names_;
    std::vector<CommandHandler> handlers_;
    ExceptionHook onException_;

    std::vector<std::unique_ptr<Listener>> listeners_;
    mutable std::mutex mutex_;
    std::condition_variable workerFinished_;
    std::list<Worker> workers_;
};

}  // namespace kiosk
