#pragma once

namespace kiosk {

// The keyboard's text-field focus detection, run on the main thread when the browser has finished
// loading: opens or closes the keyboard for the focused field of the page.
class FocusDetector {
public:
    virtual ~FocusDetector() = default;
    virtual void DetectFocusedTextField() = 0;
};

// Placeholder until the keyboard's focus detection exists: detects nothing.
class PlaceholderFocusDetector : public FocusDetector {
public:
    void DetectFocusedTextField() override {}
};

}  // namespace kiosk
