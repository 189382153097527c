#include "shell/gif_structure.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

// A 1 x 1 GIF with a two-colour table whose image data is the given LZW bytes (codes 3 bits wide:
// 4 clears, 5 ends).
std::string OnePixelGif(const std::string& lzw, int width = 1, int height = 1) {
    std::string gif = "GIF89a";
    gif += std::string("\x01\x00\x01\x00\x80\x00\x00", 7);
    gif += std::string("\x00\x00\x00\xff\xff\xff", 6);
    gif += std::string("\x2c\x00\x00\x00\x00", 5) + static_cast<char>(width) + '\0' +
           static_cast<char>(height) + std::string("\x00\x00", 2);
    gif += '\x02';
    gif += static_cast<char>(lzw.size()) + lzw + '\0';
    return gif + ';';
}

const std::string kClearPixelEnd("\x44\x01", 2);  // codes 4, 0, 5

TEST(GifStructure, WholeImagesDecodeAndTheTrailerMayBeMissing) {
    EXPECT_TRUE(DecodesAsGif(OnePixelGif(kClearPixelEnd)));
    const std::string busy = testing::ReadFile(std::string(KIOSK_SOURCE_DIR) + "/shell/pictures/busy.gif");
    EXPECT_TRUE(DecodesAsGif(busy));
    EXPECT_TRUE(DecodesAsGif(busy.substr(0, busy.size() - 1)));  // without the trailer
}

TEST(GifStructure, DamagedOrCutPicturesDoNotDecode) {
    // A first code after the clear that is no pixel; fewer pixels than the image's size.
    EXPECT_FALSE(DecodesAsGif(OnePixelGif(std::string("\x7c\x01", 2))));
    EXPECT_FALSE(DecodesAsGif(OnePixelGif(kClearPixelEnd, 2, 2)));
    // No image at all; only a signature and a screen descriptor.
    EXPECT_FALSE(DecodesAsGif(std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)));
    EXPECT_FALSE(DecodesAsGif("GIF89a"));
    const std::string busy = testing::ReadFile(std::string(KIOSK_SOURCE_DIR) + "/shell/pictures/busy.gif");
    for (const size_t cut : {size_t{13}, size_t{100}, busy.size() / 2, busy.size() - 2})
        EXPECT_FALSE(DecodesAsGif(busy.substr(0, cut))) << "cut at " << cut << " of " << busy.size();
    std::string unknownBlock = busy;
    unknownBlock[busy.size() - 1] = '\x99';
    EXPECT_FALSE(DecodesAsGif(unknownBlock));
}

}  // namespace
}  // namespace kiosk
