#include "shell/visitor_browser.h"

namespace kiosk {

void LockDownVisitorBrowser(BrowserControl& browser) {
    browser.SetAddressBar(false);
    browser.SetSilent(true);
    browser.SetStatusBar(false);
}

}  // namespace kiosk
