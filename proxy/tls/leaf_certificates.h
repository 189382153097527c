#pragma once

#include <chrono>
#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "proxy/tls/openssl_handles.h"
#include "proxy/tls/terminal_ca.h"

namespace kiosk {

// A certificate the proxy shows the browser for one host, signed by the terminal's CA.
struct LeafCertificate {
    std::string host;
    X509Ptr certificate;
    PkeyPtr key;      // the key all leaves of a run share
    std::string pem;  // the certificate as PEM, for the browser's list of allowed certificates
};

// Mints and keeps the leaf certificates: subjectAltName the host (a DNS name or an IP address),
// serverAuth, a random serial, valid from a day back for at most 90 days (never past the CA), all with
// one EC P-256 key made for this run. The most recently used leaves are kept (one per host), so that a
// host costs one signature per run while it stays; the browser's trust holds leaves only weakly, so
// the cache bounds that too. Safe to use from several threads.
class LeafCertificates {
public:
    static constexpr size_t kDefaultCapacity = 1000;
    static constexpr std::chrono::hours kDefaultLifetime{24 * 90};

    // ca must outlive this object. A leaf is valid for lifetime from a day back.
    explicit LeafCertificates(const TerminalCa& ca, size_t capacity = kDefaultCapacity,
                              std::chrono::hours lifetime = kDefaultLifetime);

    // The leaf for host, as written in a CONNECT request (an IPv6 address in brackets or without); a
    // new one when the cached one would expire within a day, so that a long run never shows an expired
    // leaf.
    // Throws std::invalid_argument for a host that is neither a DNS name nor an IP address, and
    // std::runtime_error when OpenSSL fails.
    std::shared_ptr<const LeafCertificate> ForHost(const std::string& host);

    // How many leaves were signed so far (each host once while it stays in the cache).
    size_t Minted() const;

private:
    std::shared_ptr<const LeafCertificate> Mint(const std::string& host) const;

    const TerminalCa& ca_;
    const size_t capacity_;
    const std::chrono::hours lifetime_;
    const PkeyPtr key_;
    mutable std::mutex mutex_;
    std::list<std::shared_ptr<const LeafCertificate>> recent_;  // most recently used first
    std::map<std::string, std::list<std::shared_ptr<const LeafCertificate>>::iterator> byHost_;
    size_t minted_ = 0;
};

}  // namespace kiosk
