#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "proxy/tls/leaf_certificates.h"
#include "proxy/tls/openssl_handles.h"

namespace kiosk {

using SslContextPtr = std::unique_ptr<SSL_CTX, OpenSslDeleter<SSL_CTX, SSL_CTX_free>>;
using SslPtr = std::unique_ptr<SSL, OpenSslDeleter<SSL, SSL_free>>;

// The store of CAs the proxy trusts for origins when no "cafile" is configured.
inline constexpr char kSystemCaFile[] = "/etc/ssl/certs/ca-certificates.crt";

// The TLS settings of the proxy's side towards the browser: TLS 1.2 or later, and of the protocols the
// browser offers only http/1.1 taken. Throws std::runtime_error when OpenSSL refuses them.
SslContextPtr MakeBrowserSideContext();

// A session towards the browser for one inspected host, showing the host's leaf with the shared key.
SslPtr NewBrowserSession(SSL_CTX* context, const LeafCertificate& leaf);

// The TLS settings towards origins: TLS 1.2 or later, offering http/1.1, and the origin's certificate
// verified against the CAs of caFile (PEM; empty: the system's store). Throws std::runtime_error
// when the file cannot be read.
SslContextPtr MakeOriginSideContext(const std::string& caFile);

// A session towards the origin host (a DNS name, or an IP address with or without brackets): the name
// sent as SNI (for DNS names) and the certificate required to be issued for exactly that host.
SslPtr NewOriginSession(SSL_CTX* context, const std::string& host);

// Why the last handshake of session failed verification, readable; empty when it did not.
std::string VerificationFailure(const SSL* session);

}  // namespace kiosk
