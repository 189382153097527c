// The main window's small operations on the browser, the busy animation and the idle timer.

#include "app/form1.h"
#include "shell/busy_animation.h"
#include "shell/repeat_guard.h"

namespace kiosk {

void TForm1::SetBusy(bool on) {
    kiosk::SetBusy(Controls.RxGIFAnimator1, on);
}

bool TForm1::TooSoon() const {
    return kiosk::TooSoon(parts_.clock.Now(), LastActionTime);
}

// While Home replaces the control there is none to ask.
bool TForm1::DocumentReady() {
    return WebBrowser1 && WebBrowser1->HasHtmlDocument();
}

void TForm1::StopIfReady() {
    try {
        if (DocumentReady()) WebBrowser1->Stop();
    } catch (...) {
        // The page stays as it is.
    }
}

void TForm1::RefreshDocument() {
    try {
        if (!DocumentReady()) return;
        if (parts_.ui.CtrlKeyDown()) {
            WebBrowser1->Refresh2(kRefreshCompletely);
        } else {
            WebBrowser1->Refresh();
        }
    } catch (...) {
        // The page stays as it is.
    }
}

void TForm1::RestartIdleTimer() {
    Timer2->SetEnabled(false);
    Timer2->SetEnabled(true);
}

}  // namespace kiosk
