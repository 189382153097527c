#include "proxy/request_hook.h"

#include <gtest/gtest.h>

#include "config/default_tables.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {
namespace {

class RequestHookTest : public ::testing::Test {
protected:
    RequestHookTest() {
        FillOptionTable(options);
        context.Command = "GET";
        context.Document = "/a?x=1";
        context.Route = std::make_unique<OutboundRoute>(OutboundRoute{"h", 80, {}});
    }
    void Set(const char* key, const std::string& value) {
        options.SetValueAt(options.IndexOfName(key), value);
    }
    void Run() { RequestHook(context, options, log, dir.str()); }
    const TransparentProxySlot& Slot() const { return context.Route->TransparentProxy; }

    TempDir dir;
    KeyValueTable options;
    RecordingLog log;
    ProxyConnection context;
};

TEST_F(RequestHookTest, TheProxyOptionChoosesTheUpstreamRoute) {
    Set("host", "gate");
    Set("port", "1081");
    for (const char* direct : {"", "SOCKS5", "Socks4", "direct"}) {
        SocksProxy earlier;
        earlier.Version = SocksVersion::Socks5;
        context.Route->TransparentProxy = earlier;
        Set("proxy", direct);
        Run();
        EXPECT_TRUE(std::holds_alternative<std::monostate>(Slot())) << direct;  // a fresh transport
    }
    const std::pair<const char*, SocksVersion> versions[] = {{"socks4", SocksVersion::Socks4},
                                                             {"socks4a", SocksVersion::Socks4A},
                                                             {"socks5", SocksVersion::Socks5}};
    for (const auto& [name, version] : versions) {
        Set("proxy", name);
        Run();
        const auto& socks = std::get<SocksProxy>(Slot());
        EXPECT_EQ(socks.Version, version);
        EXPECT_EQ(socks.Host, "gate");
        EXPECT_EQ(socks.Port, 1081);
        EXPECT_EQ(socks.Authentication, SocksAuthentication::None);
    }
    EXPECT_EQ(context.Route->Host, "h");  // the target stays
}

TEST_F(RequestHookTest, ALoginAsksForUserAndPasswordAndABadPortIs8080) {
    Set("proxy", "socks5");
    Set("port", "abc");
    Set("login", "user");
    Set("password", "secret");
    Run();
    const auto& socks = std::get<SocksProxy>(Slot());
    EXPECT_EQ(socks.Port, 8080);
    EXPECT_EQ(socks.Username, "user");
    EXPECT_EQ(socks.Password, "secret");
    EXPECT_EQ(socks.Authentication, SocksAuthentication::UsernamePassword);

    Set("proxy", "http");
    Set("host", "web-gate");
    Run();
    const auto& http = std::get<HttpProxy>(Slot());
    EXPECT_TRUE(http.Enabled);
    EXPECT_EQ(http.Host, "web-gate");
    EXPECT_EQ(http.Port, 8080);
    EXPECT_EQ(http.Username, "user");
    EXPECT_EQ(http.Password, "secret");
}

TEST_F(RequestHookTest, HostAndTargetAreRecordedAndDumped) {
    Set("headers", "dump.txt");
    context.Headers.Add("Accept: */*");
    context.Headers.Add("host:   h:81  ");
    Run();
    EXPECT_EQ(context.LastRequestHost, "h:81");
    EXPECT_EQ(context.LastRequestTarget, "/a?x=1");

    context.Headers.Clear();
    context.Command = "CONNECT";
    context.Document = "";
    Run();
    EXPECT_EQ(context.LastRequestHost, "");
    EXPECT_EQ(context.LastRequestTarget, "");
    EXPECT_EQ(ReadFile(dir / "dump.txt"),
              "[Request h:81]\r\nGET /a?x=1\r\nAccept: */*\r\nhost:   h:81  \r\n\r\n"
              "[Request ]\r\nCONNECT \r\n\r\n");
    EXPECT_TRUE(log.Entries().empty());
}

TEST_F(RequestHookTest, AcceptEncodingIsLimitedToWhatTheFilterDecodesBeforeTheDump) {
    Set("headers", "dump.txt");
    const std::pair<const char*, const char*> lines[] = {
        {"accept-encoding:br;q=1.0, compress;q=0.5, *;q=0.1", "Accept-Encoding: br;q=1.0"},
        {"accept-encoding:gzip, deflate", "accept-encoding:gzip, deflate"},  // nothing to leave out
        {"Accept-Encoding: dcb, dcz", "Accept-Encoding: identity"},
        {"Accept: */*", "Accept: */*"},  // none stays none
    };
    std::string dump;
    for (const auto& [line, sent] : lines) {
        context.Headers.Clear();
        context.Headers.Add(line);
        Run();
        EXPECT_EQ(context.Headers.Lines(), std::vector<std::string>{sent});
        dump += "[Request ]\r\nGET /a?x=1\r\n" + std::string(sent) + "\r\n\r\n";
    }
    EXPECT_EQ(ReadFile(dir / "dump.txt"), dump);
}

TEST_F(RequestHookTest, ADumpThatCannotBeWrittenIsLoggedOrFailsTheRequest) {
    Set("headers", "/dev/full");
    context.Headers.Add("Host: h");
    Run();
    EXPECT_EQ(log.Errors(), std::vector<std::string>{"Файл: /dev/full - Ошибка записи"});

    Set("headers", "missing/dump.txt");
    EXPECT_THROW(Run(), std::runtime_error);
    // Recorded before the dump, for the failure's log message.
    EXPECT_EQ(context.LastRequestHost, "h");
}

}  // namespace
}  // namespace kiosk::testing
