#include "proxy/upstream/http_upstream.h"

#include <cctype>
#include <stdexcept>
#include <string_view>

#include "proxy/http/request_target.h"
#include "proxy/upstream/upstream_connect.h"
#include "text/network_text.h"
#include "util/base64.h"

namespace kiosk {

namespace {

// The same line limit as on the browser's side; the head of a CONNECT reply is short, so a proxy
// that sends more lines than this is not answering the request.
constexpr size_t kMostLineLength = 16384;
constexpr size_t kMostHeadLines = 256;

// One line up to its line feed, without the line end. Reads byte by byte so that no byte of the
// tunnel behind the head is taken.
std::string ReadLine(TcpSocket& socket) {
    std::string line;
    for (;;) {
        char byte = 0;
        if (socket.Receive(&byte, 1, kReadTimeout) == 0) throw ConnectionClosedGracefully();
        if (byte == '\n') break;
        if (line.size() == kMostLineLength) throw std::runtime_error("Max line length exceeded.");
        line += byte;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// The status line, after which the rest of the head is read and dropped. An empty first line is a
// head without a status line.
std::string ReadReplyHead(TcpSocket& socket) {
    const std::string status = ReadLine(socket);
    if (status.empty()) throw std::runtime_error("HTTP proxy sent no status line.");
    for (size_t lines = 1; !ReadLine(socket).empty(); ++lines) {
        if (lines == kMostHeadLines) throw std::runtime_error("HTTP proxy reply head too long.");
    }
    return status;
}

// "HTTP/x.y 2nn" and, if anything follows, a blank before it.
bool IsSuccess(std::string_view status) {
    const size_t space = status.find(' ');
    if (!status.starts_with("HTTP/") || space == std::string_view::npos || status.size() < space + 4)
        return false;
    const std::string_view code = status.substr(space + 1, 3);
    const bool digits = std::isdigit(static_cast<unsigned char>(code[1])) &&
                        std::isdigit(static_cast<unsigned char>(code[2]));
    return code[0] == '2' && digits && (status.size() == space + 4 || status[space + 4] == ' ');
}

}  // namespace

std::string ProxyAuthorizationLine(const HttpProxy& proxy) {
    if (proxy.Username.empty()) return {};
    return "Proxy-Authorization: Basic " +
           Base64Encode(EncodeNetworkText(proxy.Username + ":" + proxy.Password));
}

void HttpConnectHandshake(TcpSocket& socket, const HttpProxy& proxy, const std::string& host, int port) {
    std::string request = "CONNECT " + HostAndPort(host, port) + " HTTP/1.0\r\n";
    const std::string authorization = ProxyAuthorizationLine(proxy);
    if (!authorization.empty()) request += authorization + "\r\n";
    socket.Send(request + "\r\n");
    const std::string status = ReadReplyHead(socket);
    if (IsSuccess(status)) return;
    throw std::runtime_error(DecodeNetworkText(status));
}

}  // namespace kiosk
