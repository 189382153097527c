#pragma once

#include <string>
#include <string_view>

namespace kiosk {

// The standard base64 alphabet with "=" padding, no line breaks.
std::string Base64Encode(std::string_view bytes);

}  // namespace kiosk
