#pragma once

#include <sys/socket.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// One address of a host, with a port, as the system's connect takes it.
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    int Family() const { return storage.ss_family; }
    const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage); }
    bool operator==(const SocketAddress& other) const;
};

// The 16 bytes of an IPv6 address written as one ("::1", "2001:db8::1"), or nothing for anything else.
std::optional<std::array<std::uint8_t, 16>> ParseIPv6Literal(const std::string& host);

// The address host stands for when it is written as one: IPv4 in dotted form, IPv6 with or without
// the brackets of a URL ("[::1]"). Nothing for a name.
std::optional<SocketAddress> AddressLiteral(const std::string& host, int port);

// The order in which a connect tries a host's addresses (RFC 8305, section 4): IPv6 first, then the
// two families in turn, each in the resolver's order. Repeated addresses are tried once.
std::vector<SocketAddress> ConnectionOrder(const std::vector<SocketAddress>& addresses);

// Every address of host at port, in connection order: a literal as it is written, a name through
// the system's resolver (IPv6 and IPv4). Throws SocketError kHostNotFound when there is none.
std::vector<SocketAddress> HostAddresses(const std::string& host, int port);

// HostAddresses for a connect that must stay abortable. A name lookup cannot be interrupted, so it
// runs on a thread of its own, which is left to finish alone when aborted() turns true (SocketError
// ECONNABORTED) or the deadline passes (SocketTimeout "Connect timed out."): no caller, and no
// shutdown, waits for a silent name server longer than it allows. Literals need no thread.
std::vector<SocketAddress> HostAddressesAbortably(
    const std::string& host, int port, const std::function<bool()>& aborted,
    std::optional<std::chrono::steady_clock::time_point> deadline);

// The IPv4 address of host, four bytes in network order: an address written as one is taken as it is,
// any other name is resolved. Throws SocketError kHostNotFound when the name has no IPv4 address.
std::array<std::uint8_t, 4> ResolveIPv4Address(const std::string& host);

}  // namespace kiosk
