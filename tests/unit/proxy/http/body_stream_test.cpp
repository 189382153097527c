#include "proxy/http/body_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "os/tcp_socket.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/memory_stream.h"

namespace kiosk {
namespace {

// A chunked body over the bytes of input, handed out piece bytes at a time (0: as many as asked).
struct ChunkedSource {
    explicit ChunkedSource(const std::string& input, size_t piece = 0) : stream(input, piece) {}

    std::string Body() {
        std::string body;
        BodyReader reader(connection, {BodyFraming::Kind::Chunked});
        EXPECT_TRUE(ReadBodyUpTo(reader, 1 << 20, body));
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

TEST(ChunkedBody, AppendsToWhatTheBodyHeldAndStopsOnceItHoldsMoreThanTheLimit) {
    ChunkedSource source("3\r\nabc\r\n4\r\ndefg\r\n2\r\nhi\r\n0\r\n\r\n");
    BodyReader reader(source.connection, {BodyFraming::Kind::Chunked});
    std::string body = "so far ";
    EXPECT_FALSE(ReadBodyUpTo(reader, 12, body));
    EXPECT_EQ(body, "so far abcdefg");
    // The rest is still there to relay.
    EXPECT_TRUE(ReadBodyUpTo(reader, 100, body));
    EXPECT_EQ(body, "so far abcdefghi");
    EXPECT_EQ(reader.ReadPiece(body), 0u);
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

// A body with a length or up to the close, read and written through a destination connection.
struct RelayedBody {
    RelayedBody(const std::string& input, size_t piece, BodyFraming framing, bool chunked)
        : source(input, piece),
          sourceConnection(source, kWaitForever),
          reader(sourceConnection, framing),
          writer(destinationConnection, chunked) {}

    testing::MemoryStream source;
    BufferedConnection sourceConnection;
    BodyReader reader;
    testing::MemoryStream destination{""};
    BufferedConnection destinationConnection{destination, kWaitForever};
    BodyWriter writer;
};

TEST(BodyRelay, ALengthBodyStopsAtItsLengthAndLeavesTheRestUnread) {
    for (const size_t piece : {0u, 1u, 3u}) {
        RelayedBody relayed("hello worldNEXT", piece, {BodyFraming::Kind::Length, 11}, false);
        RelayBody(relayed.reader, relayed.writer);
        EXPECT_EQ(relayed.destination.Sent(), "hello world") << piece;
        EXPECT_EQ(relayed.sourceConnection.ReadAvailable(kWaitForever).substr(0, 1), "N") << piece;
    }
    RelayedBody empty("NEXT", 0, {BodyFraming::Kind::Length, 0}, false);
    RelayBody(empty.reader, empty.writer);
    EXPECT_EQ(empty.destination.Sent(), "");
}

TEST(BodyRelay, AShortLengthBodyFailsAsAClose) {
    RelayedBody relayed("hello", 2, {BodyFraming::Kind::Length, 11}, false);
    EXPECT_THROW(RelayBody(relayed.reader, relayed.writer), ConnectionClosedGracefully);
    EXPECT_EQ(relayed.destination.Sent(), "hello");  // what arrived went on at once
}

TEST(BodyRelay, ABodyUpToTheCloseCanBeWrittenInChunksOfItsOwn) {
    const std::string big(100'000, 'x');
    RelayedBody relayed(big, 0, {BodyFraming::Kind::ToClose}, true);
    RelayBody(relayed.reader, relayed.writer);
    // Read back through the chunked reader: the same bytes, and a proper last chunk.
    testing::MemoryStream written(relayed.destination.Sent());
    BufferedConnection connection(written, kWaitForever);
    BodyReader chunks(connection, {BodyFraming::Kind::Chunked});
    std::string body;
    EXPECT_TRUE(ReadBodyUpTo(chunks, 1 << 20, body));
    EXPECT_EQ(body, big);
    EXPECT_FALSE(connection.Connected());  // nothing after the last chunk
}

TEST(BodyRelay, AChunkedBodyIsRelayedInChunksWhateverTheirOriginalSizes) {
    RelayedBody relayed("1\r\na\r\n3\r\nbcd\r\n0\r\nTrailer: x\r\n\r\n", 0, {BodyFraming::Kind::Chunked},
                        true);
    RelayBody(relayed.reader, relayed.writer);
    const std::string written = relayed.destination.Sent();
    EXPECT_TRUE(written.ends_with("\r\n0\r\n\r\n")) << written;
    EXPECT_EQ(written.find("Trailer"), std::string::npos);
}

// Between two sockets the body moves through the kernel (no copy in the proxy), up to its length.
TEST(BodyRelay, BetweenSocketsABodyMovesStraightOnAndStopsAtItsLength) {
    TcpListener listener("127.0.0.1", 0, 4);
    TcpSocket origin = testing::ConnectTo(listener.Port());
    TcpSocket fromOrigin = std::move(*listener.Accept());
    TcpSocket browser = testing::ConnectTo(listener.Port());
    TcpSocket toBrowser = std::move(*listener.Accept());
    std::string body(3 << 20, 'x');
    for (size_t i = 0; i < body.size(); i += 4096) body[i] = static_cast<char>('a' + i / 4096 % 26);
    std::thread sender([&] { origin.Send(body + "NEXT"); });
    std::string received;
    std::thread receiver([&] { received = ReceiveExactly(browser, body.size(), std::chrono::seconds(20)); });
    BufferedConnection source(fromOrigin, std::chrono::seconds(20));
    BufferedConnection destination(toBrowser, std::chrono::seconds(20));
    BodyReader reader(source, {BodyFraming::Kind::Length, body.size()});
    const std::optional<size_t> moved = reader.MovePiece(destination);
    ASSERT_TRUE(moved.has_value());
    EXPECT_GT(*moved, 0u);
    BodyWriter writer(destination, false);
    RelayBody(reader, writer);
    sender.join();
    receiver.join();
    EXPECT_TRUE(received == body);
    EXPECT_EQ(ReceiveExactly(fromOrigin, 4, std::chrono::seconds(5)), "NEXT");
}

}  // namespace
}  // namespace kiosk
