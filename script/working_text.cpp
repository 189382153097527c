#include "script/working_text.h"

#include <string.h>  // memmem, memrchr

#include <algorithm>
#include <cstring>

namespace kiosk {

namespace {

// Room added when the gap runs out: at least this much, or an eighth of the text, so that a long run
// of insertions costs amortised constant time per byte.
constexpr std::size_t kLeastGrowth = 4096;

std::size_t Unsigned(std::int64_t value) {
    return static_cast<std::size_t>(value);
}

}  // namespace

WorkingText::WorkingText(std::string text)
    : buffer_(std::move(text)), gapStart_(buffer_.size()), gapEnd_(buffer_.size()) {}

std::int64_t WorkingText::Find(std::string_view needle, std::int64_t from, std::int64_t lastStart) {
    const std::int64_t end = std::min(size(), lastStart + static_cast<std::int64_t>(needle.size()));
    if (needle.empty() || from < 0 || end - from < static_cast<std::int64_t>(needle.size())) return -1;
    // The searched range must be contiguous: move the gap out of it, to its start, only when it lies
    // inside.
    const std::size_t first = Unsigned(from);
    if (first < gapStart_ && Unsigned(end) > gapStart_) MoveGap(first);
    const std::size_t physical = first < gapStart_ ? first : first + GapLength();
    const char* base = buffer_.data() + physical;
    const void* hit = ::memmem(base, Unsigned(end - from), needle.data(), needle.size());
    return hit == nullptr ? -1 : from + (static_cast<const char*>(hit) - base);
}

std::int64_t WorkingText::FindByte(char byte, std::int64_t from, std::int64_t last) const {
    from = std::max<std::int64_t>(from, 0);
    last = std::min(last, size() - 1);
    if (from > last) return -1;
    const auto gap = static_cast<std::int64_t>(gapStart_);
    if (from < gap) {
        const std::int64_t stop = std::min(last, gap - 1);
        const void* hit = std::memchr(buffer_.data() + from, byte, Unsigned(stop - from + 1));
        if (hit != nullptr) return static_cast<const char*>(hit) - buffer_.data();
        from = gap;
        if (from > last) return -1;
    }
    const char* base = buffer_.data() + GapLength();
    const void* hit = std::memchr(base + from, byte, Unsigned(last - from + 1));
    return hit == nullptr ? -1 : static_cast<const char*>(hit) - base;
}

std::int64_t WorkingText::FindByteBackward(char byte, std::int64_t from, std::int64_t lowest) const {
    from = std::min(from, size() - 1);
    lowest = std::max<std::int64_t>(lowest, 0);
    if (from < lowest) return -1;
    const auto gap = static_cast<std::int64_t>(gapStart_);
    if (from >= gap) {
        const std::int64_t start = std::max(lowest, gap);
        const char* base = buffer_.data() + GapLength();
        const void* hit = ::memrchr(base + start, byte, Unsigned(from - start + 1));
        if (hit != nullptr) return static_cast<const char*>(hit) - base;
        from = gap - 1;
        if (from < lowest) return -1;
    }
    const void* hit = ::memrchr(buffer_.data() + lowest, byte, Unsigned(from - lowest + 1));
    return hit == nullptr ? -1 : static_cast<const char*>(hit) - buffer_.data();
}

std::string WorkingText::Copy(std::int64_t pos, std::int64_t count) const {
    std::string out;
    out.reserve(Unsigned(count));
    const std::int64_t gap = static_cast<std::int64_t>(gapStart_);
    const std::int64_t before = std::clamp<std::int64_t>(gap - pos, 0, count);
    out.append(buffer_, Unsigned(pos), Unsigned(before));
    out.append(buffer_, Unsigned(pos + before) + GapLength(), Unsigned(count - before));
    return out;
}

void WorkingText::Replace(std::int64_t pos, std::int64_t count, std::string_view bytes) {
    MoveGap(Unsigned(pos));
    gapEnd_ += Unsigned(count);
    if (GapLength() < bytes.size()) GrowGap(bytes.size());
    if (bytes.empty()) return;  // a deletion; its view may have no data at all
    std::memcpy(buffer_.data() + gapStart_, bytes.data(), bytes.size());
    gapStart_ += bytes.size();
}

std::string_view WorkingText::View() {
    MoveGap(Unsigned(size()));
    return std::string_view(buffer_.data(), gapStart_);
}

void WorkingText::Assign(std::string text) {
    buffer_ = std::move(text);
    gapStart_ = gapEnd_ = buffer_.size();
}

std::string WorkingText::Release() {
    MoveGap(Unsigned(size()));
    buffer_.resize(gapStart_);
    gapEnd_ = gapStart_;
    std::string out = std::move(buffer_);
    Assign(std::string());
    return out;
}

void WorkingText::MoveGap(std::size_t pos) {
    char* data = buffer_.data();
    if (pos < gapStart_) {
        const std::size_t count = gapStart_ - pos;
        std::memmove(data + gapEnd_ - count, data + pos, count);
        gapStart_ -= count;
        gapEnd_ -= count;
    } else if (pos > gapStart_) {
        const std::size_t count = pos - gapStart_;
        std::memmove(data + gapStart_, data + gapEnd_, count);
        gapStart_ += count;
        gapEnd_ += count;
    }
}

void WorkingText::GrowGap(std::size_t needed) {
    const std::size_t length = buffer_.size() - GapLength();
    const std::size_t gap = needed + std::max(kLeastGrowth, length / 8);
    std::string grown(length + gap, '\0');
    std::memcpy(grown.data(), buffer_.data(), gapStart_);
    const std::size_t after = buffer_.size() - gapEnd_;
    std::memcpy(grown.data() + gapStart_ + gap, buffer_.data() + gapEnd_, after);
    buffer_ = std::move(grown);
    gapEnd_ = gapStart_ + gap;
}

}  // namespace kiosk
