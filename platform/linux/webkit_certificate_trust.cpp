#include "platform/linux/webkit_certificate_trust.h"

#include <algorithm>
#include <stdexcept>

namespace kiosk {

void WebKitCertificateTrust::AllowCertificate(const std::string& host, const std::string& pem) {
    GError* error = nullptr;
    GTlsCertificate* certificate =
        g_tls_certificate_new_from_pem(pem.c_str(), static_cast<gssize>(pem.size()), &error);
    if (certificate == nullptr) {
        const std::string reason = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("Невозможно прочитать сертификат узла " + host + ": " + reason);
    }
    allowed_.emplace_back(host, GObjectRef<GTlsCertificate>::Adopt(certificate));
    for (WebKitWebContext* context : contexts_)
        webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
}

void WebKitCertificateTrust::Serve(WebKitWebContext* context) {
    if (std::find(contexts_.begin(), contexts_.end(), context) != contexts_.end()) return;
    contexts_.push_back(context);
    for (const auto& [host, certificate] : allowed_)
        webkit_web_context_allow_tls_certificate_for_host(context, certificate.get(), host.c_str());
}

}  // namespace kiosk
