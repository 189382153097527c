#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The lines of a head as sent: each line followed by CR LF, then the empty line that ends the head.
std::string HeadText(const std::vector<std::string>& lines);

// The status code of a status line such as "HTTP/1.1 200 OK", as the relay reads it: the number at the
// start of the text after the first blank; 0 when the line has no blank or no number is there. (The
// document filter reads the code by its own, stricter rule, since it also keeps the line's prefix.)
int StatusCode(std::string_view statusLine);

}  // namespace kiosk
