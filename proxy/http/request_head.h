#pragma once

#include <string>
#include <string_view>

#include "proxy/http/header_list.h"
#include "proxy/server/buffered_connection.h"

namespace kiosk {

// A request's head as the browser sent it: "method target version", then its header lines (each
// continuation line joined to the line before it with one blank).
struct RequestHead {
    std::string method;  // GET, POST, HEAD, OPTIONS, PUT, DELETE, PATCH and CONNECT in capitals;
                         // any other token as sent
    std::string target;
    std::string version;  // "HTTP/1.1", "HTTP/1.0", ...
    HeaderList headers;
};

// Why a request cannot be served: the status of the answer that refuses it; None when it can.
enum class RequestRefusal { None = 0, BadRequest = 400, LengthRequired = 411, NotImplemented = 501 };

// The longest request head taken, its lines and line ends together.
inline constexpr size_t kMostRequestHeadBytes = 1u << 20;

// Reads the next request's head, skipping a few empty lines before it. Refuses (BadRequest) a first
// line that is not "method SP target SP HTTP/d.d", a header line without a "name:" whose name is a
// token, a control character other than a tab in a line, a line longer than the connection allows and
// a head longer than kMostRequestHeadBytes. The connection must not be read from again after a
// refusal: where the bad head ends is unknown. Throws ConnectionClosedGracefully when the browser
// closes first, and the connection's time-out.
RequestRefusal ReadRequestHead(BufferedConnection& browser, RequestHead& head);

// How the request's body is framed: none, or its Content-Length, whose repeats of one value become a
// single line. Refuses a Transfer-Encoding beside a
// Content-Length, Content-Length values that differ or are not decimal numbers (BadRequest), a
// chunked body (LengthRequired: the request goes on as HTTP/1.0, which has no chunks) and any other
// transfer coding (NotImplemented).
RequestRefusal CheckRequestBody(HeaderList& headers);

// The whole answer that refuses a request; the connection is closed after it.
std::string RefusalAnswer(RequestRefusal refusal);

// Whether the text is an HTTP token (RFC 9110), as methods and header names are.
bool IsHttpToken(std::string_view text);

}  // namespace kiosk
