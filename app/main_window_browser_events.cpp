#include "app/main_window_browser_events.h"

#include "app/application.h"
#include "app/main_window.h"

namespace kiosk {

void MainWindowBrowserEvents::DocumentComplete(const std::string& url) {
    RunHandler(ui_, window_, [&] { window_.OnDocumentComplete(url); });
}

void MainWindowBrowserEvents::NavigateError(const std::string& url, std::int32_t statusCode) {
    RunHandler(ui_, window_, [&] { window_.OnNavigateError(url, statusCode); });
}

void MainWindowBrowserEvents::ProgressChange(std::int32_t progress, std::int32_t maximum) {
    RunHandler(ui_, window_, [&] { window_.OnProgressChange(progress, maximum); });
}

void MainWindowBrowserEvents::BeforeNavigate(const std::string& url, bool& cancel) {
    RunHandler(ui_, window_, [&] { window_.OnBeforeNavigate(url, cancel); });
}

void MainWindowBrowserEvents::PageProcessEnded(const std::string& url) {
    RunHandler(ui_, window_, [&] { window_.OnPageProcessEnded(url); });
}

void MainWindowBrowserEvents::PageActivity() {
    RunHandler(ui_, window_, [&] { window_.OnPageActivity(); });
}

void MainWindowBrowserEvents::NewWindow(bool& cancel) {
    RunHandler(ui_, window_, [&] { window_.OnNewWindow(cancel); });
}

}  // namespace kiosk
