#include "platform/linux/picture_loader.h"

namespace kiosk {

namespace {

// Feeds bytes to a new loader; returns it closed, or empty when the bytes are no picture.
GObjectRef<GdkPixbufLoader> LoadedLoader(std::string_view bytes, int width, int height) {
    if (bytes.empty()) return {};
    auto loader = GObjectRef<GdkPixbufLoader>::Adopt(gdk_pixbuf_loader_new());
    if (width > 0 && height > 0) gdk_pixbuf_loader_set_size(loader.get(), width, height);
    const bool written = gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()),
                                                 bytes.size(), nullptr);
    // Closed in any case: a loader must not be released open.
    const bool closed = gdk_pixbuf_loader_close(loader.get(), nullptr);
    if (!written || !closed) return {};
    return loader;
}

}  // namespace

GObjectRef<GdkPixbuf> LoadPicture(std::string_view bytes, int width, int height) {
    const GObjectRef<GdkPixbufLoader> loader = LoadedLoader(bytes, width, height);
    if (!loader) return {};
    return GObjectRef<GdkPixbuf>::Retain(gdk_pixbuf_loader_get_pixbuf(loader.get()));
}

GObjectRef<GdkPixbufAnimation> LoadAnimation(std::string_view bytes) {
    const GObjectRef<GdkPixbufLoader> loader = LoadedLoader(bytes, 0, 0);
    if (!loader) return {};
    return GObjectRef<GdkPixbufAnimation>::Retain(gdk_pixbuf_loader_get_animation(loader.get()));
}

}  // namespace kiosk
