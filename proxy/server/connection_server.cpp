#include "proxy/server/connection_server.h"

#include <algorithm>

#include "proxy/server/command_dispatch.h"

namespace kiosk {

namespace {

// Input the browser sent beyond what was read (a body the request did not announce) is dropped up to
// this much before the connection is closed, so that the close does not reset the connection and
// lose the answer on its way.
constexpr size_t kUnreadInputLimit = 1 << 20;

// A failed accept (no descriptor left: EMFILE, ENFILE) is tried again after a pause that grows up to
// this, instead of at once and for ever.
constexpr Milliseconds kFirstAcceptPause{10};
constexpr Milliseconds kLongestAcceptPause{250};

}  // namespace

ConnectionServer::Listener::~Listener() {
    socket.Shutdown();
    if (thread.joinable()) thread.join();
}

ConnectionServer::ConnectionServer(ContextFactory createContext) : createContext_(std::move(createContext)) {}

ConnectionServer::~ConnectionServer() {
    SetActive(false);
    // Threads still busy after the wait (in a hook, or resolving a name) are waited for here: they use
    // the handlers and hooks, and what those refer to goes away with the server's owner.
    AbortAllConnections();
    JoinAllWorkers();
}

void ConnectionServer::AddCommandHandler(std::string name, CommandHandler handler) {
    names_.push_back(std::move(name));
    handlers_.push_back(std::move(handler));
}

void ConnectionServer::SetActive(bool active) {
    if (active == Active()) return;
    if (active) {
        Activate();
    } else {
        Deactivate();
    }
}

int ConnectionServer::ListeningPort() const {
    return listeners_.empty() ? 0 : listeners_.front()->socket.Port();
}

size_t ConnectionServer::ConnectionThreads() const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count_if(workers_.begin(), workers_.end(),
                                             [](const Worker& worker) { return !worker.finished; }));
}

// Listens on the loopback addresses only: the proxy serves the browser of this machine, and listening
// on every interface would make it an open proxy for the network.
void ConnectionServer::Activate() {
    std::vector<std::unique_ptr<Listener>> listeners;
    listeners.push_back(
        std::make_unique<Listener>(TcpListener("127.0.0.1", settings_.DefaultPort, settings_.ListenQueue)));
    if (IPv6LoopbackAvailable()) {
        const int port = listeners.front()->socket.Port();
        listeners.push_back(std::make_unique<Listener>(TcpListener("::1", port, settings_.ListenQueue)));
    }
    for (auto& listener : listeners) {
        Listener* started = listener.get();
        listener->thread = std::thread([this, started] { Listen(started->socket); });
    }
    listeners_ = std::move(listeners);
}

void ConnectionServer::Deactivate() {
    listeners_.clear();
    AbortAllConnections();
    {
        std::unique_lock lock(mutex_);
        const Milliseconds longest(std::max(settings_.TerminateWaitTime, 0));
        workerFinished_.wait_for(lock, longest, [this] {
            return std::all_of(workers_.begin(), workers_.end(),
                               [](const Worker& worker) { return worker.finished; });
        });
    }
    ReapFinishedWorkers();
}

void ConnectionServer::Listen(TcpListener& listener) {
    try {
        Milliseconds pause = kFirstAcceptPause;
        while (std::optional<TcpSocket> socket = listener.Accept()) {
            if (!socket->IsOpen()) {  // a failed accept: descriptors may come back once others close
                std::this_thread::sleep_for(pause);
                pause = std::min(pause * 2, kLongestAcceptPause);
                continue;
            }
            pause = kFirstAcceptPause;
            ReapFinishedWorkers();
            StartWorker(std::move(*socket));
        }
    } catch (...) {
        // The listening socket itself failed; the server accepts no more on it.
    }
}

void ConnectionServer::StartWorker(TcpSocket socket) {
    std::unique_ptr<ConnectionContext> context;
    try {
        context = createContext_(std::move(socket));
    } catch (...) {
        return;  // the connection is dropped
    }
    std::lock_guard lock(mutex_);
    if (workers_.size() >= settings_.MostConnections) return;  // the connection is closed with its context
    workers_.push_front(Worker{std::move(context), {}, false});
    const auto worker = workers_.begin();
    try {
        worker->thread = std::thread([this, worker] {
            Serve(*worker->context);
            FinishWorker(worker);
        });
    } catch (...) {
        workers_.erase(worker);  // no thread to be had: the connection is dropped
    }
}

void ConnectionServer::Serve(ConnectionContext& context) {
    try {
        ServeLines(context);
    } catch (const std::exception& failure) {
        ReportFailure(context, failure.what());
    } catch (...) {
        ReportFailure(context, "Unknown failure.");
    }
    context.Connection().DiscardArrived(kUnreadInputLimit);
    context.CloseConnection();
}

// A connection that closes before sending a byte (browsers open spare ones), or sends nothing for
// kIdleConnectionLimit, ends quietly; one that closes in the middle of a line fails as any read does.
void ConnectionServer::ServeLines(ConnectionContext& context) {
    BufferedConnection& connection = context.Connection();
    for (;;) {
        if (!connection.HasBuffered() && !connection.Stream().WaitReadable(kIdleConnectionLimit)) return;
        if (!connection.Connected()) return;
        const std::string line = connection.ReadLine();
        if (line.empty()) continue;
        if (const std::optional<CommandMatch> match = MatchCommand(names_, line)) {
            handlers_[match->handler](context, match->parameters);
            return;
        }
        connection.Write("400 " + line + "\r\n");
    }
}

void ConnectionServer::ReportFailure(ConnectionContext& context, const std::string& failure) {
    // Connections that deactivation closed end without a report: the server closed them itself, so
    // a shutdown does not log (and mail) a failure for every connection that was still open.
    if (!onException_ || context.Aborted()) return;
    try {
        onException_(context, failure);
    } catch (...) {
        // The hook failed in turn; nothing is left to tell, and the thread must end normally.
    }
}

void ConnectionServer::FinishWorker(std::list<Worker>::iterator worker) {
    std::unique_ptr<ConnectionContext> context;
    {
        std::lock_guard lock(mutex_);
        context = std::move(worker->context);
        worker->finished = true;
    }
    context.reset();
    workerFinished_.notify_all();
}

void ConnectionServer::ReapFinishedWorkers() {
    std::list<Worker> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto worker = workers_.begin(); worker != workers_.end();) {
            const auto next = std::next(worker);
            if (worker->finished) finished.splice(finished.end(), workers_, worker);
            worker = next;
        }
    }
    for (Worker& worker : finished) worker.thread.join();
}

void ConnectionServer::AbortAllConnections() {
    std::lock_guard lock(mutex_);
    for (Worker& worker : workers_) {
        if (worker.context) worker.context->Abort();
    }
}

void ConnectionServer::JoinAllWorkers() {
    std::list<Worker> all;
    {
        std::lock_guard lock(mutex_);
        all.splice(all.end(), workers_);
    }
    for (Worker& worker : all) worker.thread.join();
}

}  // namespace kiosk
