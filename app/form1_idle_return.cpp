// The return to the start page after the idle time, and the key releases and the use of the page
// that count as activity.

#include "app/form1.h"
#include "shell/idle_return.h"

namespace kiosk {

void TForm1::Timer2Timer() {
    const long long before = home_.Replacements();
    ReturnAfterIdle(home_, Browsing(), StartPageUrl());
    metrics_.idleReturns += home_.Replacements() - before;
}

void TForm1::FormKeyUp() {
    RestartIdleTimer();
}

void TForm1::WebBrowser1PageActivity() {
    RestartIdleTimer();
}

}  // namespace kiosk
