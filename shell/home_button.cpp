#include "shell/home_button.h"

#include "shell/browser_operations.h"
#include "shell/busy_animation.h"
#include "shell/idle_return.h"
#include "shell/repeat_guard.h"
#include "shell/visitor_browser.h"

namespace kiosk {

namespace {

// Puts the page area's caption back however Home ends, so that a failed replacement still shows
// the out-of-order text where no browser covers it.
class CaptionRestorer {
public:
    explicit CaptionRestorer(std::string& caption) : caption_(caption), saved_(caption) { caption_.clear(); }
    ~CaptionRestorer() { caption_ = saved_; }
    CaptionRestorer(const CaptionRestorer&) = delete;
    CaptionRestorer& operator=(const CaptionRestorer&) = delete;

private:
    std::string& caption_;
    std::string saved_;
};

// Marks Home as replacing the control, also when it fails.
class ReplacementMark {
public:
    explicit ReplacementMark(bool& mark) : mark_(mark) { mark_ = true; }
    ~ReplacementMark() { mark_ = false; }
    ReplacementMark(const ReplacementMark&) = delete;
    ReplacementMark& operator=(const ReplacementMark&) = delete;

private:
    bool& mark_;
};

}  // namespace

void HomeButton::Press(const BrowsingContext& window, const std::string& startPage) {
    if (replacing_ || TooSoon(window.clock.Now(), window.lastActionTime)) return;
    window.ui.CloseErrorBoxes();  // a box shown to the last visitor goes with the visitor
    {
        const ReplacementMark mark(replacing_);
        const CaptionRestorer caption(window.controls.PageArea.Caption);
        ReplaceBrowser(window);
    }
    ++replacements_;
    window.documentCounter = -1;
    window.browser->Navigate(startPage);
    window.lastActionTime = window.clock.Now();
    SetBusy(window.controls.BusyAnimation, true);
    RestartIdleTimer(window.idleTimer);
    ControlModel& keys = window.controls.KeysButton;
    if (!keys.Visible) {
        keys.Visible = true;
        keys.Enabled = true;
    }
}

void HomeButton::ReplaceBrowser(const BrowsingContext& window) {
    if (window.browser) ReleaseBrowser(window);
    window.ui.ClearClipboard();  // the next visitor pastes nothing of this one
    std::unique_ptr<BrowserControl> browser = createBrowser_();
    browser->SetEnabled(false);
    browser->SetVisible(false);
    LockDownVisitorBrowser(*browser);
    browser->SetEvents(&events_);
    window.browser = std::move(browser);
    window.browser->SetEnabled(true);
    window.browser->SetVisible(true);
    window.controls.Browser.Enabled = true;
    window.controls.Browser.Visible = true;
}

void HomeButton::ReleaseBrowser(const BrowsingContext& window) {
    StopIfReady(window.browser.get());
    window.ui.ProcessMessages();
    window.browser->Navigate("about:blank");
    window.ui.ProcessMessages();
    // Whatever the old control still reports while it goes belongs to no page of the new one.
    window.browser->SetEvents(nullptr);
    window.browser.reset();
    window.ui.ProcessMessages();
}

}  // namespace kiosk
