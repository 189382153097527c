#include "proxy/http/inspected_steps.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "proxy/http/exchange_steps.h"
#include "tests/support/memory_stream.h"

namespace kiosk {
namespace {

// Reads an answer's head as the exchange does; what keeps tells of it.
struct Answer {
    explicit Answer(const std::string& head, const std::string& command = "GET") {
        testing::MemoryStream stream(head);
        BufferedConnection connection(stream, kWaitForever);
        context.Command = command;
        ReadAnswerHead(connection, context.Headers);
    }
    std::string StatusLine() const { return context.Headers[0]; }
    bool Kept() const { return OriginKeepsAlive(context); }
    ProxyConnection context;
};

TEST(InspectedSteps, InterimAnswersArePassedOverButASwitchOfProtocolsIsTheAnswer) {
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

TEST(InspectedSteps, TheOriginsConnectionIsKeptOnlyWhenItSaysSoAndTheEndIsKnown) {
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

}  // namespace
}  // namespace kiosk
