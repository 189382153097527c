#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace kiosk::testing {

// A local datagram socket bound at path, standing in for a service's socket (systemd's notify
// socket, the journal's).
class DatagramReceiver {
public:
    explicit DatagramReceiver(const std::string& path);
    DatagramReceiver(const DatagramReceiver&) = delete;
    DatagramReceiver& operator=(const DatagramReceiver&) = delete;
    ~DatagramReceiver();

    // The next datagram, waiting at most limit for it.
    std::optional<std::string> Receive(std::chrono::milliseconds limit);
    // Waits at most limit for a datagram equal to text, dropping others; whether it came.
    bool WaitFor(const std::string& text, std::chrono::milliseconds limit);

private:
    int socket_ = -1;
};

}  // namespace kiosk::testing
