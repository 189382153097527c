// The browser's pages run in WebKit's sandbox: a web process of the kiosk has namespaces of its own
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

std::string Namespace(pid_t pid, const std::string& kind) {
    std::error_code error;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind, error).string();
}

// A web process of the kiosk other than except; 0 when there is none.
pid_t WebProcessOf(pid_t kiosk, pid_t except = 0) {
    for (const pid_t page : WebProcessesBelow(kiosk))
        if (page != except) return page;
    return 0;
}

class KioskSandbox : public KioskRun {};

TEST_F(KioskSandbox, ThePagesRunInNamespacesOfTheirOwnWithASystemCallFilter) {
    if (std::system("unshare -U true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "this machine makes no user namespaces (unshare -U fails): the kiosk runs its "
                        "pages without a sandbox and logs why";
    WriteFile(dir / "index.html", "<p>start</p>");
    WriteFile(dir / "kiosk.cfg", RunningConfig());
    StartNextToItsPages();
    const std::string loaded = "Загружен документ: file://" + dir.str() + "/index.html";
    ASSERT_TRUE(WaitForMessage(".log", loaded));
    // The first visitor's page process, then the next one's after Home.
    pid_t page = 0;
    for (int visitor = 0; visitor < 2; ++visitor) {
        const pid_t last = page;
        if (visitor > 0) {
            std::this_thread::sleep_for(2100ms);  // buttons take no press within 2 s of the last action
            PressButton(display, Button::Home);
        }
        ASSERT_TRUE(WaitUntil([&] { return (page = WebProcessOf(child->Pid(), last)) != 0; }, 20s));
        for (const char* kind : {"mnt", "pid", "net", "uts"})
            EXPECT_NE(Namespace(page, kind), Namespace(child->Pid(), kind)) << kind;
        // As root, bubblewrap needs no user namespace of its own to make the others.
        if (::getuid() != 0) {
            EXPECT_NE(Namespace(page, "user"), Namespace(child->Pid(), "user"));
        }
        EXPECT_EQ(ProcessStatusField(page, "Seccomp"), "2");
        // The page's process sees the system but neither the configuration nor the logs.
        const fs::path root = "/proc/" + std::to_string(page) + "/root";
        EXPECT_TRUE(fs::exists(root / "usr/lib"));
        EXPECT_FALSE(fs::exists(root / dir.path().relative_path() / "kiosk.cfg"));
    }
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

// Without bubblewrap (here hidden in a mount namespace of the kiosk's own, which needs root) the
// pages run unsandboxed rather than not at all, and the error log says why, once.
TEST_F(KioskSandbox, WithoutBubblewrapThePagesStillLoadAndTheErrorLogSaysWhy) {
    if (::getuid() != 0) GTEST_SKIP() << "hiding /usr/bin/bwrap from the kiosk needs root";
    launcher = {"/usr/bin/unshare",
                "--mount",
                "--propagation",
                "private",
                "/bin/sh",
                "-c",
                "mount --bind /dev/null /usr/bin/bwrap && exec \"$@\"",
                "sh"};
    WriteFile(dir / "index.html", "<p>start</p>");
    WriteFile(dir / "kiosk.cfg", RunningConfig());
    StartNextToItsPages();
    ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: file://" + dir.str() + "/index.html"));
    EXPECT_EQ(LogMessages(dir.path(), ".err"),
              std::vector<std::string>{
                  "Браузер работает без песочницы (bubblewrap, пространства имён пользователя): нет "
                  "программы /usr/bin/bwrap"});
    EXPECT_EQ(ProcessStatusField(WebProcessOf(child->Pid()), "Seccomp"), "0");
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
