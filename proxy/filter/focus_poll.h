#pragma once

namespace kiosk {

// Starts the text-field poll of the main window (from any thread; it runs on the main thread). A
// running poll is left alone.
class FocusPollStarter {
public:
    virtual ~FocusPollStarter() = default;
    virtual void StartFocusPoll() = 0;
};

}  // namespace kiosk
