#include "proxy/tls/terminal_ca.h"

#include <fcntl.h>
#include <openssl/pem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "os/file_access.h"
#include "os/host_info.h"
#include "os/user_config_folder.h"
#include "proxy/tls/certificate_fields.h"

namespace kiosk {

namespace {

constexpr char kCertificateFile[] = "ca.crt";
constexpr char kKeyFile[] = "ca.key";
constexpr auto kCaLifetime = std::chrono::hours(24 * 3653);  // ten years
constexpr size_t kMostPemBytes = 64 * 1024;

struct TerminalCaParts {
    X509Ptr certificate;
    PkeyPtr key;
};

[[noreturn]] void ThrowFileFailure(const std::string& what, const std::string& path, int error) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(error));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
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

std::string ReadPem(const std::string& path) {
    std::string bytes;
    if (!ReadFileExcludingWriters(path, bytes)) throw std::runtime_error("Невозможно прочитать файл " + path);
    if (bytes.size() > kMostPemBytes) throw std::runtime_error("Слишком большой файл " + path);
    return bytes;
}

BioPtr MemoryBio(const std::string& bytes) {
    BioPtr bio(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
    if (!bio) ThrowOpenSslFailure("Нет памяти");
    return bio;
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

TerminalCaParts Create(const std::string& folder, const std::string& certificatePath,
                       const std::string& keyPath) {
    MakePrivateFolder(folder);
    PkeyPtr key = NewP256Key();
    X509Ptr certificate = MakeCaCertificate(key.get());
    WriteWholeFile(keyPath, PrivateKeyPem(key.get()), 0600);
    WriteWholeFile(certificatePath, CertificatePem(certificate.get()), 0644);
    return {std::move(certificate), std::move(key)};
}

TerminalCaParts Read(const std::string& certificatePath, const std::string& keyPath) {
    const std::string certificateText = ReadPem(certificatePath);
    const std::string keyText = ReadPem(keyPath);
    X509Ptr certificate(PEM_read_bio_X509(MemoryBio(certificateText).get(), nullptr, nullptr, nullptr));
    if (!certificate) ThrowOpenSslFailure("Повреждён сертификат " + certificatePath);
    PkeyPtr key(PEM_read_bio_PrivateKey(MemoryBio(keyText).get(), nullptr, nullptr, nullptr));
    if (!key) ThrowOpenSslFailure("Повреждён ключ " + keyPath);
    if (X509_check_ca(certificate.get()) != 1)
        throw std::runtime_error("Не сертификат центра: " + certificatePath);
    if (X509_check_private_key(certificate.get(), key.get()) != 1)
        ThrowOpenSslFailure("Ключ " + keyPath + " не подходит к сертификату " + certificatePath);
    return {std::move(certificate), std::move(key)};
}

}  // namespace

TerminalCa TerminalCa::OpenOrCreate(const std::string& folder) {
    const std::string certificatePath = folder + "/" + kCertificateFile;
    const std::string keyPath = folder + "/" + kKeyFile;
    auto [certificate, key] = Exists(certificatePath) || Exists(keyPath)
                                  ? Read(certificatePath, keyPath)
                                  : Create(folder, certificatePath, keyPath);
    return TerminalCa(std::move(certificate), std::move(key));
}

std::string DefaultCaFolder() {
    return UserConfigFolder() + "/ca";
}

}  // namespace kiosk
