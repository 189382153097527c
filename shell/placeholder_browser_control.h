#pragma once

#include "shell/browser_control.h"

namespace kiosk {

// Placeholder until the embedded browser exists: accepts every call and shows nothing.
class PlaceholderBrowserControl : public BrowserControl {
public:
    void Navigate(const std::string&) override {}
    void SetVisible(bool) override {}
    void SetSilent(bool) override {}
};

}  // namespace kiosk
