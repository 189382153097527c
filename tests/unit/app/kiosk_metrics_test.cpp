#include "app/kiosk_metrics.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/metrics_file.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

TEST(KioskMetricsTest, TheTextHasEveryFamilyWithItsTypeAndTheRequestsByMethod) {
    KioskMetrics metrics;
    metrics.documents = 5;
    metrics.homes = 2;
    metrics.CountProxyRequest("GET");
    metrics.CountProxyRequest("GET");
    metrics.CountProxyRequest("CONNECT");
    metrics.CountProxyRequest("ODD\"\\");  // a method is the browser's text: escaped as a label value
    const std::string text = PrometheusText(metrics, {.up = true,
                                                      .startTime = 1796800000,
                                                      .outOfOrder = false,
                                                      .documentsRewritten = 3,
                                                      .scriptFailures = 1,
                                                      .errorEntries = 4,
                                                      .mailQueueLength = 7});
    for (const char* line :
         {"# TYPE kiosk_up gauge\nkiosk_up 1\n", "kiosk_start_time_seconds 1796800000\n",
          "kiosk_out_of_order 0\n", "# TYPE kiosk_documents_total counter\nkiosk_documents_total 5\n",
          "kiosk_navigation_errors_total 0\n", "kiosk_home_total 2\n", "kiosk_idle_returns_total 0\n",
          "kiosk_proxy_requests_total{method=\"CONNECT\"} 1\n",
          "kiosk_proxy_requests_total{method=\"GET\"} 2\n",
          "kiosk_proxy_requests_total{method=\"ODD\\\"\\\\\"} 1\n", "kiosk_proxy_errors_total 0\n",
          "kiosk_documents_rewritten_total 3\n", "kiosk_script_failures_total 1\n",
          "kiosk_error_entries_total 4\n", "kiosk_mail_sent_total 0\n", "kiosk_mail_failed_total 0\n",
          "# TYPE kiosk_mail_queue_length gauge\nkiosk_mail_queue_length 7\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_NE(PrometheusText(metrics, {.up = false}).find("kiosk_up 0\n"), std::string::npos);
}

TEST(KioskMetricsTest, TheFileIsReplacedWholeAndAFailureIsToldWithoutLeavingATemporaryFile) {
    testing::TempDir dir;
    const std::string path = (dir / "kiosk.prom").string();
    EXPECT_EQ(ReplaceFileAtomically(path, "first\n"), "");
    EXPECT_EQ(ReplaceFileAtomically(path, "second\n"), "");
    EXPECT_EQ(testing::ReadFile(path), "second\n");
    const std::string missing = (dir / "no folder" / "kiosk.prom").string();
    EXPECT_EQ(ReplaceFileAtomically(missing, "x"), "Невозможно записать файл " + missing);
    std::filesystem::create_directory(dir / "taken");
    EXPECT_NE(ReplaceFileAtomically((dir / "taken").string(), "x"), "");  // a folder is in the way
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2);  // kiosk.prom and the folder: no temporary file left
}

}  // namespace
}  // namespace kiosk
