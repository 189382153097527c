#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace kiosk::testing {

// A server certificate and its private key, as PEM files.
struct ServerCertificate {
    std::string certFile;
    std::string keyFile;
};

enum class IssueKind {
    Valid,       // signed by the CA, valid from now for 30 days
    Expired,     // signed by the CA, valid only for January 2020
    SelfSigned,  // signed by its own key, not by the CA
};

// A throwaway certificate authority for TLS origins in tests, made with the openssl program in a
// directory of its own (EC P-256 keys throughout). Every failure of openssl throws std::runtime_error
// with what openssl wrote.
class TestCa {
public:
    using ServerCertificate = kiosk::testing::ServerCertificate;
    using IssueKind = kiosk::testing::IssueKind;

    TestCa();
    TestCa(const TestCa&) = delete;
    TestCa& operator=(const TestCa&) = delete;

    // The CA's certificate (PEM), for the clients that are to trust it.
    std::string CaFile() const { return (dir_ / "ca.pem").string(); }

    // A certificate for a TLS server (extended key usage serverAuth) with hosts as its subject
    // alternative names: IPv4 and IPv6 addresses as IP entries, everything else as DNS entries.
    // Throws std::invalid_argument when hosts is empty or a name has characters outside letters,
    // digits, '.', '-', '_' and '*'. A certificate for the wrong name is Issue({"other.example"}).
    ServerCertificate Issue(const std::vector<std::string>& hosts, IssueKind kind = IssueKind::Valid);

private:
    TempDir dir_;
    int issued_ = 0;
};

}  // namespace kiosk::testing
