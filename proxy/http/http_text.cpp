#include "proxy/http/http_text.h"

#include <charconv>

namespace kiosk {

std::string HeadText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text + "\r\n";
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
