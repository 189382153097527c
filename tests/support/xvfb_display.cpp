#include "tests/support/xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace kiosk::testing {

namespace {

// Reads the display number Xvfb writes to its -displayfd once it accepts connections.
std::string ReadDisplayNumber(int fd) {
    std::string number;
    pollfd wait{fd, POLLIN, 0};
    char c;
    while (poll(&wait, 1, 20000) == 1 && read(fd, &c, 1) == 1 && c != '\n') number += c;
    return number;
}

}  // namespace

XvfbDisplay::XvfbDisplay(int width, int height, int dotsPerInch) : width_(width), height_(height) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string dpi = std::to_string(dotsPerInch);
    const char* argv[] = {"Xvfb",      "-displayfd", "3",   "-screen",    "0",     screen.c_str(), "-dpi",
                          dpi.c_str(), "-nolisten",  "tcp", "+extension", "XTEST", "-noreset",     nullptr};
    const int error = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (error != 0) {
        close(pipeFds[0]);
        throw std::runtime_error("cannot start Xvfb");
    }
    const std::string number = ReadDisplayNumber(pipeFds[0]);
    close(pipeFds[0]);
    if (number.empty()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("Xvfb did not start");
    }
    name_ = ":" + number;
}

XvfbDisplay::~XvfbDisplay() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

const XvfbDisplay& ProcessDisplay() {
    static const auto display = [] {
        auto started = std::make_unique<XvfbDisplay>();
        setenv("DISPLAY", started->Name().c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        return started;
    }();
    return *display;
}

std::string RunOnDisplay(const XvfbDisplay& display, const std::string& command) {
    const std::string line = "DISPLAY=" + display.Name() + " " + command;
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    const int status = pclose(pipe);
    if (status != 0) throw std::runtime_error("failed (" + std::to_string(status) + "): " + command);
    return output;
}

}  // namespace kiosk::testing
