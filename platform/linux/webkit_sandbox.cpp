#include "platform/linux/webkit_sandbox.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <utility>

namespace kiosk {

namespace {

// Where WebKit looks for its helpers (fixed when it was built).
constexpr const char* kBubblewrap = "/usr/bin/bwrap";
constexpr const char* kDBusProxy = "/usr/bin/xdg-dbus-proxy";
constexpr auto kTrialTimeLimit = std::chrono::seconds(5);
constexpr size_t kLongestReason = 300;

// Both ends of a pipe, closed when it goes.
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0) ends[0] = ends[1] = -1;
    }
    ~Pipe() {
        for (int end : ends)
            if (end >= 0) ::close(end);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void CloseWriteEnd() {
        if (ends[1] >= 0) ::close(std::exchange(ends[1], -1));
    }
};

// The exit status of pid, waited for until deadline, woken by the process's end where the system hands
// out process descriptors and otherwise looking every millisecond; a child still running then is killed.
int WaitForExit(pid_t pid, std::chrono::steady_clock::time_point deadline) {
    const int descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        if (descriptor < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        pollfd ended{descriptor, POLLIN, 0};
        ::poll(&ended, 1, static_cast<int>(left.count()));
    }
    if (descriptor >= 0) ::close(descriptor);
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first line bubblewrap wrote to its error output, without its program name.
std::string FirstLine(int fd) {
    std::array<char, kLongestReason> buffer{};
    const ssize_t length = ::read(fd, buffer.data(), buffer.size());
    std::string text(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
    text = text.substr(0, text.find('\n'));
    if (text.starts_with("bwrap: ")) text.erase(0, 7);
    return text;
}

}  // namespace

// A trial run of bubblewrap as WebKit runs it, in new user, pid, network, IPC and host name namespaces
// with a process file system of its own. It starts with the sandbox object and is read when its
// answer is first needed, so that it runs while the rest of the program starts.
struct WebKitSandbox::Trial {
    pid_t pid = 0;
    Pipe errors;
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kTrialTimeLimit;
    std::string failure;  // why it could not even start

    Trial() {
        const char* const arguments[] = {kBubblewrap,
                                         "--unshare-user-try",
                                         "--unshare-pid",
                                         "--unshare-net",
                                         "--unshare-ipc",
                                         "--unshare-uts",
                                         "--ro-bind",
                                         "/",
                                         "/",
                                         "--proc",
                                         "/proc",
                                         "--dev",
                                         "/dev",
                                         "--",
                                         "/bin/true",
                                         nullptr};
        for (const char* helper : {kBubblewrap, kDBusProxy}) {
            if (::access(helper, X_OK) != 0) {
                failure = std::string("нет программы ") + helper;
                return;
            }
        }
        if (errors.ends[0] < 0) {
            failure = "нет канала для пробного запуска";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, errors.ends[1], STDERR_FILENO);
        const int spawned =
            ::posix_spawn(&pid, kBubblewrap, &actions, nullptr, const_cast<char* const*>(arguments), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid = 0;
            failure = "bwrap не запускается";
        }
        errors.CloseWriteEnd();
    }
    Trial(const Trial&) = delete;
    Trial& operator=(const Trial&) = delete;
    ~Trial() {
        if (pid > 0) WaitForExit(pid, std::chrono::steady_clock::now());
    }

    // Empty when bubblewrap ran, otherwise what it said.
    std::string Result() {
        if (pid <= 0) return failure;
        const int status = WaitForExit(std::exchange(pid, 0), deadline);
        if (status == 0) return {};
        const std::string said = FirstLine(errors.ends[0]);
        return said.empty() ? "bwrap завершился с кодом " + std::to_string(status) : said;
    }
};

namespace {

// Whether the sandboxed process a web process folder's bwrapinfo.json names still runs.
bool StillRuns(const std::filesystem::path& info) {
    std::ifstream file(info);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const size_t at = text.find("\"child-pid\":");
    if (at == std::string::npos) return false;
    const long pid = std::strtol(text.c_str() + at + 12, nullptr, 10);
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

WebKitSandbox::WebKitSandbox() : trial_(std::make_unique<Trial>()) {}

const std::string& WebKitSandbox::Problem() const {
    if (trial_) {
        const std::string problem = trial_->Result();
        trial_.reset();
        if (!problem.empty())
            problem_ =
                "Браузер работает без песочницы (bubblewrap, пространства имён пользователя): " + problem;
    }
    return problem_;
}

WebKitSandbox::~WebKitSandbox() {
    try {
        RemoveInstanceFolders(true);
    } catch (const std::exception&) {
        // A folder that cannot be read or removed stays.
    }
}

void WebKitSandbox::Apply(WebKitWebContext* context) const {
    if (!Problem().empty()) return;
    RemoveInstanceFolders(false);
    webkit_web_context_set_sandbox_enabled(context, TRUE);
}

void WebKitSandbox::RemoveInstanceFolders(bool all) const {
    if (!Problem().empty()) return;
    namespace fs = std::filesystem;
    const std::string ours = "webkit-" + std::to_string(::getpid()) + "-";
    const fs::path folder = fs::path(g_get_user_runtime_dir()) / ".flatpak";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (!entry.path().filename().string().starts_with(ours)) continue;
        if (all || !StillRuns(entry.path() / "bwrapinfo.json")) fs::remove_all(entry.path(), error);
    }
    if (all) fs::remove(folder, error);  // only when nothing else is left in it
}

}  // namespace kiosk
