#include "shell/busy_animation.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

TEST(BusyAnimation, ShowsAndAnimatesTogether) {
    AnimatorModel animator;
    SetBusy(animator, true);
    EXPECT_TRUE(animator.Visible);
    EXPECT_TRUE(animator.Animate);
    SetBusy(animator, false);
    EXPECT_FALSE(animator.Visible);
    EXPECT_FALSE(animator.Animate);
}

TEST(BusyAnimation, OnlyAGifThatDecodesWholeIsTaken) {
    testing::TempDir dir;
    const std::string gif = testing::ReadFile(std::string(KIOSK_SOURCE_DIR) + "/shell/pictures/busy.gif");
    testing::WriteFile(dir / "busy.gif", gif);
    testing::WriteFile(dir / "short.gif", "GIF89a\1\1");
    testing::WriteFile(dir / "damaged.gif", gif.substr(0, gif.size() / 2));
    testing::WriteFile(dir / "busy.png", "\x89PNG\r\n\x1a\n" + std::string(20, '\0'));
    std::string picture = "built-in";
    EXPECT_FALSE(LoadGifPicture((dir / "short.gif").string(), picture));
    EXPECT_FALSE(LoadGifPicture((dir / "damaged.gif").string(), picture));
    EXPECT_FALSE(LoadGifPicture((dir / "busy.png").string(), picture));
    EXPECT_FALSE(LoadGifPicture((dir / "missing.gif").string(), picture));
    EXPECT_FALSE(LoadGifPicture(dir.str(), picture));
    EXPECT_EQ(picture, "built-in");
    EXPECT_TRUE(LoadGifPicture((dir / "busy.gif").string(), picture));
    EXPECT_EQ(picture, gif);
}

}  // namespace
}  // namespace kiosk
