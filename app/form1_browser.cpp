// The main window's small operations on the browser, the busy animation and the idle timer.

#include "app/form1.h"
#include "shell/browser_operations.h"
#include "shell/busy_animation.h"
#include "shell/idle_return.h"
#include "shell/repeat_guard.h"

namespace kiosk {

void TForm1::SetBusy(bool on) {
    kiosk::SetBusy(Controls.RxGIFAnimator1, on);
}

bool TForm1::TooSoon() const {
    return kiosk::TooSoon(parts_.clock.Now(), LastActionTime);
}

bool TForm1::DocumentReady() {
    return kiosk::DocumentReady(WebBrowser1.get());
}

void TForm1::StopIfReady() {
    kiosk::StopIfReady(WebBrowser1.get());
}

void TForm1::RefreshDocument() {
    kiosk::RefreshDocument(WebBrowser1.get(), parts_.ui);
}

void TForm1::RestartIdleTimer() {
    kiosk::RestartIdleTimer(*Timer2);
}

BrowsingContext TForm1::Browsing() {
    return {Controls, WebBrowser1, DocumentCounter, LastActionTime, *Timer2, parts_.ui, parts_.clock};
}

}  // namespace kiosk
