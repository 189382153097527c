#include "proxy/tls/terminal_ca.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

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
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    testing::TempDir dir;
};

TEST_F(TerminalCaTest, EveryRunMakesANewP256CaInMemory) {
    const TerminalCa ca = TerminalCa::Create();
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
    EXPECT_NE(CertificatePem(TerminalCa::Create().Certificate()), CertificatePem(certificate));
}

TEST_F(TerminalCaTest, OnlyTheCertificateIsWrittenInPlaceOfAnEarlierOne) {
    std::filesystem::create_directories(Folder());
    testing::WriteFile(Folder() + "/ca.crt", "an earlier run's certificate");
    const TerminalCa ca = TerminalCa::Create();
    ca.WriteCertificate(Folder());
    EXPECT_EQ(Mode(Folder()), 0700u);
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"ca.crt"});
    const std::string written = testing::ReadFile(Folder() + "/ca.crt");
    EXPECT_EQ(written, CertificatePem(ca.Certificate()));
    EXPECT_EQ(written.find("PRIVATE"), std::string::npos);
}

TEST_F(TerminalCaTest, EarlierFilesAreRemovedAndOthersKept) {
    std::filesystem::create_directories(Folder());
    for (const char* name : {"ca.key", "ca.key.new", "ca.crt", "ca.crt.new", "notes.txt"})
        testing::WriteFile(Folder() + "/" + name, "x");
    EXPECT_EQ(RemoveEarlierCaFiles(Folder()), "");
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(RemoveEarlierCaFiles(Folder()), "");                   // nothing left to remove
    EXPECT_EQ(RemoveEarlierCaFiles((dir / "absent").string()), "");  // no folder at all
    std::filesystem::create_directories(Folder() + "/ca.key");       // not removable as a file
    EXPECT_NE(RemoveEarlierCaFiles(Folder()).find("ca.key"), std::string::npos);
}

TEST_F(TerminalCaTest, AFolderThatCannotBeMadeIsAnError) {
    testing::WriteFile(dir / "file", "");
    EXPECT_THROW(TerminalCa::Create().WriteCertificate((dir / "file" / "ca").string()), std::runtime_error);
}

}  // namespace
}  // namespace kiosk
