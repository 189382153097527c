// The program under a service manager (systemd with Type=notify and a watchdog): it says when it is
// ready, keeps saying it is alive, and says when it stops.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/datagram_receiver.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/wait_until.h"

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

// The metrics file, read back through a real node_exporter's textfile collector as a monitoring
// server would; the last file of the run says the kiosk is down.
TEST_F(KioskService, WritesMetricsThatNodeExporterServes) {
    std::filesystem::create_directory(dir / "metrics");
    WriteFile(dir / "kiosk.cfg", RunningConfig() + "metrics\nmetrics/kiosk.prom\n");
    WriteFile(dir / "index.html", "<p>start</p>");
    StartNextToItsPages();
    ASSERT_TRUE(WaitForMessage(".log", "Начало работы"));
    const std::string file = (dir / "metrics" / "kiosk.prom").string();
    const auto shows = [&](const std::string& line) {
        return std::filesystem::exists(file) && ReadFile(file).find(line) != std::string::npos;
    };
    // Written at start-up, then every 10 s.
    ASSERT_TRUE(WaitUntil([&] { return shows("\nkiosk_documents_total 1\n"); }, 15s));
    const int port = FreePort();
    ChildProcess exporter(
        "/usr/bin/prometheus-node-exporter",
        {"--web.listen-address=127.0.0.1:" + std::to_string(port), "--collector.disable-defaults",
         "--collector.textfile", "--collector.textfile.directory=" + (dir / "metrics").string()},
        outputDir.str(), (outputDir / "exporter.txt").string());
    std::string served;
    ASSERT_TRUE(WaitUntil(
        [&] {
            try {
                served =
                    RunOnDisplay(display, "curl -sf http://127.0.0.1:" + std::to_string(port) + "/metrics");
            } catch (const std::exception&) {
                return false;
            }
            return served.find("kiosk_up 1") != std::string::npos;
        },
        10s))
        << served;
    EXPECT_NE(served.find("kiosk_documents_total 1"), std::string::npos);
    EXPECT_NE(served.find("kiosk_out_of_order 0"), std::string::npos);
    EXPECT_NE(served.find("\nnode_textfile_scrape_error 0\n"), std::string::npos) << served;
    EXPECT_EQ(Stop(), 0);
    EXPECT_TRUE(shows("\nkiosk_up 0\n"));
}

}  // namespace
}  // namespace kiosk::testing
