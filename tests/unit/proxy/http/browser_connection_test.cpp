#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "proxy/http/leg_relay.h"
#include "proxy/http/request_head.h"

#include "tests/support/recording_proxy.h"

namespace kiosk {
namespace {

using namespace std::chrono_literals;
using testing::AnsweringOrigin;
using testing::LoopbackOrigin;
using testing::RecordingProxy;
using testing::Url;

const std::string kHello = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nX-Answer: y\r\n\r\nhello";

TEST(PassThroughExchange, GoesUpstreamAsHttp10WithTheBrowsersHeadersAndContinuationLinesJoined) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    const std::string answer = proxy.Exchange("get " + Url(origin.origin.Port(), "/a/b.html?q=1") +
                                              " HTTP/1.1\r\nHost: h\r\nAccept:  */*\r\n Folded\r\n\r\n");
    EXPECT_EQ(answer, kHello);
    ASSERT_EQ(origin.Requests().size(), 1u);
    EXPECT_EQ(origin.Requests()[0], "GET /a/b.html?q=1 HTTP/1.0\r\nHost: h\r\nAccept:  */* Folded\r\n\r\n");
    EXPECT_EQ(proxy.events.Events(),
              (std::vector<std::string>{"before 127.0.0.1:" + std::to_string(origin.origin.Port()),
                                        "server hello"}));
}

// A request body passes as it arrives: the document hook sees its head, for the dump, but no body.
TEST(PassThroughExchange, OnlyAPositiveContentLengthCarriesARequestBody) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    proxy.SetRewrite([](ProxyConnection& context, std::string& body) {
        if (context.TransferSide == ExchangeSide::FromClient) body = "ABC";
    });
    const std::string target = Url(origin.origin.Port(), "/form");
    EXPECT_EQ(proxy.Exchange("POST " + target + " HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"), kHello);
    EXPECT_EQ(proxy.Exchange("POST " + target + " HTTP/1.1\r\nContent-Length: 0\r\n\r\nxyz"), kHello);
    const auto requests = origin.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], "POST /form HTTP/1.0\r\nContent-Length: 3\r\n\r\nabc");
    EXPECT_EQ(requests[1], "POST /form HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(proxy.events.Starting("client"), (std::vector<std::string>{"client "}));
    EXPECT_EQ(proxy.events.Count("server hello"), 2);
}

// Any method goes on like POST, with its body: a body is never read as another request.
TEST(PassThroughExchange, EveryOtherMethodGoesLikePostWithItsBody) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    const std::string target = Url(origin.origin.Port(), "/api/item");
    const std::string smuggled = "GET " + target + " HTTP/1.1\r\nHost: forged\r\n\r\n";
    EXPECT_EQ(proxy.Exchange("FOO " + target + " HTTP/1.1\r\nContent-Length: " +
                             std::to_string(smuggled.size()) + "\r\n\r\n" + smuggled + smuggled),
              kHello);
    EXPECT_EQ(proxy.Exchange("PROPFIND " + target + " HTTP/1.1\r\nContent-Length: 2\r\n\r\n<>"), kHello);
    ASSERT_EQ(origin.Requests().size(), 2u);
    EXPECT_EQ(origin.Requests()[0], "FOO /api/item HTTP/1.0\r\nContent-Length: " +
                                        std::to_string(smuggled.size()) + "\r\n\r\n" + smuggled);
    EXPECT_EQ(origin.Requests()[1], "PROPFIND /api/item HTTP/1.0\r\nContent-Length: 2\r\n\r\n<>");
}

TEST(PassThroughExchange, OptionsPutDeleteAndPatchGoLikePost) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    const std::string target = Url(origin.origin.Port(), "/api/item");
    for (const char* method : {"OPTIONS", "PUT", "DELETE", "PATCH"}) {
        EXPECT_EQ(
            proxy.Exchange(std::string(method) + " " + target + " HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}"),
            kHello)
            << method;
    }
    const auto requests = origin.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], "OPTIONS /api/item HTTP/1.0\r\nContent-Length: 2\r\n\r\n{}");
    EXPECT_EQ(requests[3], "PATCH /api/item HTTP/1.0\r\nContent-Length: 2\r\n\r\n{}");
    EXPECT_EQ(proxy.events.Count("client "), 4);
}

