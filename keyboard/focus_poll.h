#pragma once

namespace kiosk {

// Starts the text-field poll of the main window (from any thread; it runs on the main thread). A
// running poll is left alone.
class FocusPollStarter {
public:
    virtual ~FocusPollStarter() = default;
    virtual void StartFocusPoll() = 0;
};

// Placeholder until the keyboard's focus detection exists: starts nothing.
class PlaceholderFocusPollStarter : public FocusPollStarter {
public:
    void StartFocusPoll() override {}
};

}  // namespace kiosk
