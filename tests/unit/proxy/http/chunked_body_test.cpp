#include "proxy/http/chunked_body.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "os/tcp_socket.h"
#include "tests/support/memory_stream.h"

namespace kiosk {
namespace {

// A connection over the bytes of input, handed out piece bytes at a time (0: as many as asked).
struct ChunkedSource {
    explicit ChunkedSource(const std::string& input, size_t piece = 0) : stream(input, piece) {}

    std::string Body() {
        std::string body;
        ReadChunkedBody(connection, body);
        return body;
    }

    // The failure's text, or "none".
    std::string Failure() {
        try {
            Body();
        } catch (const std::runtime_error& failure) {
            return failure.what();
        }
        return "none";
    }

    testing::MemoryStream stream;
    BufferedConnection connection{stream, kWaitForever};
};

const std::string kInvalidSize = "Invalid chunk size.";
const std::string kClosed = ConnectionClosedGracefully().what();

TEST(ChunkedBody, JoinsChunksWhoseSizesAreHexadecimalWithExtensionsAndBlanksIgnored) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    const std::string input = "5;name=value\r\nhello\r\n1a \t\r\n" + letters +
                              "\r\nA ; a; b=\"c\"\n0123456789\n"  // bare line feeds end lines too
                              "0;last\r\n\r\n";
    for (const size_t piece : {0u, 1u, 2u, 7u}) {
        ChunkedSource source(input, piece);
        EXPECT_EQ(source.Body(), "hello" + letters + "0123456789") << piece;
    }
    EXPECT_EQ(ChunkedSource("0\r\n\r\n").Body(), "");
    EXPECT_EQ(ChunkedSource("000\r\n\r\n").Body(), "");
}

TEST(ChunkedBody, AppendsToWhatTheBodyHeld) {
    ChunkedSource source("3\r\nabc\r\n0\r\n\r\n");
    std::string body = "so far ";
    ReadChunkedBody(source.connection, body);
    EXPECT_EQ(body, "so far abc");
}

// The trailer lines belong to the body: the next answer on the connection begins after them.
TEST(ChunkedBody, DropsTheTrailerLinesAndStopsAtTheirEnd) {
    ChunkedSource source("4\r\ndata\r\n0\r\nExpires: never\r\nX-Checksum: 1\r\n\r\nHTTP/1.1 200 OK\r\n", 3);
    EXPECT_EQ(source.Body(), "data");
    EXPECT_EQ(source.connection.ReadLine(), "HTTP/1.1 200 OK");

    ChunkedSource bare("0\r\n\r\nnext\r\n");
    EXPECT_EQ(bare.Body(), "");
    EXPECT_EQ(bare.connection.ReadLine(), "next");
}

TEST(ChunkedBody, RefusesASizeLineThatIsNotAHexadecimalNumber) {
    for (const char* line : {"", "zz", "g", " 5", "-1", "+5", "0x5", "5 5", "5,6", ";ext", "\t"}) {
        EXPECT_EQ(ChunkedSource(line + std::string("\r\nhello\r\n0\r\n\r\n")).Failure(), kInvalidSize)
            << line;
    }
    // A bad size after good chunks.
    EXPECT_EQ(ChunkedSource("2\r\nab\r\nxyz\r\n").Failure(), kInvalidSize);
}

TEST(ChunkedBody, RefusesChunkDataNotFollowedByALineEnd) {
    EXPECT_EQ(ChunkedSource("3\r\nabcd\r\n0\r\n\r\n").Failure(), kInvalidSize);  // longer than its size
    EXPECT_EQ(ChunkedSource("3\r\nabc0\r\n\r\n").Failure(), kInvalidSize);       // the next size right after
}

TEST(ChunkedBody, RefusesASizeAboveTheLargestChunk) {
    EXPECT_EQ(ChunkedSource("10000000001\r\n").Failure(), kInvalidSize);           // 2^40 + 1
    EXPECT_EQ(ChunkedSource("FFFFFFFFFFFFFFFFFFFF\r\n").Failure(), kInvalidSize);  // beyond 64 bits
    // The largest chunk itself is waited for, and its bytes never arrive here.
    EXPECT_EQ(ChunkedSource("10000000000\r\nabc").Failure(), kClosed);
}

TEST(ChunkedBody, FailsWhenTheStreamClosesBeforeTheBodyEnds) {
    for (const char* input : {"", "5", "5\r\n", "5\r\nhel", "5\r\nhello", "5\r\nhello\r", "5\r\nhello\r\n",
                              "0\r\n", "0\r\nTrailer: x\r\n"}) {
        EXPECT_EQ(ChunkedSource(input).Failure(), kClosed) << input;
        EXPECT_EQ(ChunkedSource(input, 1).Failure(), kClosed) << input;
    }
}

}  // namespace
}  // namespace kiosk
