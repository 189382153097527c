#pragma once

#include <string>

#include "proxy/server/buffered_connection.h"

namespace kiosk {

// Reads a body sent in HTTP/1.1 chunks from source and appends its data to body: each chunk's size
// line (hexadecimal, extensions ignored), its bytes and line end, up to the zero-sized chunk and the
// trailer lines after it. Throws std::runtime_error "Invalid chunk size." for a size line that is
// not a number (or too large a one), and the reading failures of source.
void ReadChunkedBody(BufferedConnection& source, std::string& body);

}  // namespace kiosk
