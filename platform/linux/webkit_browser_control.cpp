#include "platform/linux/webkit_browser_control.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/linux/main_loop_queue.h"
#include "platform/linux/webkit_browser_rules.h"
#include "platform/linux/webkit_proxy_settings.h"

namespace kiosk {

namespace {

// A web context of its own for each control, so for each visitor: its website data manager keeps
// cookies, storage, caches, HTTP authentication and permissions in memory only, in a network
// session of its own, and all of it goes with the context. (Clearing one shared context leaves the
// network session's HTTP authentication behind: a visitor would stay signed in for the next.)
GObjectRef<WebKitWebContext> NewVisitorContext(const WebKitSandbox& sandbox) {
    const auto manager =
        GObjectRef<WebKitWebsiteDataManager>::Adopt(webkit_website_data_manager_new_ephemeral());
    auto context =
        GObjectRef<WebKitWebContext>::Adopt(webkit_web_context_new_with_website_data_manager(manager.get()));
    webkit_web_context_set_cache_model(context.get(), WEBKIT_CACHE_MODEL_WEB_BROWSER);
    sandbox.Apply(context.get());
    RefuseDownloads(context.get());
    return context;
}

void ReportHandlerFailure(const char* what) {
    std::fprintf(stderr, "kiosk: a browser event handler failed: %s\n", what);
}

std::string ViewUri(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    return uri != nullptr ? uri : "";
}

// The page shown in place of one that could not be loaded, as WebKit's own: the failure's text.
std::string ErrorPage(const std::string& message) {
    const std::unique_ptr<char, decltype(&g_free)> escaped(g_markup_escape_text(message.c_str(), -1),
                                                           &g_free);
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><p>") +
           escaped.get() + "</p></body></html>";
}

GObjectRef<WebKitWebView> NewView(WebKitWebContext* context) {
    return GObjectRef<WebKitWebView>::Adopt(WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context)));
}

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
                    self.CountStartedLoad();
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

    // Every navigation of the page and its frames is put to the shell first; one it refuses loads
    // nothing and reports no error.
    static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer data) {
        if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) return FALSE;
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        const std::string url = uri != nullptr ? uri : "";
        bool cancel = false;
        bool ignored = false;
        Guarded(data, [&](WebKitBrowserControl& self) {
            if (!self.Raise([&](BrowserEvents& events) { events.BeforeNavigate(url, cancel); }) || !cancel)
                return;
            webkit_policy_decision_ignore(decision);
            ignored = true;
            // A refused page that was asked for never starts: its loading ends as a stopped one does.
            if (self.awaitingStart_) self.Stop();
        });
        if (cancel && !ignored) webkit_policy_decision_ignore(decision);
        return cancel ? TRUE : FALSE;
    }

    // A press, a touch, a turn of the wheel or a key in the page: the visitor is using it. WebKit
    // handles the event afterwards as ever.
    static gboolean VisitorActivity(WebKitWebView*, GdkEvent* event, gpointer data) {
        if (event->type == GDK_TOUCH_UPDATE || event->type == GDK_TOUCH_END ||
            event->type == GDK_TOUCH_CANCEL)
            return FALSE;
        Guarded(data, [](WebKitBrowserControl& self) {
            self.Raise([](BrowserEvents& events) { events.PageActivity(); });
        });
        return FALSE;
    }

    static void WebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                     gpointer data) {
        if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
        Guarded(data, [&](WebKitBrowserControl& self) {
            const std::string uri = ViewUri(view);
            self.Raise([&](BrowserEvents& events) { events.PageProcessEnded(uri); });
        });
    }
};

