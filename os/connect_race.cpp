#include "os/connect_race.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "os/tcp_socket.h"

namespace kiosk {

namespace {

using Clock = std::chrono::steady_clock;

// The outcome of a connect that poll reported: 0 for a connection made, else the error number.
int ConnectOutcome(const pollfd& polled) {
    if ((polled.revents & (POLLERR | POLLHUP)) == 0) return 0;
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(polled.fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error != 0 ? error : ECONNABORTED;
}

// One connect over a list of addresses. Attempts still in progress when it ends are closed.
class Race {
public:
    Race(const std::vector<SocketAddress>& addresses, PendingConnects& pending,
         std::optional<Clock::time_point> deadline, std::chrono::milliseconds delay)
        : addresses_(addresses), pending_(pending), deadline_(deadline), delay_(delay) {}
    Race(const Race&) = delete;
    Race& operator=(const Race&) = delete;
    ~Race() {
        for (const Attempt& attempt : attempts_) pending_.Close(attempt.fd);
    }

    int Run() {
        for (;;) {
            if (pending_.Aborted()) ThrowSocketError(ECONNABORTED);
            const Clock::time_point now = Clock::now();
            if (deadline_ && now >= *deadline_) GiveUp();
            if (next_ < addresses_.size() && (attempts_.empty() || now >= nextStart_)) {
                if (const auto fd = StartNext()) return *fd;
            } else if (attempts_.empty()) {
                GiveUp();
            } else if (const auto fd = WaitForAnswers(now)) {
                return *fd;
            }
        }
    }

private:
    struct Attempt {
        int fd;
        size_t index;
    };

    // Starts connecting to the next address; its socket when it connected at once.
    std::optional<int> StartNext() {
        const size_t index = next_++;
        const SocketAddress& address = addresses_[index];
        const int fd = pending_.Open(address.Family());
        if (fd < 0) {
            Failed(index, errno);
        } else if (::connect(fd, address.Raw(), address.length) == 0) {
            pending_.Release(fd);
            return fd;
        } else if (errno == EINPROGRESS) {
            attempts_.push_back({fd, index});
            nextStart_ = Clock::now() + delay_;
        } else {
            const int error = errno;
            pending_.Close(fd);
            Failed(index, error);
        }
        return std::nullopt;
    }

    // A failed address lets the next one start at once.
    void Failed(size_t index, int error) {
        if (index + 1 == addresses_.size()) lastAddressError_ = error;
        nextStart_ = Clock::now();
    }

    [[noreturn]] void GiveUp() const {
        if (lastAddressError_) ThrowSocketError(*lastAddressError_);
        throw SocketTimeout("Connect timed out.");
    }

    // Until the next address is due, the deadline, or the end of a slice.
    int WaitMilliseconds(Clock::time_point now) const {
        Clock::time_point until = now + kAbortCheckSlice;
        if (next_ < addresses_.size()) until = std::min(until, nextStart_);
        if (deadline_) until = std::min(until, *deadline_);
        return static_cast<int>(
            std::max<long long>(std::chrono::ceil<std::chrono::milliseconds>(until - now).count(), 0));
    }

    // Waits for the attempts in progress; the socket of the first one in order that connected.
    std::optional<int> WaitForAnswers(Clock::time_point now) {
        std::vector<pollfd> polled;
        for (const Attempt& attempt : attempts_) polled.push_back({attempt.fd, POLLOUT, 0});
        const int ready = ::poll(polled.data(), polled.size(), WaitMilliseconds(now));
        if (ready < 0 && errno != EINTR) ThrowSocketError(errno);
        if (ready <= 0) return std::nullopt;
        std::vector<Attempt> waiting;
        std::optional<int> winner;
        for (size_t i = 0; i < polled.size(); ++i) {
            const Attempt attempt = attempts_[i];
            const int outcome = polled[i].revents == 0 || winner ? -1 : ConnectOutcome(polled[i]);
            if (outcome == -1) {
                waiting.push_back(attempt);
            } else if (outcome == 0) {
                pending_.Release(attempt.fd);
                winner = attempt.fd;
            } else {
                pending_.Close(attempt.fd);
                Failed(attempt.index, outcome);
            }
        }
        attempts_ = std::move(waiting);
        return winner;
    }

    const std::vector<SocketAddress>& addresses_;
    PendingConnects& pending_;
    const std::optional<Clock::time_point> deadline_;
    const std::chrono::milliseconds delay_;
    std::vector<Attempt> attempts_;
    size_t next_ = 0;
    Clock::time_point nextStart_;  // when the next address is due although attempts are in progress
    std::optional<int> lastAddressError_;
};

}  // namespace

int PendingConnects::Open(int family) {
    std::lock_guard lock(mutex_);
    if (aborted_) ThrowSocketError(ECONNABORTED);
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    fds_.push_back(fd);
    return fd;
}

void PendingConnects::Close(int fd) {
    std::lock_guard lock(mutex_);
    std::erase(fds_, fd);
    ::close(fd);
}

void PendingConnects::Release(int fd) {
    std::lock_guard lock(mutex_);
    std::erase(fds_, fd);
}

void PendingConnects::Abort() {
    std::lock_guard lock(mutex_);
    aborted_ = true;
    for (const int fd : fds_) ::shutdown(fd, SHUT_RDWR);
}

bool PendingConnects::Aborted() const {
    std::lock_guard lock(mutex_);
    return aborted_;
}

int ConnectFirstAnswering(const std::vector<SocketAddress>& addresses, PendingConnects& pending,
                          std::optional<Clock::time_point> deadline, std::chrono::milliseconds attemptDelay) {
    if (addresses.empty()) throw SocketError(kHostNotFound, "Host not found.");
    Race race(addresses, pending, deadline, attemptDelay);
    return race.Run();
}

}  // namespace kiosk
