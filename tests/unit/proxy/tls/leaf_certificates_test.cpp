#include "proxy/tls/leaf_certificates.h"

#include <gtest/gtest.h>
#include <openssl/x509v3.h>

#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/unit/proxy/tls/certificate_days.h"

namespace kiosk {
namespace {

using testing::DaysValid;

std::string Serial(const X509* certificate) {
    BIGNUM* number = ASN1_INTEGER_to_BN(X509_get0_serialNumber(certificate), nullptr);
    char* hex = BN_bn2hex(number);
    std::string text(hex);
    OPENSSL_free(hex);
    BN_free(number);
    return text;
}

class LeafCertificatesTest : public ::testing::Test {
protected:
    // Verifies leaf as a TLS client would for host: chain to the terminal's CA, purpose and name.
    int Verify(const LeafCertificate& leaf, const std::string& host, bool address = false) const {
        X509_STORE* store = X509_STORE_new();
        X509_STORE_add_cert(store, ca.Certificate());
        X509_STORE_CTX* context = X509_STORE_CTX_new();
        X509_STORE_CTX_init(context, store, leaf.certificate.get(), nullptr);
        X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(context);
        X509_VERIFY_PARAM_set_purpose(parameters, X509_PURPOSE_SSL_SERVER);
        if (address) {
            X509_VERIFY_PARAM_set1_ip_asc(parameters, host.c_str());
        } else {
            X509_VERIFY_PARAM_set1_host(parameters, host.c_str(), 0);
        }
        const int result = X509_verify_cert(context) == 1 ? X509_V_OK : X509_STORE_CTX_get_error(context);
        X509_STORE_CTX_free(context);
        X509_STORE_free(store);
        return result;
    }

