#pragma once

#include "os/ui.h"
#include "shell/browser_control.h"

namespace kiosk {

// The small operations of the buttons on the browser control; browser is null while Home replaces it.

// Whether there is a control and it shows an HTML document.
bool DocumentReady(BrowserControl* browser);

// Stops the loading of an HTML document; a failure leaves the page as it is.
void StopIfReady(BrowserControl* browser);

// Reloads an HTML document, bypassing the cache while a Ctrl key is held; a failure leaves the page
// as it is.
void RefreshDocument(BrowserControl* browser, const Ui& ui);

}  // namespace kiosk
