#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/browser_control.h"
#include "shell/browsing_context.h"

namespace kiosk {

// The Home button: a fresh browser control with an empty history, at the start page, and an empty
// clipboard. The control is made by the factory with nothing of the previous visitor in it. A press that
// arrives while the messages processed during the replacement run (a second Home, the idle timer)
// does nothing.
class HomeButton {
public:
    using BrowserFactory = std::function<std::unique_ptr<BrowserControl>()>;

    // Each new control is made by createBrowser and reports to events, which must outlive it.
    HomeButton(BrowserFactory createBrowser, BrowserEvents& events)
        : createBrowser_(std::move(createBrowser)), events_(events) {}

    void Press(const BrowsingContext& window, const std::string& startPage);
    // How many presses gave a new visitor a new browser.
    long long Replacements() const { return replacements_; }

private:
    void ReplaceBrowser(const BrowsingContext& window);
    void ReleaseBrowser(const BrowsingContext& window);

    BrowserFactory createBrowser_;
    BrowserEvents& events_;
    bool replacing_ = false;
    long long replacements_ = 0;  // between removing the old control and showing the new
};

}  // namespace kiosk
