#include "shell/navigation_policy.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

namespace fs = std::filesystem;

TEST(NavigationPolicy, WebPagesAndEmptyFramesAreAllowedEveryOtherSchemeRefused) {
    for (const char* uri :
         {"http://example.com/", "HTTPS://example.com/a?b#c", "about:blank", "about:srcdoc"})
        EXPECT_TRUE(NavigationAllowed(uri, {})) << uri;
    for (const char* uri : {"data:text/html,<b>x</b>", "javascript:alert(1)", "view-source:http://a/",
                            "ftp://example.com/", "mailto:a@b.c", "tel:+7000", "blob:http://a/1",
                            "about:config", "chrome://settings", "unknown:thing", "", "http", "file"})
        EXPECT_FALSE(NavigationAllowed(uri, {})) << uri;
}

TEST(NavigationPolicy, LocalFilesOnlyInsideTheProgramsFolders) {
    TempDir program;
    TempDir work;
    fs::create_directories(program / "pages");
    WriteFile(program / "index.html", "start");
    WriteFile(program / "pages" / "net.html", "net");
    WriteFile(work / "document.html", "document");
    fs::create_symlink("/etc", program / "etc-link");
    const std::vector<std::string> folders{program.str(), work.str()};
    const std::string base = "file://" + program.str();
    for (const std::string& uri :
         {base + "/index.html", base + "/pages/net.html?x#y", "file://" + work.str() + "/document.html",
          "file://localhost" + program.str() + "/index.html", base + "/pages/%6Eet.html",
          base + "/missing.html"})
        EXPECT_TRUE(NavigationAllowed(uri, folders)) << uri;
    for (const std::string& uri :
         {std::string("file:///etc/passwd"), base + "/../../etc/passwd", base + "/%2E%2E/%2E%2E/etc/passwd",
          base + "/etc-link/passwd", "file://otherhost" + program.str() + "/index.html", base,
          base + "/%00.html", base + "/%zz", base + "/%4", std::string("file:relative.html"),
          std::string("file:///")})
        EXPECT_FALSE(NavigationAllowed(uri, folders)) << uri;
    EXPECT_FALSE(NavigationAllowed(base + "/index.html", {}));
    EXPECT_FALSE(NavigationAllowed(base + "/index.html", {""}));
}

TEST(NavigationPolicy, ALongAddressIsCutInTheLogEntry) {
    EXPECT_EQ(RefusedNavigationMessage("mailto:a@b.c"), "Переход запрещён: mailto:a@b.c");
    const std::string long_uri = "data:text/plain," + std::string(1000, 'x');
    EXPECT_EQ(RefusedNavigationMessage(long_uri), "Переход запрещён: " + long_uri.substr(0, 200) + "...");
}

}  // namespace
}  // namespace kiosk::testing
