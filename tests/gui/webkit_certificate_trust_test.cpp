// The browser's trust in the proxy's leaves with real WebKit web contexts, on the process's own Xvfb
// display: a leaf is confirmed once the network side has it, and what a new context is told of is
// bounded by the proxy's leaf cache, one leaf per host.

#include "platform/linux/webkit_certificate_trust.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

#include <chrono>

#include "proxy/tls/leaf_certificates.h"
#include "proxy/tls/terminal_ca.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

class WebKitCertificateTrustTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ProcessDisplay();
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    }
    ~WebKitCertificateTrustTest() override {
        trust.Forget(visitor);
        g_object_unref(visitor);
    }

    // Allows leaf and runs the main loop until the browser confirms it (at most 15 s).
    bool AllowAndWait(const std::shared_ptr<const LeafCertificate>& leaf) {
        bool taken = false;
        trust.AllowCertificate(leaf, [&] { taken = true; });
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (!taken && std::chrono::steady_clock::now() < deadline) {
            if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
        }
        return taken;
    }

    const TerminalCa ca = TerminalCa::Create();
    LeafCertificates cache{ca, 2};
    WebKitCertificateTrust trust;
    WebKitWebContext* visitor = webkit_web_context_new_ephemeral();
};

TEST_F(WebKitCertificateTrustTest, ANewContextIsToldOnlyOfTheLeavesTheCacheHoldsOnePerHost) {
    trust.Serve(visitor);
    for (const char* host : {"a.example", "b.example", "c.example"})
        EXPECT_TRUE(AllowAndWait(cache.ForHost(host)));
    EXPECT_EQ(trust.Remembered(), 2u);  // a.example left the cache

    // Another leaf of a host (minted again after it left a cache) takes the place of the first.
    LeafCertificates otherCache(ca, 2);
    const auto again = otherCache.ForHost("b.example");
    EXPECT_TRUE(AllowAndWait(again));
    EXPECT_EQ(trust.Remembered(), 2u);

    // A leaf a connection still holds stays until it is let go.
    auto held = cache.ForHost("d.example");
    cache.ForHost("e.example");
    cache.ForHost("f.example");
    EXPECT_TRUE(AllowAndWait(held));
    EXPECT_EQ(trust.Remembered(), 2u);  // b.example (again) and d.example; c.example was let go
    held.reset();
    EXPECT_EQ(trust.Remembered(), 1u);  // b.example (again)
}

}  // namespace
}  // namespace kiosk::testing
