#include "proxy/http/leg_relay.h"

#include <charconv>

#include "text/ascii.h"

#include "proxy/http/chunked_body.h"
#include "proxy/http/http_text.h"
#include "proxy/upstream/upstream_connect.h"

namespace kiosk {

namespace {

constexpr size_t kJoinedBodyLimit = 16384;

bool FromServer(const TIdHTTPProxyServerContext& context) {
    return context.TransferSide == TIdHTTPProxyTransferSide::FromServer;
}

// The request line and headers sent upstream, or the answer's status line and headers as the
// document hook left them.
std::string HeadToSend(const TIdHTTPProxyServerContext& context) {
    if (FromServer(context)) return HeadText(context.Headers.Lines());
    if (context.Inspected) {
        // HTTP/1.1, so that the origin keeps its connection for the next request.
        return context.Command + " " + context.Document + " HTTP/1.1\r\n" + HeadText(context.Headers.Lines());
    }
    const TIdTCPClient& client = *context.UpstreamClient;
    std::vector<std::string> lines = context.Headers.Lines();
    const std::vector<std::string> added = UpstreamRequestHeaders(client);
    lines.insert(lines.end(), added.begin(), added.end());
    return context.Command + " " + UpstreamRequestTarget(client, context.Document) + " HTTP/1.0\r\n" +
           HeadText(lines);
}

std::string ReadBody(const TIdHTTPProxyServerContext& context, BufferedConnection& source) {
    std::string body;
    if (FromServer(context) && AnswerWithoutBody(context)) return body;
    const long long length = ContentLength(context.Headers);
    if (FromServer(context) && context.Inspected && IsChunked(context.Headers)) {
        ReadChunkedBody(source, body);
    } else if (length >= 0) {
        source.ReadExactly(static_cast<unsigned long long>(length), body);
    } else {
        source.ReadToClose(body);
    }
    return body;
}

}  // namespace

long long ContentLength(const TIdHeaderList& headers) {
    const std::string value = headers.Value("Content-Length");
    std::string_view text = value;
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    long long length = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return -1;
    return length;
}

bool IsChunked(const TIdHeaderList& headers) {
    return AsciiLower(headers.Value("Transfer-Encoding")).find("chunked") != std::string::npos;
}

// An answer to HEAD announces the length of the document without sending it; 1xx, 204 and 304 never
// have a body. Waiting for the announced bytes would fail these answers, or hold them until the
// server closes.
bool AnswerWithoutBody(const TIdHTTPProxyServerContext& context) {
    const int status = context.Headers.Count() == 0 ? 0 : StatusCode(context.Headers[0]);
    return context.Command == "HEAD" || (status >= 100 && status < 200) || status == 204 || status == 304;
}

void RelayLeg(TIdHTTPProxyServerContext& context, BufferedConnection& source, BufferedConnection& destination,
              const ProxyHooks& hooks) {
    if (!FromServer(context) && ContentLength(context.Headers) <= 0) {
        destination.Write(HeadToSend(context));
        return;
    }
    std::string body = ReadBody(context, source);
    if (hooks.OnHTTPDocument) hooks.OnHTTPDocument(context, body);
    std::string head = HeadToSend(context);
    // A small body goes out with its head in one piece: one TLS record and one system call.
    if (body.size() <= kJoinedBodyLimit) {
        destination.Write(head.append(body));
        return;
    }
    destination.Write(head);
    destination.Write(body);
}

}  // namespace kiosk
