#include "app/program_path.h"

#include <gtest/gtest.h>

#include "shell/start_page.h"
#include "util/paths.h"

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

TEST(ProgramPath, RelativeNamesResolveAgainstTheWorkingDirectory) {
    EXPECT_EQ(ResolvePath("", "kiosk.cfg"), "kiosk.cfg");
    EXPECT_EQ(ResolvePath("/run/k", "kiosk.cfg"), "/run/k/kiosk.cfg");
    EXPECT_EQ(ResolvePath("/run/k/", "pics/busy.gif"), "/run/k/pics/busy.gif");
    EXPECT_EQ(ResolvePath("/run/k", "/etc/busy.gif"), "/etc/busy.gif");
}

TEST(StartPage, WebAddressesAsWrittenEverythingElseALocalFile) {
    EXPECT_EQ(StartPageUrl("HTTP://Example.org/", "/opt/k/"), "HTTP://Example.org/");
    EXPECT_EQ(StartPageUrl("https://example.org", "/opt/k/"), "https://example.org");
    EXPECT_EQ(StartPageUrl("WwW.example.org", "/opt/k/"), "WwW.example.org");
    EXPECT_EQ(StartPageUrl("index.html", "/opt/k/"), "file:///opt/k/index.html");
    EXPECT_EQ(StartPageUrl("ftp://example.org", "/opt/k/"), "file:///opt/k/ftp://example.org");
    EXPECT_EQ(StartPageUrl("ww", "/opt/k/"), "file:///opt/k/ww");
    EXPECT_EQ(StartPageUrl("a b%20.html", "/opt/k/"), "file:///opt/k/a b%20.html");  // nothing escaped
    // A directory with a drive letter keeps its own delimiters.
    EXPECT_EQ(LocalPageUrl("C:\\kiosk\\", "index.html"), "file:///C:\\kiosk\\index.html");
}

}  // namespace
}  // namespace kiosk
