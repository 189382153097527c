// The browser's pages run in WebKit's sandbox: a web process of the kiosk has namespaces of its own
// and a system call filter, and does not see the kiosk's working folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/kiosk_run.h"
#include "tests/support/wait_until.h"

namespace kiosk::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string StatusField(pid_t pid, const std::string& name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(name + ":")) return line.substr(line.find_first_not_of(" \t", name.size() + 1));
    return {};
}

std::string Namespace(pid_t pid, const std::string& kind) {
    std::error_code error;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/" + kind, error).string();
}

// A WebKitWebProcess among the descendants of ancestor; 0 when there is none.
pid_t WebProcessOf(pid_t ancestor) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = std::stoi(name);
        if (StatusField(pid, "Name") != "WebKitWebProces") continue;  // the kernel keeps 15 characters
        for (pid_t parent = pid; parent > 1; parent = std::stoi("0" + StatusField(parent, "PPid")))
            if (parent == ancestor) return pid;
    }
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
    ASSERT_TRUE(WaitForMessage(".log", "Загружен документ: file://" + dir.str() + "/index.html"));
    pid_t page = 0;
    ASSERT_TRUE(WaitUntil([&] { return (page = WebProcessOf(child->Pid())) != 0; }, 10s));
    for (const char* kind : {"mnt", "pid", "net", "uts"})
        EXPECT_NE(Namespace(page, kind), Namespace(child->Pid(), kind)) << kind;
    // As root, bubblewrap needs no user namespace of its own to make the others.
    if (::getuid() != 0) EXPECT_NE(Namespace(page, "user"), Namespace(child->Pid(), "user"));
    EXPECT_EQ(StatusField(page, "Seccomp"), "2");
    // The page's process sees the system but neither the configuration nor the logs.
    const fs::path root = "/proc/" + std::to_string(page) + "/root";
    EXPECT_TRUE(fs::exists(root / "usr/lib"));
    EXPECT_FALSE(fs::exists(root / dir.path().relative_path() / "kiosk.cfg"));
    EXPECT_EQ(LogMessages(dir.path(), ".err"), std::vector<std::string>{});
    EXPECT_EQ(Stop(), 0);
}

}  // namespace
}  // namespace kiosk::testing
