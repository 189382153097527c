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
    // ends, at most MostParkedThreads of them at once (the one accepting among them, which stays
    // while the server listens): a new connection mostly needs no new thread.
    int ParkedThreadIdleTime = 10000;
    size_t MostParkedThreads = 32;
};

// A TCP server on the loopback addresses that gives every connection a thread of its own, reads its
// lines and dispatches each by its first word to a command handler. One handled command per
// connection: the connection is closed when the handler returns. Idle threads accept the connections
// themselves, one at a time (the leader); the others wait parked until the leader has a connection and
// hands the lead on, and a thread is started only when none is parked. A thread whose connection has
// ended parks for a while. Settings, handlers and hooks are set while inactive.
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
    // Threads waiting for the next connection, the one accepting it among them.
    size_t ParkedThreads() const;

private:
    // A connection thread; what it holds is guarded by mutex_.
    struct Worker {
        // The connection being served; none while parked. Freed by the worker's thread.
        std::unique_ptr<ConnectionContext> context;
        // Set when the lead is handed to this parked worker; wakes it, as does the end of listening.
        bool promoted = false;
        std::condition_variable handedOver;
        std::thread thread;
    };
    // Shared, so that a worker handed the lead outlives the wake-up call even if it serves a
    // connection, ends and is joined before the call is made.
    using WorkerList = std::list<std::shared_ptr<Worker>>;
    // What the leader did with a connection it accepted.
    enum class Admission { Served, Refused, Stopped };

    void Activate();
    void Deactivate();
    // Called with mutex_ held: a thread that takes the lead when it starts; false when no thread can
    // be had.
    bool StartWorker();
    // The thread of a worker: leads until it has a connection, serves it, and waits for the lead again.
    void RunWorker(WorkerList::iterator worker);
    // Frees the connection the worker has served, then takes the lead when nobody leads, or parks
    // until it is handed the lead. false: the thread ends (idle too long, too many parked, or the
    // server stopped listening).
    bool AwaitLead(WorkerList::iterator worker);
    // As leader: accepts until a connection is admitted (true; the lead is handed on) or listening ends
    // (false; the lead is given up).
    bool AcceptAsLeader(Worker& self);
    Admission Admit(Worker& self, std::optional<TcpSocket> socket);
    // Called with mutex_ held: the parked worker to wake, which now leads; else a new thread is started.
    std::shared_ptr<Worker> HandLeadOn();
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

    // Used by the leader without the lock: replaced only while nobody leads and nobody can.
    std::vector<TcpListener> listeners_;
    mutable std::mutex mutex_;
    std::condition_variable workerEnded_;
    std::condition_variable leadGivenUp_;
    WorkerList workers_;
    // Workers whose thread has ended (or is ending) and waits to be joined.
    std::vector<WorkerList::iterator> ended_;
    // Parked workers, the last parked at the back: it is handed the lead next, and the others run out
    // of idle time first.
    std::vector<WorkerList::iterator> parked_;
    size_t serving_ = 0;
    bool listening_ = false;
    // A thread leads: it accepts (or will, once woken) on listeners_.
    bool leading_ = false;
};

}  // namespace kiosk
