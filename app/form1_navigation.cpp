// The browser's navigation events.

#include <filesystem>

#include "app/form1.h"
#include "shell/page_zoom.h"
#include "shell/start_page.h"
#include "util/paths.h"

namespace kiosk {

namespace {

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

// Frames complete on their own and count as documents; the styles go to the top-level document.
// A failed style write ends the handler before the load is logged.
void TForm1::WebBrowser1DocumentComplete(const std::string& url) {
    DocumentCounter = DocumentCounter + 1;
    SetBusy(false);
    if (const auto zoom = PageZoomFactor(Option("zoom"))) WebBrowser1->SetBodyStyle("Zoom", *zoom);
    WebBrowser1->SetBodyStyle("overflowY", "auto");
    WebBrowser1->SetBodyStyle("overflowX", "auto");
    WriteLog(LogLevel::Information, "Загружен документ: " + url);
}

// Only network-level failures (negative codes) are handled; error answers of a server are left to
// the browser and the document filter.
void TForm1::WebBrowser1NavigateError(const std::string& url, std::int32_t statusCode) {
    SetBusy(false);
    if (statusCode >= 0) return;
    Controls.RxSpeedButton1.Visible = false;
    Controls.RxSpeedButton1.Enabled = false;
    Timer2->SetEnabled(true);
    ShowNetErrorPage(url);
}

// The configured page for network failures, when its file exists. A failure of that page itself is
// left to the browser, so that a page that cannot be shown is not retried forever.
void TForm1::ShowNetErrorPage(const std::string& failedUrl) {
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    if (net.empty() || !IsExistingFile(ResolvePath(parts_.workingDirectory, net))) return;
    const std::string page = LocalPageUrl(ProgramDir, net);
    if (failedUrl == page) return;
    WebBrowser1->Navigate(page);
    WriteLog(LogLevel::Error, failedUrl + " > " + net);
    RestartIdleTimer();
}

void TForm1::WebBrowser1ProgressChange(std::int32_t progress, std::int32_t maximum) {
    if (progress != 0 || maximum != 0) return;
    FocusTextField();
    SetBusy(false);
}

// The kiosk keeps to one window: pop-ups and links aimed at a new window do nothing.
void TForm1::WebBrowser1NewWindow2(bool& cancel) {
    cancel = true;
}

}  // namespace kiosk
