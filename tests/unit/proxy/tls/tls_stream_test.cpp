#include "proxy/tls/tls_stream.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "os/tcp_socket.h"
#include "proxy/tls/certificate_fields.h"
#include "proxy/tls/leaf_certificates.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;

// A TLS session over loopback TCP: the proxy's browser side as server (or a server that sends TLS 1.3
// session tickets), the proxy's origin side as client. SIGPIPE is left as it is: a write to a closed
// peer must fail, not end the test program.
struct TlsPair {
    TlsPair() {
        testing::WriteFile(dir / "ca.pem", CertificatePem(ca.Certificate()));
        client.Connect("127.0.0.1", listener.Port(), 5s);
        server = std::move(*listener.Accept());
    }

    // Both handshakes at once; the server's context sends tickets when asked to.
    void Handshake(bool tickets = false) {
        if (tickets) {
            ticketContext = MakeBrowserSideContext();
            SSL_CTX_set_num_tickets(ticketContext.get(), 2);
        }
        SSL_CTX* serverContext = tickets ? ticketContext.get() : browserContext.get();
        originContext = MakeOriginSideContext((dir / "ca.pem").string());
        serverSide = std::make_unique<TlsStream>(server, NewBrowserSession(serverContext, *leaf));
        clientSide =
            std::make_unique<TlsStream>(client, NewOriginSession(originContext.get(), "example.org"));
        auto accepted = std::async(std::launch::async, [&] { serverSide->Accept(5s); });
        clientSide->Connect(5s);
        accepted.get();
    }

    std::string ReadSome(TlsStream& stream, Milliseconds timeout = 5s) {
        char buffer[64];
        return std::string(buffer, stream.Receive(buffer, sizeof buffer, timeout));
    }

    testing::TempDir dir;
    TerminalCa ca = TerminalCa::Create();
    LeafCertificates leaves{ca};
    std::shared_ptr<const LeafCertificate> leaf = leaves.ForHost("example.org");
    SslContextPtr browserContext = MakeBrowserSideContext();
    SslContextPtr ticketContext;
    SslContextPtr originContext;
    TcpListener listener{"127.0.0.1", 0, 4};
    TcpSocket client;
    TcpSocket server;
    std::unique_ptr<TlsStream> serverSide;
    std::unique_ptr<TlsStream> clientSide;
};

TEST(TlsStream, BytesTravelBothWaysAndEitherKindOfCloseEndsTheStream) {
    TlsPair p;
    p.Handshake();
    p.clientSide->Send("GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(p.ReadSome(*p.serverSide), "GET / HTTP/1.1\r\n\r\n");
    p.serverSide->Send(std::string(100000, 'x'));
    size_t received = 0;
    while (received < 100000) received += p.ReadSome(*p.clientSide).size();
    EXPECT_EQ(received, 100000u);

    p.serverSide.reset();  // sends TLS's close message
    EXPECT_TRUE(p.clientSide->WaitReadable(5s));
    EXPECT_EQ(p.ReadSome(*p.clientSide), "");

    TlsPair other;
    other.Handshake();
    other.server.Close();  // no close message
    EXPECT_EQ(other.ReadSome(*other.clientSide), "");
}

TEST(TlsStream, MessagesWithoutDataNeverCountAsBytesToRead) {
    TlsPair p;
    p.Handshake(true);  // the server sends two session tickets after the handshake
    EXPECT_FALSE(p.clientSide->WaitReadable(200ms));
    EXPECT_FALSE(p.clientSide->HasPending());
    try {
        p.ReadSome(*p.clientSide, 100ms);
        ADD_FAILURE() << "a ticket was read as data";
    } catch (const SocketTimeout& timeout) {
        EXPECT_STREQ(timeout.what(), "Read timed out.");
    }
    p.serverSide->Send("late");
    EXPECT_TRUE(p.clientSide->WaitReadable(5s));
    EXPECT_TRUE(p.clientSide->HasPending());  // looked at, decrypted, not yet taken
    EXPECT_EQ(p.ReadSome(*p.clientSide), "late");
}

TEST(TlsStream, AShutdownFromAnotherThreadEndsAWaitingRead) {
    TlsPair p;
    p.Handshake();
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        p.client.Shutdown();
    });
    std::string read = "not ended";
    EXPECT_NO_THROW(read = p.ReadSome(*p.clientSide, 10s));
    stopper.join();
    EXPECT_EQ(read, "");  // the socket's shutdown reads as its end
}

TEST(TlsStream, WritingToAPeerThatIsGoneFailsWithoutASignal) {
    TlsPair p;
    p.Handshake();
    p.serverSide.reset();
    p.server.Close();
    EXPECT_THROW(
        {
            for (int i = 0; i < 100; ++i) p.clientSide->Send(std::string(65536, 'y'));
        },
        std::runtime_error);
}

TEST(TlsStream, APeerThatSpeaksNoTlsFailsTheHandshakeWithAReason) {
    TlsPair p;
    p.serverSide = std::make_unique<TlsStream>(p.server, NewBrowserSession(p.browserContext.get(), *p.leaf));
    p.client.Send("GET / HTTP/1.1\r\nHost: example.org\r\n\r\n");
    try {
        p.serverSide->Accept(5s);
        ADD_FAILURE() << "plain text was taken for a handshake";
    } catch (const TlsFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("handshake failed"), std::string::npos) << failure.what();
    }
    // A client that closes in the middle of its handshake.
    TlsPair other;
    other.serverSide =
        std::make_unique<TlsStream>(other.server, NewBrowserSession(other.browserContext.get(), *other.leaf));
    other.client.Send(std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11));
    other.client.Close();
    EXPECT_THROW(other.serverSide->Accept(5s), TlsFailure);
}

}  // namespace
}  // namespace kiosk
