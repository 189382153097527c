// Feeds arbitrary bytes to the request target parsers and the header list. The input's first line is
// a header name, its second a value, the rest are header lines; the whole input is also parsed as a
// pass-through and as a tunnel target. Besides the sanitizers' checks it checks what every caller
// relies on: a parsed target keeps no backslash in host or document and no slash in its host, a tunnel
// host has no colon, a value that was set reads back as set (blanks folded), and setting or deleting a
// value leaves every other line as it was.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/http/header_list.h"
#include "proxy/http/request_target.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Runs of blanks as one blank, none at the ends.
std::string FoldBlanks(std::string_view text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        out += c;
        blank = false;
    }
    return out;
}

// A header name as the program writes them: no blank, colon or control character.
std::string AsName(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > ' ' && c != ':' && c != '\x7F') name += c;
    }
    return name;
}

bool HasName(const std::string& line, const std::string& name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return line.find(':') == name.size();
}

// The lines without the first field of that name: its line and the continuation lines after it.
std::vector<std::string> WithoutField(std::vector<std::string> lines, const std::string& name) {
    size_t first = 0;
    while (first < lines.size() && !HasName(lines[first], name)) ++first;
    if (first == lines.size()) return lines;
    size_t end = first + 1;
    while (end < lines.size() && !lines[end].empty() && IsBlank(lines[end].front())) ++end;
    lines.erase(lines.begin() + first, lines.begin() + end);
    return lines;
}

std::vector<std::string_view> SplitLines(std::string_view input) {
    std::vector<std::string_view> lines;
    while (!input.empty()) {
        const size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    return lines;
}

void CheckTargets(std::string_view input) {
    const kiosk::PassThroughTarget target = kiosk::ParsePassThroughTarget(input);
    Check(target.host.find('\\') == std::string::npos && target.document.find('\\') == std::string::npos);
    Check(target.host.find('/') == std::string::npos);
    if (input.find("://") != std::string_view::npos) Check(target.document.starts_with("/"));
    const kiosk::TunnelTarget tunnel = kiosk::ParseTunnelTarget(input);
    // A host with colons is an IPv6 address, which only brackets can hold.
    if (tunnel.host.find(':') != std::string::npos)
        Check(input.find("[" + tunnel.host + "]") != std::string_view::npos);
}

void CheckHeaders(const std::vector<std::string_view>& lines) {
    if (lines.size() < 2) return;
    kiosk::HeaderList headers;
    for (size_t i = 2; i < lines.size(); ++i) headers.Add(std::string(lines[i]));
    const std::string name = AsName(lines[0]);
    const std::string_view value = lines[1];
    headers.Value(lines[0]);
    const std::vector<std::string> original = headers.Lines();
    headers.SetValue(name, value);
    if (value.empty()) {
        Check(headers.Lines() == WithoutField(original, name));
        return;
    }
    Check(FoldBlanks(headers.Value(name)) == FoldBlanks(value));
    Check(WithoutField(headers.Lines(), name) == WithoutField(original, name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckTargets(input);
    CheckHeaders(SplitLines(input));
    return 0;
}
