#include "platform/linux/picture_loader.h"

#include <gtest/gtest.h>

#include "platform/linux/embedded_files.h"

namespace kiosk {
namespace {

TEST(PictureLoaderTest, DrawsVectorPicturesAtTheAskedSizeAndRefusesWhatIsNoPicture) {
    const auto picture = LoadPicture(
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="32"><rect width="64" height="32"/></svg>)",
        16, 16);
    ASSERT_TRUE(picture);
    EXPECT_EQ(gdk_pixbuf_get_width(picture.get()), 16);
    EXPECT_EQ(gdk_pixbuf_get_height(picture.get()), 16);
    EXPECT_FALSE(LoadPicture("not a picture", 16, 16));
    EXPECT_FALSE(LoadPicture("", 16, 16));
}

TEST(PictureLoaderTest, ReadsTheBusyAnimationAndRefusesABrokenGif) {
    const auto animation = LoadAnimation(EmbeddedPicture("busy.gif"));
    ASSERT_TRUE(animation);
    EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(animation.get()));
    // The signature alone, as a file that merely starts like a GIF: the window keeps its own picture.
    EXPECT_FALSE(LoadAnimation(std::string("GIF89a\x10\x00\x10\x00\x80\x00\x00garbage", 22)));
}

}  // namespace
}  // namespace kiosk
