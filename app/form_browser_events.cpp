#include "app/form_browser_events.h"

#include "app/application.h"
#include "app/form1.h"

namespace kiosk {

void FormBrowserEvents::DocumentComplete(const std::string& url) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1DocumentComplete(url); });
}

void FormBrowserEvents::NavigateError(const std::string& url, std::int32_t statusCode) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1NavigateError(url, statusCode); });
}

void FormBrowserEvents::ProgressChange(std::int32_t progress, std::int32_t maximum) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1ProgressChange(progress, maximum); });
}

void FormBrowserEvents::BeforeNavigate(const std::string& url, bool& cancel) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1BeforeNavigate2(url, cancel); });
}

void FormBrowserEvents::PageProcessEnded(const std::string& url) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1PageProcessEnded(url); });
}

void FormBrowserEvents::PageActivity() {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1PageActivity(); });
}

void FormBrowserEvents::NewWindow(bool& cancel) {
    RunHandler(ui_, form_, [&] { form_.WebBrowser1NewWindow2(cancel); });
}

}  // namespace kiosk
