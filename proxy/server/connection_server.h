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

struct ConnectionServerSettings {
    int DefaultPort = 8080;  // 0: any free port (see ListeningPort)
    int ListenQueue = 15;
    // The longest time deactivation waits for connection threads, in milliseconds.
    int TerminateWaitTime = 5000;
    SocketReuse ReuseSocket = SocketReuse::SystemDefault;  // kept; the listener decides
    // Connections served at once; more are closed as they come, so that a flood cannot take every
    // descriptor and thread of the program.
    size_t MostConnections = 512;
    // A thread whose connection has ended waits this long (milliseconds) for the next one before it
    // ends, at most MostParkedThreads of them at once; one waits on each listening socket whatever
    // the count. A new connection mostly needs no new thread.
    int ParkedThreadIdleTime = 10000;
    size_t MostParkedThreads = 32;
};

// A TCP server on the loopback addresses that gives every connection a thread of its own and hands it,
// once its first bytes have arrived, to the connection handler; the connection is closed when the
// handler returns. Idle threads wait for connections in the system's accept, which gives each new
// connection to one of them; the thread serves it, and a new thread is started only when none is left
// waiting on that listening socket. A thread whose connection has ended waits for another for a while.
// Settings, the handler and the hook are set while inactive.
class ConnectionServer {
public:
    using ConnectionHandler = std::function<void(ConnectionContext&)>;
    using ContextFactory = std::function<std::unique_ptr<ConnectionContext>(TcpSocket)>;
    using ExceptionHook = std::function<void(ConnectionContext&, const std::string& failure)>;

    explicit ConnectionServer(ContextFactory createContext);
    ConnectionServer(const ConnectionServer&) = delete;
    ConnectionServer& operator=(const ConnectionServer&) = delete;
    // Deactivates, and waits for every thread however long it takes: no thread outlives the server.
    ~ConnectionServer();

    void Configure(const ConnectionServerSettings& settings) { settings_ = settings; }
    void SetConnectionHandler(ConnectionHandler handler) { handler_ = std::move(handler); }
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
    // A connection thread; the context is guarded by mutex_.
    struct Worker {
        // The connection being served; none while waiting. Freed by the worker's thread.
        std::unique_ptr<ConnectionContext> context;
        std::thread thread;
    };
    using WorkerList = std::list<Worker>;
    // A listening socket and the threads waiting on it.
    struct Listener {
        explicit Listener(TcpListener listener) : socket(std::move(listener)) {}
        TcpListener socket;
        // Threads in (or on their way to) an accept on the socket; guarded by mutex_.
        size_t waiting = 0;
    };
    // What a thread does after a wait on a listening socket.
    enum class Next { Serve, WaitAgain, End };

    void Activate();
    void Deactivate();
    // Called with mutex_ held: a thread that waits on listener; false when no thread can be had.
    bool StartWorker(Listener& listener);
    // The thread of a worker: waits on a listening socket, serves the connection it gets, and waits
    // again on the socket with the fewest threads waiting.
    void RunWorker(WorkerList::iterator worker, Listener* listener);
    // Decides on what a wait gave: a connection to serve (the worker's context), or another wait,
    // or the thread's end (the server stopped listening, or the thread waited idle for too long while
    // another waits too).
    Next Admit(WorkerList::iterator worker, Listener& listener, TcpListener::Wait wait, TcpSocket socket);
    // Frees the connection the worker has served; the listener to wait on next, or none when the
    // thread ends (too many wait already, or the server stopped listening).
    Listener* ListenerAfterConnection(WorkerList::iterator worker);
    // Called with mutex_ held: the thread is about to end and waits to be joined.
    void MarkEnded(WorkerList::iterator worker);
    bool NobodyWaits() const;
    void Serve(ConnectionContext& context);
    static bool FirstBytesArrive(ConnectionContext& context);
    void ReportFailure(ConnectionContext& context, const std::string& failure);
    // Moves the workers whose threads have ended to ended, to be joined without the lock.
    void TakeEndedWorkers(WorkerList& ended);
    static void JoinWorkers(WorkerList& workers);
    void AbortAllConnections();
    void JoinAllWorkers();

    ContextFactory createContext_;
    ConnectionServerSettings settings_;
    ConnectionHandler handler_;
    ExceptionHook onException_;

    // Used by the waiting threads without the lock: replaced only while no thread waits on them,
    // and none can.
    std::vector<std::unique_ptr<Listener>> listeners_;
    mutable std::mutex mutex_;
    std::condition_variable workerEnded_;
    std::condition_variable waitEnded_;
    WorkerList workers_;
    // Workers whose thread has ended (or is ending) and waits to be joined.
    std::vector<WorkerList::iterator> ended_;
    size_t serving_ = 0;
    bool listening_ = false;
};

}  // namespace kiosk
