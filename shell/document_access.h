#pragma once

#include <stdexcept>
#include <string>

namespace kiosk {

// A call that ended because the control it was made on was destroyed meanwhile (by a Home that ran
// among the events the call processed while it waited for the page).
class BrowserControlGone : public std::runtime_error {
public:
    BrowserControlGone() : std::runtime_error("окно браузера закрыто, пока выполнялся скрипт страницы") {}
};

// One property of a page's body style and the value it is given.
struct BodyStyle {
    std::string name;
    std::string value;
};

// The shown document's forms and their elements, read by member name at the time of the call. Form i
// and element j of that form count from 0. Any call may fail with an exception.
class DocumentAccess {
public:
    virtual ~DocumentAccess() = default;

    virtual int FormCount() = 0;
    virtual int ElementCount(int form) = 0;
    // The element's tagName (upper case, as the document reports it), its type and its inline
    // style's display.
    virtual std::string TagName(int form, int element) = 0;
    virtual std::string Type(int form, int element) = 0;
    // "True" or "False".
    virtual std::string Disabled(int form, int element) = 0;
    virtual std::string StyleDisplay(int form, int element) = 0;
    virtual void Focus(int form, int element) = 0;
};

}  // namespace kiosk
