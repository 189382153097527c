#include "proxy/http/chunked_body.h"

#include <charconv>
#include <stdexcept>

namespace kiosk {

namespace {

// Larger chunks than this are refused: no body of a page comes close, and the sum cannot overflow.
constexpr unsigned long long kLargestChunk = 1ull << 40;

unsigned long long ChunkSize(const std::string& line) {
    std::string_view text = line;
    text = text.substr(0, text.find(';'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    unsigned long long size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || size > kLargestChunk)
        throw std::runtime_error("Invalid chunk size.");
    return size;
}

}  // namespace

void ReadChunkedBody(BufferedConnection& source, std::string& body) {
    for (unsigned long long size = ChunkSize(source.ReadLine()); size > 0;
         size = ChunkSize(source.ReadLine())) {
        source.ReadExactly(size, body);
        if (!source.ReadLine().empty()) throw std::runtime_error("Invalid chunk size.");
    }
    while (!source.ReadLine().empty()) {
        // trailer lines are dropped
    }
}

}  // namespace kiosk
