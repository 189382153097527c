#pragma once

#include <gtest/gtest.h>
#include <openssl/x509.h>

namespace kiosk::testing {

// Whole days from a certificate's notBefore to its notAfter.
inline int DaysValid(const X509* certificate) {
    int days = 0;
    int seconds = 0;
    EXPECT_EQ(
        ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(certificate), X509_get0_notAfter(certificate)),
        1);
    return days;
}

}  // namespace kiosk::testing
