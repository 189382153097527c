#pragma once

#include <chrono>
#include <string>

#include "proxy/tls/openssl_handles.h"

namespace kiosk {

// The steps every certificate the proxy makes shares.

// A new EC key on the P-256 curve.
PkeyPtr NewP256Key();

// A fresh version 3 certificate for key: a random positive 159-bit serial, valid from a day before
// now for lifetime.
X509Ptr NewCertificate(EVP_PKEY* key, std::chrono::hours lifetime);

// Adds the extension nid, written as OpenSSL's configuration text (only fixed texts, never
// network input), with issuer as the issuing certificate (the certificate itself for a CA).
void AddExtension(X509* certificate, X509* issuer, int nid, const char* value);

// Signs certificate with the issuer's key (SHA-256).
void SignCertificate(X509* certificate, EVP_PKEY* issuerKey);

// The PEM text of a certificate. Keys are never turned into text: they live in memory only.
std::string CertificatePem(X509* certificate);

}  // namespace kiosk
