#pragma once

#include <functional>
#include <memory>

#include "proxy/tls/leaf_certificates.h"

namespace kiosk {

// The browser's side of a leaf: what makes the kiosk's own browser accept the exact certificate the
// proxy shows it for a host. Called on the main thread, where the browser lives; taken is called there
// too, once the browser's network side has the certificate (it may be at once). The browser keeps
// only a weak hold on leaf: once the proxy's cache and its connections let the leaf go, no browser
// made later is told of it.
class BrowserCertificateTrust {
public:
    virtual ~BrowserCertificateTrust() = default;
    virtual void AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                                  std::function<void()> taken) = 0;
};

// The proxy's side: called on a connection's thread before it shows the browser a leaf.
class LeafTrust {
public:
    virtual ~LeafTrust() = default;
    // Returns once the browser accepts leaf for its host: true; false when the wait was given up
    // (givenUp said so, or the browser did not take it in time).
    virtual bool Trust(const std::shared_ptr<const LeafCertificate>& leaf,
                       const std::function<bool()>& givenUp) = 0;
};

}  // namespace kiosk
