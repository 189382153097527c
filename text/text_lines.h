#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// Splits a text into lines: a line ends at CR LF, at a lone CR or at a lone LF; a last line without
// an end is still a line, and a final line end adds no empty line. A NUL character ends the text.
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace kiosk
