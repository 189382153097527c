// The WebKitGTK browser control in this process, on the process's own Xvfb display: pages from files
// and from loopback origins (Python's http.server), the project's own proxy, and real clicks.

#include "platform/linux/webkit_browser_control.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/file_settings_store.h"
#include "platform/linux/webkit_browser_rules.h"
#include "proxy/internet_proxy_setting.h"
#include "tests/support/child_process.h"
#include "tests/support/loopback_peers.h"
#include "tests/support/recording_proxy.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_display.h"

namespace kiosk::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

// What the control reports: "complete URL", "error URL CODE", "progress P M", "new window". A test
// may add work to a completion or an error, run inside the event as the shell's handlers run.
struct RecordingEvents : BrowserEvents {
    void DocumentComplete(const std::string& url) override {
        events.push_back("complete " + url);
        if (onComplete) onComplete();
    }
    void NavigateError(const std::string& url, std::int32_t code) override {
        events.push_back("error " + url + " " + std::to_string(code));
        if (onError) onError(code);
    }
    void ProgressChange(std::int32_t progress, std::int32_t maximum) override {
        events.push_back("progress " + std::to_string(progress) + " " + std::to_string(maximum));
    }
    void NewWindow(bool& cancel) override {
        events.push_back("new window");
        cancel = true;
    }
    // Refused when refuse says so: "refused URL".
    void BeforeNavigate(const std::string& url, bool& cancel) override {
        if (!refuse || !refuse(url)) return;
        events.push_back("refused " + url);
        cancel = true;
    }
    void PageProcessEnded(const std::string& url) override { events.push_back("process ended " + url); }
    Events Starting(const std::string& prefix) const {
        Events found;
        std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                     [&](const std::string& event) { return event.starts_with(prefix); });
        return found;
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    std::string Text() const {
        std::string text;
        for (const auto& event : events) text += "\n  " + event;
        return text;
    }

    Events events;
    std::function<void()> onComplete;
    std::function<void(std::int32_t)> onError;
    std::function<bool(const std::string&)> refuse;
};

// Runs the main context's events until done holds or timeout passes; returns whether it held.
bool ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 15s) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return true;
}

void ProcessFor(std::chrono::milliseconds time) {
    ProcessUntil([] { return false; }, time);
}

std::string FileUrl(const std::filesystem::path& path) {
    return "file://" + path.string();
}

void WritePicture(const std::filesystem::path& path) {
    const auto picture = GObjectRef<GdkPixbuf>::Adopt(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 4, 4));
    gdk_pixbuf_fill(picture.get(), 0x3366ccff);
    ASSERT_TRUE(gdk_pixbuf_save(picture.get(), path.c_str(), "png", nullptr, nullptr));
}

// The colour of a window's pixel as 0xRRGGBB, read back from the X server.
unsigned PixelAt(GtkWidget* window, int x, int y) {
    const auto shot =
        GObjectRef<GdkPixbuf>::Adopt(gdk_pixbuf_get_from_window(gtk_widget_get_window(window), x, y, 1, 1));
    if (!shot) return 0xFFFFFFFFu;
    const guchar* pixel = gdk_pixbuf_get_pixels(shot.get());
    return (pixel[0] << 16) | (pixel[1] << 8) | pixel[2];
}

// A real click of the first mouse button at x, y of window, through the X server.
void ClickAt(GtkWidget* window, int x, int y) {
    int left = 0;
    int top = 0;
    gdk_window_get_origin(gtk_widget_get_window(window), &left, &top);
    RunOnDisplay(ProcessDisplay(), "xdotool mousemove " + std::to_string(left + x) + " " +
                                       std::to_string(top + y) + " click 1");
}

void CountWebViews(GtkWidget* widget, gpointer count) {
    if (WEBKIT_IS_WEB_VIEW(widget)) ++*static_cast<int*>(count);
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), &CountWebViews, count);
}

