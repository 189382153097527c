#include "platform/linux/webkit_browser_control.h"

#include <gtk/gtk.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/linux/gdk_mouse_hook.h"
#include "platform/linux/gobject_ref.h"
#include "platform/linux/javascript_call.h"
#include "platform/linux/webkit_browser_rules.h"
#include "platform/linux/webkit_proxy_settings.h"

namespace kiosk {

namespace {

// A touch, or a pointer event that a touch screen made.
bool IsTouchEvent(const GdkEvent& event) {
    if (event.type == GDK_TOUCH_BEGIN || event.type == GDK_TOUCH_UPDATE || event.type == GDK_TOUCH_END)
        return true;
    GdkDevice* source = gdk_event_get_source_device(&event);
    return source != nullptr && gdk_device_get_source(source) == GDK_SOURCE_TOUCHSCREEN;
}

// Answers every download with a cancellation: a kiosk saves nothing.
void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, gpointer) {
    webkit_download_cancel(download);
}

// The process's one web context, with its website data manager: every control shares the cache.
// Created at the first control and kept for the process's lifetime.
WebKitWebContext* SharedWebContext() {
    static WebKitWebContext* const context = [] {
        const auto manager =
            GObjectRef<WebKitWebsiteDataManager>::Adopt(webkit_website_data_manager_new(nullptr));
        WebKitWebContext* created = webkit_web_context_new_with_website_data_manager(manager.get());
        webkit_web_context_set_cache_model(created, WEBKIT_CACHE_MODEL_WEB_BROWSER);
        g_signal_connect(created, "download-started", G_CALLBACK(OnDownloadStarted), nullptr);
        return created;
    }();
    return context;
}

void ReportHandlerFailure(const char* what) {
    std::fprintf(stderr, "kiosk: a browser event handler failed: %s\n", what);
}

std::string ViewUri(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    return uri != nullptr ? uri : "";
}

int CountOf(const std::string& text) {
    try {
        std::size_t used = 0;
        const int count = std::stoi(text, &used);
        if (used == text.size() && count >= 0) return count;
    } catch (const std::exception&) {
    }
    throw std::runtime_error("the page gave no count: " + text);
}

// The page shown in place of one that could not be loaded, as WebKit's own: the failure's text.
std::string ErrorPage(const std::string& message) {
    const std::unique_ptr<char, decltype(&g_free)> escaped(g_markup_escape_text(message.c_str(), -1),
                                                           &g_free);
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><p>") +
           escaped.get() + "</p></body></html>";
}

gboolean DestroyLater(gpointer view) {
    gtk_widget_destroy(GTK_WIDGET(view));
    g_object_unref(view);
    return G_SOURCE_REMOVE;
}

gboolean RunQueuedTaskOnce(gpointer task) {
    (*static_cast<std::function<void()>*>(task))();
    return G_SOURCE_REMOVE;
}

void DeleteQueuedTask(gpointer task) {
    delete static_cast<std::function<void()>*>(task);
}

const char* kElementLookup = R"JS(
const f = document.forms[form];
if (!f) throw new Error('there is no form ' + form);
const e = f.elements[element];
if (!e) throw new Error('form ' + form + ' has no element ' + element);
)JS";

// Writes the body style's property whose name is name regardless of case. An image or a text shown
// as a document has no body of its own.
const char* kSetBodyStyle = R"JS(
const type = String(document.contentType).toLowerCase();
const body = document.body;
if (!body || (type !== 'text/html' && type !== 'application/xhtml+xml')) throw new Error('the document has no body');
const style = body.style;
const wanted = name.toLowerCase();
let property = null;
for (const candidate in style) {
    if (candidate.toLowerCase() === wanted) { property = candidate; break; }
}
if (property === null) throw new Error('the body style has no property ' + name);
style[property] = value;
return '';
)JS";

}  // namespace

