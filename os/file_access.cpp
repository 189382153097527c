#include "os/file_access.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace kiosk {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool ReadAll(int fd, std::string& bytes) {
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(count));
    }
}

// Another run of the program, or a log shipper, may hold a file for a moment: a lock is tried again
// for a while before it counts as refused.
constexpr auto kLockPatience = std::chrono::milliseconds(2000);
constexpr auto kLockRetry = std::chrono::milliseconds(20);

bool LockPatiently(int fd, int operation) {
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(kLockRetry);
    }
}

[[noreturn]] void ThrowOpenFailure(const std::string& path, int error) {
    throw std::runtime_error("Невозможно открыть файл " + path + ": " + std::strerror(error));
}

}  // namespace

FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; only regular files are read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) return FileReadStatus::CannotOpen;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return FileReadStatus::CannotOpen;
    if (!LockPatiently(file.get(), LOCK_SH)) return FileReadStatus::CannotOpen;
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    return ReadAll(file.get(), bytes) ? FileReadStatus::Ok : FileReadStatus::ReadFailed;
}

bool ReadFileExcludingWriters(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes) == FileReadStatus::Ok;
}

ExclusiveFile::ExclusiveFile(const std::string& path, Mode mode) {
    const int flags =
        O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK | (mode == Mode::CreateEmpty ? O_CREAT : 0);
    FileDescriptor file(::open(path.c_str(), flags, 0644));
    if (file.get() < 0) ThrowOpenFailure(path, errno);
    if (!LockPatiently(file.get(), LOCK_EX)) ThrowOpenFailure(path, errno);
    if (mode == Mode::CreateEmpty && ::ftruncate(file.get(), 0) != 0) {
        struct stat info {};
        // Devices and pipes cannot be truncated and are empty enough; real files must be.
        if (::fstat(file.get(), &info) != 0 || S_ISREG(info.st_mode)) ThrowOpenFailure(path, errno);
    }
    const int current = ::fcntl(file.get(), F_GETFL);
    if (current >= 0) ::fcntl(file.get(), F_SETFL, current & ~O_NONBLOCK);
    handle_ = file.release();
}

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

ExclusiveFile::~ExclusiveFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool ExclusiveFile::Append(std::string_view bytes) noexcept {
    const int fd = static_cast<int>(handle_);
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(count));
    }
    return true;
}

}  // namespace kiosk
