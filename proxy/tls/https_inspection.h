#pragma once

#include <functional>
#include <memory>
#include <string>

#include "os/tcp_socket.h"
#include "proxy/tls/inspection_policy.h"
#include "proxy/tls/leaf_certificates.h"
#include "proxy/tls/leaf_trust.h"
#include "proxy/tls/terminal_ca.h"
#include "proxy/tls/tls_contexts.h"
#include "proxy/tls/tls_stream.h"

namespace kiosk {

struct HttpsInspectionSettings {
    std::string httpsOption;  // "all", "tunnel", or anything else for the hosts the scripts name
    std::string caFolder;     // where the terminal's CA certificate is written
    std::string caFile;       // the CAs trusted for origins (PEM); empty: the system's store
};

// Everything the proxy needs to decrypt a CONNECT: which ones it decrypts, the terminal's CA and the
// leaves it signs, the browser's trust in them, and the TLS settings of both sides. Shared by all
// connection threads.
class HttpsInspection {
public:
    // Handshakes on either side give up when a read waits longer than this.
    static constexpr Milliseconds kHandshakeTimeout{30'000};

    // Makes the run's CA, writes its certificate to the CA folder and reads the origin CAs. Throws
    // std::runtime_error with the reason when any of that cannot be done. trust must outlive this
    // object.
    HttpsInspection(const HttpsInspectionSettings& settings, const DocumentScriptList& scripts,
                    LeafTrust& trust);
    HttpsInspection(const HttpsInspection&) = delete;
    HttpsInspection& operator=(const HttpsInspection&) = delete;

    bool Inspects(const std::string& host, int port) const { return policy_.Inspects(host, port); }

    // The leaf for host (as written in its CONNECT), once the browser trusts it (or that wait was given
    // up). Called before the CONNECT is answered, so that the browser has taken the leaf before its
    // handshake meets it. Throws std::invalid_argument for a host no certificate can name.
    std::shared_ptr<const LeafCertificate> TrustedLeaf(const std::string& host,
                                                       const std::function<bool()>& givenUp);

    // Takes the browser's handshake on socket, showing leaf. Throws TlsFailure for a failed handshake.
    std::unique_ptr<TlsStream> AcceptBrowser(ByteStream& socket, const LeafCertificate& leaf);

    // The TLS session to the origin host:port over the connected socket, its certificate verified.
    // Throws TlsFailure naming host, port and the reason.
    std::unique_ptr<TlsStream> ConnectOrigin(ByteStream& socket, const std::string& host, int port);

    LeafCertificates& Leaves() { return leaves_; }

private:
    const InspectionPolicy policy_;
    const TerminalCa ca_;
    LeafCertificates leaves_;
    const SslContextPtr browserContext_;
    const SslContextPtr originContext_;
    LeafTrust& trust_;
};

}  // namespace kiosk
