#include "text/text_lines.h"

namespace kiosk {

std::vector<std::string> SplitTextLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    size_t start = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.emplace_back(text.substr(start, pos - start));
        pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace kiosk
