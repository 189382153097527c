#include "proxy/server/connection_server.h"

#include <algorithm>
#include <stdexcept>

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

ConnectionServer::ConnectionServer(ContextFactory createContext) : createContext_(std::move(createContext)) {}

ConnectionServer::~ConnectionServer() {
    SetActive(false);
    // Threads still busy after the wait (in a hook, or resolving a name) are waited for here: they use
    // the handlers and hooks, and what those refer to goes away with the server's owner.
    AbortAllConnections();
    JoinAllWorkers();
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
    size_t waiting = 0;
    for (const auto& listener : listeners_) waiting += listener->waiting;
    return waiting;
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
    for (const auto& listener : listeners) {
        listener->socket.DeferAcceptUntilData();  // the browser speaks first
        listener->socket.WaitInSystem(Milliseconds(settings_.ParkedThreadIdleTime));
    }
    bool started = true;
    {
        std::lock_guard lock(mutex_);
        listeners_ = std::move(listeners);
        listening_ = true;
        for (const auto& listener : listeners_) started = started && StartWorker(*listener);
    }
    if (!started) {
        Deactivate();
        throw std::runtime_error("No thread to accept connections.");
    }
}

void ConnectionServer::Deactivate() {
    {
        std::lock_guard lock(mutex_);
        listening_ = false;
    }
    for (const auto& listener : listeners_) listener->socket.Shutdown();
    {
        // Every wait ends at once; the sockets go only after that.
        std::unique_lock lock(mutex_);
        waitEnded_.wait(lock, [this] { return NobodyWaits(); });
        listeners_.clear();
    }
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

bool ConnectionServer::NobodyWaits() const {
    return std::all_of(listeners_.begin(), listeners_.end(),
                       [](const auto& listener) { return listener->waiting == 0; });
}

// Called with mutex_ held, so that the thread is stored before it can end and be joined.
bool ConnectionServer::StartWorker(Listener& listener) {
    const auto worker = workers_.emplace(workers_.begin());
    ++listener.waiting;
    try {
        worker->thread = std::thread([this, worker, &listener] { RunWorker(worker, &listener); });
        return true;
    } catch (...) {
        --listener.waiting;
        workers_.erase(worker);
        return false;
    }
}

void ConnectionServer::RunWorker(WorkerList::iterator worker, Listener* listener) {
    Milliseconds pause = kFirstAcceptPause;
    while (listener != nullptr) {
        TcpSocket socket;
        const TcpListener::Wait wait = listener->socket.AcceptWaiting(socket);
        if (wait == TcpListener::Wait::Failed) {  // no descriptor left: they may come back once others close
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, kLongestAcceptPause);
            continue;
        }
        pause = kFirstAcceptPause;
        const Next next = Admit(worker, *listener, wait, std::move(socket));
        if (next == Next::End) return;
        if (next == Next::WaitAgain) continue;
        Serve(*worker->context);  // the context stays until this thread frees it
        ReleaseMovePipe();        // a waiting thread holds no descriptor
        listener = ListenerAfterConnection(worker);
    }
}

// Threads that have ended are joined here, by a thread that is about to serve or wait again.
ConnectionServer::Next ConnectionServer::Admit(WorkerList::iterator worker, Listener& listener,
                                               TcpListener::Wait wait, TcpSocket socket) {
    std::unique_ptr<ConnectionContext> context;
    if (wait == TcpListener::Wait::Accepted) {
        try {
            context = createContext_(std::move(socket));
        } catch (...) {
            // the connection is dropped
        }
    }
    Next next = Next::WaitAgain;
    WorkerList ended;
    {
        std::lock_guard lock(mutex_);
        if (!listening_ || wait == TcpListener::Wait::ShutDown ||
            (wait == TcpListener::Wait::TimedOut && listener.waiting > 1)) {
            --listener.waiting;
            waitEnded_.notify_all();
            MarkEnded(worker);
            return Next::End;  // an accepted connection is closed with its context
        }
        TakeEndedWorkers(ended);
        if (context && serving_ < settings_.MostConnections) {
            --listener.waiting;
            ++serving_;
            worker->context = std::move(context);
            // With no thread to be had, the socket waits for the next thread whose connection ends.
            if (listener.waiting == 0) StartWorker(listener);
            next = Next::Serve;
        }
    }
    JoinWorkers(ended);
    // A connection beyond the most is closed here with its context.
    return next;
}

ConnectionServer::Listener* ConnectionServer::ListenerAfterConnection(WorkerList::iterator worker) {
    std::lock_guard lock(mutex_);
    // Freed under the lock, where Abort cannot reach it: its sockets are closed, what is left is memory.
    worker->context.reset();
    --serving_;
    if (listening_ && !listeners_.empty()) {
        size_t waiting = 0;
        Listener* fewest = listeners_.front().get();
        for (const auto& listener : listeners_) {
            waiting += listener->waiting;
            if (listener->waiting < fewest->waiting) fewest = listener.get();
        }
        if (fewest->waiting == 0 || waiting < settings_.MostParkedThreads) {
            ++fewest->waiting;
            return fewest;
        }
    }
    MarkEnded(worker);
    return nullptr;
}

void ConnectionServer::MarkEnded(WorkerList::iterator worker) {
    ended_.push_back(worker);
    workerEnded_.notify_all();
}

void ConnectionServer::Serve(ConnectionContext& context) {
    try {
        if (handler_ && FirstBytesArrive(context)) handler_(context);
    } catch (const std::exception& failure) {
        ReportFailure(context, failure.what());
    } catch (...) {
        ReportFailure(context, "Unknown failure.");
    }
    context.Connection().DiscardArrived(kUnreadInputLimit);
    context.CloseConnection();
}

// A connection that closes before sending a byte (browsers open spare ones), or sends nothing for
// kIdleConnectionLimit, ends quietly. What has arrived is taken without a wait first: a request is
// mostly there by the time its thread looks.
bool ConnectionServer::FirstBytesArrive(ConnectionContext& context) {
    BufferedConnection& connection = context.Connection();
    for (;;) {
        if (!connection.Connected()) return false;
        if (connection.HasBuffered()) return true;
        if (!connection.Stream().WaitReadable(kIdleConnectionLimit)) return false;
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
    for (Worker& worker : workers) worker.thread.join();
}

void ConnectionServer::AbortAllConnections() {
    std::lock_guard lock(mutex_);
    for (const Worker& worker : workers_) {
        if (worker.context) worker.context->Abort();
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
