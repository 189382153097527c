#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/browsing_context.h"
#include "shell/busy_animation.h"
#include "shell/home_button.h"
#include "shell/navigation_events.h"
#include "shell/start_page.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_parts.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_log.h"

namespace kiosk::testing {

// Where Home attaches the new controls; the tests raise the events themselves.
class IgnoredBrowserEvents : public BrowserEvents {
public:
    void DocumentComplete(const std::string&) override {}
    void NavigateError(const std::string&, std::int32_t) override {}
    void ProgressChange(std::int32_t, std::int32_t) override {}
    void NewWindow(bool&) override {}
    void BeforeNavigate(const std::string&, bool&) override {}
    void PageProcessEnded(const std::string&) override {}
};

// The main window's state as start-up leaves it: at 10:30:00, the start page loading, the idle timer
// off, a recording browser control. Controls that replace it are recorded.
class ShellTest : public ::testing::Test {
protected:
    ShellTest() {
        idleTimer.SetInterval(15 * 60 * 1000);
        SetBusy(controls.BusyAnimation, true);
    }

    BrowsingContext Window() {
        return {controls, browserControl, documentCounter, lastActionTime, idleTimer, ui, clock};
    }
    void At(int second, int millisecond = 0) { clock.Set({2026, 12, 8, 10, 30, second, millisecond}); }
    bool Busy() const { return controls.BusyAnimation.Visible && controls.BusyAnimation.Animate; }
    std::string StartPage() const { return "Navigate " + startPage; }

    void PressHome() { home.Press(Window(), startPage); }
    // The browser's events, as the window hands them on.
    void CompleteDocument(const std::string& url) { OnDocumentComplete(Window(), zoomOption, log, url); }
    void FailNavigation(const std::string& url, std::int32_t code) {
        OnNavigateError(Window(), {netPage, workingDirectory, programDir}, log, url, code);
    }
    void EndPageProcess(const std::string& url) {
        OnPageProcessEnded(Window(), {netPage, workingDirectory, programDir}, log, url, startPage);
    }
    void ReportProgress(std::int32_t progress, std::int32_t maximum) {
        OnProgressChange(controls.BusyAnimation, progress, maximum, [] {});
    }
    // The messages of the information entries.
    std::vector<std::string> Information() const {
        std::vector<std::string> messages;
        for (const std::string& entry : log.Entries()) {
            if (entry.starts_with("I ")) messages.push_back(entry.substr(2));
        }
        return messages;
    }

    std::unique_ptr<BrowserControl> NewBrowser() {
        auto control = std::make_unique<FakeBrowser>(record);
        browser = control.get();
        return control;
    }

    EventRecord record;
    FakeClock clock;
    FakeUi ui{record};
    FakeTimer idleTimer;
    MainWindowControls controls = DesignLayout();
    FakeBrowser* browser = nullptr;  // the window's current browser control
    std::unique_ptr<BrowserControl> browserControl = NewBrowser();
    int documentCounter = -1;
    DateTime lastActionTime = clock.Now();
    RecordingLog log;

    std::string programDir = "/opt/kiosk/";
    std::string workingDirectory = "/opt/kiosk";
    std::string startPage = LocalPageUrl(programDir, "index.html");
    std::string zoomOption;
    std::string netPage;  // the errors table's net value

    std::string browserCreationFailure;  // thrown when a control replaces the current one
    IgnoredBrowserEvents events;
    HomeButton home{[this] {
                        record.Add("BrowserCreated");
                        if (!browserCreationFailure.empty()) throw std::runtime_error(browserCreationFailure);
                        return NewBrowser();
                    },
                    events};
};

}  // namespace kiosk::testing
