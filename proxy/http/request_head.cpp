#include "proxy/http/request_head.h"

#include <array>
#include <vector>

#include "text/ascii.h"

namespace kiosk {

namespace {

// Empty lines skipped before a request line: a line end after the body of the request before.
constexpr int kMostEmptyLinesBefore = 8;

// Methods the proxy knows are taken in any letter case and sent on in capitals, as they always were;
// every other method goes on exactly as sent.
constexpr std::array<std::string_view, 8> kKnownMethods = {"GET", "POST",   "HEAD",  "OPTIONS",
                                                           "PUT", "DELETE", "PATCH", "CONNECT"};

bool IsTokenCharacter(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// A control character other than a tab: never part of a request line or a header line. A lone
// carriage return among them would end the line for some readers and not for others.
bool HasControlCharacter(std::string_view line) {
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f) return true;
    }
    return false;
}

bool IsHttpVersion(std::string_view text) {
    return text.size() == 8 && text.starts_with("HTTP/") && text[5] >= '0' && text[5] <= '9' &&
           text[6] == '.' && text[7] >= '0' && text[7] <= '9';
}

std::string CanonicalMethod(std::string_view method) {
    for (const std::string_view known : kKnownMethods) {
        if (AsciiEqualsIgnoringCase(method, known)) return std::string(known);
    }
    return std::string(method);
}

// "method SP target SP version", one blank between each.
bool ParseRequestLine(std::string_view line, RequestHead& head) {
    const size_t first = line.find(' ');
    if (first == std::string_view::npos) return false;
    const size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos) return false;
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    if (!IsHttpToken(method) || target.empty() || !IsHttpVersion(version)) return false;
    head.method = CanonicalMethod(method);
    head.target = target;
    head.version = version;
    return true;
}

std::string_view NameOf(std::string_view line) {
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

// A header line, or a continuation line joined to the one before it.
bool AddHeaderLine(std::string line, HeaderList& headers) {
    if (line.front() == ' ' || line.front() == '\t') {
        if (headers.Count() == 0) return false;
        std::string& previous = headers[headers.Count() - 1];
        previous.append(" ").append(TrimBlanks(line));
        return true;
    }
    if (!IsHttpToken(NameOf(line))) return false;
    headers.Add(std::move(line));
    return true;
}

// One Host only: two could send the request to one host while the hook checks the other.
bool HasOneHostAtMost(const HeaderList& headers) {
    int hosts = 0;
    for (const std::string& line : headers.Lines()) {
        if (AsciiEqualsIgnoringCase(NameOf(line), "Host")) ++hosts;
    }
    return hosts <= 1;
}

// The elements of every value of the named field, in order: "a, b" and two lines "a" and "b" alike.
std::vector<std::string> ListElements(const HeaderList& headers, std::string_view name) {
    std::vector<std::string> elements;
    for (const std::string& line : headers.Lines()) {
        if (!AsciiEqualsIgnoringCase(NameOf(line), name)) continue;
        std::string_view value = std::string_view(line).substr(name.size() + 1);
        for (size_t comma = 0; comma != std::string_view::npos; value.remove_prefix(comma + 1)) {
            comma = value.find(',');
            elements.emplace_back(TrimBlanks(value.substr(0, comma)));
            if (comma == std::string_view::npos) break;
        }
    }
    return elements;
}

bool IsDecimalLength(std::string_view text) {
    if (text.empty() || text.size() > 18) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

RequestRefusal CheckTransferCodings(const std::vector<std::string>& codings) {
    if (AsciiLower(codings.back()) == "chunked") return RequestRefusal::LengthRequired;
    for (const std::string& coding : codings) {
        const std::string lower = AsciiLower(coding);
        if (lower != "chunked" && lower != "gzip" && lower != "deflate" && lower != "compress") {
            return RequestRefusal::NotImplemented;
        }
    }
    return RequestRefusal::BadRequest;  // known codings, but no chunks last: the body's end is unknown
}

}  // namespace

bool IsHttpToken(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (!IsTokenCharacter(c)) return false;
    }
    return true;
}

RequestRefusal ReadRequestHead(BufferedConnection& browser, RequestHead& head) {
    head.headers.Clear();
    try {
        std::string line = browser.ReadLine();
        for (int skipped = 0; line.empty() && skipped < kMostEmptyLinesBefore; ++skipped) {
            line = browser.ReadLine();
        }
        size_t headBytes = line.size() + 2;
        if (HasControlCharacter(line) || !ParseRequestLine(line, head)) return RequestRefusal::BadRequest;
        for (line = browser.ReadLine(); !line.empty(); line = browser.ReadLine()) {
            headBytes += line.size() + 2;
            if (headBytes > kMostRequestHeadBytes || HasControlCharacter(line))
                return RequestRefusal::BadRequest;
            if (!AddHeaderLine(std::move(line), head.headers)) return RequestRefusal::BadRequest;
        }
    } catch (const LineTooLong&) {
        return RequestRefusal::BadRequest;
    }
    return HasOneHostAtMost(head.headers) ? RequestRefusal::None : RequestRefusal::BadRequest;
}

RequestRefusal CheckRequestBody(HeaderList& headers) {
    const std::vector<std::string> codings = ListElements(headers, "Transfer-Encoding");
    const std::vector<std::string> lengths = ListElements(headers, "Content-Length");
    if (!codings.empty()) {
        return lengths.empty() ? CheckTransferCodings(codings) : RequestRefusal::BadRequest;
    }
    if (lengths.empty()) return RequestRefusal::None;
    for (const std::string& length : lengths) {
        if (!IsDecimalLength(length) || length != lengths.front()) return RequestRefusal::BadRequest;
    }
    // Repeats of one length become one line: everything after reads the length from the first.
    while (!headers.Value("Content-Length").empty()) headers.SetValue("Content-Length", "");
    headers.SetValue("Content-Length", lengths.front());
    return RequestRefusal::None;
}

std::string RefusalAnswer(RequestRefusal refusal) {
    std::string_view status = "400 Bad Request";
    if (refusal == RequestRefusal::LengthRequired) status = "411 Length Required";
    if (refusal == RequestRefusal::NotImplemented) status = "501 Not Implemented";
    return "HTTP/1.0 " + std::string(status) + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

}  // namespace kiosk
