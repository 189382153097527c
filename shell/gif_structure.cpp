#include "shell/gif_structure.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kiosk {

namespace {

constexpr int kMostCodes = 4096;  // codes are at most 12 bits wide

// Reads the bytes of a GIF from the front; every read fails once the bytes run out.
class GifReader {
public:
    explicit GifReader(std::string_view bytes) : bytes_(bytes) {}
    bool AtEnd() const { return position_ >= bytes_.size(); }
    std::optional<unsigned> Byte() {
        if (AtEnd()) return std::nullopt;
        return static_cast<unsigned char>(bytes_[position_++]);
    }
    std::optional<unsigned> Word() {
        const auto low = Byte();
        const auto high = Byte();
        if (!low || !high) return std::nullopt;
        return *low | (*high << 8);
    }
    bool Skip(size_t count) {
        if (bytes_.size() - position_ < count) return false;
        position_ += count;
        return true;
    }
    // The data of a chain of sub-blocks up to its empty block; nothing when it is cut short.
    std::optional<std::string> SubBlocks() {
        std::string data;
        for (;;) {
            const auto size = Byte();
            if (!size) return std::nullopt;
            if (*size == 0) return data;
            if (bytes_.size() - position_ < *size) return std::nullopt;
            data.append(bytes_.substr(position_, *size));
            position_ += *size;
        }
    }

private:
    std::string_view bytes_;
    size_t position_ = 0;
};

// How many pixels the LZW data decodes to; nothing when a code is invalid.
std::optional<long long> DecodedPixels(const std::string& data, unsigned minimumCodeSize) {
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::array<int, kMostCodes> length{};  // the pixels each code stands for
    for (int code = 0; code < clear; ++code) length[code] = 1;
    int next = clear + 2;
    int width = static_cast<int>(minimumCodeSize) + 1;
    int previous = -1;
    long long pixels = 0;
    unsigned long long bits = 0;
    int bitCount = 0;
    for (size_t at = 0;;) {
        while (bitCount < width && at < data.size()) {
            bits |= static_cast<unsigned long long>(static_cast<unsigned char>(data[at++])) << bitCount;
            bitCount += 8;
        }
        if (bitCount < width) return pixels;  // the data ends without an end code: many encoders do that
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        bitCount -= width;
        if (code == clear) {
            next = clear + 2;
            width = static_cast<int>(minimumCodeSize) + 1;
            previous = -1;
            continue;
        }
        if (code == end) return pixels;
        if (previous < 0) {
            if (code >= clear) return std::nullopt;  // the first code after a clear is a pixel
        } else if (code > next || (code == next && next >= kMostCodes)) {
            return std::nullopt;
        } else if (next < kMostCodes) {
            length[next] = length[previous] + 1;
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        pixels += length[code];
        previous = code;
    }
}

bool ColourTable(GifReader& reader, unsigned flags) {
    return (flags & 0x80) == 0 || reader.Skip(3u << ((flags & 0x07) + 1));
}

bool Image(GifReader& reader) {
    const auto left = reader.Word(), top = reader.Word(), width = reader.Word(), height = reader.Word();
    const auto flags = reader.Byte();
    if (!left || !top || !width || !height || !flags || !ColourTable(reader, *flags)) return false;
    const auto codeSize = reader.Byte();
    if (!codeSize || *codeSize < 1 || *codeSize > 11) return false;
    const auto data = reader.SubBlocks();
    if (!data) return false;
    const auto pixels = DecodedPixels(*data, *codeSize);
    return pixels && *pixels >= static_cast<long long>(*width) * *height;
}

}  // namespace

bool DecodesAsGif(std::string_view bytes) {
    if (!bytes.starts_with("GIF87a") && !bytes.starts_with("GIF89a")) return false;
    GifReader reader(bytes.substr(6));
    const auto screenWidth = reader.Word(), screenHeight = reader.Word(), flags = reader.Byte();
    if (!screenWidth || !screenHeight || !flags || !reader.Skip(2) || !ColourTable(reader, *flags))
        return false;
    bool imageSeen = false;
    while (!reader.AtEnd()) {
        const auto introducer = reader.Byte();
        if (*introducer == 0x3B) break;  // the trailer
        if (*introducer == 0x21) {
            if (!reader.Byte() || !reader.SubBlocks()) return false;
        } else if (*introducer == 0x2C) {
            if (!Image(reader)) return false;
            imageSeen = true;
        } else {
            return false;
        }
    }
    return imageSeen;
}

}  // namespace kiosk