// The process's shown top-level windows other than own (no pop-ups such as tooltips), and the web views in
// all windows.
Events OtherWindows(GtkWidget* own, int* webViews = nullptr) {
    Events names;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (webViews != nullptr) CountWebViews(window, webViews);
        if (window != own && gtk_widget_get_visible(window) &&
            gtk_window_get_window_type(GTK_WINDOW(window)) == GTK_WINDOW_TOPLEVEL) {
            names.push_back(G_OBJECT_TYPE_NAME(window));
        }
    }
    g_list_free(windows);
    return names;
}

// The downloads of a web context: started, and failed as cancelled.
struct DownloadCounts {
    static void Started(WebKitWebContext*, WebKitDownload* download, gpointer counts) {
        ++static_cast<DownloadCounts*>(counts)->started;
        g_signal_connect(download, "failed", G_CALLBACK(&DownloadCounts::Failed), counts);
    }
    static void Failed(WebKitDownload*, GError* error, gpointer counts) {
        if (g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER))
            ++static_cast<DownloadCounts*>(counts)->cancelled;
    }
    int started = 0;
    int cancelled = 0;
};

// Python's own HTTP server on a free loopback port, serving directory (a missing file is a 404).
class PythonHttpServer {
public:
    explicit PythonHttpServer(const TempDir& directory)
        : port_(FreePort()),
          process_("/usr/bin/python3",
                   {"-m", "http.server", std::to_string(port_), "--bind", "127.0.0.1", "--directory",
                    directory.str()},
                   directory.str(), (directory / "http-server.out").string()) {
        if (!WaitUntil([&] { return AcceptsConnections(port_); }, 10s))
            throw std::runtime_error("no http.server");
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Port() const { return port_; }

private:
    int port_;
    ChildProcess process_;
};

// An origin that reads requests and never answers: a load that stays under way. WebKit also opens
// connections ahead of its requests, so what counts is the request line read.
class SilentOrigin {
public:
    SilentOrigin()
        : origin_([this](TcpSocket& socket) {
              const std::string request = ReadMessage(socket, 20s);
              {
                  std::lock_guard lock(mutex_);
                  requests_.push_back(request.substr(0, request.find("\r\n")));
              }
              socket.WaitReadable(30s);
          }) {}
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(origin_.Port()) + path;
    }
    bool Asked(const std::string& path) const {
        std::lock_guard lock(mutex_);
        return std::find(requests_.begin(), requests_.end(), "GET " + path + " HTTP/1.1") != requests_.end();
    }

private:
    mutable std::mutex mutex_;
    Events requests_;
    LoopbackOrigin origin_;
};

class WebKitBrowserControlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ProcessDisplay();
        static TempDir home;  // the tests' website data and cache
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    }

    void SetUp() override {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(window_), 800, 600);
        overlay_ = GTK_OVERLAY(gtk_overlay_new());
        gtk_container_add(GTK_CONTAINER(overlay_), gtk_label_new("Не работает"));
        gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(overlay_));
        gtk_widget_show_all(window_);
        SetProxy(0, "");
    }

    void TearDown() override {
        control_.reset();
        ProcessFor(100ms);
        gtk_widget_destroy(window_);
    }

    WebKitBrowserControl& Create(bool silent = true) {
        control_ = std::make_unique<WebKitBrowserControl>(overlay_, store_, broadcaster_, trust_, sandbox_);
        control_->SetSilent(silent);
        control_->SetEvents(&events_);
        return *control_;
    }

    // Writes the user's proxy setting as the system proxy setting does, without announcing it.
    void SetProxy(std::int32_t enable, const std::string& server) {
        ASSERT_TRUE(store_.OpenKey(InternetProxySetting::kKey));
        store_.WriteInteger("ProxyEnable", enable);
        store_.WriteText("ProxyServer", server);
        store_.CloseKey();
    }

    // Navigates and waits until loading has ended (the report of 0 of 0); the events start afresh.
    bool Load(const std::string& url) {
        events_.events.clear();
        control_->Navigate(url);
        return ProcessUntil([&] { return events_.Count("progress 0 0") > 0; });
    }

    std::string Page(const std::string& name, const std::string& content) {
        WriteFile(pages_ / name, content);
        return FileUrl(pages_ / name);
    }

    // Waits until the load asked for has committed and its page's script has had time to begin.
    bool WaitForCommit() {
        bool committed = false;
        const gulong handler =
            g_signal_connect(control_->View(), "load-changed",
                             G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer flag) {
                                 if (event == WEBKIT_LOAD_COMMITTED) *static_cast<bool*>(flag) = true;
                             }),
                             &committed);
        const bool done = ProcessUntil([&] { return committed; });
        g_signal_handler_disconnect(control_->View(), handler);
        ProcessFor(200ms);
        return done;
    }

    // The test's own reading of the page.
    std::string Evaluate(const std::string& body) {
        return CallJavaScript(control_->View(), body, {}, 3s, std::make_shared<bool>(true));
    }

    static gboolean DestroyControl(gpointer test) {
        static_cast<WebKitBrowserControlTest*>(test)->control_.reset();
        return G_SOURCE_REMOVE;
    }

    TempDir settingsDir_;
    TempDir pages_;
    FileSettingsStore store_{(settingsDir_ / "user-settings").string()};
    InternetSettingsBroadcaster broadcaster_;
    WebKitCertificateTrust trust_;
    WebKitSandbox sandbox_;
    RecordingEvents events_;
    GtkWidget* window_ = nullptr;
    GtkOverlay* overlay_ = nullptr;
    std::unique_ptr<WebKitBrowserControl> control_;
};

TEST_F(WebKitBrowserControlTest, APageCoversTheHostCompletesWithItsUrlAndThenReportsZeroOfZero) {
    Create();
    const std::string url = Page("blue.html", "<html><body style='background: #3366cc'></body></html>");
    ASSERT_TRUE(Load(url)) << events_.Text();
    EXPECT_EQ(events_.Starting("complete"), Events{"complete " + url}) << events_.Text();
    EXPECT_EQ(events_.events.back(), "progress 0 0") << events_.Text();
    EXPECT_EQ(events_.Count("progress 100 100"), 1) << events_.Text();
    EXPECT_TRUE(events_.Starting("error").empty()) << events_.Text();

    const int width = gtk_widget_get_allocated_width(window_);
    const int height = gtk_widget_get_allocated_height(window_);
    const std::pair<int, int> corners[] = {{5, 5}, {width / 2, height / 2}, {width - 5, height - 5}};
    for (const auto& [x, y] : corners) {
        EXPECT_TRUE(ProcessUntil([&] { return PixelAt(window_, x, y) == 0x3366ccu; }, 10s)) << x << "," << y;
    }
    control_->SetVisible(false);
    EXPECT_TRUE(ProcessUntil([&] { return PixelAt(window_, width / 2, height / 2) != 0x3366ccu; }, 5s));
}

TEST_F(WebKitBrowserControlTest, AnHttpErrorStatusIsReportedOnceAndThePageStillCompletes) {
    PythonHttpServer server(pages_);
    Create();
    const std::string url = server.Url("/missing.html");
    ASSERT_TRUE(Load(url)) << events_.Text();
    const Events expected{"error " + url + " 404", "complete " + url, "progress 0 0"};
    Events reported = events_.Starting("error");
    for (const auto& event : events_.Starting("complete")) reported.push_back(event);
    reported.push_back(events_.events.back());
    EXPECT_EQ(reported, expected) << events_.Text();
}

