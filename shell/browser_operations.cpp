#include "shell/browser_operations.h"

namespace kiosk {

bool DocumentReady(BrowserControl* browser) {
    return browser && browser->HasHtmlDocument();
}

void StopIfReady(BrowserControl* browser) {
    try {
        if (DocumentReady(browser)) browser->Stop();
    } catch (...) {
        // The page stays as it is.
    }
}

void RefreshDocument(BrowserControl* browser, const Ui& ui) {
    try {
        if (!DocumentReady(browser)) return;
        if (ui.CtrlKeyDown()) {
            browser->Reload(kRefreshCompletely);
        } else {
            browser->Refresh();
        }
    } catch (...) {
        // The page stays as it is.
    }
}

}  // namespace kiosk
