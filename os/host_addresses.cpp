#include "os/host_addresses.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "os/tcp_socket.h"

namespace kiosk {

namespace {

[[noreturn]] void ThrowHostNotFound() {
    throw SocketError(kHostNotFound, "Host not found.");
}

// What the system's getaddrinfo gives for host at port: its IPv6 and IPv4 addresses, none when it
// fails. With AI_NUMERICHOST only an address written as one, without a lookup.
std::vector<SocketAddress> AddressInfo(const std::string& host, int port, int family, int flags) {
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return {};
    std::vector<SocketAddress> addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if ((entry->ai_family != AF_INET && entry->ai_family != AF_INET6) ||
            entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SocketAddress address;
        std::memcpy(&address.storage, entry->ai_addr, entry->ai_addrlen);
        address.length = entry->ai_addrlen;
        addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

std::vector<SocketAddress> LookUp(const std::string& host, int port, int family) {
    std::vector<SocketAddress> addresses = AddressInfo(host, port, family, 0);
    if (addresses.empty()) ThrowHostNotFound();
    return addresses;
}

}  // namespace

bool SocketAddress::operator==(const SocketAddress& other) const {
    return length == other.length && std::memcmp(&storage, &other.storage, length) == 0;
}

std::optional<std::array<std::uint8_t, 16>> ParseIPv6Literal(const std::string& host) {
    std::array<std::uint8_t, 16> bytes{};
    if (::inet_pton(AF_INET6, host.c_str(), bytes.data()) != 1) return std::nullopt;
    return bytes;
}

std::optional<SocketAddress> AddressLiteral(const std::string& host, int port) {
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    const std::vector<SocketAddress> found =
        AddressInfo(bracketed ? host.substr(1, host.size() - 2) : host, port, AF_UNSPEC, AI_NUMERICHOST);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::vector<SocketAddress> ConnectionOrder(const std::vector<SocketAddress>& addresses) {
    std::vector<SocketAddress> families[2];
    for (const SocketAddress& address : addresses) {
        auto& family = families[address.Family() == AF_INET6 ? 0 : 1];
        if (std::find(family.begin(), family.end(), address) == family.end()) family.push_back(address);
    }
    std::vector<SocketAddress> order;
    for (size_t i = 0; i < std::max(families[0].size(), families[1].size()); ++i) {
        for (const auto& family : families) {
            if (i < family.size()) order.push_back(family[i]);
        }
    }
    return order;
}

std::vector<SocketAddress> HostAddresses(const std::string& host, int port) {
    if (const auto literal = AddressLiteral(host, port)) return {*literal};
    return ConnectionOrder(LookUp(host, port, AF_UNSPEC));
}

std::vector<SocketAddress> HostAddressesAbortably(
    const std::string& host, int port, const std::function<bool()>& aborted,
    std::optional<std::chrono::steady_clock::time_point> deadline) {
    if (const auto literal = AddressLiteral(host, port)) return {*literal};
    struct Lookup {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::vector<SocketAddress> addresses;
    };
    const auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, port] {
        std::vector<SocketAddress> found;
        try {
            found = HostAddresses(host, port);
        } catch (const std::exception&) {
            // no address: found stays empty
        }
        std::lock_guard lock(lookup->mutex);
        lookup->addresses = std::move(found);
        lookup->done = true;
        lookup->finished.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    while (!lookup->done) {
        if (aborted()) ThrowSocketError(ECONNABORTED);
        if (deadline && std::chrono::steady_clock::now() >= *deadline)
            throw SocketTimeout("Connect timed out.");
        lookup->finished.wait_for(lock, kAbortCheckSlice);
    }
    if (lookup->addresses.empty()) ThrowHostNotFound();
    return lookup->addresses;
}

std::array<std::uint8_t, 4> ResolveIPv4Address(const std::string& host) {
    const SocketAddress found = LookUp(host, 0, AF_INET).front();
    const in_addr address = reinterpret_cast<const sockaddr_in*>(found.Raw())->sin_addr;
    std::array<std::uint8_t, 4> bytes{};
    std::memcpy(bytes.data(), &address.s_addr, bytes.size());
    return bytes;
}

}  // namespace kiosk
