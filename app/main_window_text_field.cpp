// The search for a text field when a page has loaded, and the poll that repeats it.

#include "app/main_window.h"
#include "keyboard/focus_text_field.h"
#include "keyboard/text_field_poll.h"

namespace kiosk {

bool MainWindow::FocusTextField() {
    return kiosk::FocusTextField(Browser.get(), Keys(), eventLog_);
}

void MainWindow::OnFocusPollTick() {
    TextFieldPollTick(
        *FocusPollTimer, [this] { return FocusTextField(); }, Keys());
}

void MainWindow::StartFocusPoll() {
    StartTextFieldPoll(*FocusPollTimer);
}

}  // namespace kiosk
