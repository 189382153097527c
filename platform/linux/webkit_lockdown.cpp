#include "platform/linux/webkit_lockdown.h"

#include <gtk/gtk.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include "platform/linux/gdk_mouse_hook.h"
#include "platform/linux/webkit_browser_rules.h"

namespace kiosk {

namespace {

// A touch, or a pointer event that a touch screen made.
bool IsTouchEvent(const GdkEvent& event) {
    if (event.type == GDK_TOUCH_BEGIN || event.type == GDK_TOUCH_UPDATE || event.type == GDK_TOUCH_END)
        return true;
    GdkDevice* source = gdk_event_get_source_device(&event);
    return source != nullptr && gdk_device_get_source(source) == GDK_SOURCE_TOUCHSCREEN;
}

void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
    webkit_download_cancel(download);
}

}  // namespace

void RefuseDownloads(WebKitWebContext* context) {
    g_signal_connect(context, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
}

// The view's signal handlers; data is the WebKitLockdown.
struct WebKitLockdown::Handlers {
    static bool Silent(gpointer data) { return static_cast<WebKitLockdown*>(data)->silent_; }

    // Silent: alert is dropped, confirm and prompt are refused, leaving a page is allowed.
    static gboolean ScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
        if (!Silent(data)) return FALSE;
        switch (webkit_script_dialog_get_dialog_type(dialog)) {
            case WEBKIT_SCRIPT_DIALOG_CONFIRM:
                webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
                break;
            case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
                webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
                break;
            default:
                break;
        }
        return TRUE;
    }

    static gboolean Authenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer data) {
        if (!Silent(data)) return FALSE;
        webkit_authentication_request_cancel(request);
        return TRUE;
    }

    static gboolean ColorChooser(WebKitWebView*, WebKitColorChooserRequest* request, gpointer data) {
        if (!Silent(data)) return FALSE;
        webkit_color_chooser_request_cancel(request);
        return TRUE;
    }

    static gboolean FileChooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer) {
        webkit_file_chooser_request_cancel(request);
        return TRUE;
    }

    static gboolean Print(WebKitWebView*, WebKitPrintOperation*, gpointer) { return TRUE; }

    // A long press on a touch screen stands for the right button, which the lock-down swallows; the
    // menu key of a keyboard still opens the menu.
    static gboolean ContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event, WebKitHitTestResult*,
                                gpointer) {
        return GdkMouseHookInstaller::LockedDown() && event != nullptr && IsTouchEvent(*event);
    }

    static gboolean PermissionRequest(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
        webkit_permission_request_deny(request);
        return TRUE;
    }

    static gboolean EnterFullscreen(WebKitWebView*, gpointer) { return TRUE; }

    // A response the browser cannot show, or one the server marks as an attachment, would become a
    // download: it is ignored, and the page stays as it was.
    static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer) {
        if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
        auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
        SoupMessageHeaders* headers =
            response != nullptr ? webkit_uri_response_get_http_headers(response) : nullptr;
        const char* disposition =
            headers != nullptr ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
        const bool attachment = disposition != nullptr && IsAttachment(disposition);
        if (webkit_response_policy_decision_is_mime_type_supported(responseDecision) && !attachment)
            return FALSE;
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
};

WebKitLockdown::WebKitLockdown(WebKitWebView* view) : view_(view) {
    WebKitSettings* settings = webkit_web_view_get_settings(view_);
    // Every window.open reaches the view's "create" signal, whose handler refuses it; nothing is
    // blocked unseen.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_settings_set_enable_fullscreen(settings, FALSE);
    webkit_settings_set_enable_developer_extras(settings, FALSE);

    struct Connection {
        const char* signal;
        GCallback callback;
    };
    const Connection connections[] = {
        {"script-dialog", G_CALLBACK(&Handlers::ScriptDialog)},
        {"authenticate", G_CALLBACK(&Handlers::Authenticate)},
        {"run-color-chooser", G_CALLBACK(&Handlers::ColorChooser)},
        {"run-file-chooser", G_CALLBACK(&Handlers::FileChooser)},
        {"print", G_CALLBACK(&Handlers::Print)},
        {"context-menu", G_CALLBACK(&Handlers::ContextMenu)},
        {"permission-request", G_CALLBACK(&Handlers::PermissionRequest)},
        {"enter-fullscreen", G_CALLBACK(&Handlers::EnterFullscreen)},
        {"decide-policy", G_CALLBACK(&Handlers::DecidePolicy)},
    };
    for (const auto& connection : connections)
        g_signal_connect(view_, connection.signal, connection.callback, this);
}

WebKitLockdown::~WebKitLockdown() {
    g_signal_handlers_disconnect_by_data(view_, this);
}

}  // namespace kiosk
