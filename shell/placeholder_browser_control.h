#pragma once

#include "shell/browser_control.h"

namespace kiosk {

// Placeholder until the embedded browser exists: accepts every call, shows nothing, holds no
// document and raises no events.
class PlaceholderBrowserControl : public BrowserControl {
public:
    void Navigate(const std::string&) override {}
    void GoBack() override {}
    void Refresh() override {}
    void Refresh2(int) override {}
    void Stop() override {}
    bool HasHtmlDocument() override { return false; }
    void SetVisible(bool) override {}
    void SetSilent(bool) override {}
    void SetStatusBar(bool) override {}
    void SetAddressBar(bool) override {}
    void SetEnabled(bool) override {}
    void SetBodyStyle(const std::string&, const std::string&) override {}
    void SetEvents(BrowserEvents*) override {}
    int FormCount() override { return 0; }
    int ElementCount(int) override { return 0; }
    std::string TagName(int, int) override { return {}; }
    std::string Type(int, int) override { return {}; }
    std::string Disabled(int, int) override { return "True"; }
    std::string StyleDisplay(int, int) override { return {}; }
    void Focus(int, int) override {}
};

}  // namespace kiosk
