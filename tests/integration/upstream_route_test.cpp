// The upstream route through real proxies, each started on a free loopback port in a directory of its
// own and stopped after its test: danted (SOCKS 4, SOCKS 5 with and without user name and password),
// microsocks (SOCKS 5), OpenSSH's dynamic forwarding (SOCKS 4a) and tinyproxy (HTTP). The origin is
// a small HTTP server inside the test that answers with the request line it got.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "proxy/upstream/upstream_connect.h"
#include "tests/support/child_process.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_peers.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A proxy program running until the object goes; ready once its port takes connections on address.
class Daemon {
public:
    Daemon(const std::string& program, const std::vector<std::string>& arguments, const TempDir& dir,
           int port, const std::string& address = "127.0.0.1") {
        if (!fs::exists(program)) {
            ADD_FAILURE() << program << " is missing: bash scripts/install-deps test";
            return;
        }
        const std::string output = (dir / (fs::path(program).filename().string() + ".out")).string();
        process_ = std::make_unique<ChildProcess>(program, arguments, dir.str(), output);
        if (!WaitUntil([&] { return AcceptsConnections(port, address); }, 10s)) {
            ADD_FAILURE() << program << " does not listen on " << port << ":\n" << ReadFile(output);
        }
    }
    ~Daemon() {
        if (!process_) return;
        process_->Signal(SIGTERM);
        process_->WaitForExit(5s);
    }
    bool Running() const { return process_ != nullptr; }

private:
    std::unique_ptr<ChildProcess> process_;
};

// The answer to a GET of /a?b=1 on host and port through the route, as the engine sends it: in a
// tunnel, or as a pass-through request with the route's target and header lines.
std::string Fetch(const std::string& host, int port, TransparentProxySlot proxy, UpstreamUse use) {
    const OutboundRoute client{host, port, std::move(proxy)};
    TcpSocket socket;
    try {
        OpenOutboundConnection(client, use, socket);
    } catch (const std::exception& failure) {
        return std::string("failed: ") + failure.what();
    }
    std::string request =
        "GET " + (use == UpstreamUse::Tunnel ? "/a?b=1" : UpstreamRequestTarget(client, "/a?b=1"));
    request += " HTTP/1.0\r\n";
    for (const std::string& line : UpstreamRequestHeaders(client)) request += line + "\r\n";
    const std::string answer = Exchange(socket, request + "\r\n");
    return answer.substr(0, answer.find("\r\n")) + " | " + answer.substr(answer.find("\r\n\r\n") + 4);
}

const std::string kArrived = "HTTP/1.0 200 OK | GET /a?b=1 HTTP/1.0";

// A user account for danted's user name check, which looks in the system's password database; it
// has no home and no shell and goes with the object.
class ThrowawayUser {
public:
    ThrowawayUser() : name_("kiosksocks" + std::to_string(::getpid())) {
        Run("userdel " + name_ + " 2>/dev/null");  // left over from a run of the same id that was killed
        created_ = Run("useradd -M -N -d /nonexistent -s /usr/sbin/nologin " + name_);
        FILE* chpasswd = ::popen("chpasswd", "w");
        created_ = created_ && chpasswd != nullptr;
        if (chpasswd != nullptr) {
            std::fprintf(chpasswd, "%s:%s\n", name_.c_str(), Password().c_str());
            created_ = ::pclose(chpasswd) == 0 && created_;
        }
    }
    ~ThrowawayUser() { Run("userdel " + name_); }
    const std::string& Name() const { return name_; }
    std::string Password() const { return "Pw-" + name_; }
    bool Created() const { return created_; }

private:
    static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

    std::string name_;
    bool created_ = false;
};

std::string DantedConfig(const TempDir& dir, int port, const std::string& method) {
    return "logoutput: " + (dir / "danted.log").string() +
           "\ninternal: 127.0.0.1 port = " + std::to_string(port) +
           "\nexternal: 127.0.0.1\nclientmethod: none\nsocksmethod: " + method +
           "\nuser.privileged: root\nuser.unprivileged: nobody\n"
           "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\nsocks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 "
           "}\n";
}

