// The program under a service manager (systemd with Type=notify and a watchdog): it says when it is
// ready, keeps saying it is alive, and says when it stops.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/datagram_receiver.h"
#include "tests/support/kiosk_run.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

class KioskService : public KioskRun {};

TEST_F(KioskService, TellsTheManagerItIsReadyOnceTheStartPageIsAskedForThenFeedsTheWatchdog) {
    const std::string socket = (outputDir / "notify").string();
    DatagramReceiver manager(socket);
    extraEnvironment = {"NOTIFY_SOCKET=" + socket, "WATCHDOG_USEC=1000000"};
    WriteFile(dir / "kiosk.cfg", RunningConfig());
    WriteFile(dir / "index.html", "<p>start</p>");
    StartNextToItsPages();
    ASSERT_TRUE(manager.WaitFor("READY=1", 20s));
    const auto messages = LogMessages(dir.path(), ".log");
    EXPECT_NE(std::ranges::find(messages, "Начало работы"), messages.end());
    for (int fed = 0; fed < 3; ++fed) EXPECT_EQ(manager.Receive(2s), "WATCHDOG=1");
    EXPECT_EQ(Stop(), 0);
    EXPECT_TRUE(manager.WaitFor("STOPPING=1", 1s));
}

}  // namespace
}  // namespace kiosk::testing
