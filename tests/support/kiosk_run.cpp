#include "tests/support/kiosk_run.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>

#include "tests/support/loopback_peers.h"
#include "tests/support/screen.h"
#include "text/cp1251.h"
#include "text/text_lines.h"

namespace kiosk::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::vector<std::string> LogMessages(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == extension && entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> messages;
    for (const auto& file : files) {
        for (const std::string& line : SplitTextLines(Cp1251ToUtf8(ReadFile(file)))) {
            EXPECT_EQ(line.substr(0, 1), "[");
            messages.push_back(line.substr(line.find("] ") + 2));
        }
    }
    return messages;
}

std::string ProcessStatusField(pid_t pid, const std::string& name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(name + ":")) return line.substr(line.find_first_not_of(" \t", name.size() + 1));
    return {};
}

std::vector<pid_t> WebProcessesBelow(pid_t ancestor) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = std::stoi(name);
        if (ProcessStatusField(pid, "Name") != "WebKitWebProces") continue;  // the kernel keeps 15 characters
        for (pid_t parent = pid; parent > 1; parent = std::stoi("0" + ProcessStatusField(parent, "PPid"))) {
            if (parent == ancestor) {
                found.push_back(pid);
                break;
            }
        }
    }
    return found;
}

std::string TodaysLogName(const std::string& extension) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "%d.%m.%Y", &local);
    return name + extension;
}

KioskRun::KioskRun() : proxyPort(FreePort()) {}

KioskRun::KioskRun(int width, int height) : display(width, height), proxyPort(FreePort()) {}

std::string KioskRun::RunningConfig() const {
    return "[options]\nstart\nindex.html\ninternal\n" + std::to_string(proxyPort) + "\n";
}

void KioskRun::StartWith(const std::string& extraConfig) {
    WriteFile(dir / "kiosk.cfg", RunningConfig() + extraConfig);
    Start();
    // (No test connection to see whether the proxy listens: one that closes without a request is
    // logged as a failure.)
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
}

void KioskRun::Start(const std::string& program) {
    std::vector<std::string> environment{"XDG_CONFIG_HOME=" + config.str(),
                                         "HOME=" + home.str(),
                                         "XDG_CACHE_HOME=" + (home / ".cache").string(),
                                         "XDG_DATA_HOME=" + (home / ".local" / "share").string(),
                                         "XDG_STATE_HOME=" + (home / ".local" / "state").string(),
                                         display.Environment()};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    if (launcher.empty()) {
        child = std::make_unique<ChildProcess>(program, std::vector<std::string>{}, dir.str(), Output(),
                                               environment);
        return;
    }
    std::vector<std::string> arguments(launcher.begin() + 1, launcher.end());
    arguments.push_back(program);
    child = std::make_unique<ChildProcess>(launcher.front(), arguments, dir.str(), Output(), environment);
}

void KioskRun::StartNextToItsPages() {
    fs::copy_file(KIOSK_BINARY, dir / "kiosk");
    Start((dir / "kiosk").string());
}

std::string KioskRun::Shot(const std::string& name) {
    const std::string path = (outputDir / name).string();
    SaveScreenshot(display, path);
    return path;
}

std::string KioskRun::ShotShowing(const std::string& name,
                                  const std::function<bool(const std::string&)>& shows,
                                  std::chrono::milliseconds limit) {
    std::string shot;
    WaitUntil(
        [&] {
            shot = Shot(name);
            return shows(shot);
        },
        limit);
    return shot;
}

std::string KioskRun::StillShot(const std::string& name, std::chrono::milliseconds limit) {
    std::string previous = Shot("previous-" + name);
    return ShotShowing(
        name,
        [&](const std::string& shot) {
            if (CountDifferentPixels(previous, shot) == 0) return true;
            std::filesystem::copy_file(shot, previous, std::filesystem::copy_options::overwrite_existing);
            return false;
        },
        limit);
}

bool KioskRun::WaitForMessage(const std::string& extension, const std::string& message) {
    return WaitUntil(
        [&] {
            const auto messages = LogMessages(dir.path(), extension);
            return std::find(messages.begin(), messages.end(), message) != messages.end();
        },
        20s);
}

std::optional<int> KioskRun::Stop(int signal) {
    child->Signal(signal);
    const std::optional<int> status = child->WaitForExit(20s);
    if (!status)
        ADD_FAILURE() << "the program did not end within 20 s:\n" << StuckThreads() << ReadFile(Output());
    return status;
}

// What each thread of the program waits in, and its name, for a program that does not end.
std::string KioskRun::StuckThreads() const {
    std::string report;
    const fs::path tasks = "/proc/" + std::to_string(child->Pid()) + "/task";
    std::error_code error;
    for (const auto& task : fs::directory_iterator(tasks, error)) {
        std::string name = ReadFile(task.path() / "comm");
        if (!name.empty() && name.back() == '\n') name.pop_back();
        report += task.path().filename().string() + " " + name + " " + ReadFile(task.path() / "wchan") + "\n";
    }
    return report;
}

}  // namespace kiosk::testing
