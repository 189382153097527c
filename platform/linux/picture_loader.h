#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string_view>

namespace kiosk {

// A picture from its file bytes (any format GdkPixbuf reads, SVG included), scaled to width x height
// when both are positive. nullptr when the bytes are not a picture. The caller owns the reference.
GdkPixbuf* LoadPicture(std::string_view bytes, int width = 0, int height = 0);

// An animated picture (GIF) from its file bytes; nullptr when the bytes are not one.
GdkPixbufAnimation* LoadAnimation(std::string_view bytes);

}  // namespace kiosk
