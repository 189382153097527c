#pragma once

#include "shell/browser_control.h"

namespace kiosk {

class MainWindow;
class Ui;

// Hands the browser's events to the main window's handlers. A failure that escapes a handler ends
// it and is shown in the application's error box, as for every event of the window.
class MainWindowBrowserEvents : public BrowserEvents {
public:
    MainWindowBrowserEvents(MainWindow& window, Ui& ui) : window_(window), ui_(ui) {}

    void DocumentComplete(const std::string& url) override;
    void NavigateError(const std::string& url, std::int32_t statusCode) override;
    void ProgressChange(std::int32_t progress, std::int32_t maximum) override;
    void NewWindow(bool& cancel) override;
    void BeforeNavigate(const std::string& url, bool& cancel) override;
    void PageProcessEnded(const std::string& url) override;
    void PageActivity() override;

private:
    MainWindow& window_;
    Ui& ui_;
};

}  // namespace kiosk
