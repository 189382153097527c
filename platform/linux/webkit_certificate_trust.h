#pragma once

#include <webkit2/webkit2.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "proxy/tls/leaf_trust.h"

namespace kiosk {

// The certificates the browser accepts for a host although no CA it knows signed them: exactly the
// leaves the proxy shows it for the HTTPS it decrypts, each for its own host. Every web context the
// browser uses is told of every leaf the proxy still holds, contexts made later included; a leaf the
// proxy let go (its cache is bounded) is forgotten, so a new visitor's context gets only those, at
// most one per host. A context already told keeps what it was told (WebKit cannot take an allowance
// back) until it goes with its visitor. Main thread only.
class WebKitCertificateTrust : public BrowserCertificateTrust {
public:
    // Throws std::runtime_error for a leaf whose text is no PEM certificate.
    // taken is called once every context's network side has the certificate: a request answered by
    // the network process after it, since it handles its messages in order.
    void AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                          std::function<void()> taken) override;

    // Tells context of the certificates allowed so far and of those allowed later, until Forget.
    void Serve(WebKitWebContext* context);
    void Forget(WebKitWebContext* context);

    // How many certificates a context served now would be told of.
    size_t Remembered();

private:
    void ForgetReleasedLeaves();

    std::map<std::string, std::weak_ptr<const LeafCertificate>> allowed_;  // by host: its latest leaf
    std::vector<WebKitWebContext*> contexts_;
};

}  // namespace kiosk