TEST_F(WebKitBrowserControlTest, NetworkFailuresAreNegativeAndTheirErrorPageDoesNotComplete) {
    Create();
    const std::string refused = "http://127.0.0.1:" + std::to_string(FreePort()) + "/page.html";
    ASSERT_TRUE(Load(refused)) << events_.Text();
    ProcessFor(1s);  // the error page loads meanwhile
    EXPECT_EQ(events_.Starting("error"),
              Events{"error " + refused + " " + std::to_string(navigate_error::kCannotConnect)});
    EXPECT_TRUE(events_.Starting("complete").empty()) << events_.Text();
    EXPECT_EQ(events_.Count("progress 0 0"), 1) << events_.Text();
    EXPECT_EQ(events_.events.back(), "progress 0 0") << events_.Text();
    EXPECT_NE(Evaluate("return document.body.textContent;"), "");

    const std::string missing = FileUrl(pages_ / "absent.html");
    ASSERT_TRUE(Load(missing)) << events_.Text();
    EXPECT_EQ(events_.Starting("error"),
              Events{"error " + missing + " " + std::to_string(navigate_error::kObjectNotFound)});
}

TEST_F(WebKitBrowserControlTest, APageNavigatedToFromTheErrorHandlerTakesThePlaceOfTheErrorPage) {
    const std::string netPage = Page("net.html", "<html><body>net page</body></html>");
    Create();
    events_.onError = [&](std::int32_t code) {
        if (code < 0) control_->Navigate(netPage);
    };
    control_->Navigate("http://127.0.0.1:" + std::to_string(FreePort()) + "/page.html");
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("complete " + netPage) > 0; })) << events_.Text();
    ProcessFor(1s);
    EXPECT_EQ(events_.Starting("complete"), Events{"complete " + netPage}) << events_.Text();
    EXPECT_EQ(Evaluate("return document.body.textContent;"), "net page");
}

TEST_F(WebKitBrowserControlTest, StopOrANewNavigationEndsALoadWithoutAnError) {
    SilentOrigin origin;
    const std::string next = Page("next.html", "<html><body>next</body></html>");
    Create();
    // Stopped before WebKit has started it, after it has started, and replaced by another page.
    control_->Navigate(origin.Url("/at-once"));
    control_->Stop();
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("progress 0 0") == 1; })) << events_.Text();
    control_->Navigate(origin.Url("/slow"));
    ASSERT_TRUE(ProcessUntil([&] { return origin.Asked("/slow"); })) << events_.Text();
    ProcessFor(300ms);
    control_->Stop();
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("progress 0 0") == 2; })) << events_.Text();
    control_->Navigate(origin.Url("/replaced"));
    ASSERT_TRUE(ProcessUntil([&] { return origin.Asked("/replaced"); })) << events_.Text();
    ProcessFor(300ms);
    control_->Navigate(next);
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("complete " + next) > 0; })) << events_.Text();
    ProcessFor(500ms);
    EXPECT_TRUE(events_.Starting("error").empty()) << events_.Text();
    EXPECT_EQ(events_.Starting("complete"), Events{"complete " + next}) << events_.Text();
    EXPECT_EQ(events_.events.back(), "progress 0 0") << events_.Text();
}

// Back with nothing to go back to fails and starts nothing, so no caller waits for a load that never
// comes; with a page behind it, it goes there.
TEST_F(WebKitBrowserControlTest, BackWithoutHistoryFailsAndStartsNoLoad) {
    Create();
    EXPECT_THROW(control_->GoBack(), std::runtime_error);
    ProcessFor(300ms);
    EXPECT_TRUE(events_.events.empty()) << events_.Text();
    const std::string first = Page("first.html", "<html><body>first</body></html>");
    const std::string second = Page("second.html", "<html><body>second</body></html>");
    ASSERT_TRUE(Load(first)) << events_.Text();
    ASSERT_TRUE(Load(second)) << events_.Text();
    control_->GoBack();
    EXPECT_TRUE(ProcessUntil([&] { return events_.Count("complete " + first) == 1; })) << events_.Text();
}

