#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kiosk {

// The text a rewriting script edits, kept as a gap buffer: the bytes before the gap, unused room,
// then the bytes after it. Scripts edit at and just behind their cursor and search forwards from it,
// so the gap follows the edits: an edit costs its own size plus the distance the gap moves, and a
// forward search looks at contiguous bytes. Positions are 0-based here; the script machine works in
// 1-based positions and converts.
class WorkingText {
public:
    explicit WorkingText(std::string text);

    std::int64_t size() const { return static_cast<std::int64_t>(buffer_.size() - GapLength()); }
    // The byte at pos, 0 <= pos < size().
    char at(std::int64_t pos) const {
        const auto index = static_cast<std::size_t>(pos);
        return buffer_[index < gapStart_ ? index : index + GapLength()];
    }

    // Start of the first occurrence of needle (not empty) that starts in [from, lastStart] and ends
    // within the text; -1 when there is none.
    std::int64_t Find(std::string_view needle, std::int64_t from, std::int64_t lastStart);
    // First byte equal to byte in [from, last], searching forwards; -1 when there is none.
    std::int64_t FindByte(char byte, std::int64_t from, std::int64_t last) const;
    // Last byte equal to byte in [lowest, from], searching backwards from from; -1 when there is none.
    std::int64_t FindByteBackward(char byte, std::int64_t from, std::int64_t lowest) const;

    // Copy of count bytes at pos; the range must lie within the text.
    std::string Copy(std::int64_t pos, std::int64_t count) const;
    // Replaces count bytes at pos by bytes; the range must lie within the text.
    void Replace(std::int64_t pos, std::int64_t count, std::string_view bytes);

    // The whole text as one piece (moves the gap to the end).
    std::string_view View();
    void Assign(std::string text);
    // Hands the text out; the object is then empty.
    std::string Release();

private:
    std::size_t GapLength() const { return gapEnd_ - gapStart_; }
    void MoveGap(std::size_t pos);
    void GrowGap(std::size_t needed);

    std::string buffer_;
    std::size_t gapStart_;
    std::size_t gapEnd_;
};

}  // namespace kiosk
