#pragma once

#include <functional>

#include "shell/document_access.h"

namespace kiosk {

// Gives the focus to the first usable text field of every form in turn (a text input or a text area
// that is neither disabled nor hidden by its inline style) and calls focused after each one. A field
// whose Focus or focused call fails is skipped for the next one of its form. Returns whether a field
// got the focus; a failure to read the forms, their elements or an element's properties is passed on.
bool FocusFirstFieldOfEachForm(DocumentAccess& document, const std::function<void()>& focused);

}  // namespace kiosk
