#include "text/network_text.h"

#include "text/unicode.h"

namespace kiosk {

std::string EncodeNetworkText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp >= 0x0410 && cp <= 0x044F) {
            out += static_cast<char>(cp - 848);
        } else if (cp == 0x0401) {
            out += static_cast<char>(0xA8);
        } else if (cp == 0x0451) {
            out += static_cast<char>(0xB8);
        } else {
            out += static_cast<char>(cp & 0xFF);
        }
    }
    return out;
}

std::string DecodeNetworkText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        AppendUtf8(out, static_cast<unsigned char>(byte));
    }
    return out;
}

}  // namespace kiosk
