#include "mail/smtp_tls.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace kiosk {

namespace {

// The store of CAs used when the configuration names no "cafile", as for the proxy's origins.
constexpr char kSystemCaFile[] = "/etc/ssl/certs/ca-certificates.crt";

struct ContextFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

[[noreturn]] void ThrowTlsFailure(const std::string& what) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    char reason[256] = "";
    if (code != 0) ERR_error_string_n(code, reason, sizeof reason);
    throw std::runtime_error(what + (code != 0 ? std::string(": ") + reason : std::string()));
}

std::unique_ptr<SSL_CTX, ContextFree> NewContext(const std::string& caFile) {
    std::unique_ptr<SSL_CTX, ContextFree> context(SSL_CTX_new(TLS_client_method()));
    if (!context || SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION) != 1)
        ThrowTlsFailure("Невозможно настроить TLS для почты");
    const std::string file = caFile.empty() ? kSystemCaFile : caFile;
    if (SSL_CTX_load_verify_file(context.get(), file.c_str()) != 1)
        ThrowTlsFailure("Невозможно прочитать сертификаты центров из " + file);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_mode(context.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    return context;
}

// An address is matched against the certificate's IP entries, a name (sent as SNI) against its DNS
// entries.
void RequireHost(SSL* ssl, const std::string& host) {
    std::string name = host;
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str()) == 1) return;
    ERR_clear_error();
    if (SSL_set_tlsext_host_name(ssl, name.c_str()) != 1 || SSL_set1_host(ssl, name.c_str()) != 1)
        ThrowTlsFailure("Недопустимое имя сервера почты " + name);
}

}  // namespace

struct SmtpTls::Session {
    std::unique_ptr<SSL_CTX, ContextFree> context;
    std::unique_ptr<SSL, SslFree> ssl;

    // What an SSL call's result asks for; a failure throws.
    Want Outcome(int result, const char* during) const {
        const int error = SSL_get_error(ssl.get(), result);
        if (error == SSL_ERROR_WANT_READ) return Want::Read;
        if (error == SSL_ERROR_WANT_WRITE) return Want::Write;
        const long verified = SSL_get_verify_result(ssl.get());
        if (verified != X509_V_OK) {
            ERR_clear_error();
            throw std::runtime_error(std::string("Сертификат сервера почты не прошёл проверку: ") +
                                     X509_verify_cert_error_string(verified));
        }
        if (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0)
            throw std::runtime_error(std::string("Сбой TLS с сервером почты (") + during +
                                     "): соединение разорвано");
        ThrowTlsFailure(std::string("Сбой TLS с сервером почты (") + during + ")");
    }
};

SmtpTls::SmtpTls(int fd, const std::string& host, const std::string& caFile)
    : session_(std::make_unique<Session>()) {
    ERR_clear_error();
    session_->context = NewContext(caFile);
    session_->ssl.reset(SSL_new(session_->context.get()));
    if (!session_->ssl || SSL_set_fd(session_->ssl.get(), fd) != 1)
        ThrowTlsFailure("Невозможно создать сеанс TLS для почты");
    RequireHost(session_->ssl.get(), host);
    SSL_set_connect_state(session_->ssl.get());
}

SmtpTls::~SmtpTls() = default;

SmtpTls::Want SmtpTls::Handshake() {
    ERR_clear_error();
    const int result = SSL_do_handshake(session_->ssl.get());
    return result == 1 ? Want::Nothing : session_->Outcome(result, "согласование");
}

SmtpTls::Want SmtpTls::Read(char* buffer, size_t size, size_t& count) {
    count = 0;
    ERR_clear_error();
    if (SSL_read_ex(session_->ssl.get(), buffer, size, &count) == 1) return Want::Nothing;
    const int error = SSL_get_error(session_->ssl.get(), 0);
    if (error == SSL_ERROR_ZERO_RETURN) return Want::Nothing;
    return session_->Outcome(0, "чтение");
}

SmtpTls::Want SmtpTls::Write(std::string_view bytes, size_t& written) {
    written = 0;
    ERR_clear_error();
    if (SSL_write_ex(session_->ssl.get(), bytes.data(), bytes.size(), &written) == 1) return Want::Nothing;
    return session_->Outcome(0, "запись");
}

void SmtpTls::Close() {
    ERR_clear_error();
    SSL_shutdown(session_->ssl.get());
    ERR_clear_error();
}

}  // namespace kiosk
