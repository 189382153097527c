#include "tests/support/datagram_receiver.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace kiosk::testing {

DatagramReceiver::DatagramReceiver(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long: " + path);
    std::memcpy(address.sun_path, path.data(), path.size());
    socket_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0 || bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind " + path);
}

DatagramReceiver::~DatagramReceiver() {
    if (socket_ >= 0) close(socket_);
}

std::optional<std::string> DatagramReceiver::Receive(std::chrono::milliseconds limit) {
    pollfd ready{socket_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(limit.count())) <= 0) return std::nullopt;
    std::string bytes(256 * 1024, '\0');
    const ssize_t got = recv(socket_, bytes.data(), bytes.size(), 0);
    if (got < 0) return std::nullopt;
    bytes.resize(static_cast<size_t>(got));
    return bytes;
}

bool DatagramReceiver::WaitFor(const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        const std::optional<std::string> got = Receive(left);
        if (got && *got == text) return true;
    }
    return false;
}

}  // namespace kiosk::testing
