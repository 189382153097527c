#pragma once

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <string>

namespace kiosk {

// Owners of OpenSSL objects, each freed by its own function.
template <typename T, void (*Free)(T*)>
struct OpenSslDeleter {
    void operator()(T* object) const { Free(object); }
};
using X509Ptr = std::unique_ptr<X509, OpenSslDeleter<X509, X509_free>>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter<EVP_PKEY, EVP_PKEY_free>>;
using BioPtr = std::unique_ptr<BIO, OpenSslDeleter<BIO, BIO_free_all>>;
using BignumPtr = std::unique_ptr<BIGNUM, OpenSslDeleter<BIGNUM, BN_free>>;
using GeneralNamesPtr = std::unique_ptr<GENERAL_NAMES, OpenSslDeleter<GENERAL_NAMES, GENERAL_NAMES_free>>;

// Throws std::runtime_error: what failed, then the first error OpenSSL queued (the queue is emptied).
[[noreturn]] void ThrowOpenSslFailure(const std::string& what);

}  // namespace kiosk
