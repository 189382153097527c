#pragma once

#include <cstddef>
#include <string_view>

#include "proxy/filter/decoded_content.h"

namespace kiosk {

// Decodes a "br" body (RFC 7932). A stream cut short, a corrupt one or bytes after its end are Faulty,
// with what was decoded; more than mostOutput bytes of output are TooLarge. The decoder's window is
// brotli's standard one, at most 16 MiB (large windows are not accepted).
DecodedContent DecodeBrotliBody(std::string_view body, size_t mostOutput);

}  // namespace kiosk
