#include "shell/start_page.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(StartPage, WebAddressesAsWrittenEverythingElseALocalFile) {
    EXPECT_EQ(StartPageUrl("HTTP://Example.org/", "/opt/k/"), "HTTP://Example.org/");
    EXPECT_EQ(StartPageUrl("https://example.org", "/opt/k/"), "https://example.org");
    EXPECT_EQ(StartPageUrl("WwW.example.org", "/opt/k/"), "WwW.example.org");
    EXPECT_EQ(StartPageUrl("index.html", "/opt/k/"), "file:///opt/k/index.html");
    EXPECT_EQ(StartPageUrl("ftp://example.org", "/opt/k/"), "file:///opt/k/ftp://example.org");
    EXPECT_EQ(StartPageUrl("ww", "/opt/k/"), "file:///opt/k/ww");
    EXPECT_EQ(StartPageUrl("a b%20.html", "/opt/k/"), "file:///opt/k/a b%20.html");  // nothing escaped
    // A directory with a drive letter keeps its own delimiters.
    EXPECT_EQ(LocalPageUrl("C:\\kiosk\\", "index.html"), "file:///C:\\kiosk\\index.html");
}

}  // namespace
}  // namespace kiosk
