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

// One header line of the head at a time, each without its line end.
class HeadLines {
public:
    explicit HeadLines(std::string_view head) : rest_(head) {}
    bool Empty() const { return rest_.empty(); }
    std::string_view Peek() const { return rest_.substr(0, LineLength()); }
    // The line with its end, taken off the head.
    std::string_view Take() {
        const size_t end = rest_.find('\n');
        const size_t size = end == std::string_view::npos ? rest_.size() : end + 1;
        const std::string_view line = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return line;
    }

private:
    size_t LineLength() const {
        size_t end = rest_.find('\n');
        if (end == std::string_view::npos) end = rest_.size();
        if (end > 0 && rest_[end - 1] == '\r') --end;
        return end;
    }
    std::string_view rest_;
};

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

std::string_view LineEnd(std::string_view line) {
    return line.substr(WithoutLineEnd(line).size());
}

// Replaces a secret header's value, with the continuation lines that follow it, by its length.
void AppendMasked(HeadLines& lines, std::string& masked) {
    const std::string_view first = lines.Take();
    const std::string_view text = WithoutLineEnd(first);
    const size_t colon = text.find(':');
    std::string value(text.substr(colon + 1));
    std::string_view end = LineEnd(first);
    while (!lines.Empty() && IsContinuation(lines.Peek())) {
        const std::string_view next = lines.Take();
        value.append(end).append(WithoutLineEnd(next));
        end = LineEnd(next);
    }
    masked.append(text.substr(0, colon + 1)).append(" <");
    masked.append(std::to_string(TrimBlanks(value).size())).append(" bytes hidden>").append(end);
}

}  // namespace

std::string MaskSecretHeaders(std::string_view head) {
    std::string masked;
    masked.reserve(head.size());
    HeadLines lines(head);
    while (!lines.Empty()) {
        if (IsSecretHeader(lines.Peek())) {
            AppendMasked(lines, masked);
        } else {
            masked.append(lines.Take());
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
