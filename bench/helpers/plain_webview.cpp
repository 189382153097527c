// The baseline of the start-up and page-load benchmarks: a bare full-screen WebKitGTK window that loads
// one page and says "loaded" each time a page has finished loading, then keeps running until it is
// stopped.
// --ephemeral: a web context that keeps its data and caches in memory only, as the kiosk's does.
// --sandbox: its web processes in WebKit's bubblewrap sandbox, as the kiosk's where it can make one.
// --trust CERTIFICATE HOST: accept that PEM certificate for HTTPS pages of HOST (repeatable), as the
// kiosk's browser is told to accept each leaf its proxy shows.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer) {
    if (event != WEBKIT_LOAD_FINISHED) return;
    std::printf("loaded\n");
    std::fflush(stdout);
}

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s [--ephemeral] [--sandbox] [--trust CERTIFICATE HOST]... URL\n", program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool ephemeral = false;
    bool sandbox = false;
    std::vector<std::pair<std::string, std::string>> trusted;  // certificate file, host
    const char* url = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ephemeral") == 0) {
            ephemeral = true;
        } else if (std::strcmp(argv[i], "--sandbox") == 0) {
            sandbox = true;
        } else if (std::strcmp(argv[i], "--trust") == 0 && i + 2 < argc) {
            trusted.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (url == nullptr && argv[i][0] != '-') {
            url = argv[i];
        } else {
            return Usage(argv[0]);
        }
    }
    if (url == nullptr) return Usage(argv[0]);
    gdk_set_allowed_backends("x11");
    gtk_init(nullptr, nullptr);

    WebKitWebContext* context = webkit_web_context_get_default();
    if (ephemeral) {
        WebKitWebsiteDataManager* manager = webkit_website_data_manager_new_ephemeral();
        context = webkit_web_context_new_with_website_data_manager(manager);
        g_object_unref(manager);
        webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    }
    if (sandbox) webkit_web_context_set_sandbox_enabled(context, TRUE);
    for (const auto& [file, host] : trusted) {
        GError* error = nullptr;
        GTlsCertificate* certificate = g_tls_certificate_new_from_file(file.c_str(), &error);
        if (certificate == nullptr) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), error->message);
            g_error_free(error);
            return 1;
        }
        webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
        g_object_unref(certificate);
    }

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    GdkRectangle screen;
    gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &screen);
    gtk_window_resize(GTK_WINDOW(window), screen.width, screen.height);
    GtkWidget* view = webkit_web_view_new_with_context(context);
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(view, "load-changed", G_CALLBACK(&OnLoadChanged), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(&gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), url);
    gtk_main();
    return 0;
}