class UpstreamRoute : public ::testing::Test {
protected:
    std::unique_ptr<Daemon> StartDanted(const std::string& method) {
        const int port = FreePort();
        WriteFile(dir / "danted.conf", DantedConfig(dir, port, method));
        proxyPort = port;
        return std::make_unique<Daemon>("/usr/sbin/danted",
                                        std::vector<std::string>{"-f", (dir / "danted.conf").string(), "-p",
                                                                 (dir / "danted.pid").string(), "-N", "1"},
                                        dir, port);
    }
    std::unique_ptr<Daemon> StartTinyproxy(const std::string& extra,
                                           const std::string& address = "127.0.0.1") {
        const int port = FreePort();
        WriteFile(dir / "tinyproxy.conf", "Port " + std::to_string(port) + "\nListen " + address +
                                              "\nTimeout 30\nLogFile \"" + (dir / "tinyproxy.log").string() +
                                              "\"\nLogLevel Info\nMaxClients 10\nAllow " + address + "\n" +
                                              extra);
        proxyPort = port;
        return std::make_unique<Daemon>(
            "/usr/bin/tinyproxy", std::vector<std::string>{"-d", "-c", (dir / "tinyproxy.conf").string()},
            dir, port, address);
    }
    static bool IsRoot() { return ::geteuid() == 0; }

    TempDir dir;
    HttpOrigin origin;
    int proxyPort = 0;
};

TEST_F(UpstreamRoute, DantedSocks4And5WithoutAuthentication) {
    const auto danted = StartDanted("none");
    ASSERT_TRUE(danted->Running());
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Socks(SocksVersion::Socks4, proxyPort, "anyone"),
                    UpstreamUse::Tunnel),
              kArrived);
    EXPECT_EQ(
        Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks4, proxyPort), UpstreamUse::PassThrough),
        kArrived);
    EXPECT_EQ(
        Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks5, proxyPort), UpstreamUse::PassThrough),
        kArrived);
    const int closed = FreePort();
    EXPECT_EQ(Fetch("127.0.0.1", closed, Socks(SocksVersion::Socks4, proxyPort), UpstreamUse::Tunnel),
              "failed: Request rejected or failed.");
    EXPECT_EQ(Fetch("127.0.0.1", closed, Socks(SocksVersion::Socks5, proxyPort), UpstreamUse::Tunnel),
              "failed: Connection refused.");
    // It offers no authentication; danted asks for none, so only the offer of a login is refused.
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Socks(SocksVersion::Socks5, proxyPort, "u", "p"),
                    UpstreamUse::Tunnel),
              "failed: Invalid socks authentication method.");
}

TEST_F(UpstreamRoute, DantedSocks5WithUserNameAndPassword) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to create a throwaway system user for danted";
    const ThrowawayUser user;
    ASSERT_TRUE(user.Created());
    const auto danted = StartDanted("username");
    ASSERT_TRUE(danted->Running());
    EXPECT_EQ(
        Fetch("localhost", origin.Port(),
              Socks(SocksVersion::Socks5, proxyPort, user.Name(), user.Password()), UpstreamUse::Tunnel),
        kArrived);
    EXPECT_EQ(Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks5, proxyPort, user.Name(), "wrong"),
                    UpstreamUse::Tunnel),
              "failed: Authentication error to socks server.");
    EXPECT_EQ(Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks5, proxyPort), UpstreamUse::Tunnel),
              "failed: Invalid socks authentication method.");
}

