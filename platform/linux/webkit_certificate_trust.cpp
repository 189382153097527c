#include "platform/linux/webkit_certificate_trust.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

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

}  // namespace

void WebKitCertificateTrust::AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                                              std::function<void()> taken) {
    const std::string& host = leaf->host;
    GError* error = nullptr;
    GTlsCertificate* certificate =
        g_tls_certificate_new_from_pem(leaf->pem.c_str(), static_cast<gssize>(leaf->pem.size()), &error);
    if (certificate == nullptr) {
        const std::string reason = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("Невозможно прочитать сертификат узла " + host + ": " + reason);
    }
    ForgetReleasedLeaves();
    allowed_[host] = Allowance{leaf, GObjectRef<GTlsCertificate>::Adopt(certificate)};
    if (contexts_.empty()) {
        taken();  // a context made later is told before it loads anything
        return;
    }
    // The allowance travels to the network process as a message; a question asked after it is
    // answered after it was handled, and only then may the proxy show the certificate.
    auto* pending = new PendingConfirmation{std::move(taken), contexts_.size()};
    for (WebKitWebContext* context : contexts_) {
        webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
        WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(
            webkit_web_context_get_website_data_manager(context));
        webkit_cookie_manager_get_accept_policy(cookies, nullptr, &Confirmed, pending);
    }
}

void WebKitCertificateTrust::Serve(WebKitWebContext* context) {
    if (std::find(contexts_.begin(), contexts_.end(), context) != contexts_.end()) return;
    contexts_.push_back(context);
    ForgetReleasedLeaves();
    for (const auto& [host, allowance] : allowed_)
        webkit_web_context_allow_tls_certificate_for_host(context, allowance.certificate.get(), host.c_str());
}

void WebKitCertificateTrust::Forget(WebKitWebContext* context) {
    std::erase(contexts_, context);
}

size_t WebKitCertificateTrust::Remembered() {
    ForgetReleasedLeaves();
    return allowed_.size();
}

void WebKitCertificateTrust::ForgetReleasedLeaves() {
    std::erase_if(allowed_, [](const auto& entry) { return entry.second.leaf.expired(); });
}

}  // namespace kiosk