// The view's signal handlers. Each runs its work guarded: no exception reaches GLib, and nothing of
// the control is touched once an event handler has destroyed it.
struct WebKitBrowserControl::Callbacks {
    template <typename Work>
    static void Guarded(gpointer data, Work&& work) {
        auto* self = static_cast<WebKitBrowserControl*>(data);
        const std::shared_ptr<bool> alive = self->alive_;
        ++self->callbackDepth_;
        try {
            work(*self);
        } catch (const std::exception& failure) {
            ReportHandlerFailure(failure.what());
        } catch (...) {
            ReportHandlerFailure("unknown failure");
        }
        if (*alive) --self->callbackDepth_;
    }

    static void LoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
        Guarded(data, [&](WebKitBrowserControl& self) {
            switch (event) {
                case WEBKIT_LOAD_STARTED:
                    ++self.startedLoads_;
                    self.awaitingStart_ = false;
                    self.loadFailed_ = false;
                    self.httpErrorReported_ = false;
                    self.showingErrorPage_ = std::exchange(self.errorPagePending_, false);
                    break;
                case WEBKIT_LOAD_COMMITTED:
                    if (!self.showingErrorPage_) ReportHttpError(self, view);
                    break;
                case WEBKIT_LOAD_FINISHED: {
                    // The error page's load was reported as the failure it shows.
                    if (std::exchange(self.showingErrorPage_, false)) return;
                    const std::string uri = ViewUri(view);
                    if (!self.loadFailed_ &&
                        !self.Raise([&](BrowserEvents& events) { events.DocumentComplete(uri); }))
                        return;
                    self.Raise([](BrowserEvents& events) { events.ProgressChange(0, 0); });
                    break;
                }
                default:
                    break;
            }
        });
    }

    // An error answer of the server is shown as the page it is, and reported once per load.
    static void ReportHttpError(WebKitBrowserControl& self, WebKitWebView* view) {
        if (self.httpErrorReported_) return;
        WebKitWebResource* resource = webkit_web_view_get_main_resource(view);
        WebKitURIResponse* response =
            resource != nullptr ? webkit_web_resource_get_response(resource) : nullptr;
        if (response == nullptr) return;
        const auto status = static_cast<std::int32_t>(webkit_uri_response_get_status_code(response));
        if (status < 400) return;
        self.httpErrorReported_ = true;
        const std::string uri = ViewUri(view);
        self.Raise([&](BrowserEvents& events) { events.NavigateError(uri, status); });
    }

    // A network-level failure is reported, and then the browser's error page is shown in place of
    // the page, unless the handler has already sent the browser elsewhere (the shell's own page for
    // network errors). A cancelled load shows nothing.
    static gboolean LoadFailed(WebKitWebView* view, WebKitLoadEvent, gchar* failingUri, GError* error,
                               gpointer data) {
        Guarded(data, [&](WebKitBrowserControl& self) {
            self.loadFailed_ = true;
            if (self.showingErrorPage_) return;
            const auto code = error != nullptr
                                  ? NavigateErrorCode(g_quark_to_string(error->domain), error->code)
                                  : std::optional<std::int32_t>(navigate_error::kDownloadFailure);
            if (!code) return;
            const std::string uri = failingUri != nullptr ? failingUri : "";
            const std::string message = error != nullptr && error->message != nullptr ? error->message : "";
            const unsigned requests = self.requests_;
            if (!self.Raise([&](BrowserEvents& events) { events.NavigateError(uri, *code); })) return;
            if (self.requests_ != requests) return;
            self.errorPagePending_ = true;
            webkit_web_view_load_alternate_html(view, ErrorPage(message).c_str(), uri.c_str(), nullptr);
        });
        return TRUE;
    }

    static void ProgressChanged(GObject* object, GParamSpec*, gpointer data) {
        Guarded(data, [&](WebKitBrowserControl& self) {
            // The error page's progress is none of the shell's concern.
            if (self.errorPagePending_ || self.showingErrorPage_) return;
            const double progress = webkit_web_view_get_estimated_load_progress(WEBKIT_WEB_VIEW(object));
            const auto percent = static_cast<std::int32_t>(progress * 100.0);
            self.Raise([&](BrowserEvents& events) { events.ProgressChange(percent, 100); });
        });
    }

    // A page that wants a new window or a pop-up gets none, whatever the handler says.
    static GtkWidget* Create(WebKitWebView*, WebKitNavigationAction*, gpointer data) {
        Guarded(data, [&](WebKitBrowserControl& self) {
            self.Raise([](BrowserEvents& events) {
                bool cancel = false;
                events.NewWindow(cancel);
            });
        });
        return nullptr;
    }

    static void WebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                     gpointer data) {
        if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
        Guarded(data, [&](WebKitBrowserControl& self) {
            const std::string uri = ViewUri(view);
            if (!self.Raise([&](BrowserEvents& events) {
                    events.NavigateError(uri, navigate_error::kWebProcessEnded);
                }))
                return;
            self.Raise([](BrowserEvents& events) { events.ProgressChange(0, 0); });
        });
    }

    // Silent: alert is dropped, confirm and prompt are refused, leaving a page is allowed.
    static gboolean ScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
        if (!static_cast<WebKitBrowserControl*>(data)->silent_) return FALSE;
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
        if (!static_cast<WebKitBrowserControl*>(data)->silent_) return FALSE;
        webkit_authentication_request_cancel(request);
        return TRUE;
    }

    static gboolean ColorChooser(WebKitWebView*, WebKitColorChooserRequest* request, gpointer data) {
        if (!static_cast<WebKitBrowserControl*>(data)->silent_) return FALSE;
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

WebKitBrowserControl::WebKitBrowserControl(GtkOverlay* host, UserSettingsStore& settings,
                                           InternetSettingsBroadcaster& broadcaster)
    : settings_(settings), broadcaster_(broadcaster) {
    view_ = GObjectRef<WebKitWebView>::Adopt(
        WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(SharedWebContext())));

    WebKitSettings* viewSettings = webkit_web_view_get_settings(View());
    // Every window.open reaches "create", which refuses it; nothing is blocked unseen.
    webkit_settings_set_javascript_can_open_windows_automatically(viewSettings, TRUE);
    webkit_settings_set_enable_fullscreen(viewSettings, FALSE);
    webkit_settings_set_enable_developer_extras(viewSettings, FALSE);

    struct Connection {
        const char* signal;
        GCallback callback;
    };
    const Connection connections[] = {
        {"load-changed", G_CALLBACK(&Callbacks::LoadChanged)},
        {"load-failed", G_CALLBACK(&Callbacks::LoadFailed)},
        {"notify::estimated-load-progress", G_CALLBACK(&Callbacks::ProgressChanged)},
        {"create", G_CALLBACK(&Callbacks::Create)},
        {"web-process-terminated", G_CALLBACK(&Callbacks::WebProcessTerminated)},
        {"script-dialog", G_CALLBACK(&Callbacks::ScriptDialog)},
        {"authenticate", G_CALLBACK(&Callbacks::Authenticate)},
        {"run-color-chooser", G_CALLBACK(&Callbacks::ColorChooser)},
        {"run-file-chooser", G_CALLBACK(&Callbacks::FileChooser)},
        {"print", G_CALLBACK(&Callbacks::Print)},
        {"context-menu", G_CALLBACK(&Callbacks::ContextMenu)},
        {"permission-request", G_CALLBACK(&Callbacks::PermissionRequest)},
        {"enter-fullscreen", G_CALLBACK(&Callbacks::EnterFullscreen)},
        {"decide-policy", G_CALLBACK(&Callbacks::DecidePolicy)},
    };
    for (const auto& connection : connections)
        g_signal_connect(View(), connection.signal, connection.callback, this);

    ApplyProxy();
    // The broadcaster may call from any thread; the store and the view are used on the main thread.
    subscription_ = broadcaster_.Subscribe([this, alive = alive_, mainThread = mainThread_] {
        if (std::this_thread::get_id() == mainThread) {
            if (*alive) OnSettingsChanged();
            return;
        }
        auto* task = new std::function<void()>([this, alive] {
            if (*alive) OnSettingsChanged();
        });
        g_main_context_invoke_full(nullptr, G_PRIORITY_DEFAULT, &RunQueuedTaskOnce, task, &DeleteQueuedTask);
    });

    GtkWidget* widget = GTK_WIDGET(View());
    gtk_widget_set_halign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_valign(widget, GTK_ALIGN_FILL);
    gtk_widget_set_hexpand(widget, TRUE);
    gtk_widget_set_vexpand(widget, TRUE);
    gtk_overlay_add_overlay(host, widget);
    gtk_widget_show(widget);
}

