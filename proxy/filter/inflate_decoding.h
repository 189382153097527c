#pragma once

#include <cstddef>
#include <string_view>

#include "proxy/filter/decoded_content.h"

namespace kiosk {

// Decodes a "deflate" body: zlib-wrapped data when the body starts with a zlib header, raw deflate
// data otherwise, as browsers accept both. A stream cut short, a bad checksum, a preset dictionary or
// bytes after the stream's end are Faulty, with what was decoded; more than mostOutput bytes of output
// are TooLarge.
DecodedContent InflateDeflateBody(std::string_view body, size_t mostOutput);

}  // namespace kiosk
