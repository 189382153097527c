#include "app/kiosk_metrics.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kiosk
