// A page that sends requests with methods of its own, whose bodies hold further requests: the proxy
// forwards each as one request with its body, and nothing inside a body reaches anyone as a request.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/gui/kiosk_browsing.h"

namespace kiosk::testing {
namespace {

TEST_F(KioskBrowsing, RequestsInsideABodyNeverReachAnyoneAsRequests) {
    const std::string inner = "\r\n\r\nGET " + origin.Url("/smuggled") + " HTTP/1.1\r\nHost: forged\r\n\r\n" +
                              "CONNECT 127.0.0.1:" + std::to_string(origin.Port()) + " HTTP/1.1\r\n\r\n";
    std::string body = "'";
    for (const char c : inner) body += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    body += "'";
    origin.Put("index.html", "<script>Promise.all([fetch('/own', {method: 'FOO', body: " + body +
                                 "}), fetch('/dav', {method: 'PROPFIND', body: " + body +
                                 "})]).finally(() => fetch('/report?done'));</script>");
    StartOn(origin.Url("/index.html"));
    ASSERT_TRUE(origin.WaitForRequest("GET /report?done"));
    const std::vector<std::string> requests = origin.Requests();
    const auto seen = [&](const std::string& start) {
        return std::count_if(requests.begin(), requests.end(),
                             [&](const std::string& line) { return line.starts_with(start); });
    };
    EXPECT_EQ(seen("FOO /own "), 1);
    EXPECT_EQ(seen("PROPFIND /dav "), 1);
    EXPECT_EQ(seen("BODY PROPFIND /dav " + std::to_string(inner.size())), 1)
        << ::testing::PrintToString(requests);
    EXPECT_EQ(seen("GET /smuggled"), 0);
    EXPECT_EQ(seen("CONNECT"), 0);
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