    TerminalCa ca = TerminalCa::Create();
};

TEST_F(LeafCertificatesTest, ALeafVerifiesForItsHostOnlyThroughTheTerminalsCa) {
    LeafCertificates leaves(ca);
    const auto leaf = leaves.ForHost("Example.ORG");
    EXPECT_EQ(Verify(*leaf, "example.org"), X509_V_OK);
    EXPECT_EQ(Verify(*leaf, "www.example.org"), X509_V_ERR_HOSTNAME_MISMATCH);
    EXPECT_EQ(Verify(*leaf, "example.com"), X509_V_ERR_HOSTNAME_MISMATCH);
    EXPECT_EQ(X509_check_ca(leaf->certificate.get()), 0);
    EXPECT_TRUE(X509_get_extended_key_usage(leaf->certificate.get()) & XKU_SSL_SERVER);
    EXPECT_EQ(X509_check_private_key(leaf->certificate.get(), leaf->key.get()), 1);
    EXPECT_NE(leaf->pem.find("-----BEGIN CERTIFICATE-----"), std::string::npos);

    // Another terminal's CA does not vouch for it.
    const TerminalCa other = TerminalCa::Create();
    X509_STORE* store = X509_STORE_new();
    X509_STORE_add_cert(store, other.Certificate());
    X509_STORE_CTX* context = X509_STORE_CTX_new();
    X509_STORE_CTX_init(context, store, leaf->certificate.get(), nullptr);
    EXPECT_NE(X509_verify_cert(context), 1);
    X509_STORE_CTX_free(context);
    X509_STORE_free(store);
}

TEST_F(LeafCertificatesTest, AddressesBecomeAddressNamesBracketedOrNot) {
    LeafCertificates leaves(ca);
    EXPECT_EQ(Verify(*leaves.ForHost("127.0.0.1"), "127.0.0.1", true), X509_V_OK);
    EXPECT_EQ(Verify(*leaves.ForHost("127.0.0.1"), "127.0.0.2", true), X509_V_ERR_IP_ADDRESS_MISMATCH);
    EXPECT_EQ(Verify(*leaves.ForHost("[::1]"), "::1", true), X509_V_OK);
    EXPECT_EQ(leaves.ForHost("::1"), leaves.ForHost("[::1]"));
}

TEST_F(LeafCertificatesTest, BackdatedADayValidNinetyDaysWithRandomSerials) {
    LeafCertificates leaves(ca);
    const auto one = leaves.ForHost("one.example");
    const auto two = leaves.ForHost("two.example");
    EXPECT_EQ(DaysValid(one->certificate.get()), 90);
    int days = 0;
    int seconds = 0;
    ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(one->certificate.get()), nullptr);
    EXPECT_EQ(days, 1);
    EXPECT_NE(Serial(one->certificate.get()), Serial(two->certificate.get()));
    EXPECT_GE(Serial(one->certificate.get()).size(), 30u);
    EXPECT_EQ(X509_check_private_key(two->certificate.get(), one->key.get()), 1);  // one key for all
}

TEST_F(LeafCertificatesTest, AHostIsSignedOncePerRunWhileTheCacheKeepsIt) {
    LeafCertificates leaves(ca, 2);
    const auto a = leaves.ForHost("a.example");
    EXPECT_EQ(leaves.ForHost("A.example"), a);
    leaves.ForHost("b.example");
    leaves.ForHost("a.example");  // a is now the most recent, so c pushes b out
    leaves.ForHost("c.example");
    EXPECT_EQ(leaves.Minted(), 3u);
    EXPECT_EQ(leaves.ForHost("a.example"), a);
    EXPECT_EQ(leaves.Minted(), 3u);
    leaves.ForHost("b.example");
    EXPECT_EQ(leaves.Minted(), 4u);
    EXPECT_EQ(Verify(*a, "a.example"), X509_V_OK);  // a leaf in use stays valid after it leaves the cache
}

TEST_F(LeafCertificatesTest, NoMoreLeavesLiveThanTheCacheHolds) {
    LeafCertificates leaves(ca, 4);
    std::vector<std::weak_ptr<const LeafCertificate>> minted;
    for (int i = 0; i < 40; ++i) minted.push_back(leaves.ForHost("h" + std::to_string(i) + ".example"));
    std::vector<bool> alive;
    for (const auto& leaf : minted) alive.push_back(!leaf.expired());
    std::vector<bool> lastFour(40, false);
    std::fill(lastFour.begin() + 36, lastFour.end(), true);
    EXPECT_EQ(alive, lastFour);
}

TEST_F(LeafCertificatesTest, ALeafAboutToExpireIsReplaced) {
    LeafCertificates shortLived(ca, 4, std::chrono::hours(36));  // ends in 12 hours
    const auto first = shortLived.ForHost("a.example");
    EXPECT_NE(shortLived.ForHost("a.example"), first);
    EXPECT_EQ(shortLived.Minted(), 2u);
}

TEST_F(LeafCertificatesTest, NamesThatCouldCarryOtherNamesAreRefused) {
    LeafCertificates leaves(ca);
    for (const std::string& host :
         std::vector<std::string>{"", "a.example,DNS:bank.example", "a b", "bank.example\n", "-x.example",
                                  std::string("a\0b", 3), std::string(254, 'a'), "[::1", "ex*ample.org"}) {
        EXPECT_THROW(leaves.ForHost(host), std::invalid_argument) << host;
    }
    EXPECT_EQ(leaves.Minted(), 0u);
    EXPECT_NO_THROW(leaves.ForHost(std::string(253, 'a')));  // too long for a common name, not for a DNS name
}

TEST_F(LeafCertificatesTest, ThreadsShareTheCache) {
    LeafCertificates leaves(ca);
    std::vector<std::thread> threads;
    std::set<const LeafCertificate*> seen[4];
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i)
                seen[t].insert(leaves.ForHost("host" + std::to_string(i % 5) + ".example").get());
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(leaves.Minted(), 5u);
    for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
}

}  // namespace
}  // namespace kiosk
