#include "os/tcp_socket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "os/connect_race.h"
#include "os/host_addresses.h"

namespace kiosk {

namespace {

constexpr int kSliceMilliseconds = static_cast<int>(kAbortCheckSlice.count());

std::string Description(int code) {
    char buffer[256];
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return std::string(text) + ".";
}

int TimeoutMilliseconds(Milliseconds timeout) {
    return timeout.count() < 0 ? -1 : static_cast<int>(std::min<long long>(timeout.count(), 0x7FFFFFFF));
}

void SetNoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Polls fd for events; returns the events seen, 0 when the time ran out.
short PollOne(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0) return entry.revents;
        if (ready == 0) return 0;
        if (errno != EINTR) ThrowSocketError(errno);
    }
}

}  // namespace

void ThrowSocketError(int code) {
    throw SocketError(code, Description(code));
}

SocketError::SocketError(int code, const std::string& description)
    : std::runtime_error("Socket Error # " + std::to_string(code) + "\r\n" + description), code_(code) {}

struct TcpSocket::State {
    std::mutex mutex;
    int fd = -1;
    PendingConnects connecting;  // also what tells that the socket has been shut down
    Milliseconds sendLimit = kSendTimeLimit;
};

TcpSocket::TcpSocket() : state_(std::make_unique<State>()) {}

TcpSocket::TcpSocket(std::intptr_t acceptedHandle) : TcpSocket() {
    state_->fd = static_cast<int>(acceptedHandle);
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : state_(std::move(other.state_)) {
    other.state_ = std::make_unique<State>();
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        std::swap(state_, other.state_);
    }
    return *this;
}

TcpSocket::~TcpSocket() {
    Close();
}

void TcpSocket::Connect(const std::string& host, int port, Milliseconds timeout) {
    Close();
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (timeout.count() >= 0) deadline = std::chrono::steady_clock::now() + timeout;
    PendingConnects& connecting = state_->connecting;
    const auto addresses = HostAddressesAbortably(
        host, port, [&connecting] { return connecting.Aborted(); }, deadline);
    const int fd = ConnectFirstAnswering(addresses, connecting, deadline);
    // Nagle's delay is off: a head and a body are often written one after the other.
    SetNoDelay(fd);
    std::lock_guard lock(state_->mutex);
    if (connecting.Aborted()) {
        ::close(fd);
        ThrowSocketError(ECONNABORTED);
    }
    state_->fd = fd;
}

bool TcpSocket::IsOpen() const {
    return state_->fd >= 0;
}

size_t TcpSocket::Receive(char* buffer, size_t size, Milliseconds timeout) {
    const int fd = state_->fd;
    if (fd < 0) throw ConnectionClosedGracefully();
    // Bytes that are already there are taken at once; only an empty socket is waited for.
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, size, 0);
        if (count >= 0) return static_cast<size_t>(count);
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) ThrowSocketError(errno);
        if (errno != EINTR && PollOne(fd, POLLIN, TimeoutMilliseconds(timeout)) == 0) {
            throw SocketTimeout("Read timed out.");
        }
    }
}

std::optional<size_t> TcpSocket::ReceiveIfArrived(char* buffer, size_t size, Milliseconds) {
    const int fd = state_->fd;
    if (fd < 0) throw ConnectionClosedGracefully();
    for (;;) {
        const ssize_t count = ::recv(fd, buffer, size, 0);
        if (count >= 0) return static_cast<size_t>(count);
        if (errno == EAGAIN || errno == EWOULDBLOCK) return std::nullopt;
        if (errno != EINTR) ThrowSocketError(errno);
    }
}

bool TcpSocket::WaitReadable(Milliseconds timeout) const {
    const int fd = state_->fd;
    return fd < 0 || PollOne(fd, POLLIN, TimeoutMilliseconds(timeout)) != 0;
}

bool TcpSocket::WaitWritable(Milliseconds timeout) const {
    const int fd = state_->fd;
    return fd < 0 || PollOne(fd, POLLOUT, TimeoutMilliseconds(timeout)) != 0;
}