TEST_F(WebKitBrowserControlTest, OnlyHtmlAndXhtmlPagesAreHtmlDocuments) {
    PythonHttpServer server(pages_);
    WritePicture(pages_ / "picture.png");
    Page("notes.txt", "plain text\n");
    Create();
    EXPECT_FALSE(control_->HasHtmlDocument());
    const std::pair<std::string, bool> pages[] = {
        {FileUrl(pages_ / "picture.png"), false},
        {FileUrl(pages_ / "notes.txt"), false},
        {Page("page.html", "<html><body>page</body></html>"), true},
        {Page("page.xhtml", "<html xmlns='http://www.w3.org/1999/xhtml'><body>x</body></html>"), true},
        {server.Url("/notes.txt"), false},
        {server.Url("/page.html"), true},
    };
    for (const auto& [url, html] : pages) {
        ASSERT_TRUE(Load(url)) << events_.Text();
        EXPECT_EQ(control_->HasHtmlDocument(), html) << url;
    }
}

TEST_F(WebKitBrowserControlTest, NewWindowsAreAnnouncedAndNoneOpens) {
    Page("other.html", "<html><body>other</body></html>");
    const std::string url = Page("popup.html", R"(<html><body>
        <a id="link" href="other.html" target="_blank">other</a>
        <script>window.open('other.html', 'popup');</script></body></html>)");
    Create();
    ASSERT_TRUE(Load(url)) << events_.Text();
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("new window") == 1; })) << events_.Text();
    Evaluate("document.getElementById('link').click();");
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("new window") == 2; })) << events_.Text();
    ProcessFor(500ms);
    int webViews = 0;
    EXPECT_EQ(OtherWindows(window_, &webViews), Events{});
    EXPECT_EQ(webViews, 1);
    EXPECT_EQ(webkit_web_view_get_uri(control_->View()), url);
    EXPECT_EQ(events_.Starting("complete").size(), 1u) << events_.Text();
}

// A navigation the shell refuses, from a script, a frame or Navigate itself, loads nothing, reports
// no error, and a refused Navigate still ends its loading.
TEST_F(WebKitBrowserControlTest, RefusedNavigationsLoadNothingAndReportNoError) {
    events_.refuse = [](const std::string& url) { return !url.starts_with("file:"); };
    const std::string url = Page("page.html", "<html><body>page</body></html>");
    Create();
    ASSERT_TRUE(Load(url)) << events_.Text();
    Evaluate("location.href = 'mailto:someone@example.com';");
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("refused mailto:someone@example.com") == 1; }))
        << events_.Text();
    Evaluate(
        "const frame = document.createElement('iframe'); frame.src = 'data:text/html,<b>x</b>';"
        "document.body.appendChild(frame);");
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("refused data:text/html,<b>x</b>") == 1; }))
        << events_.Text();
    control_->Navigate("mailto:desk@example.com");
    ASSERT_TRUE(ProcessUntil([&] { return events_.Count("refused mailto:desk@example.com") == 1; }))
        << events_.Text();
    EXPECT_TRUE(ProcessUntil([&] { return events_.events.back() == "progress 0 0"; })) << events_.Text();
    ProcessFor(500ms);
    EXPECT_EQ(webkit_web_view_get_uri(control_->View()), url);
    EXPECT_TRUE(events_.Starting("error").empty()) << events_.Text();
    EXPECT_EQ(events_.Starting("complete"), Events{"complete " + url}) << events_.Text();
}

TEST_F(WebKitBrowserControlTest, SilentAnswersScriptDialogsItselfAndStaysUsable) {
    const std::string url = Page("alerts.html", R"(<html><body><form></form><script>
        for (let i = 0; i < 200; ++i) alert('alert ' + i);
        document.title = 'confirm ' + confirm('sure?') + ' prompt ' + prompt('name?', 'x');
        </script></body></html>)");
    Create(true);
    ASSERT_TRUE(Load(url)) << events_.Text();
    EXPECT_EQ(events_.Count("complete " + url), 1) << events_.Text();
    EXPECT_EQ(Evaluate("return document.title;"), "confirm false prompt null");
    EXPECT_EQ(control_->FormCount(), 1);
    EXPECT_EQ(OtherWindows(window_), Events{});
}

