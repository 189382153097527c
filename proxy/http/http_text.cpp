#include "proxy/http/http_text.h"

#include <charconv>

namespace kiosk {

std::string HeadText(const std::vector<std::string>& lines) {
    size_t size = 2;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text.append("\r\n");
}

int StatusCode(std::string_view statusLine) {
    const size_t blank = statusLine.find(' ');
    if (blank == std::string_view::npos) return 0;
    const std::string_view rest = statusLine.substr(blank + 1);
    int code = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), code);
    return code;
}

}  // namespace kiosk
