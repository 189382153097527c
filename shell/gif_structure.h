#pragma once

#include <string_view>

namespace kiosk {

// Whether bytes are a whole GIF image that decodes: the signature and screen descriptor, colour tables
// of their announced sizes, extensions and images each complete, every image's LZW codes valid and
// giving at least its width times height pixels, at least one image, and nothing cut short (the
// trailer may be missing after the last complete block).
bool DecodesAsGif(std::string_view bytes);

}  // namespace kiosk
