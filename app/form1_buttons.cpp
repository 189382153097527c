// The navigation buttons Home, Back and Refresh.

#include "app/form1.h"

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

// Home: a fresh control with an empty history, at the start page. A press that arrives while the
// messages processed here run (a second Home, the idle timer) does nothing.
void TForm1::RxSpeedButton4Click() {
    if (replacingBrowser_ || TooSoon()) return;
    {
        const ReplacementMark mark(replacingBrowser_);
        const CaptionRestorer caption(Controls.Panel2.Caption);
        ReplaceBrowser();
    }
    DocumentCounter = -1;
    WebBrowser1->Navigate(StartPageUrl());
    LastActionTime = parts_.clock.Now();
    SetBusy(true);
    RestartIdleTimer();
    ControlModel& keys = Controls.RxSpeedButton1;
    if (!keys.Visible) {
        keys.Visible = true;
        keys.Enabled = true;
    }
}

void TForm1::ReplaceBrowser() {
    if (WebBrowser1) {
        StopIfReady();
        parts_.ui.ProcessMessages();
        WebBrowser1->Navigate("about:blank");
        parts_.ui.ProcessMessages();
        // Whatever the old control still reports while it goes belongs to no page of the new one.
        WebBrowser1->SetEvents(nullptr);
        WebBrowser1.reset();
        parts_.ui.ProcessMessages();
    }
    std::unique_ptr<BrowserControl> browser = parts_.createBrowser();
    browser->SetEnabled(false);
    browser->SetVisible(false);
    browser->SetAddressBar(false);
    browser->SetSilent(true);
    browser->SetStatusBar(false);
    browser->SetEvents(&browserEvents_);
    WebBrowser1 = std::move(browser);
    WebBrowser1->SetEnabled(true);
    WebBrowser1->SetVisible(true);
    Controls.WebBrowser1.Enabled = true;
    Controls.WebBrowser1.Visible = true;
}

void TForm1::RxSpeedButton2Click() {
    try {
        if (DocumentCounter > 0 && !TooSoon() && DocumentReady()) {
            StopIfReady();
            parts_.ui.ProcessMessages();
            if (WebBrowser1) {
                WebBrowser1->GoBack();
                DocumentCounter = DocumentCounter - 1;
                LastActionTime = parts_.clock.Now();
                SetBusy(true);
            }
        }
    } catch (...) {
        // Nothing visible happens.
    }
    RestartIdleTimer();
}

void TForm1::RxSpeedButton3Click() {
    if (TooSoon()) return;
    try {
        if (DocumentReady()) {
            StopIfReady();
            parts_.ui.ProcessMessages();
            RefreshDocument();
            SetBusy(true);
            parts_.ui.ProcessMessages();
            LastActionTime = parts_.clock.Now();
        }
    } catch (...) {
        // Nothing visible happens.
    }
    RestartIdleTimer();
}

}  // namespace kiosk
