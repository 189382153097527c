// The baseline of the start-up benchmark: a bare full-screen WebKitGTK window that loads one page and
// says "loaded" when the page has finished loading, then keeps running until it is stopped.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>

namespace {

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer) {
    if (event != WEBKIT_LOAD_FINISHED) return;
    std::printf("loaded\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }
    gdk_set_allowed_backends("x11");
    gtk_init(nullptr, nullptr);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    GdkRectangle screen;
    gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &screen);
    gtk_window_resize(GTK_WINDOW(window), screen.width, screen.height);
    GtkWidget* view = webkit_web_view_new();
    gtk_container_add(GTK_CONTAINER(window), view);
    g_signal_connect(view, "load-changed", G_CALLBACK(&OnLoadChanged), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(&gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
    gtk_main();
    return 0;
}