TEST_F(UpstreamRoute, MicrosocksWithAndWithoutPassword) {
    const int open = FreePort();
    const Daemon plain("/usr/bin/microsocks", {"-i", "127.0.0.1", "-p", std::to_string(open)}, dir, open);
    EXPECT_EQ(Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks5, open), UpstreamUse::PassThrough),
              kArrived);
    EXPECT_EQ(Fetch("127.0.0.1", FreePort(), Socks(SocksVersion::Socks5, open), UpstreamUse::Tunnel),
              "failed: Connection refused.");

    const int guarded = FreePort();
    const Daemon withPassword(
        "/usr/bin/microsocks",
        {"-i", "127.0.0.1", "-p", std::to_string(guarded), "-u", "kiosk", "-P", "s3cret"}, dir, guarded);
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Socks(SocksVersion::Socks5, guarded, "kiosk", "s3cret"),
                    UpstreamUse::Tunnel),
              kArrived);
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Socks(SocksVersion::Socks5, guarded, "kiosk", "bad"),
                    UpstreamUse::Tunnel),
              "failed: Authentication error to socks server.");
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Socks(SocksVersion::Socks5, guarded), UpstreamUse::Tunnel),
              "failed: Invalid socks authentication method.");
}

// The proxy's own host is an IPv6 address, and so is the target, which goes as an address (type 4).
TEST_F(UpstreamRoute, MicrosocksOnIPv6LoopbackReachesAnIPv6Origin) {
    if (!IPv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 loopback (::1) here";
    HttpOrigin v6Origin("::1");
    const int port = FreePort();
    const Daemon socks("/usr/bin/microsocks", {"-i", "::1", "-p", std::to_string(port)}, dir, port, "::1");
    SocksProxy route = Socks(SocksVersion::Socks5, port);
    route.Host = "::1";
    EXPECT_EQ(Fetch("::1", v6Origin.Port(), route, UpstreamUse::Tunnel), kArrived);
    EXPECT_EQ(Fetch("::1", v6Origin.Port(), route, UpstreamUse::PassThrough), kArrived);
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), route, UpstreamUse::PassThrough), kArrived);
    EXPECT_EQ(Fetch("::1", FreePort(), route, UpstreamUse::Tunnel), "failed: Connection refused.");
}

// OpenSSH's dynamic forwarding is the SOCKS 4a server at hand (danted refuses 4a requests): an sshd
// of the test's own, with keys made for it, and an ssh client that forwards through it.
TEST_F(UpstreamRoute, SshDynamicForwardingSocks4a) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to run an sshd of its own";
    for (const char* key : {"host_key", "user_key"}) {
        ASSERT_EQ(std::system(("ssh-keygen -q -t ed25519 -N '' -f " + (dir / key).string()).c_str()), 0);
    }
    fs::copy_file(dir / "user_key.pub", dir / "authorized_keys");
    fs::create_directories("/run/sshd");  // sshd's privilege separation directory
    const int sshPort = FreePort();
    WriteFile(dir / "sshd_config", "ListenAddress 127.0.0.1:" + std::to_string(sshPort) + "\nHostKey " +
                                       (dir / "host_key").string() + "\nAuthorizedKeysFile " +
                                       (dir / "authorized_keys").string() + "\nPidFile " +
                                       (dir / "sshd.pid").string() +
                                       "\nStrictModes no\nUsePAM no\nPasswordAuthentication no\n"
                                       "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\n"
                                       "AllowTcpForwarding yes\n");
    const Daemon sshd("/usr/sbin/sshd", {"-D", "-e", "-f", (dir / "sshd_config").string()}, dir, sshPort);
    const int socksPort = FreePort();
    const Daemon ssh(
        "/usr/bin/ssh",
        {"-N", "-D", "127.0.0.1:" + std::to_string(socksPort), "-i", (dir / "user_key").string(), "-p",
         std::to_string(sshPort), "-o", "BatchMode=yes", "-o", "StrictHostKeyChecking=no", "-o",
         "UserKnownHostsFile=/dev/null", "-o", "ExitOnForwardFailure=yes", "root@127.0.0.1"},
        dir, socksPort);
    EXPECT_EQ(Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks4A, socksPort, "user"),
                    UpstreamUse::PassThrough),
              kArrived);
    EXPECT_EQ(Fetch("localhost", origin.Port(), Socks(SocksVersion::Socks4, socksPort), UpstreamUse::Tunnel),
              kArrived);
    // ssh gives no refusal code for a target it cannot reach: it closes the connection.
    EXPECT_EQ(Fetch("localhost", FreePort(), Socks(SocksVersion::Socks4A, socksPort), UpstreamUse::Tunnel),
              "failed: Connection Closed Gracefully.");
}

