#pragma once

#include <string>

namespace kiosk {

// The embedded browser as the shell drives it.
class BrowserControl {
public:
    virtual ~BrowserControl() = default;
    virtual void Navigate(const std::string& url) = 0;
    virtual void SetVisible(bool visible) = 0;
    // Silent: the control shows no dialog boxes of its own.
    virtual void SetSilent(bool silent) = 0;
};

}  // namespace kiosk