void TcpSocket::Send(std::string_view bytes) {
    const int fd = state_->fd;
    if (fd < 0) ThrowSocketError(ENOTCONN);
    // A peer that takes nothing for the send limit ends the send: nobody waits for it for ever.
    const Milliseconds limit = state_->sendLimit;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!bytes.empty()) {
        const ssize_t count = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count > 0) {
            bytes.remove_prefix(static_cast<size_t>(count));
            deadline = std::chrono::steady_clock::now() + limit;
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (PollOne(fd, POLLOUT, kSliceMilliseconds) == 0 && std::chrono::steady_clock::now() >= deadline)
                throw SocketTimeout("Write timed out.");
        } else if (count < 0 && errno != EINTR) {
            ThrowSocketError(errno);
        }
    }
}

namespace {

// A pipe for moving bytes between sockets, one for each thread that moves any. A move that failed
// half way leaves bytes in it, so it is then made anew.
class SplicePipe {
public:
    ~SplicePipe() { Close(); }
    bool Open() {
        if (ends_[0] >= 0) return true;
        if (::pipe2(ends_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        ::fcntl(ends_[1], F_SETPIPE_SZ, kSize);  // fewer moves; the default size serves too
        return true;
    }
    void Close() {
        for (int& end : ends_) {
            if (end >= 0) ::close(end);
            end = -1;
        }
    }
    int Read() const { return ends_[0]; }
    int Write() const { return ends_[1]; }

private:
    static constexpr int kSize = 1 << 20;
    int ends_[2] = {-1, -1};
};

thread_local SplicePipe splicePipe;

// Closes the pipe unless the move it serves completes.
class PipeGuard {
public:
    ~PipeGuard() {
        if (!done) splicePipe.Close();
    }
    bool done = false;
};

}  // namespace

std::optional<size_t> TcpSocket::MoveTo(ByteStream& destination, size_t most, Milliseconds timeout) {
    auto* target = dynamic_cast<TcpSocket*>(&destination);
    const int from = state_->fd;
    if (target == nullptr || from < 0 || target->state_->fd < 0 || !splicePipe.Open()) return std::nullopt;
    PipeGuard guard;
    ssize_t moved = 0;
    for (;;) {
        moved = ::splice(from, nullptr, splicePipe.Write(), nullptr, most, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
        if (moved >= 0) break;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) ThrowSocketError(errno);
        if (errno != EINTR && PollOne(from, POLLIN, TimeoutMilliseconds(timeout)) == 0)
            throw SocketTimeout("Read timed out.");
    }
    target->SendFromPipe(static_cast<size_t>(moved));
    guard.done = true;
    return static_cast<size_t>(moved);
}

// Sends count bytes waiting in the thread's pipe, with the time limit Send has.
void TcpSocket::SendFromPipe(size_t count) {
    const int fd = state_->fd;
    if (fd < 0) ThrowSocketError(ENOTCONN);
    const Milliseconds limit = state_->sendLimit;
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (count > 0) {
        const ssize_t sent =
            ::splice(splicePipe.Read(), nullptr, fd, nullptr, count, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
        if (sent > 0) {
            count -= static_cast<size_t>(sent);
            deadline = std::chrono::steady_clock::now() + limit;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (PollOne(fd, POLLOUT, kSliceMilliseconds) == 0 && std::chrono::steady_clock::now() >= deadline)
                throw SocketTimeout("Write timed out.");
        } else if (sent < 0 && errno != EINTR) {
            ThrowSocketError(errno);
        } else if (sent == 0) {
            ThrowSocketError(EPIPE);
        }
    }
}

void TcpSocket::SetSendTimeLimit(Milliseconds limit) {
    state_->sendLimit = limit;
}

void TcpSocket::Shutdown() {
    std::lock_guard lock(state_->mutex);
    state_->connecting.Abort();
    if (state_->fd >= 0) ::shutdown(state_->fd, SHUT_RDWR);
}

void TcpSocket::Close() {
    if (!state_) return;
    std::lock_guard lock(state_->mutex);
    if (state_->fd >= 0) ::close(state_->fd);
    state_->fd = -1;
}

std::intptr_t TcpSocket::Handle() const {
    return state_->fd;
}

void ReleaseMovePipe() {
    splicePipe.Close();
}

std::string ReceiveExactly(TcpSocket& socket, size_t count, Milliseconds timeout) {
    std::string bytes(count, '\0');
    size_t received = 0;
    while (received < count) {
        const size_t got = socket.Receive(bytes.data() + received, count - received, timeout);
        if (got == 0) throw ConnectionClosedGracefully();
        received += got;
    }
    return bytes;
}

int WaitEitherReadable(const ByteStream& a, const ByteStream& b, Milliseconds timeout) {
    pollfd entries[2] = {{static_cast<int>(a.Handle()), POLLIN, 0},
                         {static_cast<int>(b.Handle()), POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(entries, 2, TimeoutMilliseconds(timeout));
        if (ready == 0) return 0;
        if (ready > 0) return (entries[0].revents != 0 ? 1 : 0) | (entries[1].revents != 0 ? 2 : 0);
        if (errno != EINTR) ThrowSocketError(errno);
    }
}

struct TcpListener::State {
    int fd = -1;
    std::atomic<bool> shutDown{false};
};

TcpListener::TcpListener(const std::string& address, int port, int backlog)
    : state_(std::make_unique<State>()) {
    const std::optional<SocketAddress> local = AddressLiteral(address, port);
    if (!local) throw SocketError(kHostNotFound, "Host not found.");
    const int family = local->Family();
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) ThrowSocketError(errno);
    state_->fd = fd;
    const int on = 1;
    // Lets a restarted program listen again while connections of its previous run wait out their
    // close; Linux still refuses a second listener on the same port.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (family == AF_INET6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    SetNoDelay(fd);  // passed on to every accepted socket, which then needs no call of its own
    if (::bind(fd, local->Raw(), local->length) != 0 || ::listen(fd, backlog) != 0) {
        const int error = errno;
        ::close(fd);
        state_->fd = -1;
        ThrowSocketError(error);
    }
}

TcpListener::TcpListener(TcpListener&& other) noexcept : state_(std::move(other.state_)) {}

TcpListener& TcpListener::operator=(TcpListener&& other) noexcept {
    std::swap(state_, other.state_);
    return *this;
}

TcpListener::~TcpListener() {
    if (state_ && state_->fd >= 0) ::close(state_->fd);
}

// A connection already queued is taken at once; the queue is waited for only once it is empty.
// Accepted sockets inherit the listener's TCP_NODELAY.
std::optional<TcpSocket> TcpListener::Accept() {
    bool ready = true;
    while (!state_->shutDown) {
        if (!ready) {
            ready = PollOne(state_->fd, POLLIN, kSliceMilliseconds) != 0;
            continue;
        }
        const int fd = ::accept4(state_->fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) return TcpSocket(fd);
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            ready = false;
        } else if (errno != EINTR) {
            return state_->shutDown ? std::nullopt : std::optional<TcpSocket>(TcpSocket());
        }
    }
    return std::nullopt;
}

void TcpListener::WaitInSystem(Milliseconds longest) {
    const int fd = state_->fd;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const long long ms = std::max<long long>(longest.count(), 1);
    const timeval limit{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

// The accepted socket does not block, whatever the listener does.
TcpListener::Wait TcpListener::AcceptWaiting(TcpSocket& socket) {
    for (;;) {
        if (state_->shutDown) return Wait::ShutDown;
        const int fd = ::accept4(state_->fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0) {
            socket = TcpSocket(fd);
            return Wait::Accepted;
        }
        if (state_->shutDown) return Wait::ShutDown;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Wait::TimedOut;
        if (errno != EINTR) return Wait::Failed;
    }
}

void TcpListener::DeferAcceptUntilData() {
    const int seconds = 1;
    ::setsockopt(state_->fd, IPPROTO_TCP, TCP_DEFER_ACCEPT, &seconds, sizeof seconds);
}

// Shutting the socket down wakes every thread waiting on it at once.
void TcpListener::Shutdown() {
    state_->shutDown = true;
    ::shutdown(state_->fd, SHUT_RDWR);
}

int TcpListener::Port() const {
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    ::getsockname(state_->fd, reinterpret_cast<sockaddr*>(&storage), &length);
    if (storage.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
}

bool IPv6LoopbackAvailable() {
    try {
        TcpListener probe("::1", 0, 1);
        return true;
    } catch (const SocketError&) {
        return false;
    }
}

}  // namespace kiosk
