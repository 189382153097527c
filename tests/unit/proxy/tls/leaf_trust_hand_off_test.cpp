#include "proxy/tls/leaf_trust_hand_off.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "tests/support/fake_ui.h"
#include "tests/support/wait_until.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;

// The browser's side: records each allowance and confirms it when the test says so.
// Like the real one, it keeps no strong hold on a leaf.
struct RecordingTrust : BrowserCertificateTrust {
    void AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                          std::function<void()> taken) override {
        hosts.push_back(leaf->host);
        if (confirmAtOnce) return taken();
        confirmations.push_back(std::move(taken));
    }
    void ConfirmAll() {
        for (auto& taken : confirmations) taken();
        confirmations.clear();
    }
    std::vector<std::string> hosts;
    std::vector<std::function<void()>> confirmations;
    bool confirmAtOnce = false;
};

class LeafTrustHandOffTest : public ::testing::Test {
protected:
    LeafTrustHandOffTest() { ui.queueCalls = true; }
    // Trust on a connection's thread, as the proxy calls it.
    std::future<bool> TrustLater(
        const std::string& host, std::function<bool()> givenUp = [] { return false; }) {
        const auto leaf = leaves.ForHost(host);
        return std::async(std::launch::async, [this, leaf, givenUp] { return handOff.Trust(leaf, givenUp); });
    }
    // Runs the main thread's queue until the calls queued by other threads have run.
    void RunMainThreadFor(std::chrono::milliseconds time) {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            ui.RunQueued();
            std::this_thread::sleep_for(5ms);
        }
    }

    TerminalCa ca = TerminalCa::Create();
    LeafCertificates leaves{ca};
    testing::EventRecord record;
    testing::FakeUi ui{record};
    RecordingTrust browser;
    LeafTrustHandOff handOff{ui, browser};
};

TEST_F(LeafTrustHandOffTest, TheWaitEndsOnlyWhenTheBrowserHasTakenTheLeafAndEachLeafIsHandedOnce) {
    auto first = TrustLater("example.org");
    auto second = TrustLater("example.org");
    RunMainThreadFor(100ms);
    EXPECT_EQ(browser.hosts, std::vector<std::string>{"example.org"});
    EXPECT_EQ(first.wait_for(50ms), std::future_status::timeout);  // handed over, not yet taken
    browser.ConfirmAll();
    EXPECT_TRUE(first.get());
    EXPECT_TRUE(second.get());
    // Taken once: later connections to the host do not wait at all.
    EXPECT_TRUE(handOff.Trust(leaves.ForHost("example.org"), [] { return false; }));
    EXPECT_EQ(browser.hosts.size(), 1u);
}

TEST_F(LeafTrustHandOffTest, AnAbortedConnectionAndAClosedHandOffStopWaiting) {
    std::atomic<bool> aborted{false};
    auto waiting = TrustLater("example.org", [&] { return aborted.load(); });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);  // nothing runs the main thread
    aborted = true;
    EXPECT_EQ(waiting.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(waiting.get());

    auto other = TrustLater("other.example");
    EXPECT_EQ(other.wait_for(100ms), std::future_status::timeout);
    handOff.Close();
    EXPECT_FALSE(other.get());
    ui.RunQueued();  // the registrations still queued find nothing to do
    EXPECT_TRUE(browser.hosts.empty());
}

TEST_F(LeafTrustHandOffTest, ItRemembersOnlyTheLeavesTheCacheStillHolds) {
    ui.queueCalls = false;
    browser.confirmAtOnce = true;
    LeafCertificates cache(ca, 3);
    const auto Trust = [&](const std::string& host) {
        return handOff.Trust(cache.ForHost(host), [] { return false; });
    };
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(Trust("host" + std::to_string(i) + ".example"));
    EXPECT_LE(handOff.Remembered(), 3u);
    EXPECT_EQ(browser.hosts.size(), 50u);
    EXPECT_TRUE(Trust("host49.example"));  // still cached: no new leaf, nothing handed again
    EXPECT_EQ(browser.hosts.size(), 50u);
    EXPECT_TRUE(Trust("host0.example"));  // gone from the cache: a new leaf, handed once
    EXPECT_EQ(browser.hosts.size(), 51u);
    EXPECT_LE(handOff.Remembered(), 3u);
}

}  // namespace
}  // namespace kiosk
