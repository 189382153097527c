// The "headers" dump of the running program keeps the visitor's cookies and credentials out, for
// plain requests and for decrypted HTTPS alike (curl as the browser, real origins).

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_ca.h"
#include "tests/support/tls_origin.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;

class HeaderDump : public KioskRun {
protected:
    // curl through the program's proxy with the visitor's secrets in its request; whether it succeeded.
    bool CurlWithSecrets(const std::string& url) {
        TempDir scratch;
        ChildProcess curl(
            "/usr/bin/curl",
            {"-s", "-S", "--max-time", "20", "--cacert", (config / "kiosk-shell/ca/ca.crt").string(), "-x",
             "http://127.0.0.1:" + std::to_string(proxyPort), "-H", "Cookie: sid=visitor-cookie", "-H",
             "Authorization: Basic dmlzaXRvcjpwYXNz", url},
            scratch.str(), (scratch / "out").string(), {}, (scratch / "err").string());
        const bool succeeded = curl.WaitForExit(60s) == 0;
        EXPECT_TRUE(succeeded) << ReadFile(scratch / "err");
        return succeeded;
    }

    TestCa testCa;
};

TEST_F(HeaderDump, CookiesAndAuthorizationOfPlainAndDecryptedRequestsAreHidden) {
    FileOrigin plain;
    plain.Put("page.html", "<p>plain</p>");
    TlsOrigin secure(testCa.Issue({"127.0.0.1"}));
    secure.Put("page.html", "<p>secure</p>");
    StartWith("headers\nheaders.txt\nhttps\nall\ncafile\n" + testCa.CaFile() + "\n");
    ASSERT_TRUE(CurlWithSecrets(plain.Url("/page.html")));
    ASSERT_TRUE(CurlWithSecrets(secure.Url("/page.html")));
    EXPECT_EQ(Stop(), 0);

    const std::string dump = ReadFile(dir / "headers.txt");
    EXPECT_NE(dump.find("[Request 127.0.0.1:" + std::to_string(secure.Port()) + "]\r\nGET /page.html"),
              std::string::npos)
        << dump;
    EXPECT_NE(dump.find("[Request 127.0.0.1:" + std::to_string(plain.Port()) + "]\r\nGET "),
              std::string::npos)
        << dump;
    size_t hidden = 0;
    for (size_t at = 0; (at = dump.find("Cookie: <18 bytes hidden>\r\n", at)) != std::string::npos; ++at)
        ++hidden;
    for (size_t at = 0; (at = dump.find("Authorization: <22 bytes hidden>\r\n", at)) != std::string::npos;
         ++at)
        ++hidden;
    EXPECT_EQ(hidden, 4u) << dump;
    EXPECT_EQ(dump.find("visitor-cookie"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("dmlzaXRvcjpwYXNz"), std::string::npos) << dump;
}

}  // namespace
}  // namespace kiosk::testing
