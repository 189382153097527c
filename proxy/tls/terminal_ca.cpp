#include "proxy/tls/terminal_ca.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "os/host_info.h"
#include "os/user_config_folder.h"
#include "proxy/tls/certificate_fields.h"

namespace kiosk {

namespace {

constexpr char kCertificateFile[] = "ca.crt";
// What earlier runs may have left: the key an earlier version kept beside the certificate, and the
// temporary files of an interrupted write.
constexpr const char* kEarlierFiles[] = {"ca.key", "ca.key.new", "ca.crt", "ca.crt.new"};
constexpr auto kCaLifetime = std::chrono::hours(24 * 3653);  // ten years: a run may last long

[[noreturn]] void ThrowFileFailure(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

// The folder and its parents; the folder itself only its owner may enter.
void MakePrivateFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        ThrowFileFailure("Невозможно создать папку", folder, errno);
    if (::chmod(folder.c_str(), 0700) != 0) ThrowFileFailure("Невозможно закрыть папку", folder, errno);
}

// Writes bytes as the file's whole content with mode, through a temporary file and a rename, so that
// a file is either whole or absent.
void WriteWholeFile(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0) ThrowFileFailure("Невозможно создать файл", temporary, errno);
    bool written = ::fchmod(fd, mode) == 0;
    for (size_t done = 0; written && done < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        written = count > 0;
        if (written) done += static_cast<size_t>(count);
    }
    const int error = errno;
    written = written && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        ThrowFileFailure("Невозможно записать файл", path, written ? errno : error);
    }
}

X509Ptr MakeCaCertificate(EVP_PKEY* key) {
    X509Ptr certificate = NewCertificate(key, kCaLifetime);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    const std::string commonName = "Kiosk Shell terminal CA " + LocalHostName();
    if (X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>("Kiosk Shell"), -1, -1, 0) != 1 ||
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(commonName.substr(0, 64).c_str()),
                                   -1, -1, 0) != 1 ||
        X509_set_issuer_name(certificate.get(), name) != 1)
        ThrowOpenSslFailure("Невозможно заполнить сертификат центра");
    AddExtension(certificate.get(), certificate.get(), NID_basic_constraints, "critical,CA:TRUE,pathlen:0");
    AddExtension(certificate.get(), certificate.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(certificate.get(), certificate.get(), NID_subject_key_identifier, "hash");
    SignCertificate(certificate.get(), key);
    return certificate;
}

}  // namespace

TerminalCa TerminalCa::Create() {
    PkeyPtr key = NewP256Key();
    X509Ptr certificate = MakeCaCertificate(key.get());
    return TerminalCa(std::move(certificate), std::move(key));
}

void TerminalCa::WriteCertificate(const std::string& folder) const {
    MakePrivateFolder(folder);
    WriteWholeFile(folder + "/" + kCertificateFile, CertificatePem(certificate_.get()), 0644);
}

std::string RemoveEarlierCaFiles(const std::string& folder) {
    std::string failures;
    for (const char* name : kEarlierFiles) {
        const std::string path = folder + "/" + name;
        if (::unlink(path.c_str()) == 0) continue;
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) continue;
        if (!failures.empty()) failures += "; ";
        failures += "Невозможно удалить файл " + path + ": " + std::strerror(error);
    }
    return failures;
}

std::string DefaultCaFolder() {
    return UserConfigFolder() + "/ca";
}

}  // namespace kiosk
