#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {

// The messages of every daily log file of one kind (".log", ".err") in dir, without their times,
// oldest file first.
std::vector<std::string> LogMessages(const std::filesystem::path& dir, const std::string& extension);

// Today's daily file name of one kind: dd.mm.yyyy + extension.
std::string TodaysLogName(const std::string& extension);

// The user's proxy setting file of a new user once the program has pointed it at itself and shutdown
// has put it back.
inline constexpr const char* kNewUsersProxySetting =
    "[Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\n"
    "ProxyEnable=dword:0\nProxyServer=sz:\nSyncMode5=dword:4\n";

// The built program run by a test as an operator would run it: in a directory of its own (dir), with
// the user's settings in another (config) and the user's home and data folders in a third (home), so
// that a test never touches the real user's.
// A field of /proc/PID/status ("Seccomp", "PPid", ...) without its name; empty when there is none.
std::string ProcessStatusField(pid_t pid, const std::string& name);

// The browser's web processes among the descendants of ancestor (in the sandbox, bubblewrap's
// processes stand between them).
std::vector<pid_t> WebProcessesBelow(pid_t ancestor);

class KioskRun : public ::testing::Test {
protected:
    KioskRun();
    // On a screen of width x height.
    KioskRun(int width, int height);

    // Starts program (the built kiosk unless given) in dir.
    void Start(const std::string& program = KIOSK_BINARY);
    // Starts a copy of the built kiosk placed in dir, as on a terminal, so that its local pages are
    // found next to it.
    void StartNextToItsPages();
    // A screenshot of the program's screen, saved under name in outputDir; returns its path.
    std::string Shot(const std::string& name);
    // Takes screenshots under name until one shows what shows looks for, at most limit long;
    // returns the last one's path either way, for the test's own checks.
    std::string ShotShowing(const std::string& name, const std::function<bool(const std::string&)>& shows,
                            std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Takes screenshots under name until one is the same as the one before it (nothing on the
    // screen moves any more), at most limit long; returns the last one's path.
    std::string StillShot(const std::string& name,
                          std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Waits up to 20 s until the information or error log holds message.
    bool WaitForMessage(const std::string& extension, const std::string& message);
    // Whether the program has not ended yet.
    bool IsRunning() { return !child->WaitForExit(std::chrono::milliseconds(0)).has_value(); }
    // Sends signal and waits up to 20 s for the exit status; a program that does not end fails the
    // test with what its threads wait in and its output.
    std::optional<int> Stop(int signal = SIGTERM);
    std::string StuckThreads() const;
    std::string Output() const { return (outputDir / "output.txt").string(); }
    // A configuration that runs: a start page and the proxy on a free port (proxyPort).
    std::string RunningConfig() const;
    // Starts the built kiosk with RunningConfig() followed by extraConfig, and waits until it has
    // started: its proxy listens by then.
    void StartWith(const std::string& extraConfig);

    XvfbDisplay display;  // the program's screen, 1280 x 1024
    TempDir dir;
    TempDir outputDir;  // kept apart, so that dir holds only what the program writes
    TempDir config;
    TempDir home;  // HOME and the other XDG folders of the program's user
    std::unique_ptr<ChildProcess> child;
    // More NAME=value variables for the program, set before Start.
    std::vector<std::string> extraEnvironment;
    // A program with its arguments that starts the kiosk, whose path it gets as its last argument
    // (to run it in namespaces of its own, for example); empty: the kiosk is started itself.
    std::vector<std::string> launcher;
    int proxyPort;
};

}  // namespace kiosk::testing
