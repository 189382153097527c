#include "platform/linux/webkit_certificate_trust.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/linux/gobject_ref.h"

namespace kiosk {

namespace {

// Calls taken when the last of count answers has come.
struct PendingConfirmation {
    std::function<void()> taken;
    size_t count;
};

void Confirmed(GObject* manager, GAsyncResult* result, gpointer data) {
    webkit_cookie_manager_get_accept_policy_finish(WEBKIT_COOKIE_MANAGER(manager), result, nullptr);
    auto* pending = static_cast<PendingConfirmation*>(data);
    if (--pending->count > 0) return;
    const std::unique_ptr<PendingConfirmation> done(pending);
    done->taken();
}

// The leaf as GLib's certificate; none (with the reason in error) for text that is no certificate.
// Made when needed and dropped after: a parsed certificate costs far more memory than its text.
GObjectRef<GTlsCertificate> TlsCertificateOf(const LeafCertificate& leaf, std::string& error) {
    GError* failure = nullptr;
    GTlsCertificate* certificate =
        g_tls_certificate_new_from_pem(leaf.pem.c_str(), static_cast<gssize>(leaf.pem.size()), &failure);
    if (certificate == nullptr) {
        error = failure != nullptr ? failure->message : "unknown";
        g_clear_error(&failure);
    }
    return GObjectRef<GTlsCertificate>::Adopt(certificate);
}

}  // namespace

void WebKitCertificateTrust::AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                                              std::function<void()> taken) {
    const std::string& host = leaf->host;
    std::string error;
    const GObjectRef<GTlsCertificate> certificate = TlsCertificateOf(*leaf, error);
    if (!certificate) throw std::runtime_error("Невозможно прочитать сертификат узла " + host + ": " + error);
    ForgetReleasedLeaves();
    allowed_[host] = leaf;
    if (contexts_.empty()) {
        taken();  // a context made later is told before it loads anything
        return;
    }
    // The allowance travels to the network process as a message; a question asked after it is
    // answered after it was handled, and only then may the proxy show the certificate.
    auto* pending = new PendingConfirmation{std::move(taken), contexts_.size()};
    for (WebKitWebContext* context : contexts_) {
        webkit_web_context_allow_tls_certificate_for_host(context, certificate.get(), host.c_str());
        WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(
            webkit_web_context_get_website_data_manager(context));
        webkit_cookie_manager_get_accept_policy(cookies, nullptr, &Confirmed, pending);
    }
}

void WebKitCertificateTrust::Serve(WebKitWebContext* context) {
    if (std::find(contexts_.begin(), contexts_.end(), context) != contexts_.end()) return;
    contexts_.push_back(context);
    ForgetReleasedLeaves();
    std::string error;
    for (const auto& [host, weakLeaf] : allowed_) {
        const std::shared_ptr<const LeafCertificate> leaf = weakLeaf.lock();
        if (!leaf) continue;
        // Read once already when it was allowed.
        if (const GObjectRef<GTlsCertificate> certificate = TlsCertificateOf(*leaf, error))
            webkit_web_context_allow_tls_certificate_for_host(context, certificate.get(), host.c_str());
    }
}

void WebKitCertificateTrust::Forget(WebKitWebContext* context) {
    std::erase(contexts_, context);
}

size_t WebKitCertificateTrust::Remembered() {
    ForgetReleasedLeaves();
    return allowed_.size();
}

void WebKitCertificateTrust::ForgetReleasedLeaves() {
    std::erase_if(allowed_, [](const auto& entry) { return entry.second.expired(); });
}

}  // namespace kiosk
