#pragma once

#include "keyboard/keys_toggle.h"
#include "shell/browser_control.h"
#include "util/log_writer.h"

namespace kiosk {

// The text-field search when a page has loaded: focuses the first usable text field of every form of
// the browser's HTML document and opens the keyboard; true when a field got the focus. browser is
// null while Home replaces it. A document that cannot be read ends this search only: the error is
// logged. A Home that destroys the control during the search (any call runs events) ends it quietly.
bool FocusTextField(BrowserControl* browser, const KeysToggle& keys, LogWriter& log);

}  // namespace kiosk
