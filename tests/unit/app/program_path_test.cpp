#include "app/program_path.h"

#include <gtest/gtest.h>

namespace kiosk {
namespace {

TEST(ProgramPath, NameLosesAnExtensionOfThreeCharacters) {
    EXPECT_EQ(SplitProgramPath("/opt/kiosk/kiosk").name, "kiosk");
    EXPECT_EQ(SplitProgramPath("/opt/kiosk/kiosk").directory, "/opt/kiosk/");
    EXPECT_EQ(SplitProgramPath("/opt/kiosk.exe").name, "kiosk");
    EXPECT_EQ(SplitProgramPath("/x/terminal.bin").name, "terminal");
    EXPECT_EQ(SplitProgramPath("/x/my.kiosk").name, "my.kiosk");
    EXPECT_EQ(SplitProgramPath("/x/k.io").name, "k.io");
    EXPECT_EQ(SplitProgramPath("kiosk").directory, "");
}

}  // namespace
}  // namespace kiosk
