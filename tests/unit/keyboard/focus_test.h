#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "keyboard/focus_text_field.h"
#include "keyboard/keys_toggle.h"
#include "shell/busy_animation.h"
#include "shell/main_window_controls.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_parts.h"
#include "tests/support/fake_ui.h"
#include "tests/support/recording_log.h"

namespace kiosk::testing {

// The main window's controls as start-up leaves them (the start page loading, the keyboard hidden)
// and a browser that shows a scripted document.
class FocusTest : public ::testing::Test {
protected:
    FocusTest() { SetBusy(controls.BusyAnimation, true); }

    KeysToggle Keys() { return {controls, minButtonPanelWidth, refreshCaptions, idleTimer}; }
    bool Search() { return FocusTextField(&browser, Keys(), log); }
    bool KeyboardOpen() const {
        return controls.KeysButton.Down && controls.KeyboardPlace.Visible && controls.KeyboardPlace.Enabled;
    }
    bool Busy() const { return controls.BusyAnimation.Visible && controls.BusyAnimation.Animate; }
    // The user's click on Keys: the button flips before its handler runs.
    void ClickKeys() {
        controls.KeysButton.Down = !controls.KeysButton.Down;
        kiosk::ClickKeys(Keys());
    }
    void CountKeyboardShows() {
        refreshCaptions = [this] { ++keyboardShows; };
    }
    FakeElement Field(const std::string& tag = "INPUT", const std::string& type = "text") {
        FakeElement element;
        element.tagName = tag;
        element.type = type;
        return element;
    }

    EventRecord record;
    FakeTimer idleTimer;
    MainWindowControls controls = DesignLayout();
    // Home and its margins, as start-up measures them.
    int minButtonPanelWidth =
        controls.ButtonArea.Padding.Left + controls.HomeButton.Width + controls.ButtonArea.Padding.Right;
    std::function<void()> refreshCaptions = [] {};
    FakeBrowser browser{record};
    RecordingLog log;
    int keyboardShows = 0;
};

}  // namespace kiosk::testing
