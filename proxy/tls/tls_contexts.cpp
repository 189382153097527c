#include "proxy/tls/tls_contexts.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include "proxy/tls/host_name.h"

namespace kiosk {

namespace {

constexpr unsigned char kHttp11[] = {8, 'h', 't', 't', 'p', '/', '1', '.', '1'};

// Takes http/1.1 when the browser offers it; otherwise the connection goes on without ALPN, which
// means HTTP/1.1 as well.
int SelectHttp11(SSL*, const unsigned char** out, unsigned char* outLength, const unsigned char* offered,
                 unsigned int offeredLength, void*) {
    unsigned char* selected = nullptr;
    if (SSL_select_next_proto(&selected, outLength, kHttp11, sizeof kHttp11, offered, offeredLength) !=
        OPENSSL_NPN_NEGOTIATED)
        return SSL_TLSEXT_ERR_NOACK;
    *out = selected;
    return SSL_TLSEXT_ERR_OK;
}

// TLS 1.3's suites with AES-128 first: as safe, and the proxy encrypts every byte twice (towards the
// browser and towards the origin), so the faster one counts.
constexpr char kTls13Suites[] = "TLS_AES_128_GCM_SHA256:TLS_CHACHA20_POLY1305_SHA256:TLS_AES_256_GCM_SHA384";

SslContextPtr NewContext(const SSL_METHOD* method) {
    SslContextPtr context(SSL_CTX_new(method));
    if (!context || SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION) != 1 ||
        SSL_CTX_set_ciphersuites(context.get(), kTls13Suites) != 1)
        ThrowOpenSslFailure("Невозможно настроить TLS");
    return context;
}

}  // namespace

SslContextPtr MakeBrowserSideContext() {
    SslContextPtr context = NewContext(TLS_server_method());
    SSL_CTX_set_options(context.get(), SSL_OP_CIPHER_SERVER_PREFERENCE);
    SSL_CTX_set_alpn_select_cb(context.get(), &SelectHttp11, nullptr);
    // The browser's connections to the proxy are local and kept open; resuming sessions would save
    // nothing, and tickets would only add messages after the handshake.
    SSL_CTX_set_num_tickets(context.get(), 0);
    SSL_CTX_set_session_cache_mode(context.get(), SSL_SESS_CACHE_OFF);
    return context;
}

SslPtr NewBrowserSession(SSL_CTX* context, const LeafCertificate& leaf) {
    SslPtr session(SSL_new(context));
    if (!session || SSL_use_certificate(session.get(), leaf.certificate.get()) != 1 ||
        SSL_use_PrivateKey(session.get(), leaf.key.get()) != 1)
        ThrowOpenSslFailure("Невозможно настроить сертификат узла " + leaf.host);
    return session;
}

SslContextPtr MakeOriginSideContext(const std::string& caFile) {
    SslContextPtr context = NewContext(TLS_client_method());
    const std::string file = caFile.empty() ? kSystemCaFile : caFile;
    if (SSL_CTX_load_verify_file(context.get(), file.c_str()) != 1)
        ThrowOpenSslFailure("Невозможно прочитать сертификаты центров из " + file);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_alpn_protos(context.get(), kHttp11, sizeof kHttp11) != 0)
        ThrowOpenSslFailure("Невозможно настроить TLS");
    return context;
}

SslPtr NewOriginSession(SSL_CTX* context, const std::string& host) {
    SslPtr session(SSL_new(context));
    if (!session) ThrowOpenSslFailure("Невозможно создать сеанс TLS");
    const std::string name = WithoutBrackets(host);
    X509_VERIFY_PARAM* parameters = SSL_get0_param(session.get());
    if (X509_VERIFY_PARAM_set1_ip_asc(parameters, name.c_str()) == 1) return session;
    ERR_clear_error();  // not an address: a name
    if (SSL_set_tlsext_host_name(session.get(), name.c_str()) != 1 ||
        SSL_set1_host(session.get(), name.c_str()) != 1)
        ThrowOpenSslFailure("Недопустимое имя узла " + name);
    return session;
}

std::string VerificationFailure(const SSL* session) {
    const long result = SSL_get_verify_result(session);
    return result == X509_V_OK ? std::string() : X509_verify_cert_error_string(result);
}

}  // namespace kiosk
