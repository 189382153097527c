#pragma once

#include <functional>
#include <memory>

#include "os/ui.h"

namespace kiosk {

// Hands the poll's start from any thread to the main thread, where start runs. Close (on the main
// thread, before whatever start uses goes away) turns the starts still queued, and all later ones,
// into nothing; so does the destructor.
class MainThreadFocusPoll {
public:
    MainThreadFocusPoll(Ui& ui, std::function<void()> start);
    MainThreadFocusPoll(const MainThreadFocusPoll&) = delete;
    MainThreadFocusPoll& operator=(const MainThreadFocusPoll&) = delete;
    ~MainThreadFocusPoll();

    // From any thread; a running poll is left alone.
    void StartFocusPoll();
    void Close();

private:
    struct Link;
    Ui& ui_;
    std::shared_ptr<Link> link_;  // shared with the queued starts, which may outlive this
};

}  // namespace kiosk
