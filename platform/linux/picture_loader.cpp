#include "platform/linux/picture_loader.h"

namespace kiosk {

namespace {

// Feeds bytes to a new loader; returns it closed, or nullptr when the bytes are no picture.
GdkPixbufLoader* LoadedLoader(std::string_view bytes, int width, int height) {
    if (bytes.empty()) return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    if (width > 0 && height > 0) gdk_pixbuf_loader_set_size(loader, width, height);
    const bool written =
        gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
    const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
    if (!written || !closed) {
        g_object_unref(loader);
        return nullptr;
    }
    return loader;
}

}  // namespace

GdkPixbuf* LoadPicture(std::string_view bytes, int width, int height) {
    GdkPixbufLoader* loader = LoadedLoader(bytes, width, height);
    if (loader == nullptr) return nullptr;
    GdkPixbuf* picture = gdk_pixbuf_loader_get_pixbuf(loader);
    if (picture != nullptr) g_object_ref(picture);
    g_object_unref(loader);
    return picture;
}

GdkPixbufAnimation* LoadAnimation(std::string_view bytes) {
    GdkPixbufLoader* loader = LoadedLoader(bytes, 0, 0);
    if (loader == nullptr) return nullptr;
    GdkPixbufAnimation* animation = gdk_pixbuf_loader_get_animation(loader);
    if (animation != nullptr) g_object_ref(animation);
    g_object_unref(loader);
    return animation;
}

}  // namespace kiosk
