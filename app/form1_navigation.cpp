// The browser's navigation events.

#include <filesystem>

#include "app/form1.h"
#include "shell/navigation_events.h"
#include "shell/navigation_policy.h"

namespace kiosk {

void TForm1::WebBrowser1DocumentComplete(const std::string& url) {
    ++metrics_.documents;
    OnDocumentComplete(Browsing(), Option("zoom"), eventLog_, url);
}

void TForm1::WebBrowser1NavigateError(const std::string& url, std::int32_t statusCode) {
    ++metrics_.navigationErrors;
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    OnNavigateError(Browsing(), {net, parts_.workingDirectory, ProgramDir}, eventLog_, url, statusCode);
}

void TForm1::WebBrowser1PageProcessEnded(const std::string& url) {
    ++metrics_.navigationErrors;
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    OnPageProcessEnded(Browsing(), {net, parts_.workingDirectory, ProgramDir}, eventLog_, url,
                       StartPageUrl());
}

void TForm1::WebBrowser1ProgressChange(std::int32_t progress, std::int32_t maximum) {
    OnProgressChange(Controls.RxGIFAnimator1, progress, maximum, [this] { FocusTextField(); });
}

// The kiosk keeps to its pages: web pages, and its own local pages beside the program or in its
// working folder. Anything else is refused quietly (an information entry, no error page, no mail).
void TForm1::WebBrowser1BeforeNavigate2(const std::string& url, bool& cancel) {
    std::error_code error;
    const std::string current = parts_.workingDirectory.empty()
                                    ? std::filesystem::current_path(error).string()
                                    : parts_.workingDirectory;
    if (NavigationAllowed(url, {ProgramDir, current})) return;
    cancel = true;
    WriteLog(LogLevel::Information, RefusedNavigationMessage(url));
}

// The kiosk keeps to one window: pop-ups and links aimed at a new window do nothing.
void TForm1::WebBrowser1NewWindow2(bool& cancel) {
    cancel = true;
}

}  // namespace kiosk