WebKitBrowserControl::WebKitBrowserControl(GtkOverlay* host, UserSettingsStore& settings,
                                           InternetSettingsBroadcaster& broadcaster,
                                           WebKitCertificateTrust& trust, const WebKitSandbox& sandbox)
    : settings_(settings),
      broadcaster_(broadcaster),
      trust_(trust),
      context_(NewVisitorContext(sandbox)),
      view_(NewView(context_.get())),
      lockdown_(std::make_unique<WebKitLockdown>(View())),
      document_(View(), alive_) {
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
        {"decide-policy", G_CALLBACK(&Callbacks::DecidePolicy)},
        {"button-press-event", G_CALLBACK(&Callbacks::VisitorActivity)},
        {"touch-event", G_CALLBACK(&Callbacks::VisitorActivity)},
        {"scroll-event", G_CALLBACK(&Callbacks::VisitorActivity)},
        {"key-press-event", G_CALLBACK(&Callbacks::VisitorActivity)},
    };
    for (const auto& connection : connections)
        g_signal_connect(View(), connection.signal, connection.callback, this);

    trust_.Serve(context_.get());
    ApplyProxy();
    // The broadcaster may call from any thread; the store and the view are used on the main thread.
    subscription_ = broadcaster_.Subscribe([this, alive = alive_, mainThread = mainThread_] {
        if (std::this_thread::get_id() == mainThread) {
            if (*alive) OnSettingsChanged();
            return;
        }
        QueueOnMainLoop(
            [this, alive] {
                if (*alive) OnSettingsChanged();
            },
            G_PRIORITY_DEFAULT);
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
    lockdown_.reset();
    webkit_web_view_stop_loading(View());
    // The page's web process goes with the view: one stuck in a script loop would otherwise keep
    // running for ever, also after this process has ended.
    webkit_web_view_terminate_web_process(View());
    trust_.Forget(context_.get());
    GtkWidget* widget = GTK_WIDGET(View());
    if (callbackDepth_ > 0) {
        // Destroyed by an event that ran inside one of the view's own signals: the view goes once
        // that signal has returned.
        gtk_widget_hide(widget);
        if (GtkWidget* parent = gtk_widget_get_parent(widget))
            gtk_container_remove(GTK_CONTAINER(parent), widget);
        QueueOnMainLoop([view = view_.release()] {
            gtk_widget_destroy(GTK_WIDGET(view));
            g_object_unref(view);
        });
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
    ApplyBrowserProxy(webkit_web_context_get_website_data_manager(context_.get()),
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

// With nothing to go back to no load would start, and nothing would ever end the busy animation
// that the caller switches on after a successful call.
void WebKitBrowserControl::GoBack() {
    if (!webkit_web_view_can_go_back(View())) throw std::runtime_error("No page to go back to.");
    Requested(true);
    webkit_web_view_go_back(View());
}

void WebKitBrowserControl::Refresh() {
    Requested(true);
    webkit_web_view_reload(View());
}

void WebKitBrowserControl::Reload(int level) {
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
    QueueOnMainLoop([this, alive = alive_, started = StartedLoads()] {
        if (!*alive || StartedLoads() != started || awaitingStart_) return;
        Callbacks::Guarded(this, [](WebKitBrowserControl& self) {
            self.Raise([](BrowserEvents& events) { events.ProgressChange(0, 0); });
        });
    });
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
    lockdown_->SetSilent(silent);
}

void WebKitBrowserControl::SetStatusBar(bool shown) {
    statusBar_ = shown;
}

void WebKitBrowserControl::SetAddressBar(bool shown) {
    addressBar_ = shown;
}

void WebKitBrowserControl::SetPreferredLanguages(const std::vector<std::string>& languages) {
    std::vector<const char*> list;
    for (const std::string& language : languages) list.push_back(language.c_str());
    list.push_back(nullptr);
    webkit_web_context_set_preferred_languages(context_.get(), list.data());
}

void WebKitBrowserControl::SetEnabled(bool enabled) {
    gtk_widget_set_sensitive(GTK_WIDGET(View()), enabled);
}

void WebKitBrowserControl::SetEvents(BrowserEvents* events) {
    events_ = events;
}

void WebKitBrowserControl::SetBodyStyles(const std::vector<BodyStyle>& styles) {
    document_.SetBodyStyles(styles);
}

int WebKitBrowserControl::FormCount() {
    return document_.FormCount();
}

int WebKitBrowserControl::ElementCount(int form) {
    return document_.ElementCount(form);
}

std::string WebKitBrowserControl::TagName(int form, int element) {
    return document_.TagName(form, element);
}

std::string WebKitBrowserControl::Type(int form, int element) {
    return document_.Type(form, element);
}

std::string WebKitBrowserControl::Disabled(int form, int element) {
    return document_.Disabled(form, element);
}

std::string WebKitBrowserControl::StyleDisplay(int form, int element) {
    return document_.StyleDisplay(form, element);
}

// The view takes the window's keyboard focus, and the element the page's.
void WebKitBrowserControl::Focus(int form, int element) {
    gtk_widget_grab_focus(GTK_WIDGET(View()));
    document_.Focus(form, element);
}

}  // namespace kiosk
