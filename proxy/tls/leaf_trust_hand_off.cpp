#include "proxy/tls/leaf_trust_hand_off.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

namespace kiosk {

namespace {

constexpr Milliseconds kWaitSlice{50};

}  // namespace

struct LeafTrustHandOff::Link {
    std::mutex mutex;
    std::condition_variable registered;
    BrowserCertificateTrust* browser = nullptr;  // none once closed
    // The certificates the browser accepts (PEM text), and those handed to it and not yet taken.
    std::set<std::string> accepted;
    std::set<std::string> queued;
};

LeafTrustHandOff::LeafTrustHandOff(Ui& ui, BrowserCertificateTrust& browser)
    : ui_(ui), link_(std::make_shared<Link>()) {
    link_->browser = &browser;
}

LeafTrustHandOff::~LeafTrustHandOff() {
    Close();
}

bool LeafTrustHandOff::Trust(const LeafCertificate& leaf, const std::function<bool()>& givenUp) {
    const std::shared_ptr<Link> link = link_;
    std::unique_lock lock(link->mutex);
    if (link->accepted.count(leaf.pem) > 0) return true;
    if (link->browser == nullptr) return false;
    if (link->queued.insert(leaf.pem).second) {
        lock.unlock();
        ui_.RunOnMainThread(
            [link, host = leaf.host, pem = leaf.pem] {
                std::unique_lock registering(link->mutex);
                if (link->browser == nullptr) return;
                BrowserCertificateTrust& browser = *link->browser;
                // The browser may confirm at once, which takes the lock again.
                registering.unlock();
                browser.AllowCertificate(host, pem, [link, pem] {
                    std::lock_guard taken(link->mutex);
                    link->queued.erase(pem);
                    link->accepted.insert(pem);
                    link->registered.notify_all();
                });
            },
            false);
        lock.lock();
    }
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (link->accepted.count(leaf.pem) == 0) {
        if (link->browser == nullptr || givenUp() || std::chrono::steady_clock::now() >= deadline)
            return false;
        link->registered.wait_for(lock, kWaitSlice);
    }
    return true;
}

void LeafTrustHandOff::Close() {
    std::lock_guard lock(link_->mutex);
    link_->browser = nullptr;
    link_->registered.notify_all();
}

}  // namespace kiosk
