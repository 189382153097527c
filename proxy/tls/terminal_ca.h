#pragma once

#include <string>

#include "proxy/tls/openssl_handles.h"

namespace kiosk {

// The terminal's own certificate authority, which signs the certificates the proxy shows the
// browser for the HTTPS hosts it inspects. A new one is made in memory at every start, and its key is
// never written anywhere: the browser trusts each leaf by itself, never the CA, so nothing needs the
// key after the run. Its certificate (public) may be written out for tools that want to trust it.
// It is never installed in any system store.
class TerminalCa {
public:
    // A new CA for this run. Throws std::runtime_error when OpenSSL fails.
    static TerminalCa Create();

    // Writes the certificate as folder/ca.crt (the folder made, only its owner may enter) in place of
    // whatever an earlier run left there. Throws std::runtime_error when it cannot be written.
    void WriteCertificate(const std::string& folder) const;

    X509* Certificate() const { return certificate_.get(); }
    EVP_PKEY* Key() const { return key_.get(); }

private:
    TerminalCa(X509Ptr certificate, PkeyPtr key)
        : certificate_(std::move(certificate)), key_(std::move(key)) {}

    X509Ptr certificate_;
    PkeyPtr key_;
};

// Removes what earlier runs left in folder: the CA key file an earlier version kept there and the
// certificate of a CA that no longer exists. Returns a message when a file stays (empty when none).
std::string RemoveEarlierCaFiles(const std::string& folder);

// Where the terminal's CA certificate is written: the "ca" folder of the program's user configuration
// folder.
std::string DefaultCaFolder();

}  // namespace kiosk
