#include "shell/navigation_events.h"

#include <filesystem>

#include "shell/busy_animation.h"
#include "shell/idle_return.h"
#include "shell/page_zoom.h"
#include "shell/start_page.h"
#include "util/paths.h"

namespace kiosk {

namespace {

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The net page's URL when its file exists and it is not the page that failed; empty otherwise. A
// failure of that page itself is left to the browser, so that a page that cannot be shown is not
// retried forever.
std::string NetPageFor(const NetErrorPage& netPage, const std::string& failedUrl) {
    const std::string& net = netPage.name;
    if (net.empty() || !IsExistingFile(ResolvePath(netPage.workingDirectory, net))) return "";
    const std::string page = LocalPageUrl(netPage.programDir, net);
    return page == failedUrl ? "" : page;
}

void ShowKeys(ControlModel& keys, bool shown) {
    keys.Visible = shown;
    keys.Enabled = shown;
}

// The zoom and the scroll bars are styles of the page's body. A document without one (a picture, a
// text) shows as it is; a Home that destroys the control during the write (it runs events) ends it.
void WriteBodyStyles(BrowserControl& browser, const std::string& zoomOption) {
    try {
        if (!browser.HasHtmlDocument()) return;
        std::vector<BodyStyle> styles;
        if (const auto zoom = PageZoomFactor(zoomOption)) styles.push_back({"Zoom", *zoom});
        styles.push_back({"overflowY", "auto"});
        styles.push_back({"overflowX", "auto"});
        browser.SetBodyStyles(styles);
    } catch (const BrowserControlGone&) {
        // the next visitor's control has its own page
    }
}

}  // namespace

void OnDocumentComplete(const BrowsingContext& window, const std::string& zoomOption, LogWriter& log,
                        const std::string& url) {
    window.documentCounter = window.documentCounter + 1;
    SetBusy(window.controls.BusyAnimation, false);
    WriteBodyStyles(*window.browser, zoomOption);
    log.WriteLog(LogLevel::Information, "Загружен документ: " + url);
}

void OnNavigateError(const BrowsingContext& window, const NetErrorPage& netPage, LogWriter& log,
                     const std::string& url, std::int32_t statusCode) {
    SetBusy(window.controls.BusyAnimation, false);
    if (statusCode >= 0) return;
    ShowKeys(window.controls.KeysButton, false);
    window.idleTimer.SetEnabled(true);
    const std::string page = NetPageFor(netPage, url);
    if (page.empty()) return;
    window.browser->Navigate(page);
    log.WriteLog(LogLevel::Error, url + " > " + netPage.name);
    RestartIdleTimer(window.idleTimer);
}

void OnPageProcessEnded(const BrowsingContext& window, const NetErrorPage& netPage, LogWriter& log,
                        const std::string& url, const std::string& startPage) {
    SetBusy(window.controls.BusyAnimation, false);
    log.WriteLog(LogLevel::Error, "Процесс страницы завершился: " + url);
    const std::string page = NetPageFor(netPage, url);
    // Keys as Home and the net page have them.
    ShowKeys(window.controls.KeysButton, page.empty());
    window.browser->Navigate(page.empty() ? startPage : page);
    RestartIdleTimer(window.idleTimer);
}

void OnProgressChange(AnimatorModel& animator, std::int32_t progress, std::int32_t maximum,
                      const std::function<void()>& focusTextField) {
    if (progress != 0 || maximum != 0) return;
    focusTextField();
    SetBusy(animator, false);
}

}  // namespace kiosk
