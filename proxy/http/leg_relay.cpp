#include "proxy/http/leg_relay.h"

#include <charconv>

#include "text/ascii.h"

#include "proxy/http/body_stream.h"
#include "proxy/http/http_text.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

constexpr size_t kJoinedBodyLimit = 16384;

bool FromServer(const ProxyConnection& context) {
    return context.TransferSide == ExchangeSide::FromServer;
}

// The request line and headers sent upstream, or the answer's status line and headers as the
// document hook left them.
std::string HeadToSend(const ProxyConnection& context) {
    if (FromServer(context)) return HeadText(context.Headers.Lines());
    if (context.Inspected) {
        // HTTP/1.1, so that the origin keeps its connection for the next request.
        return context.Command + " " + context.Document + " HTTP/1.1\r\n" + HeadText(context.Headers.Lines());
    }
    const OutboundRoute& client = *context.Route;
    std::vector<std::string> lines = context.Headers.Lines();
    const std::vector<std::string> added = UpstreamRequestHeaders(client);
    lines.insert(lines.end(), added.begin(), added.end());
    return context.Command + " " + UpstreamRequestTarget(client, context.Document) + " HTTP/1.0\r\n" +
           HeadText(lines);
}

// Where the answer's body ends. Outside a decrypted CONNECT the request went as HTTP/1.0, so an answer
// without a length ends at the close, and any chunks in it pass as they are.
BodyFraming AnswerFraming(const ProxyConnection& context) {
    if (context.Inspected && IsChunked(context.Headers)) return {BodyFraming::Kind::Chunked};
    const long long length = ContentLength(context.Headers);
    if (length >= 0) return {BodyFraming::Kind::Length, static_cast<unsigned long long>(length)};
    return {BodyFraming::Kind::ToClose};
}

// Whether the answer is framed for a browser's connection that outlives it: always inside a decrypted
// CONNECT, and for a plain request that kept its connection.
bool FramedForKeptBrowser(const ProxyConnection& context) {
    return context.Inspected || context.KeepBrowser;
}

// When the browser's connection outlives the answer, the answer must say where its body ends: by its length
// when the body was read whole or the origin announced it; else in chunks of the proxy's own, or, for a
// browser that does not read chunks, by the close of the connection. Returns whether the body goes in chunks.
bool FrameForBrowser(ProxyConnection& context, const BodyFraming& framing, const std::string* whole) {
    HeaderList& answer = context.Headers;
    bool chunked = false;
    if (!AnswerWithoutBody(context)) {
        answer.SetValue("Transfer-Encoding", "");
        if (whole) {
            answer.SetValue("Content-Length", std::to_string(whole->size()));
        } else if (framing.kind != BodyFraming::Kind::Length) {
            answer.SetValue("Content-Length", "");
            chunked = context.BrowserTakesChunks;
            if (chunked) answer.SetValue("Transfer-Encoding", "chunked");
            context.KeepBrowser = context.KeepBrowser && chunked;
        }
    }
    answer.SetValue("Keep-Alive", "");
    answer.SetValue("Connection", context.KeepBrowser ? "keep-alive" : "close");
    return chunked;
}

// The document hook sees a head whose body is relayed as it arrives with an empty body: it has
// nothing to filter, and writes the head to the dump.
void ShowHeadToHook(ProxyConnection& context, const ProxyHooks& hooks) {
    std::string nothing;
    if (hooks.OnDocument) hooks.OnDocument(context, nothing);
}

// The request's head, then its body as it arrives.
void RelayRequest(ProxyConnection& context, BufferedConnection& source, BufferedConnection& destination,
                  const ProxyHooks& hooks) {
    const long long length = ContentLength(context.Headers);
    if (length > 0) ShowHeadToHook(context, hooks);
    std::string head = HeadToSend(context);
    if (length <= 0) {
        destination.Write(head);
        return;
    }
    BodyReader reader(source, {BodyFraming::Kind::Length, static_cast<unsigned long long>(length)});
    reader.ReadArrived(head);
    destination.Write(head);
    BodyWriter writer(destination, false);
    RelayBody(reader, writer);
}

// A body read whole goes to the document hook, then out with its head.
void SendWholeAnswer(ProxyConnection& context, std::string& body, BufferedConnection& destination,
                     const ProxyHooks& hooks) {
    if (hooks.OnDocument) hooks.OnDocument(context, body);
    if (FramedForKeptBrowser(context)) FrameForBrowser(context, {}, &body);
    std::string head = HeadToSend(context);
    // A small body goes out with its head in one piece: one TLS record and one system call.
    if (body.size() <= kJoinedBodyLimit) {
        destination.Write(head.append(body));
        return;
    }
    destination.Write(head);
    destination.Write(body);
}

void RelayAnswer(ProxyConnection& context, BufferedConnection& source, BufferedConnection& destination,
                 const ProxyHooks& hooks) {
    std::string body;
    if (AnswerWithoutBody(context)) {
        SendWholeAnswer(context, body, destination, hooks);
        return;
    }
    const BodyFraming framing = AnswerFraming(context);
    BodyReader reader(source, framing);
    if (hooks.WantsDocument && hooks.WantsDocument(context)) {
        const bool fits =
            framing.kind != BodyFraming::Kind::Length || framing.length <= kFilteredDocumentLimit;
        if (fits && ReadBodyUpTo(reader, kFilteredDocumentLimit, body)) {
            SendWholeAnswer(context, body, destination, hooks);
            return;
        }
        if (hooks.OnFailure) hooks.OnFailure(context, kDocumentTooLarge);
    }
    ShowHeadToHook(context, hooks);
    const bool chunked = FramedForKeptBrowser(context) && FrameForBrowser(context, framing, nullptr);
    std::string head = HeadToSend(context);
    // What has arrived of the body goes out with the head: one system call, and for a small answer
    // one packet.
    if (!chunked && body.empty()) reader.ReadArrived(head);
    destination.Write(head);
    BodyWriter writer(destination, chunked);
    writer.Write(body);
    body = std::string();
    RelayBody(reader, writer);
}

}  // namespace

long long ContentLength(const HeaderList& headers) {
    const std::string value = headers.Value("Content-Length");
    std::string_view text = value;
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    long long length = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return -1;
    return length;
}

bool IsChunked(const HeaderList& headers) {
    return AsciiLower(headers.Value("Transfer-Encoding")).find("chunked") != std::string::npos;
}

// An answer to HEAD announces the length of the document without sending it; 1xx, 204 and 304 never
// have a body. Waiting for the announced bytes would fail these answers, or hold them until the
// server closes.
bool AnswerWithoutBody(const ProxyConnection& context) {
    const int status = context.Headers.Count() == 0 ? 0 : StatusCode(context.Headers[0]);
    return context.Command == "HEAD" || (status >= 100 && status < 200) || status == 204 || status == 304;
}

void RelayLeg(ProxyConnection& context, BufferedConnection& source, BufferedConnection& destination,
              const ProxyHooks& hooks) {
    if (FromServer(context)) {
        RelayAnswer(context, source, destination, hooks);
    } else {
        RelayRequest(context, source, destination, hooks);
    }
}

}  // namespace kiosk
