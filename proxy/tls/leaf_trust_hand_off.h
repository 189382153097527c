#pragma once

#include <cstddef>
#include <memory>

#include "os/byte_stream.h"
#include "os/ui.h"
#include "proxy/tls/leaf_trust.h"

namespace kiosk {

// Hands each leaf from a connection's thread to the main thread, where the browser is told to accept
// it, and waits for that: in slices, so that a connection the proxy aborts (at shutdown, while the main
// thread may be waiting for it) stops waiting at once, and at most kLongestWait in all. A leaf the
// browser already accepts costs no wait. It remembers a leaf only while the proxy holds it (in its
// cache or a connection), so what it keeps is bounded by the cache. Close (on the main thread, before
// the browser goes) turns the registrations still queued into nothing and ends every wait.
class LeafTrustHandOff : public LeafTrust {
public:
    static constexpr Milliseconds kLongestWait{10'000};

    LeafTrustHandOff(Ui& ui, BrowserCertificateTrust& browser);
    LeafTrustHandOff(const LeafTrustHandOff&) = delete;
    LeafTrustHandOff& operator=(const LeafTrustHandOff&) = delete;
    ~LeafTrustHandOff() override;

    bool Trust(const std::shared_ptr<const LeafCertificate>& leaf,
               const std::function<bool()>& givenUp) override;
    void Close();

    // How many leaves it remembers (handed to the browser, taken or not, and still held by the proxy).
    size_t Remembered() const;

private:
    struct Link;
    Ui& ui_;
    std::shared_ptr<Link> link_;  // shared with the queued registrations, which may outlive this
};

}  // namespace kiosk