TEST_F(UpstreamRoute, TinyproxyPassThroughAndTunnel) {
    const auto tinyproxy = StartTinyproxy("");
    ASSERT_TRUE(tinyproxy->Running());
    const std::string passed = Fetch("127.0.0.1", origin.Port(), Http(proxyPort), UpstreamUse::PassThrough);
    EXPECT_TRUE(passed.starts_with("HTTP/1.0 200 OK | GET /a?b=1 HTTP/1.")) << passed;
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Http(proxyPort), UpstreamUse::Tunnel), kArrived);
    EXPECT_EQ(origin.Heads().size(), 2u);
}

// An HTTP proxy on IPv6 loopback, asked for an IPv6 origin: the absolute target and the CONNECT
// authority write the address in brackets.
TEST_F(UpstreamRoute, TinyproxyOnIPv6LoopbackReachesAnIPv6Origin) {
    if (!IPv6LoopbackAvailable()) GTEST_SKIP() << "no IPv6 loopback (::1) here";
    HttpOrigin v6Origin("::1");
    const auto tinyproxy = StartTinyproxy("", "::1");
    ASSERT_TRUE(tinyproxy->Running());
    HttpProxy route = Http(proxyPort);
    route.Host = "::1";
    const std::string passed = Fetch("::1", v6Origin.Port(), route, UpstreamUse::PassThrough);
    EXPECT_TRUE(passed.starts_with("HTTP/1.0 200 OK | GET /a?b=1 HTTP/1.")) << passed;
    EXPECT_EQ(Fetch("::1", v6Origin.Port(), route, UpstreamUse::Tunnel), kArrived);
    EXPECT_EQ(v6Origin.Heads().size(), 2u);
}

TEST_F(UpstreamRoute, TinyproxyWithBasicAuthentication) {
    const auto tinyproxy = StartTinyproxy("BasicAuth kiosk s3cret\n");
    ASSERT_TRUE(tinyproxy->Running());
    const auto withLogin = Http(proxyPort, "kiosk", "s3cret");
    EXPECT_TRUE(Fetch("127.0.0.1", origin.Port(), withLogin, UpstreamUse::PassThrough)
                    .starts_with("HTTP/1.0 200 OK"));
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), withLogin, UpstreamUse::Tunnel), kArrived);
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Http(proxyPort), UpstreamUse::Tunnel),
              "failed: HTTP/1.0 407 Proxy Authentication Required");
    EXPECT_EQ(Fetch("127.0.0.1", origin.Port(), Http(proxyPort, "kiosk", "bad"), UpstreamUse::Tunnel),
              "failed: HTTP/1.0 401 Unauthorized");
    // A refused pass-through request is the proxy's answer, which goes to the browser as it is.
    EXPECT_TRUE(Fetch("127.0.0.1", origin.Port(), Http(proxyPort), UpstreamUse::PassThrough)
                    .starts_with("HTTP/1.0 407 Proxy Authentication Required | "));
    EXPECT_EQ(origin.Heads().size(), 2u);
}

TEST_F(UpstreamRoute, TinyproxyRefusingATunnelPort) {
    const auto tinyproxy = StartTinyproxy("ConnectPort 443\n");
    ASSERT_TRUE(tinyproxy->Running());
    const std::string refused = Fetch("127.0.0.1", origin.Port(), Http(proxyPort), UpstreamUse::Tunnel);
    EXPECT_TRUE(refused.starts_with("failed: HTTP/1.0 403 ")) << refused;
    EXPECT_TRUE(origin.Heads().empty());
}

}  // namespace
}  // namespace kiosk::testing
