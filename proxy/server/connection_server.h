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
    // A thread whose connection has ended waits this long (milliseconds) for the next one before it
    // ends, at most MostParkedThreads of them at once: a new connection mostly needs no new thread.
    int ParkedThreadIdleTime = 10000;
    size_t MostParkedThreads = 32;
};

// A TCP server on the loopback addresses that gives every connection a thread of its own, reads its
// lines and dispatches each by its first word to a command handler. One handled command per
// connection: the connection is closed when the handler returns. A thread whose connection has ended
// is parked for a while and serves the next accepted connection. Settings, handlers and hooks are
// set while inactive.
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
    // threads; parked threads end. Nothing happens when the server is already in that state.
    void SetActive(bool active);
    bool Active() const { return !listeners_.empty(); }

    // The port listened on while active.
    int ListeningPort() const;
    // Threads serving a connection.
    size_t ConnectionThreads() const;
    // Threads waiting for the next connection.
    size_t ParkedThreads() const;

private:
    // A connection thread; what it holds is guarded by mutex_.
    struct Worker {
        // The connection being served; none while parked. Freed by the worker's thread.
        std::unique_ptr<ConnectionContext> context;
        // Wakes the parked thread when a connection is handed to it or parking closes.
        std::condition_variable handedOver;
        std::thread thread;
    };
    // Shared, so that a worker handed a connection outlives the wake-up call even if it serves the
    // connection, ends and is joined before the call is made.
    using WorkerList = std::list<std::shared_ptr<Worker>>;
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
    // Serves the connection unless the most are served already; joins the threads that have ended.
    void Dispatch(TcpSocket socket);
    // Gives the connection to a parked thread, which it returns to be woken, or to a new thread.
    std::shared_ptr<Worker> HandOver(std::unique_ptr<ConnectionContext> context);
    void StartWorker(std::unique_ptr<ConnectionContext> context);
    // The thread of a worker: serves its connection, then waits parked for the next one.
    void RunWorker(WorkerList::iterator worker);
    // Frees the connection the worker has served and waits for the next one; false when none came
    // within the idle time or parking closed.
    bool ServeNext(WorkerList::iterator worker);
    void OpenParking(bool open);
    void Serve(ConnectionContext& context);
    void ServeLines(ConnectionContext& context);
    void ReportFailure(ConnectionContext& context, const std::string& failure);
    // Moves the workers whose threads have ended to ended, to be joined without the lock.
    void TakeEndedWorkers(WorkerList& ended);
    static void JoinWorkers(WorkerList& workers);
    void AbortAllConnections();
    void JoinAllWorkers();

    ContextFactory createContext_;
    ConnectionServerSettings settings_;
    std::vector<std::string> names_;
    std::vector<CommandHandler> handlers_;
    ExceptionHook onException_;

    std::vector<std::unique_ptr<Listener>> listeners_;
    mutable std::mutex mutex_;
    std::condition_variable workerEnded_;
    WorkerList workers_;
    // Workers whose thread has ended (or is ending) and waits to be joined.
    std::vector<WorkerList::iterator> ended_;
    // Parked workers, the last parked at the back: it is handed the next connection, and the others
    // run out of idle time first.
    std::vector<WorkerList::iterator> parked_;
    size_t serving_ = 0;
    bool parkingOpen_ = false;
};

}  // namespace kiosk
