#include "proxy/http/header_dump.h"

#include <array>

#include "os/text_files.h"
#include "text/ascii.h"
#include "text/cp1251.h"
#include "text/network_text.h"

namespace kiosk {

namespace {

constexpr std::array<std::string_view, 4> kSecretHeaders{"Cookie", "Set-Cookie", "Authorization",
                                                         "Proxy-Authorization"};

bool IsSecretHeader(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    for (std::string_view secret : kSecretHeaders) {
        if (AsciiEqualsIgnoringCase(name, secret)) return true;
    }
    return false;
}

bool IsContinuation(std::string_view line) {
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

// The first line of rest, with its end, taken off rest.
std::string_view TakeLine(std::string_view& rest) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
    rest.remove_prefix(line.size());
    return line;
}

// Appends a secret header's line with the value, continuation lines included, replaced by its length.
void AppendMasked(std::string_view& rest, std::string& masked) {
    const std::string_view first = TakeLine(rest);
    const std::string_view text = WithoutLineEnd(first);
    const size_t colon = text.find(':');
    std::string value(text.substr(colon + 1));
    std::string_view end = first.substr(text.size());
    while (IsContinuation(rest)) {
        const std::string_view next = TakeLine(rest);
        value.append(end).append(WithoutLineEnd(next));
        end = next.substr(WithoutLineEnd(next).size());
    }
    masked.append(text.substr(0, colon + 1)).append(" <");
    masked.append(std::to_string(TrimBlanks(value).size())).append(" bytes hidden>").append(end);
}

}  // namespace

std::string MaskSecretHeaders(std::string_view head) {
    std::string masked;
    masked.reserve(head.size());
    std::string_view rest = head;
    while (!rest.empty()) {
        if (IsSecretHeader(rest.substr(0, rest.find('\n')))) {
            AppendMasked(rest, masked);
        } else {
            masked.append(TakeLine(rest));
        }
    }
    return masked;
}

void DumpHead(const KeyValueTable& options, LogWriter& log, const std::string& directory,
              std::string_view title, std::string_view head) {
    const std::string file = options.Value("headers");
    if (file.empty()) return;
    std::string block = "[";
    block.append(title).append("]\r\n").append(MaskSecretHeaders(head));
    log.WriteLog(LogLevel::Error,
                 WriteTextFile(file, true, Utf8ToCp1251(DecodeNetworkText(block)), directory));
}

}  // namespace kiosk
