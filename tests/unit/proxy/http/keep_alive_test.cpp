#include "proxy/http/keep_alive.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "proxy/http/exchange_steps.h"
#include "tests/support/memory_stream.h"

namespace kiosk {
namespace {

// Reads an answer's head as the exchange does (inside a decrypted CONNECT unless plain); what keeps
// tells of it.
struct Answer {
    explicit Answer(const std::string& head, const std::string& command = "GET", bool plain = false) {
        testing::MemoryStream stream(head);
        BufferedConnection connection(stream, kWaitForever);
        context.Command = command;
        context.Inspected = !plain;
        ReadAnswerHead(connection, context.Headers);
    }
    std::string StatusLine() const { return context.Headers[0]; }
    bool Kept() const { return OriginKeepsAlive(context); }
    ProxyConnection context;
};

TEST(KeepAlive, InterimAnswersArePassedOverButASwitchOfProtocolsIsTheAnswer) {
    EXPECT_EQ(Answer("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a.css>\r\n\r\n"
                     "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")
                  .StatusLine(),
              "HTTP/1.1 200 OK");
    EXPECT_EQ(Answer("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n\r\n").StatusLine(),
              "HTTP/1.1 101 Switching Protocols");
    EXPECT_EQ(Answer("HTTP/1.0 204\r\n\r\n").StatusLine(), "HTTP/1.0 204");
    for (const char* notAStatusLine : {"\r\n", "ICY 200 OK\r\n\r\n", "HTTP/1.1 20 OK\r\n\r\n",
                                       "HTTP/1.1 200OK\r\n\r\n", "HTTP/11 200 OK\r\n\r\n", "X: y\r\n\r\n"}) {
        EXPECT_THROW(Answer{notAStatusLine}, std::runtime_error) << notAStatusLine;
    }
}

TEST(KeepAlive, TheOriginsConnectionIsKeptOnlyWhenItSaysSoAndTheEndIsKnown) {
    EXPECT_TRUE(Answer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n").Kept());
    EXPECT_TRUE(Answer("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n").Kept());
    EXPECT_TRUE(Answer("HTTP/1.1 304 Not Modified\r\n\r\n").Kept());
    EXPECT_TRUE(Answer("HTTP/1.1 200 OK\r\nContent-Length: 99\r\n\r\n", "HEAD").Kept());
    EXPECT_TRUE(Answer("HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 5\r\n\r\n").Kept());
    // Its end is its close; it says close; HTTP/1.0 without a word.
    EXPECT_FALSE(Answer("HTTP/1.1 200 OK\r\n\r\n").Kept());
    EXPECT_FALSE(Answer("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 5\r\n\r\n").Kept());
    EXPECT_FALSE(Answer("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n").Kept());
}

// A plain request went as HTTP/1.0: only an origin that says keep-alive keeps its connection, and
// chunks it was not asked for end the connection.
TEST(KeepAlive, ThePlainOriginsConnectionIsKeptOnlyWhenItSaysKeepAliveAndAnnouncesTheLength) {
    const struct {
        const char* head;
        bool kept;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nContent-Length: 5\r\n\r\n", true},
        {"HTTP/1.0 304 Not Modified\r\nConnection: Keep-Alive\r\n\r\n", true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", false},
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\n\r\n", false},
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nTransfer-Encoding: chunked\r\n\r\n", false},
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nTransfer-Encoding: chunked\r\nContent-Length: "
         "5\r\n\r\n",
         false},
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive, close\r\nContent-Length: 5\r\n\r\n", false},
    };
    for (const auto& answer : cases)
        EXPECT_EQ(Answer(answer.head, "GET", true).Kept(), answer.kept) << answer.head;
}

TEST(KeepAlive, APlainRequestKeepsTheBrowsersConnectionOnlyWhenItAsks) {
    const struct {
        const char* connection;
        const char* version;
        bool inspected;
        bool kept;
    } cases[] = {
        {"Keep-Alive", "HTTP/1.1", false, true},
        {"keep-alive", "HTTP/1.0", false, true},
        {"", "HTTP/1.1", false, false},
        {"close", "HTTP/1.1", false, false},
        {"", "HTTP/1.1", true, true},
        {"", "HTTP/1.0", true, false},
        {"keep-alive", "HTTP/1.0", true, true},
        {"Close", "HTTP/1.1", true, false},
    };
    for (const auto& request : cases) {
        ProxyConnection context;
        context.Inspected = request.inspected;
        if (*request.connection) context.Headers.Add(std::string("Connection: ") + request.connection);
        EXPECT_EQ(BrowserKeepsAlive(context, request.version), request.kept)
            << request.connection << " " << request.version << " " << request.inspected;
    }
}

}  // namespace
}  // namespace kiosk
