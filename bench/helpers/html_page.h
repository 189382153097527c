#pragma once

// The pages the decoding benchmarks decode: HTML-like text, and files read back whole.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace kiosk::bench {

// HTML-like text from a small vocabulary in pseudo-random order, size bytes long: compresses about
// as well as pages do.
inline std::string MakeHtmlPage(size_t size) {
    static const char* const kWords[] = {"<div class=\"item\">",
                                         "</div>\n",
                                         "<a href=\"/catalog/",
                                         "\">",
                                         "</a>",
                                         "Расписание",
                                         "приёма",
                                         "service",
                                         "terminal",
                                         "<td>",
                                         "</td>",
                                         "<span>",
                                         "</span>",
                                         "2024",
                                         "оплата",
                                         " "};
    std::string page = "<html><head><title>Каталог</title></head><body>\n";
    uint32_t state = 12345;
    while (page.size() < size) {
        state = state * 1103515245u + 12345u;
        page += kWords[(state >> 16) % std::size(kWords)];
        if ((state >> 8) % 7 == 0) page += std::to_string(state % 100000);
    }
    page.resize(size);
    return page;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace kiosk::bench
