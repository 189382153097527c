// The return to the start page after the idle time, and the key releases that count as activity.

#include "app/form1.h"

namespace kiosk {

// Once: Home restarts the timer, which is then switched off until the next activity.
void TForm1::Timer2Timer() {
    RxSpeedButton4Click();
    Timer2->SetEnabled(false);
}

void TForm1::FormKeyUp() {
    RestartIdleTimer();
}

}  // namespace kiosk
