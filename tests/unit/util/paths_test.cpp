#include "util/paths.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(ResolvePath, RelativeNamesResolveAgainstTheWorkingDirectory) {
    EXPECT_EQ(ResolvePath("", "kiosk.cfg"), "kiosk.cfg");
    EXPECT_EQ(ResolvePath("/run/k", "kiosk.cfg"), "/run/k/kiosk.cfg");
    EXPECT_EQ(ResolvePath("/run/k/", "pics/busy.gif"), "/run/k/pics/busy.gif");
    EXPECT_EQ(ResolvePath("/run/k", "/etc/busy.gif"), "/etc/busy.gif");
}

}  // namespace
}  // namespace kiosk
