#pragma once

#include <functional>
#include <memory>
#include <string>

#include "os/timer.h"

namespace kiosk {

// The main thread's event loop and the window system services the logic needs.
class Ui {
public:
    virtual ~Ui() = default;

    // Handles the events that are pending now, then returns.
    virtual void ProcessMessages() = 0;

    // Runs fn on the main thread; with wait, returns only after it has run. Called from the main
    // thread itself, fn runs at once. A thread that the main thread may be waiting for (at shutdown)
    // must not wait here.
    virtual void RunOnMainThread(std::function<void()> fn, bool wait) = 0;

    virtual std::unique_ptr<Timer> CreateTimer() = 0;

    // A modal box with an error message; returns when the user has closed it, or CloseErrorBoxes.
    virtual void ShowErrorBox(const std::string& title, const std::string& message) = 0;
    // Closes every error box that is open, so that none outlives the visitor it was shown to.
    virtual void CloseErrorBoxes() = 0;

    // Empties the clipboard and the selection, so that nothing copied by one visitor is pasted by the next.
    virtual void ClearClipboard() = 0;

    // Whether a Ctrl key is held down now.
    virtual bool CtrlKeyDown() const = 0;

    // Runs the event loop until the main window is closed (by the user or by a termination signal).
    virtual void RunMessageLoop() = 0;
    virtual void CloseMainWindow() = 0;
    // Whether the main window has been asked to close (a wait that runs events ends its work then).
    virtual bool CloseRequested() const { return false; }
};

}  // namespace kiosk