// Closing a connection with unread input resets it; the proxy drops such input first, so that the
// answer it has just sent still arrives.
TEST(PassThroughExchange, BytesTheRequestDidNotAnnounceDoNotCostTheBrowserItsAnswer) {
    LoopbackOrigin slow([](TcpSocket& socket) {
        testing::ReadMessage(socket);
        std::this_thread::sleep_for(200ms);
        socket.Send(kHello);
    });
    RecordingProxy proxy;
    TcpSocket browser = proxy.Connect();
    browser.Send("GET " + Url(slow.Port(), "/") + " HTTP/1.1\r\n\r\n");
    std::this_thread::sleep_for(50ms);
    browser.Send("3\r\nabc\r\n0\r\n\r\n");
    EXPECT_EQ(testing::ReadUntilClosed(browser), kHello);
}

TEST(PassThroughExchange, AnswersAreReadWholeAsTheirLengthSaysAndSentAsTheHookLeavesThem) {
    RecordingProxy proxy;
    AnsweringOrigin toClose("HTTP/1.0 200 OK\r\nContent-Length: x\r\n\r\nuntil the close");
    EXPECT_EQ(proxy.Exchange("GET " + Url(toClose.origin.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.0 200 OK\r\nContent-Length: x\r\n\r\nuntil the close");

    AnsweringOrigin empty("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\nnot part of it");
    EXPECT_EQ(proxy.Exchange("GET " + Url(empty.origin.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(proxy.events.Count("server "), 1);

    proxy.SetRewrite([](ProxyConnection& context, std::string& body) {
        context.Headers.SetValue("Content-Length", "7");
        body = "changed";
    });
    AnsweringOrigin rewritten(kHello);
    EXPECT_EQ(proxy.Exchange("GET " + Url(rewritten.origin.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nX-Answer: y\r\n\r\nchanged");
    EXPECT_TRUE(proxy.Failures().empty());
}

// An answer the document hook does not ask for reaches the browser as it arrives: a stream that never
// ends, or a large download, is never held whole.
TEST(PassThroughExchange, AnswersTheHookDoesNotWantPassAsTheyArrive) {
    const std::string firstPart =
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\n\r\nevent: first\n\n";
    std::atomic<bool> browserHasFirst = false;
    LoopbackOrigin stream([&](TcpSocket& socket) {
        testing::ReadMessage(socket);
        socket.Send(firstPart);
        // The rest follows once the browser holds the first part; a proxy that waits for the whole
        // answer gets "late" after the wait instead.
        const bool relayed = testing::WaitUntil([&] { return browserHasFirst.load(); }, 10s);
        socket.Send(relayed ? "event: second\n\n" : "late");
    });
    RecordingProxy proxy;
    proxy.wantsDocuments = false;
    TcpSocket browser = proxy.Connect();
    browser.Send("GET " + Url(stream.Port(), "/events") + " HTTP/1.1\r\n\r\n");
    EXPECT_EQ(ReceiveExactly(browser, firstPart.size(), 20s), firstPart);
    browserHasFirst = true;
    EXPECT_EQ(testing::ReadUntilClosed(browser), "event: second\n\n");
    // The document hook saw the head, with nothing to filter.
    EXPECT_EQ(proxy.events.Starting("server"), (std::vector<std::string>{"server "}));
    EXPECT_TRUE(proxy.Failures().empty());
}

// A document the hook wants but that is larger than the proxy reads whole still reaches the browser,
// unchanged, and the exception hook says why it was not filtered.
TEST(PassThroughExchange, AWantedDocumentAboveTheLimitPassesUnfilteredAndIsReported) {
    const std::string body(kFilteredDocumentLimit + 10, 'x');
    AnsweringOrigin announced("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\n\r\n" + body);
    AnsweringOrigin untilClose("HTTP/1.0 200 OK\r\n\r\n" + body);
    RecordingProxy proxy;
    proxy.SetRewrite([](ProxyConnection&, std::string& document) { document = "changed"; });
    for (const int port : {announced.origin.Port(), untilClose.origin.Port()}) {
        proxy.events.Clear();
        const std::string answer = proxy.Exchange("GET " + Url(port, "/big") + " HTTP/1.1\r\n\r\n");
        EXPECT_EQ(answer.size() - answer.find("\r\n\r\n") - 4, body.size()) << port;
        EXPECT_EQ(answer.find("changed"), std::string::npos);
        EXPECT_EQ(proxy.Failures(), (std::vector<std::string>{std::string("failure ") + kDocumentTooLarge}));
    }
}

// An answer to HEAD, a 204 and a 304 announce a length they never send: the proxy passes them on at
// once instead of waiting for the bytes (and failing when the server closes, or waiting while it
// keeps the connection open).
TEST(PassThroughExchange, AnswersThatCannotHaveABodyArePassedOnWithoutWaiting) {
    LoopbackOrigin keepsOpen([](TcpSocket& socket) {
        const std::string request = testing::ReadMessage(socket);
        const std::string status = request.starts_with("HEAD") ? "200 OK" : "304 Not Modified";
        socket.Send("HTTP/1.1 " + status + "\r\nContent-Length: 100\r\n\r\n");
        testing::ReadUntilClosed(socket, kWaitForever);
    });
    RecordingProxy proxy;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(proxy.Exchange("HEAD " + Url(keepsOpen.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
    EXPECT_EQ(proxy.Exchange("GET " + Url(keepsOpen.Port(), "/") + " HTTP/1.1\r\n\r\n"),
              "HTTP/1.1 304 Not Modified\r\nContent-Length: 100\r\n\r\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(proxy.events.Count("server "), 2);
    EXPECT_TRUE(proxy.Failures().empty());
}

TEST(PassThroughExchange, FailuresReachTheExceptionHookAndTheBrowserGetsNothing) {
    RecordingProxy proxy;
    AnsweringOrigin cutShort("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    int closedPort = testing::FreePort();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"GET " + Url(cutShort.origin.Port(), "/") + " HTTP/1.1\r\n\r\n",
         "failure Connection Closed Gracefully."},
        {"GET /bare/path HTTP/1.1\r\n\r\n", "failure Request target without a host."},
        {"GET " + Url(closedPort, "/") + " HTTP/1.1\r\n\r\n",
         "failure Socket Error # 111\r\nConnection refused."},
        {"GET http://127.0.0.1:0/ HTTP/1.1\r\n\r\n", "failure Invalid port 0 in the request target."},
    };
    for (const auto& [request, failure] : cases) {
        proxy.events.Clear();
        EXPECT_EQ(proxy.Exchange(request), "") << request;
        ASSERT_TRUE(testing::WaitUntil([&] { return !proxy.Failures().empty(); }, 5s)) << request;
        EXPECT_EQ(proxy.Failures(), (std::vector<std::string>{failure})) << request;
    }
    EXPECT_TRUE(proxy.ThreadsEnd());
}

TEST(PassThroughExchange, HostileRequestsEndOnlyTheirOwnConnection) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    const std::string target = Url(origin.origin.Port(), "/");

    // A huge announced body is read as it arrives, not allocated up front.
    TcpSocket huge = proxy.Connect();
    huge.Send("POST " + target + " HTTP/1.1\r\nContent-Length: 1000000000000000\r\n\r\nonly a little");
    huge.Shutdown();
    EXPECT_EQ(testing::ReadUntilClosed(huge), "");

    TcpSocket halfHead = proxy.Connect();
    halfHead.Send("GET " + target + " HTTP/1.1\r\nHost: h");
    halfHead.Close();

    std::string manyHeaders = "GET " + target + " HTTP/1.1\r\n";
    for (int i = 0; i < 10000; ++i) manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
    EXPECT_EQ(proxy.Exchange(manyHeaders + "\r\n"), kHello);
    EXPECT_EQ(proxy.Exchange("GET " + target + " HTTP/1.1\r\nX: " + std::string(16384, 'v') + "\r\n\r\n"),
              RefusalAnswer(RequestRefusal::BadRequest));

    ASSERT_TRUE(testing::WaitUntil([&] { return proxy.Failures().size() == 2; }, 5s));
    EXPECT_EQ(proxy.events.Count("failure Connection Closed Gracefully."), 2);  // huge, half head
    ASSERT_FALSE(origin.Requests().empty());
    EXPECT_NE(origin.Requests().back().find("X-9999: v\r\n\r\n"), std::string::npos);
    EXPECT_EQ(proxy.Exchange("GET " + target + " HTTP/1.1\r\n\r\n"), kHello);
}

// What is not HTTP, or what the proxy cannot frame, gets an HTTP error and the connection's end: the
// origin sees nothing of it, and nothing after it is read as a request.
TEST(PassThroughExchange, RequestsThatAreNotHttpOrCannotBeFramedAreRefused) {
    AnsweringOrigin origin(kHello);
    RecordingProxy proxy;
    const std::string target = Url(origin.origin.Port(), "/");
    const std::string get = "GET " + target + " HTTP/1.1\r\n";
    const struct {
        std::string request;
        RequestRefusal refusal;
    } cases[] = {
        {"hello world\r\n\r\n", RequestRefusal::BadRequest},
        {std::string("bin\x01\xff\x00ary\r\n\r\n", 12), RequestRefusal::BadRequest},
        {"GET  " + target + " HTTP/1.1\r\n\r\n", RequestRefusal::BadRequest},
        {"GET " + target + "\r\n\r\n", RequestRefusal::BadRequest},
        {"GET " + target + " HTTP/1.1 x\r\n\r\n", RequestRefusal::BadRequest},
        {"G(T " + target + " HTTP/1.1\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Bad Name: x\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Host : x\r\n\r\n", RequestRefusal::BadRequest},
        {get + "No colon\r\n\r\n", RequestRefusal::BadRequest},
        {get + " starts folded\r\n\r\n", RequestRefusal::BadRequest},
        {get + "X: a\rGET / HTTP/1.1\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Host: a\r\nHost: b\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Content-Length: abc\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Content-Length: -5\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Content-Length: 3, 4\r\n\r\nabcd", RequestRefusal::BadRequest},
        {get + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", RequestRefusal::BadRequest},
        {get + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
         RequestRefusal::BadRequest},
        {get + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", RequestRefusal::LengthRequired},
        {get + "Transfer-Encoding: chunked, gzip\r\n\r\n", RequestRefusal::BadRequest},
        {get + "Transfer-Encoding: x-smuggle\r\n\r\n", RequestRefusal::NotImplemented},
    };
    for (const auto& [request, refusal] : cases) {
        EXPECT_EQ(proxy.Exchange(request + get + "\r\n"), RefusalAnswer(refusal)) << request;
    }
    EXPECT_TRUE(origin.Requests().empty());
    EXPECT_TRUE(proxy.Failures().empty());
    // Identical lengths are one length; empty lines before a request are passed over.
    EXPECT_EQ(proxy.Exchange("\r\n" + get + "Content-Length: 1, 1\r\nContent-Length: 1\r\nX: y\r\n\r\nab"),
              kHello);
    ASSERT_EQ(origin.Requests().size(), 1u);
    EXPECT_EQ(origin.Requests()[0], "GET / HTTP/1.0\r\nX: y\r\nContent-Length: 1\r\n\r\na");
}

// An origin that answers every request it reads on a connection with answer, records the requests and
// keeps the connection unless closes.
struct KeepingOrigin {
    explicit KeepingOrigin(std::string answer, bool closes = false)
        : answer(std::move(answer)), origin([this, closes](TcpSocket& socket) {
              for (std::string request = testing::ReadMessage(socket); !request.empty();
                   request = testing::ReadMessage(socket)) {
                  {
                      std::lock_guard lock(mutex);
                      requests.push_back(request);
                  }
                  socket.Send(this->answer);
                  if (closes) return;
              }
          }) {}
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex);
        return requests;
    }

    const std::string answer;
    mutable std::mutex mutex;
    std::vector<std::string> requests;
    LoopbackOrigin origin;
};

std::string KeptGet(int port, const std::string& version = "HTTP/1.1") {
    return "GET " + Url(port, "/k") + " " + version + "\r\nHost: h\r\nConnection: Keep-Alive\r\n\r\n";
}

// A browser that asks to keep its connection sends its next request on it; the origin's connection
// goes on with it while the origin keeps it and the route stays, and the origin sees each request as
// it always has.
TEST(PassThroughExchange, AKeptConnectionCarriesTheNextRequestOverTheOriginsConnectionWhileItIsKept) {
    KeepingOrigin keeping(
        "HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nKeep-Alive: timeout=5\r\nContent-Length: 2\r\n\r\nok");
    KeepingOrigin closing("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 5\r\n\r\nhello", true);
    RecordingProxy proxy;
    TcpSocket browser = proxy.Connect();
    const std::string kept = "HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nContent-Length: 2\r\n\r\nok";
    for (int request = 0; request < 2; ++request) {
        browser.Send(KeptGet(keeping.origin.Port()));
        EXPECT_EQ(testing::ReadMessage(browser), kept);
    }
    // Another origin, which says close and closes after each answer, then the first again.
    for (int request = 0; request < 2; ++request) {
        browser.Send(KeptGet(closing.origin.Port()));
        EXPECT_EQ(testing::ReadMessage(browser),
                  "HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nContent-Length: 5\r\n\r\nhello");
    }
    browser.Send(KeptGet(keeping.origin.Port()));
    EXPECT_EQ(testing::ReadMessage(browser), kept);

    EXPECT_EQ(keeping.origin.Accepted(), 2);
    EXPECT_EQ(closing.origin.Accepted(), 2);
    ASSERT_EQ(keeping.Requests().size(), 3u);
    for (const std::string& seen : keeping.Requests())
        EXPECT_EQ(seen, "GET /k HTTP/1.0\r\nHost: h\r\nConnection: Keep-Alive\r\n\r\n");
    EXPECT_EQ(proxy.events.Count("server ok"), 3);
    // A request that does not ask is answered as ever, and its connection closes.
    browser.Send("GET " + Url(keeping.origin.Port(), "/k") + " HTTP/1.1\r\n\r\n");
    EXPECT_EQ(testing::ReadUntilClosed(browser), keeping.answer);
    EXPECT_TRUE(proxy.Failures().empty());
}

// An answer that ends with the origin's close goes to a kept HTTP/1.1 connection in chunks; an
// HTTP/1.0 browser, which reads no chunks, gets it to the close.
TEST(PassThroughExchange, AnAnswerThatEndsWithTheCloseGoesInChunksOrClosesTheKeptConnection) {
    KeepingOrigin toClose("HTTP/1.0 200 OK\r\nConnection: keep-alive\r\n\r\nuntil the close", true);
    RecordingProxy proxy;
    proxy.wantsDocuments = false;
    TcpSocket browser = proxy.Connect();
    browser.Send(KeptGet(toClose.origin.Port()));
    EXPECT_EQ(testing::ReadMessage(browser),
              "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nTransfer-Encoding: chunked\r\n\r\n");
    browser.Send(KeptGet(toClose.origin.Port(), "HTTP/1.0"));
    const std::string rest = testing::ReadUntilClosed(browser);
    EXPECT_EQ(rest,
              "f\r\nuntil the close\r\n0\r\n\r\nHTTP/1.0 200 OK\r\nConnection: close\r\n\r\nuntil the close");
    EXPECT_EQ(toClose.origin.Accepted(), 2);
    EXPECT_TRUE(proxy.Failures().empty());
}

}  // namespace
}  // namespace kiosk
