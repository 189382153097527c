// The browser's pages run in WebKit's sandbox: each visitor's web process has namespaces of its own
// and a system call filter, and does not see the kiosk's working folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/kiosk_run.h"
#include "tests/support/wait_until.h"
#include "tests/support/window_layout.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class KioskSandbox : public KioskRun {
protected:
    void StartOnALocalPage() {
        WriteFile(dir / "index.html", "<p>start</p>");
        WriteFile(dir / "kiosk.cfg", RunningConfig());
        StartNextToItsPages();
        ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: file://" + dir.str() + "/index.html"));
    }
    // The newest web process of the kiosk; 0 when there is none.
    pid_t Page() const {
        const std::vector<pid_t> pages = WebProcessesBelow(child->Pid());
        return pages.empty() ? 0 : pages.back();
    }
    std::string Namespace(pid_t pid, const std::string& kind) const {
        return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind).string();
    }
};

TEST_F(KioskSandbox, TheFirstAndTheNextVisitorsPagesRunInNamespacesOfTheirOwnWithASystemCallFilter) {
    if (std::system("unshare -U true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no user namespaces here (unshare -U fails): the pages run without a sandbox";
    StartOnALocalPage();
    pid_t last = 0;
    for (int visitor = 0; visitor < 2; ++visitor) {
        if (visitor > 0) {
            std::this_thread::sleep_for(2100ms);  // buttons take no press within 2 s of the last action
            PressButton(display, Button::Home);
        }
        pid_t page = 0;
        ASSERT_TRUE(WaitUntil([&] { return (page = Page()) != 0 && page != last; }, 20s));
        for (const std::string kind : {"mnt", "pid", "net", "uts", "user"}) {
            // As root, bubblewrap makes the others without a user namespace.
            if (kind != "user" || ::getuid() != 0) {
                EXPECT_NE(Namespace(page, kind), Namespace(child->Pid(), kind)) << kind;
            }
        }
        EXPECT_EQ(ProcessStatusField(page, "Seccomp"), "2");
        const fs::path root = "/proc/" + std::to_string(page) + "/root";
        EXPECT_TRUE(fs::exists(root / "usr/lib"));
        EXPECT_FALSE(fs::exists(root / dir.path().relative_path() / "kiosk.cfg"));
        last = page;
    }
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

// Without bubblewrap (hidden here in a mount namespace of the kiosk's own, which needs root) the
// pages run unsandboxed rather than not at all, and the error log says why.
TEST_F(KioskSandbox, WithoutBubblewrapThePagesStillLoadAndTheErrorLogSaysWhy) {
    if (::getuid() != 0) GTEST_SKIP() << "hiding /usr/bin/bwrap from the kiosk needs root";
    launcher = {"/usr/bin/unshare",
                "-m",
                "--propagation=private",
                "/bin/sh",
                "-c",
                "mount --bind /dev/null /usr/bin/bwrap && exec \"$@\"",
                "sh"};
    StartOnALocalPage();
    EXPECT_EQ(LogMessages(dir.path(), ".err"),
              std::vector<std::string>{"Браузер работает без песочницы (bubblewrap, пространства имён "
                                       "пользователя): нет программы /usr/bin/bwrap"});
    EXPECT_EQ(ProcessStatusField(Page(), "Seccomp"), "0");
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