WebKitBrowserControl::~WebKitBrowserControl() {
    *alive_ = false;
    broadcaster_.Unsubscribe(subscription_);
    events_ = nullptr;
    g_signal_handlers_disconnect_by_data(View(), this);
    webkit_web_view_stop_loading(View());
    // The page's web process goes with the view: one stuck in a script loop would otherwise keep
    // running for ever, also after this process has ended.
    webkit_web_view_terminate_web_process(View());
    GtkWidget* widget = GTK_WIDGET(View());
    if (callbackDepth_ > 0) {
        // Destroyed by an event that ran inside one of the view's own signals: the view goes once
        // that signal has returned.
        gtk_widget_hide(widget);
        if (GtkWidget* parent = gtk_widget_get_parent(widget))
            gtk_container_remove(GTK_CONTAINER(parent), widget);
        g_idle_add(&DestroyLater, view_.release());
        return;
    }
    gtk_widget_destroy(widget);
}

template <typename Handler>
bool WebKitBrowserControl::Raise(Handler&& handler) {
    if (events_ == nullptr) return true;
    const std::shared_ptr<bool> alive = alive_;
    try {
        handler(*events_);
    } catch (const std::exception& failure) {
        ReportHandlerFailure(failure.what());
    } catch (...) {
        ReportHandlerFailure("unknown failure");
    }
    return *alive;
}

