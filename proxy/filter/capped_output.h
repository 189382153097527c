#pragma once

#include <cstddef>
#include <string>

namespace kiosk {

// The output of a decoder, which never grows past a cap: a small body that expands to gigabytes (a
// "decompression bomb") stops at the cap instead of taking the terminal's memory. Its buffer never
// holds more room than the cap either, so decoding allocates at most the cap plus the decoder's chunk.
class CappedOutput {
public:
    explicit CappedOutput(size_t mostBytes) : mostBytes_(mostBytes) {}

    // Makes room for an output expected to be this long (a size hint from the body, which may lie).
    void Reserve(size_t expectedBytes);

    // Appends what fits under the cap; false, and overflowed() from then on, when bytes were left out.
    bool Append(const char* bytes, size_t length);
    bool Append(const unsigned char* bytes, size_t length) {
        return Append(reinterpret_cast<const char*>(bytes), length);
    }

    bool overflowed() const { return overflowed_; }
    const std::string& text() const { return text_; }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
    size_t mostBytes_;
    bool overflowed_ = false;
};

}  // namespace kiosk
