#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/embedded_files.h"

namespace kiosk {
namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Loader = std::unique_ptr<GdkPixbufLoader, GObjectUnref>;
using Pixbuf = std::unique_ptr<GdkPixbuf, GObjectUnref>;

// A loader that has been given the whole file; it fails the test when the file does not load.
Loader LoadedFrom(std::string_view bytes, int width = 0, int height = 0) {
    Loader loader(gdk_pixbuf_loader_new());
    if (width > 0) gdk_pixbuf_loader_set_size(loader.get(), width, height);
    GError* error = nullptr;
    const bool written = gdk_pixbuf_loader_write(loader.get(), reinterpret_cast<const guchar*>(bytes.data()),
                                                 bytes.size(), &error);
    const bool closed = gdk_pixbuf_loader_close(loader.get(), written ? &error : nullptr);
    if (!written || !closed) {
        ADD_FAILURE() << (error != nullptr ? error->message : "not loaded");
        if (error != nullptr) g_error_free(error);
        return nullptr;
    }
    return loader;
}

Pixbuf PictureAt(std::string_view bytes, int width = 0, int height = 0) {
    const Loader loader = LoadedFrom(bytes, width, height);
    if (!loader) return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());  // owned by the loader
    return Pixbuf(pixbuf != nullptr ? GDK_PIXBUF(g_object_ref(pixbuf)) : nullptr);
}

int Alpha(const GdkPixbuf* pixbuf, int x, int y) {
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    return pixels[y * gdk_pixbuf_get_rowstride(pixbuf) + x * gdk_pixbuf_get_n_channels(pixbuf) + 3];
}

// The part of the picture that is drawn (more than half opaque).
double Coverage(const GdkPixbuf* pixbuf) {
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    int drawn = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) drawn += Alpha(pixbuf, x, y) > 128;
    }
    return static_cast<double>(drawn) / (width * height);
}

struct Picture {
    const char* name;
    int size;
};

const Picture kPictures[] = {
    {"button-home.svg", 32},    {"button-back.svg", 32},     {"button-refresh.svg", 32},
    {"button-keys.svg", 32},    {"key-arrow-up.svg", 16},    {"key-arrow-down.svg", 16},
    {"key-arrow-left.svg", 16}, {"key-arrow-right.svg", 16}, {"key-copy.svg", 16},
    {"key-paste.svg", 16},
};

TEST(PicturesTest, EveryPictureLoadsAtItsSizeAndTwiceItsSize) {
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        const std::string_view bytes = EmbeddedPicture(picture.name);
        ASSERT_FALSE(bytes.empty());
        const Pixbuf own = PictureAt(bytes);
        const Pixbuf twice = PictureAt(bytes, 2 * picture.size, 2 * picture.size);
        ASSERT_TRUE(own && twice);
        EXPECT_EQ(gdk_pixbuf_get_width(own.get()), picture.size);
        EXPECT_EQ(gdk_pixbuf_get_height(own.get()), picture.size);
        EXPECT_EQ(gdk_pixbuf_get_width(twice.get()), 2 * picture.size);
        EXPECT_EQ(gdk_pixbuf_get_height(twice.get()), 2 * picture.size);
        ASSERT_TRUE(gdk_pixbuf_get_has_alpha(own.get()));
        // Drawn on a transparent ground, and the whole drawing scales, not a corner of it.
        EXPECT_EQ(Alpha(own.get(), 0, 0), 0);
        EXPECT_GT(Coverage(own.get()), 0.15);
        EXPECT_LT(Coverage(own.get()), 0.9);
        EXPECT_NEAR(Coverage(twice.get()), Coverage(own.get()), 0.06);
    }
}

std::vector<guchar> PixelsOf(const GdkPixbuf* pixbuf) {
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    return {pixels, pixels + gdk_pixbuf_get_byte_length(pixbuf)};
}

TEST(PicturesTest, TheBusyAnimationLoopsThroughItsFrames) {
    const Loader loader = LoadedFrom(EmbeddedPicture("busy.gif"));
    ASSERT_TRUE(loader);
    GdkPixbufAnimation* animation = gdk_pixbuf_loader_get_animation(loader.get());  // owned by the loader
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(gdk_pixbuf_animation_get_width(animation), 50);
    EXPECT_EQ(gdk_pixbuf_animation_get_height(animation), 75);
    EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(animation));

    // The frames shown over three and a half turns, stepped by each frame's own delay.
    std::vector<std::vector<guchar>> shown;
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GTimeVal now{0, 0};
    const std::unique_ptr<GdkPixbufAnimationIter, GObjectUnref> frames(
        gdk_pixbuf_animation_get_iter(animation, &now));
    for (int step = 0; step < 40; ++step) {
        const int delay = gdk_pixbuf_animation_iter_get_delay_time(frames.get());
        ASSERT_GE(delay, 50) << step;  // -1 would be the end of a finite loop
        ASSERT_LE(delay, 150) << step;
        shown.push_back(PixelsOf(gdk_pixbuf_animation_iter_get_pixbuf(frames.get())));
        g_time_val_add(&now, delay * 1000L);
        gdk_pixbuf_animation_iter_advance(frames.get(), &now);
    }
    G_GNUC_END_IGNORE_DEPRECATIONS

    std::size_t turn = 1;
    while (turn < shown.size() && shown[turn] != shown[0]) ++turn;
    EXPECT_GE(turn, 8u);
    EXPECT_LE(turn, 12u);
    for (std::size_t i = turn; i < shown.size(); ++i) EXPECT_EQ(shown[i], shown[i - turn]) << i;
    const Pixbuf first = PictureAt(EmbeddedPicture("busy.gif"));
    ASSERT_TRUE(first && gdk_pixbuf_get_has_alpha(first.get()));
    EXPECT_EQ(Alpha(first.get(), 0, 0), 0);
}

}  // namespace
}  // namespace kiosk
