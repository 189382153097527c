#include "shell/page_buttons.h"

#include "shell/browser_operations.h"
#include "shell/busy_animation.h"
#include "shell/idle_return.h"
#include "shell/repeat_guard.h"

namespace kiosk {

namespace {

bool TooSoonAfterLastAction(const BrowsingContext& window) {
    return TooSoon(window.clock.Now(), window.lastActionTime);
}

}  // namespace

void PressBack(const BrowsingContext& window) {
    try {
        if (window.documentCounter > 0 && !TooSoonAfterLastAction(window) &&
            DocumentReady(window.browser.get())) {
            StopIfReady(window.browser.get());
            window.ui.ProcessMessages();
            // Home may have replaced the control while the messages ran.
            if (window.browser) {
                window.browser->GoBack();
                window.documentCounter = window.documentCounter - 1;
                window.lastActionTime = window.clock.Now();
                SetBusy(window.controls.BusyAnimation, true);
            }
        }
    } catch (...) {
        // Nothing visible happens.
    }
    RestartIdleTimer(window.idleTimer);
}

void PressRefresh(const BrowsingContext& window) {
    if (TooSoonAfterLastAction(window)) return;
    try {
        if (DocumentReady(window.browser.get())) {
            StopIfReady(window.browser.get());
            window.ui.ProcessMessages();
            RefreshDocument(window.browser.get(), window.ui);
            SetBusy(window.controls.BusyAnimation, true);
            window.ui.ProcessMessages();
            window.lastActionTime = window.clock.Now();
        }
    } catch (...) {
        // Nothing visible happens.
    }
    RestartIdleTimer(window.idleTimer);
}

}  // namespace kiosk
