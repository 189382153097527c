#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The lines of a head as sent: each line followed by CR LF, then the empty line that ends the head.
std::string HeadText(const std::vector<std::string>& lines);

// The status code of a status line such as "HTTP/1.1 200 OK": the number at the start of the text
// after the first blank, or of the whole line when it has no blank; 0 when no number is there.
int StatusCode(std::string_view statusLine);

}  // namespace kiosk
