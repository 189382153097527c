#include "tests/support/test_ca.h"

#include <arpa/inet.h>

#include <filesystem>
#include <stdexcept>

#include "tests/support/child_process.h"

namespace kiosk::testing {

namespace {

using namespace std::chrono_literals;

// The CA's settings for "openssl ca". Every path is relative: openssl runs in the CA's directory, so
// that nothing in the directory's name can reach the configuration's syntax.
constexpr const char* kCaConfig = R"([ ca ]
default_ca = test_ca

[ test_ca ]
database = index.txt
new_certs_dir = issued
serial = serial
default_md = sha256
policy = any_name
unique_subject = no
copy_extensions = none
email_in_dn = no

[ any_name ]
commonName = supplied

[ req ]
distinguished_name = subject

[ subject ]

[ ca_certificate ]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
)";

// The arguments that make a new EC P-256 key and a certificate request (or, with -x509 added, a
// self-signed certificate) for subject.
std::vector<std::string> NewKeyArguments(const std::string& config, const std::string& keyFile,
                                         const std::string& subject) {
    return {"req",    "-config", config,  "-new",  "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
            "-noenc", "-keyout", keyFile, "-subj", subject};
}

void RunOpenssl(const TempDir& dir, const std::vector<std::string>& arguments) {
    const std::string output = (dir / "openssl.out").string();
    ChildProcess openssl("/usr/bin/openssl", arguments, dir.str(), output);
    const std::optional<int> status = openssl.WaitForExit(30s);
    if (status == 0) return;
    std::string command = "openssl";
    for (const auto& argument : arguments) command += " " + argument;
    throw std::runtime_error(command + (status ? " failed with status " + std::to_string(*status) : " hung") +
                             ":\n" + ReadFile(output));
}

bool IsIpAddress(const std::string& host) {
    unsigned char address[16];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

bool IsDnsName(const std::string& host) {
    if (host.empty()) return false;
    for (const char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '-' || c == '_' || c == '*';
        if (!allowed) return false;
    }
    return true;
}

// The extensions of a server certificate for hosts, in section "server".
std::string ServerConfig(const std::vector<std::string>& hosts) {
    if (hosts.empty()) throw std::invalid_argument("a server certificate needs at least one host");
    std::string names;
    for (const auto& host : hosts) {
        if (!names.empty()) names += ", ";
        if (IsIpAddress(host)) {
            names += "IP:" + host;
        } else if (IsDnsName(host)) {
            names += "DNS:" + host;
        } else {
            throw std::invalid_argument("not a host name or address for a certificate: '" + host + "'");
        }
    }
    return "[ req ]\ndistinguished_name = subject\n\n[ subject ]\n\n[ server ]\n"
           "basicConstraints = critical, CA:FALSE\n"
           "keyUsage = critical, digitalSignature\n"
           "extendedKeyUsage = serverAuth\n"
           "subjectKeyIdentifier = hash\n"
           "authorityKeyIdentifier = keyid\n"
           "subjectAltName = " +
           names + "\n";
}

}  // namespace

TestCa::TestCa() {
    WriteFile(dir_ / "ca.cnf", kCaConfig);
    WriteFile(dir_ / "index.txt", "");
    std::filesystem::create_directory(dir_ / "issued");
    // The directory's random name keeps the subjects of two CAs of one test apart. The CA is valid
    // from before the expired certificates it signs, so that their only fault is their age.
    const std::string subject = "/CN=Kiosk test CA " + dir_.path().filename().string();
    auto request = NewKeyArguments("ca.cnf", "ca.key", subject);
    request.insert(request.end(), {"-out", "ca.csr"});
    RunOpenssl(dir_, request);
    RunOpenssl(dir_, {"ca", "-config", "ca.cnf", "-batch", "-selfsign", "-keyfile", "ca.key", "-in", "ca.csr",
                      "-out", "ca.pem", "-notext", "-rand_serial", "-startdate", "20190101000000Z", "-days",
                      "3650", "-extensions", "ca_certificate"});
}

ServerCertificate TestCa::Issue(const std::vector<std::string>& hosts, IssueKind kind) {
    const std::string name = "server-" + std::to_string(++issued_);
    const std::string config = name + ".cnf", keyFile = name + ".key", certFile = name + ".pem";
    WriteFile(dir_ / config, ServerConfig(hosts));
    const std::string subject = "/CN=kiosk test server " + std::to_string(issued_);

    auto request = NewKeyArguments(config, keyFile, subject);
    if (kind == IssueKind::SelfSigned) {
        request.insert(request.end(), {"-x509", "-days", "30", "-extensions", "server", "-out", certFile});
        RunOpenssl(dir_, request);
    } else {
        request.insert(request.end(), {"-out", name + ".csr"});
        RunOpenssl(dir_, request);
        std::vector<std::string> sign{"ca",     "-config",     "ca.cnf",  "-batch",       "-cert",
                                      "ca.pem", "-keyfile",    "ca.key",  "-in",          name + ".csr",
                                      "-out",   certFile,      "-notext", "-rand_serial", "-extfile",
                                      config,   "-extensions", "server"};
        if (kind == IssueKind::Expired) {
            sign.insert(sign.end(), {"-startdate", "20200101000000Z", "-enddate", "20200201000000Z"});
        } else {
            sign.insert(sign.end(), {"-days", "30"});
        }
        RunOpenssl(dir_, sign);
    }
    return {(dir_ / certFile).string(), (dir_ / keyFile).string()};
}

}  // namespace kiosk::testing
