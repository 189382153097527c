#pragma once

#include <cstdint>
#include <string_view>

#include "script/working_text.h"

namespace kiosk {

// Tag-name tests of the rewriting scripts. position is 1-based, name the tag name as bytes.

// Whether the bytes after the "<" at position spell name: the name's length of bytes is examined,
// "<" among them is skipped, every other byte must be the next byte of name. Bytes past the text's
// end never match.
bool OpeningMatch(const WorkingText& text, std::string_view name, std::int64_t position);

// The same backwards from the ">" at position: the bytes before it, skipping ">", must be name read
// from its end. Positions before the text's start never match.
bool ClosingMatch(const WorkingText& text, std::string_view name, std::int64_t position);

}  // namespace kiosk
