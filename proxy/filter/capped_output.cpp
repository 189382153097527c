#include "proxy/filter/capped_output.h"

#include <algorithm>

namespace kiosk {

namespace {

// std::string::reserve may take twice the room asked for, past the cap; a fresh string takes exactly
// what it is asked for.
void GrowRoom(std::string& text, size_t room) {
    if (room <= text.capacity()) return;
    std::string larger;
    larger.reserve(room);
    larger.append(text);
    text.swap(larger);
}

}  // namespace

void CappedOutput::Reserve(size_t expectedBytes) {
    GrowRoom(text_, std::min(expectedBytes, mostBytes_));
}

bool CappedOutput::Append(const char* bytes, size_t length) {
    const size_t room = mostBytes_ - text_.size();
    const size_t kept = std::min(length, room);
    const size_t needed = text_.size() + kept;
    // Doubling as std::string would, but never past the cap.
    if (needed > text_.capacity())
        GrowRoom(text_, std::min(std::max(needed, 2 * text_.capacity()), mostBytes_));
    text_.append(bytes, kept);
    if (length > room) overflowed_ = true;
    return length <= room;
}

}  // namespace kiosk
