#include "proxy/tls/terminal_ca.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "proxy/tls/certificate_fields.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/proxy/tls/certificate_days.h"

namespace kiosk {
namespace {

using testing::DaysValid;

unsigned Mode(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class TerminalCaTest : public ::testing::Test {
protected:
    std::string Folder() const { return (dir / "config" / "kiosk-shell" / "ca").string(); }
    testing::TempDir dir;
};

TEST_F(TerminalCaTest, TheFirstStartMakesAPrivateP256CaForTenYears) {
    const TerminalCa ca = TerminalCa::OpenOrCreate(Folder());
    EXPECT_EQ(Mode(Folder()), 0700u);
    EXPECT_EQ(Mode(Folder() + "/ca.key"), 0600u);
    EXPECT_TRUE(std::filesystem::is_regular_file(Folder() + "/ca.crt"));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/ca.key.new"));

    X509* certificate = ca.Certificate();
    EXPECT_EQ(X509_check_ca(certificate), 1);
    EXPECT_EQ(X509_get_extension_flags(certificate) & EXFLAG_CRITICAL, 0u);  // no unknown critical ones
    EXPECT_EQ(X509_get_pathlen(certificate), 0);
    EXPECT_TRUE(X509_get_key_usage(certificate) & KU_KEY_CERT_SIGN);
    EXPECT_EQ(X509_check_issued(certificate, certificate), X509_V_OK);  // self-signed
    EXPECT_EQ(X509_verify(certificate, ca.Key()), 1);
    EXPECT_TRUE(EVP_PKEY_is_a(ca.Key(), "EC"));
    char curve[32] = {};
    EVP_PKEY_get_utf8_string_param(ca.Key(), "group", curve, sizeof curve, nullptr);
    EXPECT_STREQ(curve, "prime256v1");
    EXPECT_GE(DaysValid(certificate), 3652);
    EXPECT_LE(DaysValid(certificate), 3653);
}

TEST_F(TerminalCaTest, LaterStartsReuseTheSameCa) {
    const std::string first = CertificatePem(TerminalCa::OpenOrCreate(Folder()).Certificate());
    const TerminalCa again = TerminalCa::OpenOrCreate(Folder());
    EXPECT_EQ(CertificatePem(again.Certificate()), first);
    EXPECT_EQ(X509_check_private_key(again.Certificate(), again.Key()), 1);
}

TEST_F(TerminalCaTest, ADamagedOrHalfCaIsAnErrorAndNothingIsOverwritten) {
    const std::string key = PrivateKeyPem(TerminalCa::OpenOrCreate(Folder()).Key());

    testing::WriteFile(Folder() + "/ca.crt", "-----BEGIN CERTIFICATE-----\ngarbage\n");
    EXPECT_THROW(TerminalCa::OpenOrCreate(Folder()), std::runtime_error);
    EXPECT_EQ(testing::ReadFile(Folder() + "/ca.key"), key);

    std::filesystem::remove(Folder() + "/ca.crt");
    EXPECT_THROW(TerminalCa::OpenOrCreate(Folder()), std::runtime_error);  // the key alone
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/ca.crt"));
}

TEST_F(TerminalCaTest, AKeyOfAnotherCaIsRefused) {
    const std::string other = (dir / "other").string();
    TerminalCa::OpenOrCreate(Folder());
    TerminalCa::OpenOrCreate(other);
    std::filesystem::copy_file(other + "/ca.key", Folder() + "/ca.key",
                               std::filesystem::copy_options::overwrite_existing);
    try {
        TerminalCa::OpenOrCreate(Folder());
        ADD_FAILURE() << "a foreign key was taken";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("не подходит"), std::string::npos) << failure.what();
        EXPECT_EQ(std::string(failure.what()).find("PRIVATE KEY"), std::string::npos);  // no key text in it
    }
}

TEST_F(TerminalCaTest, AFolderThatCannotBeMadeIsAnError) {
    testing::WriteFile(dir / "file", "");
    EXPECT_THROW(TerminalCa::OpenOrCreate((dir / "file" / "ca").string()), std::runtime_error);
}

}  // namespace
}  // namespace kiosk
