#pragma once

#include <cstddef>
#include <string_view>

#include "proxy/filter/decoded_content.h"

namespace kiosk {

// The largest window a zstd frame may ask for: 8 MiB, what every HTTP decoder must support (RFC 8878).
inline constexpr int kMostZstdWindowLog = 23;

// Decodes a "zstd" body: one or more frames in a row (skippable frames are passed over). A frame cut
// short, a corrupt one or bytes that are no frame are Faulty, with what was decoded; more than
// mostOutput bytes of output are TooLarge, and so is a frame that asks for a window over 8 MiB, since
// it asks for more memory than an HTTP decoder gives.
DecodedContent DecodeZstdBody(std::string_view body, size_t mostOutput);

}  // namespace kiosk
