#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "os/host_addresses.h"

namespace kiosk {

// How long an attempt goes without an answer before the next address is tried as well (RFC 8305,
// "Connection Attempt Delay").
inline constexpr std::chrono::milliseconds kConnectionAttemptDelay{250};

// The sockets a connect has in progress, which a shutdown from another thread must reach.
class PendingConnects {
public:
    PendingConnects() = default;
    PendingConnects(const PendingConnects&) = delete;
    PendingConnects& operator=(const PendingConnects&) = delete;

    // A new non-blocking socket of family, held here until it is closed or released; -1 with errno
    // set when the system gives none. Throws SocketError ECONNABORTED once aborted.
    int Open(int family);
    void Close(int fd);
    // The connected socket leaves the set open; its owner closes it.
    void Release(int fd);

    // From any thread: every socket held is shut down, which ends its connect and wakes its waits at
    // once, and no socket opens any more.
    void Abort();
    bool Aborted() const;

private:
    mutable std::mutex mutex_;
    bool aborted_ = false;
    std::vector<int> fds_;
};

// Connects to the first of addresses that answers, the way RFC 8305 describes: one attempt after the
// other in the given order, the next one starting when the one before has failed or has gone
// attemptDelay without an answer; the first connection made wins and the other attempts are closed.
// Returns the connected socket (non-blocking), which the caller owns. Throws SocketError with the
// last address's failure when every address fails; at the deadline the last address's failure too,
// or SocketTimeout "Connect timed out." when it has none yet; SocketError ECONNABORTED when aborted.
int ConnectFirstAnswering(const std::vector<SocketAddress>& addresses, PendingConnects& pending,
                          std::optional<std::chrono::steady_clock::time_point> deadline,
                          std::chrono::milliseconds attemptDelay = kConnectionAttemptDelay);

}  // namespace kiosk
