#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/gobject_ref.h"
#include "proxy/tls/leaf_trust.h"

namespace kiosk {

// The certificates the browser accepts for a host although no CA it knows signed them: exactly the
// leaves the proxy shows it for the HTTPS it decrypts, each for its own host. Every web context the
// browser uses is told of every one of them, contexts made later included. Main thread only.
class WebKitCertificateTrust : public BrowserCertificateTrust {
public:
    // Throws std::runtime_error for text that is no PEM certificate.
    // taken is called once every context's network side has the certificate: a request answered by
    // the network process after it, since it handles its messages in order.
    void AllowCertificate(const std::string& host, const std::string& pem,
                          std::function<void()> taken) override;

    // Tells context of the certificates allowed so far and of those allowed later, until Forget.
    void Serve(WebKitWebContext* context);
    void Forget(WebKitWebContext* context);

private:
    std::vector<std::pair<std::string, GObjectRef<GTlsCertificate>>> allowed_;
    std::vector<WebKitWebContext*> contexts_;
};

}  // namespace kiosk
