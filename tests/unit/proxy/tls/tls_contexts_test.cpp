#include "proxy/tls/tls_contexts.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <string>
#include <thread>

#include "proxy/tls/certificate_fields.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

struct HandshakeResult {
    bool browserSide = false;
    bool originSide = false;
    std::string protocol;      // what ALPN chose, as the origin side sees it
    std::string verification;  // why the origin side refused the certificate
};

// One handshake over a socket pair: the proxy's browser side against the proxy's origin side.
HandshakeResult Handshake(SSL_CTX* browserContext, const LeafCertificate& leaf, SSL* originSession,
                          const unsigned char* offer = nullptr, unsigned offerLength = 0) {
    int pair[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    HandshakeResult result;
    std::thread browserSide([&] {
        SslPtr session = NewBrowserSession(browserContext, leaf);
        SSL_set_fd(session.get(), pair[0]);
        result.browserSide = SSL_accept(session.get()) == 1;
        if (result.browserSide) SSL_shutdown(session.get());
        ::shutdown(pair[0], SHUT_RDWR);
    });
    if (offer != nullptr) SSL_set_alpn_protos(originSession, offer, offerLength);
    SSL_set_fd(originSession, pair[1]);
    result.originSide = SSL_connect(originSession) == 1;
    const unsigned char* protocol = nullptr;
    unsigned protocolLength = 0;
    SSL_get0_alpn_selected(originSession, &protocol, &protocolLength);
    result.protocol.assign(reinterpret_cast<const char*>(protocol), protocolLength);
    result.verification = VerificationFailure(originSession);
    ::shutdown(pair[1], SHUT_RDWR);
    browserSide.join();
    ::close(pair[0]);
    ::close(pair[1]);
    return result;
}

class TlsContextsTest : public ::testing::Test {
protected:
    TlsContextsTest() {
        // A side that gives up closes its end while the other still writes; the socket pair of these
        // tests is written with plain writes, which would raise SIGPIPE then.
        std::signal(SIGPIPE, SIG_IGN);
        testing::WriteFile(caFile(), CertificatePem(ca.Certificate()));
    }
    std::string caFile() const { return (dir / "trusted.pem").string(); }

    testing::TempDir dir;
    TerminalCa ca = TerminalCa::Create();
    LeafCertificates leaves{ca};
    const SslContextPtr browserContext = MakeBrowserSideContext();
};

TEST_F(TlsContextsTest, AnOriginWithACertificateForItsNameFromATrustedCaIsTaken) {
    const auto leaf = leaves.ForHost("example.org");
    const SslContextPtr originSide = MakeOriginSideContext(caFile());
    const SslPtr session = NewOriginSession(originSide.get(), "example.org");
    const HandshakeResult result = Handshake(browserContext.get(), *leaf, session.get());
    EXPECT_TRUE(result.originSide);
    EXPECT_TRUE(result.browserSide);
    EXPECT_EQ(result.protocol, "http/1.1");
    EXPECT_EQ(result.verification, "");
    EXPECT_STREQ(SSL_get_servername(session.get(), TLSEXT_NAMETYPE_host_name), "example.org");
    EXPECT_GE(SSL_version(session.get()), TLS1_2_VERSION);
}

TEST_F(TlsContextsTest, AWrongNameOrAnUntrustedCaEndsTheHandshake) {
    const auto leaf = leaves.ForHost("example.org");
    const SslContextPtr originSide = MakeOriginSideContext(caFile());
    const SslPtr wrongName = NewOriginSession(originSide.get(), "bank.example");
    HandshakeResult result = Handshake(browserContext.get(), *leaf, wrongName.get());
    EXPECT_FALSE(result.originSide);
    EXPECT_EQ(result.verification, "hostname mismatch");

    const TerminalCa other = TerminalCa::Create();
    testing::WriteFile(dir / "other.pem", CertificatePem(other.Certificate()));
    const SslContextPtr otherTrust = MakeOriginSideContext((dir / "other.pem").string());
    const SslPtr untrusted = NewOriginSession(otherTrust.get(), "example.org");
    result = Handshake(browserContext.get(), *leaf, untrusted.get());
    EXPECT_FALSE(result.originSide);
    EXPECT_NE(result.verification, "");
}

TEST_F(TlsContextsTest, AddressesAreVerifiedAsAddressesWithoutSni) {
    const auto leaf = leaves.ForHost("[::1]");
    const SslContextPtr originSide = MakeOriginSideContext(caFile());
    const SslPtr session = NewOriginSession(originSide.get(), "[::1]");
    EXPECT_TRUE(Handshake(browserContext.get(), *leaf, session.get()).originSide);
    EXPECT_EQ(SSL_get_servername(session.get(), TLSEXT_NAMETYPE_host_name), nullptr);
    const SslPtr otherAddress = NewOriginSession(originSide.get(), "127.0.0.1");
    EXPECT_EQ(Handshake(browserContext.get(), *leaf, otherAddress.get()).verification, "IP address mismatch");
}

TEST_F(TlsContextsTest, OnlyHttp11IsChosenAndABrowserWithoutItStillConnects) {
    const auto leaf = leaves.ForHost("example.org");
    const SslContextPtr originSide = MakeOriginSideContext(caFile());
    const unsigned char both[] = {2, 'h', '2', 8, 'h', 't', 't', 'p', '/', '1', '.', '1'};
    SslPtr session = NewOriginSession(originSide.get(), "example.org");
    EXPECT_EQ(Handshake(browserContext.get(), *leaf, session.get(), both, sizeof both).protocol, "http/1.1");
    const unsigned char h2Only[] = {2, 'h', '2'};
    session = NewOriginSession(originSide.get(), "example.org");
    const HandshakeResult result =
        Handshake(browserContext.get(), *leaf, session.get(), h2Only, sizeof h2Only);
    EXPECT_TRUE(result.originSide);
    EXPECT_EQ(result.protocol, "");
}

TEST_F(TlsContextsTest, AnUnreadableCaFileIsAnErrorNamingIt) {
    try {
        MakeOriginSideContext((dir / "missing.pem").string());
        ADD_FAILURE() << "a missing file was taken";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("missing.pem"), std::string::npos) << failure.what();
    }
    EXPECT_NO_THROW(MakeOriginSideContext(""));  // the system's store
}

}  // namespace
}  // namespace kiosk
