#include "proxy/server/connection_server.h"

#include <algorithm>
#include <stdexcept>

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
    return listeners_.empty() ? 0 : listeners_.front().Port();
}

size_t ConnectionServer::ConnectionThreads() const {
    std::lock_guard lock(mutex_);
    return serving_;
}

size_t ConnectionServer::ParkedThreads() const {
    std::lock_guard lock(mutex_);
    return parked_.size() + (leading_ ? 1 : 0);
}

// Listens on the loopback addresses only: the proxy serves the browser of this machine, and listening
// on every interface would make it an open proxy for the network.
void ConnectionServer::Activate() {
    std::vector<TcpListener> listeners;
    listeners.emplace_back("127.0.0.1", settings_.DefaultPort, settings_.ListenQueue);
    if (IPv6LoopbackAvailable())
        listeners.emplace_back("::1", listeners.front().Port(), settings_.ListenQueue);
    for (TcpListener& listener : listeners) listener.DeferAcceptUntilData();  // the browser speaks first
    std::lock_guard lock(mutex_);
    listeners_ = std::move(listeners);
    listening_ = true;
    if (!StartWorker()) {
        listening_ = false;
        listeners_.clear();
        throw std::runtime_error("No thread to accept connections.");
    }
}

void ConnectionServer::Deactivate() {
    {
        std::lock_guard lock(mutex_);
        listening_ = false;
        for (const auto worker : parked_) (*worker)->handedOver.notify_one();
    }
    for (TcpListener& listener : listeners_) listener.Shutdown();
    {
        // The leader gives up the lead at once (its accept ends); the listeners go only after that.
        std::unique_lock lock(mutex_);
        leadGivenUp_.wait(lock, [this] { return !leading_; });
    }
    listeners_.clear();
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

// Called with mutex_ held, so that the thread is stored before it can end and be joined.
bool ConnectionServer::StartWorker() {
    const auto worker = workers_.insert(workers_.begin(), std::make_shared<Worker>());
    try {
        (*worker)->thread = std::thread([this, worker] { RunWorker(worker); });
        return true;
    } catch (...) {
        workers_.erase(worker);
        return false;
    }
}

void ConnectionServer::RunWorker(WorkerList::iterator worker) {
    Worker& self = **worker;
    while (AwaitLead(worker)) {
        // The context stays until this thread frees it.
        if (AcceptAsLeader(self)) Serve(*self.context);
    }
}

bool ConnectionServer::AwaitLead(WorkerList::iterator worker) {
    Worker& self = **worker;
    std::unique_lock lock(mutex_);
    if (self.context) {
        // Freed under the lock, where Abort cannot reach it: its sockets are closed, what is left is memory.
        self.context.reset();
        --serving_;
    }
    if (listening_ && !leading_) {
        leading_ = true;
        return true;
    }
    // The leader counts among the parked threads.
    if (listening_ && parked_.size() + 1 < settings_.MostParkedThreads) {
        parked_.push_back(worker);
        const Milliseconds idle(std::max(settings_.ParkedThreadIdleTime, 0));
        self.handedOver.wait_for(lock, idle, [&] { return self.promoted || !listening_; });
        if (self.promoted) {  // HandLeadOn took it off parked_
            self.promoted = false;
            return true;
        }
        std::erase(parked_, worker);
    }
    ended_.push_back(worker);
    workerEnded_.notify_all();
    return false;
}

bool ConnectionServer::AcceptAsLeader(Worker& self) {
    Milliseconds pause = kFirstAcceptPause;
    for (;;) {
        std::optional<TcpSocket> socket = TcpListener::AcceptAny(listeners_);
        if (socket && !socket->IsOpen()) {  // a failed accept: descriptors may come back once others close
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, kLongestAcceptPause);
            continue;
        }
        pause = kFirstAcceptPause;
        const Admission admission = Admit(self, std::move(socket));
        if (admission != Admission::Refused) return admission == Admission::Served;
    }
}

// Threads that have ended are joined here, by the leader, while no connection waits on it.
ConnectionServer::Admission ConnectionServer::Admit(Worker& self, std::optional<TcpSocket> socket) {
    std::unique_ptr<ConnectionContext> context;
    if (socket) {
        try {
            context = createContext_(std::move(*socket));
        } catch (...) {
            // the connection is dropped
        }
    }
    Admission admission = Admission::Refused;
    std::shared_ptr<Worker> next;
    WorkerList ended;
    {
        std::lock_guard lock(mutex_);
        TakeEndedWorkers(ended);
        if (!socket || !listening_) {
            leading_ = false;
            leadGivenUp_.notify_all();
            admission = Admission::Stopped;
        } else if (context && serving_ < settings_.MostConnections) {
            ++serving_;
            self.context = std::move(context);
            next = HandLeadOn();
            admission = Admission::Served;
        }
    }
    // Woken without the lock held, so that it does not wake only to wait for the lock.
    if (next) next->handedOver.notify_one();
    JoinWorkers(ended);
    // A connection beyond the most is closed here with its context.
    return admission;
}

std::shared_ptr<ConnectionServer::Worker> ConnectionServer::HandLeadOn() {
    if (parked_.empty()) {
        leading_ = false;
        // With no thread to be had, the lead waits for the next thread whose connection ends.
        StartWorker();
        return nullptr;
    }
    std::shared_ptr<Worker> next = *parked_.back();
    parked_.pop_back();
    next->promoted = true;
    return next;
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
