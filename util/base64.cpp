#include "util/base64.h"

#include <algorithm>
#include <cstdint>

namespace kiosk {

std::string Base64Encode(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            const auto byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u;
            group = (group << 8) | byte;
        }
        for (size_t k = 0; k < 4; ++k) {
            out += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return out;
}

}  // namespace kiosk
