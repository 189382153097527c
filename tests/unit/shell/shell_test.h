#pragma once

#include <string>

#include "shell/start_page.h"
#include "tests/unit/app/form_fixture.h"

namespace kiosk::testing {

// A running main window whose start-up calls are already forgotten. Start-up happened at 10:30:00.
class ShellTest : public FormTest {
protected:
    void Start(const std::string& options = "", const std::string& errors = "") {
        WriteConfig("[options]\nstart\nindex.html\n" + options + "[errors]\n" + errors);
        Create();
        record.Clear();
    }
    void At(int second, int millisecond = 0) { clock.Set({2026, 12, 8, 10, 30, second, millisecond}); }
    FakeTimer& IdleTimer() { return *ui.timers.at(1); }
    bool Busy() const {
        return form->Controls.RxGIFAnimator1.Visible && form->Controls.RxGIFAnimator1.Animate;
    }
    std::string StartPage() const { return "Navigate " + LocalPageUrl(ProgramDir(), "index.html"); }
};

}  // namespace kiosk::testing
