#pragma once

#include "tests/unit/shell/shell_test.h"

namespace kiosk::testing {

// A running main window whose browser shows a scripted document.
class FocusTest : public ShellTest {
protected:
    FakeTimer& PollTimer() { return *ui.timers.at(0); }
    bool KeyboardOpen() const {
        return form->Controls.RxSpeedButton1.Down && form->Controls.FlowPanel1.Visible &&
               form->Controls.FlowPanel1.Enabled;
    }
    // The user's click on Keys: the button flips before its handler runs.
    void ClickKeys() {
        form->Controls.RxSpeedButton1.Down = !form->Controls.RxSpeedButton1.Down;
        form->RxSpeedButton1Click();
    }
    void CountKeyboardShows() {
        form->RefreshCaptions = [this] { ++keyboardShows; };
    }
    FakeElement Field(const std::string& tag = "INPUT", const std::string& type = "text") {
        FakeElement element;
        element.tagName = tag;
        element.type = type;
        return element;
    }

    int keyboardShows = 0;
};

}  // namespace kiosk::testing
