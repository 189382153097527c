#pragma once

#include <string>

#include "proxy/tls/openssl_handles.h"

namespace kiosk {

// The terminal's own certificate authority, which signs the certificates the proxy shows the
// browser for the HTTPS hosts it inspects. It lives in one folder of this terminal (ca.crt and ca.key;
// the folder 0700, the key 0600), is made at the first start and reused afterwards, and is never
// installed in any system store: only the kiosk's own browser trusts what it signs. Its key never
// leaves that folder.
class TerminalCa {
public:
    // Reads the CA from folder, or creates it there (folders included) when neither file exists.
    // Throws std::runtime_error when it can be neither read nor created: a file is missing, damaged,
    // not a CA, or its key does not belong to its certificate.
    static TerminalCa OpenOrCreate(const std::string& folder);

    X509* Certificate() const { return certificate_.get(); }
    EVP_PKEY* Key() const { return key_.get(); }

private:
    TerminalCa(X509Ptr certificate, PkeyPtr key)
        : certificate_(std::move(certificate)), key_(std::move(key)) {}

    X509Ptr certificate_;
    PkeyPtr key_;
};

// Where the terminal's CA lives: the "ca" folder of the program's user configuration folder.
std::string DefaultCaFolder();

}  // namespace kiosk
