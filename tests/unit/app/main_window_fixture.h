#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "shell/start_page.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_parts.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace kiosk::testing {

// A main window wired to recording fakes, in a directory of its own that holds its configuration
// and log files.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowParts Parts();
    void WriteConfig(const std::string& text) { WriteFile(dir / "kiosk.cfg", text); }
    void Create();
    void Destroy();

    // The messages of today's information (".log") or error (".err") file, without their times.
    std::vector<std::string> LogMessages(const std::string& extension) const;
    std::string TodaysFile(const std::string& extension) const;
    std::string ProgramDir() const { return dir.str() + "/"; }

    TempDir dir;
    EventRecord record;
    FakeClock clock;
    FakeUi ui{record};
    FakeSystemProxySetting proxySetting{record};
    FakeKeyboard keyboard{record};
    FakeMouseHooks mouseHooks{record};
    FakeFullScreen fullScreen{record};
    FakeCertificateTrust certificateTrust;
    DefaultRowsFiller fillDefaultRows = FillDefaultRows;
    std::string proxyActivationFailure;
    std::string browserCreationFailure;  // thrown when a control replaces the window's first one
    std::string browserSandboxProblem;

    FakeProxyServer* proxy = nullptr;
    FakeBrowser* browser = nullptr;  // the window's current browser control
    bool tablesAliveWhenProxyFreed = false;
    std::unique_ptr<MainWindow> window;
    MainWindow* createdWindow = nullptr;  // stays valid while window is being destroyed
};

// A running main window whose start-up calls are already forgotten. Start-up happened at 10:30:00.
class RunningWindowTest : public MainWindowTest {
protected:
    void Start(const std::string& options = "", const std::string& errors = "") {
        WriteConfig("[options]\nstart\nindex.html\n" + options + "[errors]\n" + errors);
        Create();
        record.Clear();
    }
    void At(int second, int millisecond = 0) { clock.Set({2026, 12, 8, 10, 30, second, millisecond}); }
    FakeTimer& PollTimer() { return static_cast<FakeTimer&>(*window->FocusPollTimer); }
    FakeTimer& IdleTimer() { return static_cast<FakeTimer&>(*window->IdleTimer); }
    bool Busy() const {
        return window->Controls.BusyAnimation.Visible && window->Controls.BusyAnimation.Animate;
    }
    std::string StartPage() const { return "Navigate " + LocalPageUrl(ProgramDir(), "index.html"); }
};

}  // namespace kiosk::testing
