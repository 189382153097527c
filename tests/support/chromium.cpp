#include "tests/support/chromium.h"

#include <chrono>
#include <filesystem>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {

std::string DumpDomThroughProxy(const std::string& url, int proxyPort) {
    TempDir profile;
    const std::string output = (profile / "dom.html").string();
    // The flags keep a headless run on a machine without a network quiet: no background requests.
    ChildProcess chromium(
        "/usr/bin/chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + (profile / "profile").string(),
         "--proxy-server=http://127.0.0.1:" + std::to_string(proxyPort), "--proxy-bypass-list=<-loopback>",
         "--virtual-time-budget=5000", "--dump-dom", url},
        profile.str(), output, {}, output + ".log");
    if (chromium.WaitForExit(std::chrono::seconds(60)) != 0) return {};
    return ReadFile(output);
}

}  // namespace kiosk::testing
