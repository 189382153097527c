// The search for a text field when a page has loaded, and the poll that repeats it.

#include "app/form1.h"
#include "keyboard/focus_text_field.h"
#include "keyboard/text_field_poll.h"

namespace kiosk {

bool TForm1::FocusTextField() {
    return kiosk::FocusTextField(WebBrowser1.get(), Keys(), eventLog_);
}

void TForm1::Timer1Timer() {
    TextFieldPollTick(
        *Timer1, [this] { return FocusTextField(); }, Keys());
}

void TForm1::StartFocusPoll() {
    StartTextFieldPoll(*Timer1);
}

}  // namespace kiosk
