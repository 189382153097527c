// The running program's "headers" dump keeps the visitor's cookie and credentials out, of plain and
// of decrypted HTTPS requests alike (curl as the browser, real origins).

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/file_origin.h"
#include "tests/support/kiosk_run.h"
#include "tests/support/test_ca.h"
#include "tests/support/tls_origin.h"

namespace kiosk::testing {
namespace {

using HeaderDump = KioskRun;

TEST_F(HeaderDump, CookieAndAuthorizationOfPlainAndDecryptedRequestsAreHidden) {
    TestCa testCa;
    FileOrigin plain;
    TlsOrigin secure(testCa.Issue({"127.0.0.1"}));
    StartWith("headers\nheaders.txt\nhttps\nall\ncafile\n" + testCa.CaFile() + "\n");
    for (const std::string& url : {plain.Url("/a.html"), secure.Url("/a.html")}) {
        ChildProcess curl("/usr/bin/curl",
                          {"-s", "--cacert", (config / "kiosk-shell/ca/ca.crt").string(), "-x",
                           "http://127.0.0.1:" + std::to_string(proxyPort), "-H",
                           "Cookie: sid=visitor-cookie", "-H", "Authorization: Basic dmlzaXRvcjpwYXNz", url},
                          outputDir.str(), (outputDir / "curl.txt").string());
        EXPECT_EQ(curl.WaitForExit(std::chrono::seconds(60)), 0) << url;
    }
    EXPECT_EQ(Stop(), 0);
    const std::string dump = ReadFile(dir / "headers.txt");
    for (const int port : {plain.Port(), secure.Port()}) {
        const std::string request = "[Request 127.0.0.1:" + std::to_string(port) + "]\r\nGET ";
        const size_t at = dump.find(request);
        ASSERT_NE(at, std::string::npos) << dump;
        const std::string head = dump.substr(at, dump.find("\r\n\r\n", at) - at);
        EXPECT_NE(head.find("\r\nCookie: <18 bytes hidden>\r\n"), std::string::npos) << head;
        EXPECT_NE(head.find("\r\nAuthorization: <22 bytes hidden>"), std::string::npos) << head;
    }
    EXPECT_EQ(dump.find("visitor-cookie"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("dmlzaXRvcjpwYXNz"), std::string::npos) << dump;
}

}  // namespace
}  // namespace kiosk::testing
