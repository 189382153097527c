#pragma once

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitWebView WebKitWebView;

namespace kiosk {

// Cancels every download of the views of context: a kiosk saves nothing.
void RefuseDownloads(WebKitWebContext* context);

// What a kiosk's web view refuses or answers itself, for as long as this object lives: no file
// chooser, no printing, no permission, no full screen, no developer tools, and no response that
// would become a download. With Silent true it also answers the page's script dialogs itself and
// refuses HTTP authentication and colour choosers, so that nothing of its own is shown. While the
// mouse hook locks the right button down, a touch screen's long press opens no menu either.
// Main thread only; the view must outlive this object.
class WebKitLockdown {
public:
    explicit WebKitLockdown(WebKitWebView* view);
    WebKitLockdown(const WebKitLockdown&) = delete;
    WebKitLockdown& operator=(const WebKitLockdown&) = delete;
    ~WebKitLockdown();

    void SetSilent(bool silent) { silent_ = silent; }
    bool Silent() const { return silent_; }

private:
    struct Handlers;

    WebKitWebView* view_;
    bool silent_ = false;
};

}  // namespace kiosk
