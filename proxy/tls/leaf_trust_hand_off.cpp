#include "proxy/tls/leaf_trust_hand_off.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace kiosk {

namespace {

constexpr Milliseconds kWaitSlice{50};

}  // namespace

struct LeafTrustHandOff::Link {
    std::mutex mutex;
    std::condition_variable registered;
    BrowserCertificateTrust* browser = nullptr;  // none once closed
    // The leaves handed to the browser: true once it has taken them. Weak, so that a leaf the proxy let
    // go is forgotten here too (at the next new leaf); compared by owner, which stays valid after that.
    std::map<std::weak_ptr<const LeafCertificate>, bool, std::owner_less<>> handed;

    void ForgetReleasedLeaves() {
        std::erase_if(handed, [](const auto& entry) { return entry.first.expired(); });
    }
};

LeafTrustHandOff::LeafTrustHandOff(Ui& ui, BrowserCertificateTrust& browser)
    : ui_(ui), link_(std::make_shared<Link>()) {
    link_->browser = &browser;
}

LeafTrustHandOff::~LeafTrustHandOff() {
    Close();
}

bool LeafTrustHandOff::Trust(const std::shared_ptr<const LeafCertificate>& leaf,
                             const std::function<bool()>& givenUp) {
    const std::shared_ptr<Link> link = link_;
    const std::weak_ptr<const LeafCertificate> key = leaf;
    std::unique_lock lock(link->mutex);
    if (const auto found = link->handed.find(key); found != link->handed.end() && found->second) return true;
    if (link->browser == nullptr) return false;
    if (link->handed.count(key) == 0) {
        link->ForgetReleasedLeaves();
        link->handed.emplace(key, false);
        lock.unlock();
        ui_.RunOnMainThread(
            [link, leaf] {
                std::unique_lock registering(link->mutex);
                if (link->browser == nullptr) return;
                BrowserCertificateTrust& browser = *link->browser;
                // The browser may confirm at once, which takes the lock again.
                registering.unlock();
                browser.AllowCertificate(leaf, [link, key = std::weak_ptr<const LeafCertificate>(leaf)] {
                    std::lock_guard taken(link->mutex);
                    if (const auto found = link->handed.find(key); found != link->handed.end())
                        found->second = true;
                    link->registered.notify_all();
                });
            },
            false);
        lock.lock();
    }
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    for (;;) {
        const auto found = link->handed.find(key);
        if (found != link->handed.end() && found->second) return true;
        if (link->browser == nullptr || givenUp() || std::chrono::steady_clock::now() >= deadline)
            return false;
        link->registered.wait_for(lock, kWaitSlice);
    }
}

void LeafTrustHandOff::Close() {
    std::lock_guard lock(link_->mutex);
    link_->browser = nullptr;
    link_->registered.notify_all();
}

size_t LeafTrustHandOff::Remembered() const {
    std::lock_guard lock(link_->mutex);
    link_->ForgetReleasedLeaves();
    return link_->handed.size();
}

}  // namespace kiosk
