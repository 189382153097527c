#include "util/paths.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(ResolvePath, RelativeNamesJoinTheDirectoryAbsoluteOnesStay) {
    EXPECT_EQ(ResolvePath("/var/lib/kiosk", "index.html"), "/var/lib/kiosk/index.html");
    EXPECT_EQ(ResolvePath("/var/lib/kiosk/", "pages/net.html"), "/var/lib/kiosk/pages/net.html");
    EXPECT_EQ(ResolvePath("/var/lib/kiosk", "/etc/kiosk.cfg"), "/etc/kiosk.cfg");
    // No directory: the current one, so the name stays as written.
    EXPECT_EQ(ResolvePath("", "index.html"), "index.html");
    EXPECT_EQ(ResolvePath("work", "../a.txt"), "work/../a.txt");
}

}  // namespace
}  // namespace kiosk
