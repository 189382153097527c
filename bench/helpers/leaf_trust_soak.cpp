// The soak of bench/leaf-trust-soak: mints and hands to a real WebKit web context the leaves of
// HOSTS distinct hosts (10,000 unless given) through the program's own objects (the leaf cache, the
// hand-off to the main thread, the browser's certificate trust), as a page that reaches ever new
// decrypted hosts would, and prints this process's resident memory and the number of leaves each
// object remembers as it goes; then how many allowances a new visitor's context is given.
// With "keep" as third argument every leaf stays held (the baseline of nothing ever let go).
// Runs on an X display (the script starts one).

#include <gtk/gtk.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/glib_ui.h"
#include "platform/linux/webkit_certificate_trust.h"
#include "proxy/tls/leaf_certificates.h"
#include "proxy/tls/leaf_trust_hand_off.h"
#include "proxy/tls/terminal_ca.h"

namespace {

long ResidentKilobytes(const std::string& process) {
    std::ifstream status("/proc/" + process + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    }
    return 0;
}

// The resident memory of the network processes WebKit started for this one, and how many there are.
long NetworkProcessKilobytes(int* count = nullptr) {
    long total = 0;
    const std::string parent = std::to_string(::getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state, ppid;
        if (!(stat >> pid >> name >> state >> ppid) || ppid != parent) continue;
        if (name.find("Network") == std::string::npos) continue;
        total += ResidentKilobytes(pid);
        if (count != nullptr) ++*count;
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    const long hosts = argc > 1 ? std::stol(argv[1]) : 10'000;
    const long step = argc > 2 ? std::stol(argv[2]) : 1'000;
    // The baseline: every leaf stays held, as when nothing was ever let go.
    const bool keepEveryLeaf = argc > 3 && std::string(argv[3]) == "keep";
    std::vector<std::shared_ptr<const kiosk::LeafCertificate>> kept;
    gtk_init(&argc, &argv);
    kiosk::GlibUi ui;
    kiosk::WebKitCertificateTrust trust;
    WebKitWebContext* visitor = webkit_web_context_new_ephemeral();
    trust.Serve(visitor);
    const kiosk::TerminalCa ca = kiosk::TerminalCa::Create();
    kiosk::LeafCertificates leaves(ca);
    kiosk::LeafTrustHandOff handOff(ui, trust);

    std::printf("hosts  resident_kB  network_process_kB  handoff_leaves  browser_leaves  seconds\n");
    std::atomic<bool> done{false};
    std::atomic<long> refused{0};
    const auto start = std::chrono::steady_clock::now();
    std::thread connection([&] {
        for (long host = 0; host <= hosts; ++host) {
            if (host % step == 0) {
                // Read on the main thread, where the browser's trust lives.
                ui.RunOnMainThread(
                    [&, host] {
                        const double seconds =
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                        std::printf("%5ld  %11ld  %18ld  %14zu  %14zu  %7.1f\n", host,
                                    ResidentKilobytes("self"), NetworkProcessKilobytes(),
                                    handOff.Remembered(), trust.Remembered(), seconds);
                        std::fflush(stdout);
                    },
                    true);
            }
            if (host == hosts) break;
            const auto leaf = leaves.ForHost("host" + std::to_string(host) + ".soak.example");
            if (keepEveryLeaf) kept.push_back(leaf);
            if (!handOff.Trust(leaf, [] { return false; })) ++refused;
        }
        ui.RunOnMainThread([&] { done = true; }, false);
    });
    while (!done) g_main_context_iteration(nullptr, TRUE);
    connection.join();

    // The next visitor: a new context, told only of what the cache still holds.
    trust.Forget(visitor);
    g_object_unref(visitor);
    WebKitWebContext* next = webkit_web_context_new_ephemeral();
    const auto serveStart = std::chrono::steady_clock::now();
    trust.Serve(next);
    const double serveMilliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - serveStart).count();
    const size_t replayed = trust.Remembered();
    // One more leaf through the new context, so that its network side has handled what came before.
    bool taken = false;
    trust.AllowCertificate(leaves.ForHost("next.soak.example"), [&] { taken = true; });
    while (!taken) g_main_context_iteration(nullptr, TRUE);
    int networkProcesses = 0;
    const long networkKilobytes = NetworkProcessKilobytes(&networkProcesses);
    std::printf(
        "leaves minted %zu, not taken %ld; a new visitor's context is given %zu allowances in %.0f ms; "
        "%d network processes, %ld kB\n",
        leaves.Minted(), refused.load(), replayed, serveMilliseconds, networkProcesses, networkKilobytes);
    trust.Forget(next);
    handOff.Close();
    g_object_unref(next);
    return refused == 0 ? 0 : 1;
}
