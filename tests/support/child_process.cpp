#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace kiosk::testing {

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged(overrides);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string current(*entry);
        const std::string name = current.substr(0, current.find('=') + 1);
        bool replaced = false;
        for (const auto& override : overrides) replaced = replaced || override.starts_with(name);
        if (!replaced) merged.push_back(current);
    }
    return merged;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingDirectory, const std::string& outputFile,
                           const std::vector<std::string>& environment, const std::string& errorFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (errorFile.empty()) {
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    std::vector<std::string> variables = MergedEnvironment(environment);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    const int error = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) throw std::runtime_error("cannot start " + program);
}

ChildProcess::~ChildProcess() {
    if (status_ || pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

void ChildProcess::Signal(int signal) const {
    if (!status_) ::kill(pid_, signal);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (status_) return status_;
    WaitUntil(
        [&] {
            int raw = 0;
            const pid_t done = ::waitpid(pid_, &raw, WNOHANG);
            if (done == pid_) status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1000 - WTERMSIG(raw);
            return status_.has_value();
        },
        timeout);
    return status_;
}

}  // namespace kiosk::testing
