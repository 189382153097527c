#include "os/host_addresses.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "os/tcp_socket.h"

namespace kiosk {
namespace {

// An address as "text port", the way a test reads it.
std::string Text(const SocketAddress& address) {
    char host[NI_MAXHOST] = {};
    char port[NI_MAXSERV] = {};
    ::getnameinfo(address.Raw(), address.length, host, sizeof host, port, sizeof port,
                  NI_NUMERICHOST | NI_NUMERICSERV);
    return std::string(host) + " " + port;
}

std::vector<std::string> Texts(const std::vector<SocketAddress>& addresses) {
    std::vector<std::string> texts;
    for (const SocketAddress& address : addresses) texts.push_back(Text(address));
    return texts;
}

SocketAddress Literal(const std::string& host) {
    return AddressLiteral(host, 80).value();
}

TEST(HostAddresses, LiteralsAreTakenAsWrittenBracketsOrNot) {
    EXPECT_EQ(Texts(HostAddresses("127.0.0.1", 8080)), std::vector<std::string>{"127.0.0.1 8080"});
    EXPECT_EQ(Texts(HostAddresses("::1", 81)), std::vector<std::string>{"::1 81"});
    EXPECT_EQ(Texts(HostAddresses("[2001:db8::1]", 443)), std::vector<std::string>{"2001:db8::1 443"});
    EXPECT_FALSE(AddressLiteral("example.org", 80));
    EXPECT_FALSE(AddressLiteral("[example.org]", 80));
    EXPECT_FALSE(AddressLiteral("[]", 80));
    EXPECT_EQ(ParseIPv6Literal("::1").value()[15], 1);
    EXPECT_FALSE(ParseIPv6Literal("[::1]"));  // a request target's host comes without its brackets
    EXPECT_FALSE(ParseIPv6Literal("127.0.0.1"));
}

TEST(HostAddresses, NamesAreResolvedAndANameWithoutAddressIsNotFound) {
    const std::vector<std::string> local = Texts(HostAddresses("localhost", 8080));
    EXPECT_NE(std::find(local.begin(), local.end(), "127.0.0.1 8080"), local.end());
    for (const std::string host : {"no-such-host.invalid", ""}) {
        try {
            HostAddresses(host, 80);
            FAIL() << "resolved \"" << host << "\"";
        } catch (const SocketError& error) {
            EXPECT_STREQ(error.what(), "Socket Error # 11001\r\nHost not found.");
        }
    }
    EXPECT_EQ(ResolveIPv4Address("10.1.2.3"), (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(ResolveIPv4Address("localhost"), (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_THROW(ResolveIPv4Address("::1"), SocketError);
}

TEST(ConnectionOrder, IPv6FirstThenTheFamiliesInTurnEachAddressOnce) {
    const std::vector<SocketAddress> resolved = {Literal("10.0.0.1"),    Literal("10.0.0.2"),
                                                 Literal("2001:db8::1"), Literal("10.0.0.3"),
                                                 Literal("2001:db8::2"), Literal("10.0.0.1")};
    EXPECT_EQ(Texts(ConnectionOrder(resolved)),
              (std::vector<std::string>{"2001:db8::1 80", "10.0.0.1 80", "2001:db8::2 80", "10.0.0.2 80",
                                        "10.0.0.3 80"}));
    EXPECT_EQ(Texts(ConnectionOrder({Literal("10.0.0.2"), Literal("10.0.0.1")})),
              (std::vector<std::string>{"10.0.0.2 80", "10.0.0.1 80"}));
}

}  // namespace
}  // namespace kiosk
