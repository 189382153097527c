#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "os/internet_settings_broadcaster.h"
#include "os/user_settings_store.h"
#include "platform/linux/gobject_ref.h"
#include "platform/linux/webkit_certificate_trust.h"
#include "platform/linux/webkit_document_access.h"
#include "platform/linux/webkit_lockdown.h"
#include "platform/linux/webkit_sandbox.h"
#include "shell/browser_control.h"

typedef struct _GtkOverlay GtkOverlay;

namespace kiosk {

// The embedded browser on Linux: a WebKitWebView laid over host (a GtkOverlay whose main child is
// the out-of-order caption), filling it. Every control shares one web context whose website data live
// in memory only, so nothing of a visitor is written to disk; each new control (Home, the idle return)
// clears them all before it loads anything, so it holds nothing of the last visitor. The proxy comes
// from the user's Internet settings in the store and is applied again whenever the broadcaster
// announces a change.
//
// What the view refuses or answers itself is WebKitLockdown's; new windows are always refused, and
// nothing is downloaded. The web context runs its pages in WebKit's sandbox where it can be had.
// Every press, touch, wheel turn and key in the page is reported as the visitor's activity. Main
// thread only.
//
// Document access and SetBodyStyles are WebKitDocumentAccess's: they run JavaScript and wait for its
// answer by running the main context's events, at most kScriptTimeLimit long; the control may be
// destroyed by one of those events, and the waiting call then throws without touching it.
class WebKitBrowserControl : public BrowserControl {
public:
    static constexpr std::chrono::milliseconds kScriptTimeLimit = WebKitDocumentAccess::kScriptTimeLimit;

    // The control's web context accepts the certificates trust holds.
    WebKitBrowserControl(GtkOverlay* host, UserSettingsStore& settings,
                         InternetSettingsBroadcaster& broadcaster, WebKitCertificateTrust& trust,
                         const WebKitSandbox& sandbox);
    WebKitBrowserControl(const WebKitBrowserControl&) = delete;
    WebKitBrowserControl& operator=(const WebKitBrowserControl&) = delete;
    ~WebKitBrowserControl() override;

    void Navigate(const std::string& url) override;
    void GoBack() override;
    void Refresh() override;
    void Reload(int level) override;
    void Stop() override;
    bool HasHtmlDocument() override;

    void SetVisible(bool visible) override;
    void SetSilent(bool silent) override;
    void SetStatusBar(bool shown) override;
    void SetAddressBar(bool shown) override;
    void SetEnabled(bool enabled) override;
    void SetPreferredLanguages(const std::vector<std::string>& languages) override;

    void SetBodyStyles(const std::vector<BodyStyle>& styles) override;
    void SetEvents(BrowserEvents* events) override;

    int FormCount() override;
    int ElementCount(int form) override;
    std::string TagName(int form, int element) override;
    std::string Type(int form, int element) override;
    std::string Disabled(int form, int element) override;
    std::string StyleDisplay(int form, int element) override;
    void Focus(int form, int element) override;

    bool Silent() const { return lockdown_->Silent(); }
    bool StatusBar() const { return statusBar_; }
    bool AddressBar() const { return addressBar_; }
    // The web view, for the window and for tests.
    WebKitWebView* View() const { return view_.get(); }

private:
    struct Callbacks;

    // Every call that asks the browser for another page or none.
    void Requested(bool startsLoad);
    void ApplyProxy();
    void OnSettingsChanged();

    // Runs a browser event's handler; false when the control was destroyed meanwhile.
    template <typename Handler>
    bool Raise(Handler&& handler);

    UserSettingsStore& settings_;
    InternetSettingsBroadcaster& broadcaster_;
    WebKitCertificateTrust& trust_;
    // The visitor's context; the view holds it too, for as long as the view lives.
    GObjectRef<WebKitWebContext> context_;
    GObjectRef<WebKitWebView> view_;
    std::unique_ptr<WebKitLockdown> lockdown_;
    BrowserEvents* events_ = nullptr;
    // False from the start of the destructor; held by every call and callback that may outlive it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    WebKitDocumentAccess document_;
    std::thread::id mainThread_ = std::this_thread::get_id();
    int subscription_ = 0;
    // How many of the view's signal handlers are running now (nested through waits).
    int callbackDepth_ = 0;
    // Calls that asked for a page (or for none).
    unsigned requests_ = 0;
    // A page was asked for and has not started loading yet.
    bool awaitingStart_ = false;
    // The load now under way: failed (no completion), its HTTP error reported.
    bool loadFailed_ = false;
    bool httpErrorReported_ = false;
    // The error page of a failed load is asked for, or is the load now under way.
    bool errorPagePending_ = false;
    bool showingErrorPage_ = false;
    bool statusBar_ = true;
    bool addressBar_ = true;
};

}  // namespace kiosk
