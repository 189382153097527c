// The browser's navigation events.

#include <filesystem>

#include "app/main_window.h"
#include "shell/navigation_events.h"
#include "shell/navigation_policy.h"

namespace kiosk {

void MainWindow::OnDocumentComplete(const std::string& url) {
    ++metrics_.documents;
    kiosk::OnDocumentComplete(Browsing(), Option("zoom"), eventLog_, url);
}

void MainWindow::OnNavigateError(const std::string& url, std::int32_t statusCode) {
    ++metrics_.navigationErrors;
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    kiosk::OnNavigateError(Browsing(), {net, parts_.workingDirectory, ProgramDir}, eventLog_, url,
                           statusCode);
}

void MainWindow::OnPageProcessEnded(const std::string& url) {
    ++metrics_.navigationErrors;
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    kiosk::OnPageProcessEnded(Browsing(), {net, parts_.workingDirectory, ProgramDir}, eventLog_, url,
                              StartPageUrl());
}

void MainWindow::OnProgressChange(std::int32_t progress, std::int32_t maximum) {
    kiosk::OnProgressChange(Controls.BusyAnimation, progress, maximum, [this] { FocusTextField(); });
}

// The kiosk keeps to its pages: web pages, and its own local pages beside the program or in its
// working folder. Anything else is refused quietly (an information entry, no error page, no mail).
void MainWindow::OnBeforeNavigate(const std::string& url, bool& cancel) {
    std::error_code error;
    const std::string current = parts_.workingDirectory.empty()
                                    ? std::filesystem::current_path(error).string()
                                    : parts_.workingDirectory;
    if (NavigationAllowed(url, {ProgramDir, current})) return;
    cancel = true;
    WriteLog(LogLevel::Information, RefusedNavigationMessage(url));
}

// The kiosk keeps to one window: pop-ups and links aimed at a new window do nothing.
void MainWindow::OnNewWindow(bool& cancel) {
    cancel = true;
}

}  // namespace kiosk
