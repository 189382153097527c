#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <string>
#include <string_view>

namespace kiosk {

// A datagram socket that sends to one local address: a path, or "@name" for Linux's abstract
// namespace. Each datagram is addressed anew, so a receiver that restarts is reached again.
class UnixDatagram {
public:
    explicit UnixDatagram(const std::string& address);
    UnixDatagram(const UnixDatagram&) = delete;
    UnixDatagram& operator=(const UnixDatagram&) = delete;
    ~UnixDatagram();

    // Sends bytes as one datagram without waiting; false when it could not be sent (no such address,
    // nobody listening, a full queue).
    bool Send(std::string_view bytes);

private:
    int socket_ = -1;
    sockaddr_un peer_{};
    socklen_t peerLength_ = 0;
};

}  // namespace kiosk
