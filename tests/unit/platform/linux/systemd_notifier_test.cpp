#include "platform/linux/systemd_notifier.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "tests/support/datagram_receiver.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;

// Runs the main loop's events for duration.
void RunMainLoop(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
    }
}

class SystemdNotifierTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string path = (dir / "notify").string();
    testing::DatagramReceiver manager{path};
};

// The watchdog is fed by the main loop: while the loop does not run, nothing reaches the manager.
TEST_F(SystemdNotifierTest, ReadyThenWatchdogFromTheMainLoopOnlyWhileItRuns) {
    SystemdNotifier notifier(path, 100ms);
    RunMainLoop(150ms);
    EXPECT_EQ(manager.Receive(0ms), std::nullopt);  // nothing before start-up has finished
    notifier.Ready();
    EXPECT_EQ(manager.Receive(1s), "READY=1");
    EXPECT_EQ(manager.Receive(1s), "WATCHDOG=1");
    RunMainLoop(260ms);  // every 50 ms
    int fed = 0;
    while (manager.Receive(0ms)) ++fed;
    EXPECT_GE(fed, 3);
    std::this_thread::sleep_for(300ms);  // a blocked main thread
    EXPECT_EQ(manager.Receive(0ms), std::nullopt);
    notifier.Stopping();
    EXPECT_EQ(manager.Receive(1s), "STOPPING=1");
}

TEST_F(SystemdNotifierTest, TheEnvironmentNamesTheManagerAndIsThenCleared) {
    setenv("NOTIFY_SOCKET", path.c_str(), 1);
    setenv("WATCHDOG_USEC", "100000", 1);
    setenv("WATCHDOG_PID", std::to_string(getpid() + 1).c_str(), 1);  // another process is watched
    const auto notifier = SystemdNotifier::FromEnvironment();
    EXPECT_EQ(std::getenv("NOTIFY_SOCKET"), nullptr);
    EXPECT_EQ(std::getenv("WATCHDOG_USEC"), nullptr);
    EXPECT_EQ(std::getenv("WATCHDOG_PID"), nullptr);
    notifier->Ready();
    EXPECT_EQ(manager.Receive(1s), "READY=1");
    RunMainLoop(200ms);
    EXPECT_EQ(manager.Receive(0ms), std::nullopt);  // no watchdog for this process

    // Without a manager nothing is sent and nothing fails.
    const auto none = SystemdNotifier::FromEnvironment();
    EXPECT_NO_THROW(none->Ready());
    EXPECT_NO_THROW(none->Stopping());
}

}  // namespace
}  // namespace kiosk
