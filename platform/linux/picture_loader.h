#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string_view>

#include "platform/linux/gobject_ref.h"

namespace kiosk {

// A picture from its file bytes (any format GdkPixbuf reads, SVG included), scaled to width x height
// when both are positive (vector pictures are drawn at that size). Empty when the bytes are not a
// picture.
GObjectRef<GdkPixbuf> LoadPicture(std::string_view bytes, int width = 0, int height = 0);

// An animated picture (GIF) from its file bytes; empty when the bytes are not one.
GObjectRef<GdkPixbufAnimation> LoadAnimation(std::string_view bytes);

}  // namespace kiosk
