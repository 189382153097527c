#include "proxy/tls/certificate_fields.h"

#include <openssl/pem.h>
#include <openssl/rand.h>

namespace kiosk {

namespace {

constexpr int kSerialBits = 159;  // positive and at most 20 bytes, as RFC 5280 asks
constexpr long kBackdating = 24L * 60 * 60;

void SetRandomSerial(X509* certificate) {
    BignumPtr serial(BN_new());
    if (!serial || BN_rand(serial.get(), kSerialBits, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1 ||
        BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) == nullptr)
        ThrowOpenSslFailure("Невозможно создать серийный номер сертификата");
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return length > 0 ? std::string(data, static_cast<size_t>(length)) : std::string();
}

}  // namespace

PkeyPtr NewP256Key() {
    PkeyPtr key(EVP_EC_gen("P-256"));
    if (!key) ThrowOpenSslFailure("Невозможно создать ключ EC P-256");
    return key;
}

X509Ptr NewCertificate(EVP_PKEY* key, std::chrono::hours lifetime) {
    X509Ptr certificate(X509_new());
    if (!certificate || X509_set_version(certificate.get(), X509_VERSION_3) != 1)
        ThrowOpenSslFailure("Невозможно создать сертификат");
    SetRandomSerial(certificate.get());
    const long seconds = static_cast<long>(std::chrono::seconds(lifetime).count());
    if (X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -kBackdating) == nullptr ||
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), seconds - kBackdating) == nullptr ||
        X509_set_pubkey(certificate.get(), key) != 1)
        ThrowOpenSslFailure("Невозможно заполнить сертификат");
    return certificate;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    const bool added = extension != nullptr && X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    if (!added) ThrowOpenSslFailure(std::string("Невозможно добавить расширение ") + OBJ_nid2sn(nid));
}

void SignCertificate(X509* certificate, EVP_PKEY* issuerKey) {
    if (X509_sign(certificate, issuerKey, EVP_sha256()) == 0)
        ThrowOpenSslFailure("Невозможно подписать сертификат");
}

std::string CertificatePem(X509* certificate) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_X509(bio.get(), certificate) != 1)
        ThrowOpenSslFailure("Невозможно записать сертификат");
    return BioText(bio.get());
}

}  // namespace kiosk
