#include "proxy/tls/leaf_certificates.h"

#include <openssl/err.h>

#include <algorithm>
#include <ctime>
#include <stdexcept>

#include "proxy/tls/certificate_fields.h"
#include "proxy/tls/host_name.h"
#include "text/ascii.h"

namespace kiosk {

namespace {

constexpr size_t kMostNameLength = 253;
constexpr size_t kMostCommonNameLength = 64;
constexpr time_t kRenewalMargin = 24 * 60 * 60;  // seconds before its end a cached leaf is replaced

bool IsDnsName(const std::string& name) {
    if (name.empty() || name.size() > kMostNameLength || name.front() == '.' || name.front() == '-')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '.' || c == '_';
    });
}

// The subjectAltName of host: its IP address, or its DNS name. Built from objects, never from
// configuration text, so that no byte of the host can add a name of its own.
GeneralNamesPtr AlternativeName(const std::string& host) {
    GeneralNamesPtr names(sk_GENERAL_NAME_new_null());
    GENERAL_NAME* name = GENERAL_NAME_new();
    if (!names || name == nullptr) {
        GENERAL_NAME_free(name);
        ThrowOpenSslFailure("Нет памяти");
    }
    ASN1_OCTET_STRING* address = a2i_IPADDRESS(host.c_str());
    if (address == nullptr) ERR_clear_error();  // not an address: perhaps a name
    if (address != nullptr) {
        GENERAL_NAME_set0_value(name, GEN_IPADD, address);
    } else if (IsDnsName(host)) {
        ASN1_IA5STRING* dns = ASN1_IA5STRING_new();
        if (dns == nullptr || ASN1_STRING_set(dns, host.data(), static_cast<int>(host.size())) != 1) {
            ASN1_IA5STRING_free(dns);
            GENERAL_NAME_free(name);
            ThrowOpenSslFailure("Нет памяти");
        }
        GENERAL_NAME_set0_value(name, GEN_DNS, dns);
    } else {
        GENERAL_NAME_free(name);
        throw std::invalid_argument("Недопустимое имя узла для сертификата: " +
                                    host.substr(0, kMostNameLength));
    }
    sk_GENERAL_NAME_push(names.get(), name);
    return names;
}

void SetNames(X509* certificate, X509* ca, const std::string& host, const GENERAL_NAMES* alternative) {
    X509_NAME* subject = X509_get_subject_name(certificate);
    if ((host.size() <= kMostCommonNameLength &&
         X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                                    reinterpret_cast<const unsigned char*>(host.c_str()), -1, -1, 0) != 1) ||
        X509_set_issuer_name(certificate, X509_get_subject_name(ca)) != 1 ||
        X509_add1_ext_i2d(certificate, NID_subject_alt_name, const_cast<GENERAL_NAMES*>(alternative), 0, 0) !=
            1)
        ThrowOpenSslFailure("Невозможно заполнить сертификат узла " + host);
}

// A leaf never outlives the CA that signed it.
void KeepWithinCa(X509* certificate, X509* ca) {
    if (ASN1_TIME_compare(X509_get0_notAfter(certificate), X509_get0_notAfter(ca)) > 0 &&
        X509_set1_notAfter(certificate, X509_get0_notAfter(ca)) != 1)
        ThrowOpenSslFailure("Невозможно ограничить срок сертификата");
}

bool NearItsEnd(const LeafCertificate& leaf) {
    time_t soon = std::time(nullptr) + kRenewalMargin;
    return X509_cmp_time(X509_get0_notAfter(leaf.certificate.get()), &soon) < 0;
}

}  // namespace

LeafCertificates::LeafCertificates(const TerminalCa& ca, size_t capacity, std::chrono::hours lifetime)
    : ca_(ca), capacity_(std::max<size_t>(capacity, 1)), lifetime_(lifetime), key_(NewP256Key()) {}

std::shared_ptr<const LeafCertificate> LeafCertificates::ForHost(const std::string& connectHost) {
    const std::string host = AsciiLower(WithoutBrackets(connectHost));
    std::lock_guard lock(mutex_);
    if (const auto found = byHost_.find(host); found != byHost_.end()) {
        recent_.splice(recent_.begin(), recent_, found->second);
        if (!NearItsEnd(*recent_.front())) return recent_.front();
        byHost_.erase(found);
        recent_.pop_front();
    }
    recent_.push_front(Mint(host));
    byHost_[host] = recent_.begin();
    ++minted_;
    if (recent_.size() > capacity_) {
        byHost_.erase(recent_.back()->host);
        recent_.pop_back();
    }
    return recent_.front();
}

size_t LeafCertificates::Minted() const {
    std::lock_guard lock(mutex_);
    return minted_;
}

std::shared_ptr<const LeafCertificate> LeafCertificates::Mint(const std::string& host) const {
    const GeneralNamesPtr alternative = AlternativeName(host);
    X509Ptr certificate = NewCertificate(key_.get(), lifetime_);
    SetNames(certificate.get(), ca_.Certificate(), host, alternative.get());
    KeepWithinCa(certificate.get(), ca_.Certificate());
    AddExtension(certificate.get(), ca_.Certificate(), NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(certificate.get(), ca_.Certificate(), NID_key_usage, "critical,digitalSignature");
    AddExtension(certificate.get(), ca_.Certificate(), NID_ext_key_usage, "serverAuth");
    AddExtension(certificate.get(), ca_.Certificate(), NID_authority_key_identifier, "keyid:always");
    SignCertificate(certificate.get(), ca_.Key());
    auto leaf = std::make_shared<LeafCertificate>();
    leaf->host = host;
    leaf->pem = CertificatePem(certificate.get());
    leaf->certificate = std::move(certificate);
    EVP_PKEY_up_ref(key_.get());
    leaf->key.reset(key_.get());
    return leaf;
}

}  // namespace kiosk