TEST_F(WebKitBrowserControlTest, NoFileChooserPrintDialogOrPermissionAlsoWhenNotSilent) {
    const std::string url = Page("escape.html", R"(<html><body style="margin: 0">
        <input id="file" type="file" style="position: absolute; left: 0; top: 0; width: 300px; height: 150px"
               onclick="document.title += ' chooser'">
        <button style="position: absolute; left: 0; top: 200px; width: 300px; height: 150px"
                onclick="window.print(); document.title += ' printed'">print</button>
        <script>Notification.requestPermission().then(answer => { document.title += ' ' + answer; });</script>
        </body></html>)");
    Create(false);
    ASSERT_TRUE(Load(url)) << events_.Text();
    const auto titleHas = [&](const std::string& word) {
        return ProcessUntil(
            [&] { return Evaluate("return document.title;").find(word) != std::string::npos; });
    };
    ClickAt(window_, 150, 75);
    ASSERT_TRUE(titleHas("chooser")) << Evaluate("return document.title;");
    ProcessFor(500ms);
    EXPECT_EQ(OtherWindows(window_), Events{});
    ClickAt(window_, 150, 275);
    ASSERT_TRUE(titleHas("printed")) << Evaluate("return document.title;");
    ProcessFor(500ms);
    EXPECT_EQ(OtherWindows(window_), Events{});
    EXPECT_TRUE(titleHas("denied")) << Evaluate("return document.title;");
}