void WebKitBrowserControl::ApplyProxy() {
    ApplyBrowserProxy(webkit_web_context_get_website_data_manager(SharedWebContext()),
                      ReadBrowserProxy(settings_));
}

void WebKitBrowserControl::OnSettingsChanged() {
    try {
        ApplyProxy();
    } catch (...) {
        // The proxy stays as it was.
    }
}

void WebKitBrowserControl::Requested(bool startsLoad) {
    ++requests_;
    errorPagePending_ = false;
    if (startsLoad) awaitingStart_ = true;
}

void WebKitBrowserControl::Navigate(const std::string& url) {
    Requested(true);
    webkit_web_view_load_uri(View(), NavigableUri(url).c_str());
}

void WebKitBrowserControl::GoBack() {
    const bool possible = webkit_web_view_can_go_back(View());
    Requested(possible);
    if (possible) webkit_web_view_go_back(View());
}

void WebKitBrowserControl::Refresh() {
    Requested(true);
    webkit_web_view_reload(View());
}

void WebKitBrowserControl::Refresh2(int level) {
    Requested(true);
    if (level == kRefreshCompletely) {
        webkit_web_view_reload_bypass_cache(View());
    } else {
        webkit_web_view_reload(View());
    }
}

// WebKit drops a load stopped before it has started without a word: the end of loading is then
// reported here, once the events pending now have run, unless a load has started meanwhile.
void WebKitBrowserControl::Stop() {
    const bool unstarted = std::exchange(awaitingStart_, false);
    Requested(false);
    webkit_web_view_stop_loading(View());
    if (!unstarted) return;
    auto* task = new std::function<void()>([this, alive = alive_, started = startedLoads_] {
        if (!*alive || startedLoads_ != started || awaitingStart_) return;
        Callbacks::Guarded(this, [](WebKitBrowserControl& self) {
            self.Raise([](BrowserEvents& events) { events.ProgressChange(0, 0); });
        });
    });
    g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, &RunQueuedTaskOnce, task, &DeleteQueuedTask);
}

