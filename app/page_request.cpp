#include "app/page_request.h"

#include <algorithm>
#include <stdexcept>

#include "os/tcp_socket.h"
#include "proxy/http/request_target.h"
#include "proxy/tls/https_inspection.h"
#include "proxy/tls/tls_contexts.h"
#include "proxy/tls/tls_stream.h"
#include "proxy/upstream/upstream_connect.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

constexpr size_t kLongestHead = 64 * 1024;
constexpr const char* kEncodingsOffered = "gzip, deflate, br, zstd";

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

std::string HostHeader(const std::string& host, int port, int defaultPort) {
    const std::string name = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return port == defaultPort ? name : name + ":" + std::to_string(port);
}

// An answer read from a stream: its head, and what of the body came with it.
struct AnswerStart {
    std::string head;
    std::string bodyStart;
};

AnswerStart ReadHead(ByteStream& stream) {
    std::string bytes;
    char buffer[16 * 1024];
    for (;;) {
        const size_t end = bytes.find("\r\n\r\n");
        if (end != std::string::npos) return {bytes.substr(0, end + 2), bytes.substr(end + 4)};
        if (bytes.size() > kLongestHead) throw std::runtime_error("заголовок ответа длиннее 64 КиБ");
        const size_t count = stream.Receive(buffer, sizeof buffer, kReadTimeout);
        if (count == 0) {
            throw std::runtime_error(bytes.empty() ? "прокси закрыл соединение без ответа"
                                                   : "соединение закрыто посреди заголовка ответа");
        }
        bytes.append(buffer, count);
    }
}

// The Content-Length of a head; -1 when it has none that reads as a number.
long long BodyLength(const std::string& head) {
    const std::string lower = LowerAscii(head);
    const size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return -1;
    size_t from = at + 17;
    while (from < head.size() && head[from] == ' ') ++from;
    const std::optional<std::int32_t> length = ParseInteger(head.substr(from, head.find('\r', from) - from));
    return length && *length >= 0 ? *length : -1;
}

// The body after its head: its Content-Length's bytes, or everything up to the close.
void CopyBody(ByteStream& stream, const AnswerStart& start, std::ostream& body) {
    const long long length = BodyLength(start.head);
    long long left = length < 0 ? -1 : length - static_cast<long long>(start.bodyStart.size());
    body << (length < 0 ? start.bodyStart : start.bodyStart.substr(0, static_cast<size_t>(length)));
    char buffer[64 * 1024];
    while (left != 0) {
        const size_t want = left < 0 ? sizeof buffer : std::min(sizeof buffer, static_cast<size_t>(left));
        const size_t count = stream.Receive(buffer, want, kReadTimeout);
        if (count == 0) break;
        body.write(buffer, static_cast<std::streamsize>(count));
        if (left > 0) left -= static_cast<long long>(count);
    }
}

std::string Exchange(ByteStream& stream, const std::string& request, std::ostream& body) {
    stream.Send(request);
    const AnswerStart start = ReadHead(stream);
    CopyBody(stream, start, body);
    return start.head;
}

std::string RequestHeaders(const PageAddress& page) {
    return "Host: " + page.hostHeader + "\r\nAccept: */*\r\nAccept-Encoding: " + kEncodingsOffered +
           "\r\nConnection: close\r\n\r\n";
}

std::string RequestThroughTunnel(TcpSocket& socket, const PageAddress& page, const std::string& caFile,
                                 std::ostream& body) {
    const std::string authority = HostHeader(page.host, page.port, -1);
    socket.Send("CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n");
    const std::string head = ReadHead(socket).head;
    if (head.find(" 200") == std::string::npos)
        throw std::runtime_error("прокси не открыл туннель: " + head.substr(0, head.find('\r')));
    const SslContextPtr context = MakeOriginSideContext(caFile);
    TlsStream tls(socket, NewOriginSession(context.get(), page.host));
    tls.Connect(HttpsInspection::kHandshakeTimeout);
    // HTTP/1.0: the answer comes whole (never in chunks) and the connection ends after it.
    return Exchange(tls, "GET " + page.document + " HTTP/1.0\r\n" + RequestHeaders(page), body);
}

}  // namespace

std::optional<PageAddress> ParsePageAddress(const std::string& url) {
    PageAddress page;
    const std::string lower = LowerAscii(url.substr(0, 8));
    if (lower.starts_with("https://")) {
        page.https = true;
    } else if (!lower.starts_with("http://")) {
        return std::nullopt;
    }
    page.absolute = url.substr(0, url.find('#'));
    const PassThroughTarget target = ParsePassThroughTarget(page.absolute);
    const int defaultPort = page.https ? 443 : 80;
    page.port = PortNumber(target.port, defaultPort);
    if (target.host.empty() || page.port < 1 || page.port > 65535) return std::nullopt;
    page.host = target.host;
    page.hostHeader = HostHeader(page.host, page.port, defaultPort);
    page.document = target.document;
    return page;
}

std::string RequestThroughProxy(int proxyPort, const PageAddress& page, const std::string& caFile,
                                std::ostream& body) {
    TcpSocket socket;
    socket.Connect("127.0.0.1", proxyPort, kConnectTimeout);
    if (page.https) return RequestThroughTunnel(socket, page, caFile, body);
    return Exchange(socket, "GET " + page.absolute + " HTTP/1.1\r\n" + RequestHeaders(page), body);
}

}  // namespace kiosk