TEST_F(WebKitBrowserControlTest, NothingIsDownloaded) {
    PythonHttpServer server(pages_);
    WriteFile(pages_ / "archive.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    Page("notes.txt", "plain text\n");
    Page("links.html",
         R"(<html><body><a id="save" href="notes.txt" download="notes.txt">save</a></body></html>)");
    Create(false);
    DownloadCounts downloads;
    WebKitWebContext* context = webkit_web_view_get_context(control_->View());
    const gulong handler =
        g_signal_connect(context, "download-started", G_CALLBACK(&DownloadCounts::Started), &downloads);
    ASSERT_TRUE(Load(server.Url("/links.html"))) << events_.Text();
    ASSERT_TRUE(Load(server.Url("/archive.zip"))) << events_.Text();
    ProcessFor(500ms);
    EXPECT_TRUE(events_.Starting("error").empty()) << events_.Text();
    EXPECT_TRUE(events_.Starting("complete").empty()) << events_.Text();
    EXPECT_EQ(Evaluate("return document.getElementById('save') ? 'links' : 'other';"), "links");
    Evaluate("document.getElementById('save').click();");
    ProcessFor(1s);
    g_signal_handler_disconnect(context, handler);
    EXPECT_LE(downloads.started, 1);  // the link may ask for one; the archive starts none
    EXPECT_EQ(downloads.started, downloads.cancelled);
}

TEST_F(WebKitBrowserControlTest, TheProxyOfTheStoreIsUsedAndAnAnnouncedChangeTakesEffect) {
    RecordingProxy proxy;
    PythonHttpServer server(pages_);
    Page("page.html", "<html><body>page</body></html>");
    const std::string proxyServer = "127.0.0.1:" + std::to_string(proxy.server.ListeningPort());
    const std::string seen = "before 127.0.0.1:" + std::to_string(server.Port());
    const auto loads = [&](const std::string& query) {
        return Load(server.Url("/page.html?" + query)) &&
               events_.Count("complete " + server.Url("/page.html?" + query));
    };
    SetProxy(1, proxyServer);
    Create();
    ASSERT_TRUE(loads("first")) << events_.Text();
    EXPECT_EQ(proxy.events.Count(seen), 1);

    SetProxy(0, proxyServer);
    broadcaster_.SettingsChanged();
    // The network process takes the new settings in its own time; a load started at the same moment
    // may be cancelled by the switch.
    ProcessFor(100ms);
    ASSERT_TRUE(loads("second")) << events_.Text();
    EXPECT_EQ(proxy.events.Count(seen), 1);

    SetProxy(1, proxyServer);
    std::thread([&] {
        broadcaster_.SettingsChanged();
    }).join();  // a change may be announced off the main thread
    ProcessFor(100ms);
    ASSERT_TRUE(loads("third")) << events_.Text();
    EXPECT_EQ(proxy.events.Count(seen), 2);
}

TEST_F(WebKitBrowserControlTest, BodyStylesAreWrittenByNameWithoutRegardToCaseAlsoFromTheCompletion) {
    Create();
    events_.onComplete = [&] { control_->SetBodyStyles({{"Zoom", "0.5"}}); };
    ASSERT_TRUE(Load(Page("page.html", "<html><body>page</body></html>"))) << events_.Text();
    events_.onComplete = nullptr;
    control_->SetBodyStyles({{"overflowY", "auto"}, {"OVERFLOWX", "hidden"}});
    const std::string read =
        "const s = document.body.style; return [s.zoom, s.overflowY, s.overflowX].join(' ');";
    EXPECT_EQ(Evaluate(read), "0.5 auto hidden");
    // The first failure ends the writes; a value is only ever a value.
    EXPECT_THROW(
        control_->SetBodyStyles({{"overflowY", "scroll"}, {"noSuchProperty", "1"}, {"overflowX", "scroll"}}),
        std::runtime_error);
    EXPECT_EQ(Evaluate(read), "0.5 scroll hidden");
    control_->SetBodyStyles({{"overflowX", "'); document.body.style.zoom = ('2"}});
    EXPECT_EQ(Evaluate(read), "0.5 scroll hidden");

    ASSERT_TRUE(Load(Page("notes.txt", "plain text\n"))) << events_.Text();
    EXPECT_THROW(control_->SetBodyStyles({{"overflowY", "auto"}}), std::runtime_error);
    WritePicture(pages_ / "picture.png");
    ASSERT_TRUE(Load(FileUrl(pages_ / "picture.png"))) << events_.Text();
    EXPECT_THROW(control_->SetBodyStyles({{"Zoom", "2"}}), std::runtime_error);
}

TEST_F(WebKitBrowserControlTest, FormsAndElementsAreReadByIndexAndFocusMovesTheActiveElement) {
    Create();
    ASSERT_TRUE(Load(Page("forms.html", R"(<html><body>
        <form><input id="name" type="text"><input type="password" disabled>
              <textarea style="display: none"></textarea><input id="plain" type="TEXT" style="color: red"></form>
        <form><select id="choice"><option>1</option></select><button type="button">push</button></form>
        </body></html>)")))
        << events_.Text();
    EXPECT_EQ(control_->FormCount(), 2);
    EXPECT_EQ(control_->ElementCount(0), 4);
    EXPECT_EQ(control_->ElementCount(1), 2);
    EXPECT_EQ(control_->TagName(0, 0) + " " + control_->TagName(0, 2) + " " + control_->TagName(1, 0),
              "INPUT TEXTAREA SELECT");
    EXPECT_EQ(control_->Type(0, 1) + " " + control_->Type(0, 3) + " " + control_->Type(1, 0),
              "password text select-one");
    EXPECT_EQ(control_->Disabled(0, 0) + " " + control_->Disabled(0, 1), "False True");
    EXPECT_EQ(control_->StyleDisplay(0, 2) + "|" + control_->StyleDisplay(0, 3), "none|");
    try {
        control_->TagName(5, 0);
        ADD_FAILURE() << "form 5 was read";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "there is no form 5");
    }
    EXPECT_THROW(control_->ElementCount(2), std::runtime_error);
    EXPECT_THROW(control_->Type(0, 4), std::runtime_error);

    control_->Focus(0, 3);
    EXPECT_EQ(Evaluate("return document.activeElement.id;"), "plain");
    EXPECT_TRUE(gtk_widget_has_focus(GTK_WIDGET(control_->View())));
    control_->Focus(1, 0);
    EXPECT_THROW(control_->Focus(0, 1), std::runtime_error);  // disabled
    EXPECT_THROW(control_->Focus(0, 2), std::runtime_error);  // not shown
    EXPECT_EQ(Evaluate("return document.activeElement.id;"), "choice");
}

TEST_F(WebKitBrowserControlTest, APageStuckInALoopFailsCallsWithinTheTimeLimitAndGoesWithItsControl) {
    Create();
    control_->Navigate(
        Page("loop.html", "<html><body><form></form><script>while (true) {}</script></body></html>"));
    ASSERT_TRUE(WaitForCommit());
    for (int call = 0; call < 2; ++call) {
        const auto start = Clock::now();
        EXPECT_THROW(control_->TagName(0, 0), std::runtime_error);
        EXPECT_LT(Clock::now() - start, WebKitBrowserControl::kScriptTimeLimit + 1500ms);
    }
    control_.reset();
    Create();
    ASSERT_TRUE(Load(Page("page.html", "<html><body><form></form></body></html>"))) << events_.Text();
    EXPECT_EQ(control_->FormCount(), 1);
}

TEST_F(WebKitBrowserControlTest, DestroyingTheControlWhileACallWaitsFailsTheCallSafely) {
    Create();
    control_->Navigate(Page("loop.html", "<html><body><script>while (true) {}</script></body></html>"));
    ASSERT_TRUE(WaitForCommit());
    g_timeout_add(500, &WebKitBrowserControlTest::DestroyControl, this);
    const auto start = Clock::now();
    try {
        control_->FormCount();
        ADD_FAILURE() << "the call answered";
    } catch (const BrowserControlGone&) {
        // the failure that tells the caller to leave the control alone
    } catch (const std::runtime_error& failure) {
        ADD_FAILURE() << failure.what();
    }
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(control_, nullptr);

    // Also from inside the control's own completion event, as Home may come while the shell's
    // handler waits.
    Create();
    bool failed = false;
    events_.onComplete = [&] {
        WebKitBrowserControl* control = control_.get();
        ProcessFor(300ms);  // the page's loop has begun
        g_timeout_add(300, &WebKitBrowserControlTest::DestroyControl, this);
        try {
            control->FormCount();
        } catch (const std::runtime_error&) {
            failed = true;
        }
    };
    control_->Navigate(
        Page("late-loop.html", "<script>onload = () => setTimeout(() => { while (true) {} });</script>"));
    ASSERT_TRUE(ProcessUntil([&] { return control_ == nullptr; })) << events_.Text();
    EXPECT_TRUE(failed);
    ProcessFor(300ms);
    GList* children = gtk_container_get_children(GTK_CONTAINER(overlay_));
    EXPECT_EQ(g_list_length(children), 1u);  // the caption only
    g_list_free(children);
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
    }
    return 0;
}

// How many processes this one has started that still run.
int ChildProcesses() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (!line.starts_with("PPid:")) continue;
            if (std::stol(line.substr(5)) == getpid()) ++count;
            break;
        }
    }
    return count;
}

TEST_F(WebKitBrowserControlTest, AHundredControlsComeAndGoWithoutGrowingMuch) {
    const std::string url = Page("page.html", "<html><body><form><input></form></body></html>");
    long afterTen = 0;
    for (int i = 0; i < 100; ++i) {
        Create();
        ASSERT_TRUE(Load(url)) << i << events_.Text();
        ASSERT_EQ(control_->FormCount(), 1);
        control_->Stop();
        control_->Navigate("about:blank");
        control_.reset();
        ProcessFor(10ms);
        if (i == 9) afterTen = ResidentKilobytes();
    }
    ProcessFor(500ms);
    EXPECT_LT(ResidentKilobytes() - afterTen, 60 * 1024);
    // Every control had a web context of its own; their web and network processes went with them.
    EXPECT_TRUE(ProcessUntil([] { return ChildProcesses() <= 4; }, 20s)) << ChildProcesses();
    int webViews = 0;
    OtherWindows(window_, &webViews);
    EXPECT_EQ(webViews, 0);
}

}  // namespace
}  // namespace kiosk::testing
