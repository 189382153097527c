#include "keyboard/text_field_walk.h"

namespace kiosk {

namespace {

bool IsCandidate(DocumentAccess& document, int form, int element) {
    const std::string tag = document.TagName(form, element);
    if (tag == "TEXTAREA") return true;
    return tag == "INPUT" && document.Type(form, element) == "text";
}

bool IsUsable(DocumentAccess& document, int form, int element) {
    return document.Disabled(form, element) == "False" && document.StyleDisplay(form, element) != "none";
}

bool TryFocus(DocumentAccess& document, int form, int element, const std::function<void()>& focused) {
    try {
        document.Focus(form, element);
        focused();
        return true;
    } catch (const BrowserControlGone&) {
        throw;  // nothing of the control may be touched any more
    } catch (...) {
        return false;  // this field cannot take the focus; the next one may
    }
}

bool FocusFirstFieldOfForm(DocumentAccess& document, int form, const std::function<void()>& focused) {
    const int count = document.ElementCount(form);
    for (int element = 0; element < count; ++element) {
        if (!IsCandidate(document, form, element) || !IsUsable(document, form, element)) continue;
        if (TryFocus(document, form, element, focused)) return true;
    }
    return false;
}

}  // namespace

bool FocusFirstFieldOfEachForm(DocumentAccess& document, const std::function<void()>& focused) {
    bool result = false;
    const int forms = document.FormCount();
    for (int form = 0; form < forms; ++form) {
        if (FocusFirstFieldOfForm(document, form, focused)) result = true;
    }
    return result;
}

}  // namespace kiosk