bool WebKitBrowserControl::HasHtmlDocument() {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(View());
    WebKitURIResponse* response = resource != nullptr ? webkit_web_resource_get_response(resource) : nullptr;
    const char* mimeType = response != nullptr ? webkit_uri_response_get_mime_type(response) : nullptr;
    return mimeType != nullptr && IsHtmlMimeType(mimeType);
}

void WebKitBrowserControl::SetVisible(bool visible) {
    gtk_widget_set_visible(GTK_WIDGET(View()), visible);
}

void WebKitBrowserControl::SetSilent(bool silent) {
    silent_ = silent;
}

void WebKitBrowserControl::SetStatusBar(bool shown) {
    statusBar_ = shown;
}

void WebKitBrowserControl::SetAddressBar(bool shown) {
    addressBar_ = shown;
}

void WebKitBrowserControl::SetEnabled(bool enabled) {
    gtk_widget_set_sensitive(GTK_WIDGET(View()), enabled);
}

void WebKitBrowserControl::SetEvents(BrowserEvents* events) {
    events_ = events;
}

std::string WebKitBrowserControl::Script(const std::string& body, std::vector<JavaScriptArgument> arguments) {
    // A page that let a call run out of time and still does not answer fails at once, so that a
    // series of calls does not wait the time limit each.
    if (scriptTimedOut_ && !webkit_web_view_get_is_web_process_responsive(View()))
        throw std::runtime_error("the page does not answer");
    const std::shared_ptr<bool> alive = alive_;
    try {
        std::string result = CallJavaScript(View(), body, arguments, kScriptTimeLimit, alive);
        scriptTimedOut_ = false;
        return result;
    } catch (const JavaScriptTimeout&) {
        if (*alive) scriptTimedOut_ = true;
        throw;
    }
}

std::string WebKitBrowserControl::ElementScript(const std::string& tail, int form, int element) {
    return Script(std::string(kElementLookup) + tail, {{"form", form}, {"element", element}});
}

void WebKitBrowserControl::SetBodyStyle(const std::string& name, const std::string& value) {
    Script(kSetBodyStyle, {{"name", name}, {"value", value}});
}

int WebKitBrowserControl::FormCount() {
    return CountOf(Script("return String(document.forms.length);", {}));
}

int WebKitBrowserControl::ElementCount(int form) {
    return CountOf(Script(R"JS(
const f = document.forms[form];
if (!f) throw new Error('there is no form ' + form);
return String(f.elements.length);
)JS",
                          {{"form", form}}));
}

std::string WebKitBrowserControl::TagName(int form, int element) {
    return ElementScript("return String(e.tagName);", form, element);
}

std::string WebKitBrowserControl::Type(int form, int element) {
    return ElementScript("return e.type == null ? '' : String(e.type);", form, element);
}

std::string WebKitBrowserControl::Disabled(int form, int element) {
    return ElementScript("return e.disabled ? 'True' : 'False';", form, element);
}

std::string WebKitBrowserControl::StyleDisplay(int form, int element) {
    return ElementScript("return e.style ? String(e.style.display) : '';", form, element);
}

// The view takes the window's keyboard focus, and the element the page's.
void WebKitBrowserControl::Focus(int form, int element) {
    gtk_widget_grab_focus(GTK_WIDGET(View()));
    ElementScript(R"JS(
e.focus();
if (document.activeElement !== e) throw new Error('the element cannot take the focus');
return '';
)JS",
                  form, element);
}

}  // namespace kiosk
