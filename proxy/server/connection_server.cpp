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
    OpenParking(false);
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
    return serving_;
}

size_t ConnectionServer::ParkedThreads() const {
    std::lock_guard lock(mutex_);
    return parked_.size();
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
    OpenParking(true);
    for (auto& listener : listeners) {
        Listener* started = listener.get();
        listener->thread = std::thread([this, started] { Listen(started->socket); });
    }
    listeners_ = std::move(listeners);
}

void ConnectionServer::Deactivate() {
    listeners_.clear();
    OpenParking(false);
    AbortAllConnections();
    WorkerList ended;
    {
        std::unique_lock lock(mutex_);
        const Milliseconds longest(std::max(settings_.TerminateWaitTime, 0));
        workerEnded_.wait_for(lock, longest, [this] { return ended_.size() == workers_.size(); });
        TakeEndedWorkers(ended);
    }
    JoinWorkers(ended);
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
            Dispatch(std::move(*socket));
        }
    } catch (...) {
        // The listening socket itself failed; the server accepts no more on it.
    }
}

void ConnectionServer::Dispatch(TcpSocket socket) {
    std::unique_ptr<ConnectionContext> context;
    try {
        context = createContext_(std::move(socket));
    } catch (...) {
        return;  // the connection is dropped
    }
    WorkerList ended;
    std::shared_ptr<Worker> parked;
    {
        std::lock_guard lock(mutex_);
        TakeEndedWorkers(ended);
        if (serving_ < settings_.MostConnections) parked = HandOver(std::move(context));
    }
    // Woken without the lock held, so that it does not wake only to wait for the lock.
    if (parked) parked->handedOver.notify_one();
    // A connection beyond the most is closed here with its context.
    JoinWorkers(ended);
}

// Called with mutex_ held.
std::shared_ptr<ConnectionServer::Worker> ConnectionServer::HandOver(
    std::unique_ptr<ConnectionContext> context) {
    ++serving_;
    if (parked_.empty()) {
        StartWorker(std::move(context));
        return nullptr;
    }
    std::shared_ptr<Worker> worker = *parked_.back();
    parked_.pop_back();
    worker->context = std::move(context);
    return worker;
}

// Called with mutex_ held, so that the thread is stored before it can end and be joined.
void ConnectionServer::StartWorker(std::unique_ptr<ConnectionContext> context) {
    const auto worker = workers_.insert(workers_.begin(), std::make_shared<Worker>());
    (*worker)->context = std::move(context);
    try {
        (*worker)->thread = std::thread([this, worker] { RunWorker(worker); });
    } catch (...) {
        workers_.erase(worker);  // no thread to be had: the connection is dropped
        --serving_;
    }
}

void ConnectionServer::RunWorker(WorkerList::iterator worker) {
    do {
        Serve(*(*worker)->context);  // the context stays until this thread frees it
    } while (ServeNext(worker));
}

bool ConnectionServer::ServeNext(WorkerList::iterator worker) {
    Worker& self = **worker;
    std::unique_lock lock(mutex_);
    // Freed under the lock, where Abort cannot reach it: its sockets are closed, what is left is memory.
    self.context.reset();
    --serving_;
    if (parkingOpen_ && parked_.size() < settings_.MostParkedThreads) {
        parked_.push_back(worker);
        const Milliseconds idle(std::max(settings_.ParkedThreadIdleTime, 0));
        self.handedOver.wait_for(lock, idle, [&] { return self.context != nullptr || !parkingOpen_; });
        if (self.context) return true;  // Dispatch took it off parked_
        std::erase(parked_, worker);
    }
    ended_.push_back(worker);
    workerEnded_.notify_all();
    return false;
}

void ConnectionServer::OpenParking(bool open) {
    std::lock_guard lock(mutex_);
    parkingOpen_ = open;
    if (open) return;
    for (const auto worker : parked_) (*worker)->handedOver.notify_one();
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
// What has arrived is taken without a wait first: a request is mostly there by the time its thread
// looks.
void ConnectionServer::ServeLines(ConnectionContext& context) {
    BufferedConnection& connection = context.Connection();
    for (;;) {
        if (!connection.Connected()) return;
        if (!connection.HasBuffered()) {
            if (!connection.Stream().WaitReadable(kIdleConnectionLimit)) return;
            continue;
        }
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

void ConnectionServer::TakeEndedWorkers(WorkerList& ended) {
    for (const auto worker : ended_) ended.splice(ended.end(), workers_, worker);
    ended_.clear();
}

void ConnectionServer::JoinWorkers(WorkerList& workers) {
    for (const auto& worker : workers) worker->thread.join();
}

void ConnectionServer::AbortAllConnections() {
    std::lock_guard lock(mutex_);
    for (const auto& worker : workers_) {
        if (worker->context) worker->context->Abort();
    }
}

void ConnectionServer::JoinAllWorkers() {
    WorkerList all;
    {
        std::lock_guard lock(mutex_);
        all.splice(all.end(), workers_);
    }
    JoinWorkers(all);
    std::lock_guard lock(mutex_);
    ended_.clear();
}

}  // namespace kiosk
