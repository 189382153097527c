// Feeds arbitrary bytes to what the proxy parses inside a decrypted CONNECT, as the plain bytes of its
// two TLS sessions. The input's first byte is the most a read of either stream takes at once (0: as
// much as asked); the rest is the browser's bytes up to the first "\n--origin--\n", the origin's after
// it. Requests are read from the browser's bytes as the inspected exchange reads them (the request
// head, its body framing, target, the body by its Content-Length), answers from the origin's (the head with
// interim answers passed over, the body by Content-Length, in chunks or up to the close), each side
// until its bytes run out or a parse throws a std::exception; any other exception ends the run as a
// crash. Besides the sanitizers' checks it checks what the exchange relies on: a request head taken
// holds a token method, no control character but tabs, and at most one Content-Length, a number;
// a line read is never
// longer than BufferedConnection::kMaxLineLength and holds no line feed; a body read by its length is
// that long, and no body (chunked or not) is longer than the bytes taken from its stream; an answer
// after which the origin's connection is kept never needed the close to end; and nothing keeps asking
// a closed stream for bytes (it would hang on a real connection).

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/http/exchange_steps.h"
#include "proxy/http/keep_alive.h"
#include "proxy/http/leg_relay.h"
#include "proxy/http/request_head.h"
#include "proxy/http/request_target.h"
#include "proxy/server/buffered_connection.h"
#include "tests/support/memory_stream.h"

namespace {

using kiosk::BufferedConnection;
using kiosk::ProxyConnection;

constexpr std::string_view kOriginMarker = "\n--origin--\n";

// A reader that meets the close gives up; one that keeps asking would spin on a real connection.
constexpr size_t kMostClosesReported = 16;

void Check(bool condition) {
    if (!condition) std::abort();
}

class CheckedStream : public kiosk::testing::MemoryStream {
public:
    using MemoryStream::MemoryStream;

    size_t Receive(char* buffer, size_t size, kiosk::Milliseconds timeout) override {
        const size_t got = MemoryStream::Receive(buffer, size, timeout);
        Check(ClosesReported() <= kMostClosesReported);
        return got;
    }
};

void CheckLine(const std::string& line) {
    Check(line.size() <= BufferedConnection::kMaxLineLength);
    Check(line.find('\n') == std::string::npos);
}

void CheckLines(const kiosk::HeaderList& headers) {
    for (const std::string& line : headers.Lines()) CheckLine(line);
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) return true;
    }
    return false;
}

void CheckRequestHead(const kiosk::RequestHead& request) {
    Check(kiosk::IsHttpToken(request.method));
    Check(!request.target.empty() && !HasControlCharacter(request.target));
    CheckLines(request.headers);
    for (const std::string& line : request.headers.Lines()) Check(!HasControlCharacter(line));
    int lengths = 0;
    for (const std::string& line : request.headers.Lines()) lengths += line.starts_with("Content-Length:");
    Check(lengths <= 1 && (lengths == 0 || kiosk::ContentLength(request.headers) >= 0));
}

// Reads the browser's requests as the inspected exchange serves them, up to one it would refuse.
// Returns the method of each request read whole.
std::vector<std::string> ReadRequests(ProxyConnection& context, BufferedConnection& browser,
                                      BufferedConnection& origin) {
    kiosk::ProxyHooks hooks;
    hooks.OnDocument = [](ProxyConnection& request, std::string& body) {
        // A request body passes as it arrives; the hook sees only the head of one that has a body.
        Check(body.empty() && kiosk::ContentLength(request.Headers) > 0);
    };
    const kiosk::ExchangeSetup setup{hooks, kiosk::BodyTransfer::FullDocument};
    std::vector<std::string> methods;
    try {
        while (browser.Connected()) {
            kiosk::RequestHead request;
            if (kiosk::ReadRequestHead(browser, request) != kiosk::RequestRefusal::None) break;
            if (kiosk::CheckRequestBody(request.headers) != kiosk::RequestRefusal::None)
                break;  // 400, 411, 501
            CheckRequestHead(request);
            context.Command = request.method;
            context.Headers = request.headers;
            context.Document = kiosk::ParsePassThroughTarget(request.target).document;
            kiosk::BeginRequestLeg(context, setup);
            kiosk::RelayLeg(context, browser, origin, hooks);
            methods.push_back(context.Command);
        }
    } catch (const std::exception&) {
        // the exchange ends here, as it does on a real connection
    }
    return methods;
}

// Reads the origin's answers, one for each request and GET ones after them. An answer after which the
// exchange would open a new connection is followed here by the bytes of that new connection.
void ReadAnswers(ProxyConnection& context, BufferedConnection& origin, const CheckedStream& stream,
                 BufferedConnection& browser, const std::vector<std::string>& methods) {
    // Every other answer is one the document hook wants whole; the rest pass as they arrive.
    bool wanted = false;
    kiosk::ProxyHooks hooks;
    hooks.WantsDocument = [&wanted](const ProxyConnection&) { return wanted; };
    hooks.OnDocument = [&stream, &wanted](ProxyConnection& answer, std::string& body) {
        Check(body.size() <= stream.Read());
        const long long length = kiosk::ContentLength(answer.Headers);
        // A document longer than the filter takes passes unfiltered: the hook sees only its head.
        const bool tooLarge = length > static_cast<long long>(kiosk::kFilteredDocumentLimit);
        if (!wanted || kiosk::AnswerWithoutBody(answer) || tooLarge) {
            Check(body.empty());
        } else if (!kiosk::IsChunked(answer.Headers) && length >= 0) {
            Check(static_cast<long long>(body.size()) == length);
        }
    };
    try {
        for (size_t i = 0; origin.Connected(); ++i) {
            context.Command = i < methods.size() ? methods[i] : "GET";
            wanted = i % 2 == 0;
            kiosk::ReadAnswerHead(origin, context.Headers);
            CheckLines(context.Headers);
            context.TransferSide = kiosk::ExchangeSide::FromServer;
            const bool keep = kiosk::OriginKeepsAlive(context);
            const size_t closes = stream.ClosesReported();
            kiosk::RelayLeg(context, origin, browser, hooks);
            if (keep) Check(stream.ClosesReported() == closes);
        }
    } catch (const std::exception&) {
        // the exchange ends here, as it does on a real connection
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = data[0];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t marker = input.find(kOriginMarker);
    const std::string_view browserBytes = input.substr(0, marker);
    const std::string_view originBytes =
        marker == std::string_view::npos ? std::string_view() : input.substr(marker + kOriginMarker.size());

    CheckedStream browserStream(std::string(browserBytes), piece);
    CheckedStream originStream(std::string(originBytes), piece);
    BufferedConnection browser(browserStream, kiosk::kWaitForever);
    BufferedConnection origin(originStream, kiosk::kWaitForever);
    ProxyConnection context;
    context.Inspected = true;
    const std::vector<std::string> methods = ReadRequests(context, browser, origin);
    ReadAnswers(context, origin, originStream, browser, methods);
    return 0;
}
