#include "text/cp1251.h"

#include <array>
#include <unordered_map>

#include "text/unicode.h"

namespace kiosk {

namespace {

// Code points of the bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

const std::unordered_map<char32_t, char>& ReverseUpperHalf() {
    static const auto* table = [] {
        auto* map = new std::unordered_map<char32_t, char>();
        for (size_t i = 0; i < kUpperHalf.size(); ++i) {
            (*map)[kUpperHalf[i]] = static_cast<char>(0x80 + i);
        }
        return map;
    }();
    return *table;
}

}  // namespace

bool CodePointToCp1251(char32_t cp, char& byte) {
    if (cp < 0x80) {
        byte = static_cast<char>(cp);
        return true;
    }
    if (cp >= 0x0410 && cp <= 0x044F) {
        byte = static_cast<char>(cp - 0x0410 + 0xC0);
        return true;
    }
    const auto& reverse = ReverseUpperHalf();
    const auto found = reverse.find(cp);
    if (found == reverse.end()) return false;
    byte = found->second;
    return true;
}

char32_t Cp1251ToCodePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
    return kUpperHalf[byte - 0x80];
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char byte = '?';
        CodePointToCp1251(NextCodePoint(utf8, pos), byte);
        out += byte;
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        AppendUtf8(out, Cp1251ToCodePoint(static_cast<unsigned char>(byte)));
    }
    return out;
}

}  // namespace kiosk
