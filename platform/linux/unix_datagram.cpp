#include "platform/linux/unix_datagram.h"

#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace kiosk {

UnixDatagram::UnixDatagram(const std::string& address) {
    if (address.empty() || address.size() >= sizeof peer_.sun_path) return;
    peer_.sun_family = AF_UNIX;
    std::memcpy(peer_.sun_path, address.data(), address.size());
    if (address[0] == '@') peer_.sun_path[0] = '\0';  // the abstract namespace
    peerLength_ = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
    socket_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

UnixDatagram::~UnixDatagram() {
    if (socket_ >= 0) close(socket_);
}

bool UnixDatagram::Send(std::string_view bytes) {
    if (socket_ < 0) return false;
    const ssize_t sent = sendto(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&peer_), peerLength_);
    return sent == static_cast<ssize_t>(bytes.size());
}

}  // namespace kiosk
