#pragma once

#include <functional>
#include <memory>

#include "os/ui.h"
#include "proxy/filter/focus_poll.h"

namespace kiosk {

// Hands the poll's start from any thread to the main thread, where start runs. Close (on the main
// thread, before whatever start uses goes away) turns the starts still queued, and all later ones,
// into nothing; so does the destructor.
class MainThreadFocusPoll : public FocusPollStarter {
public:
    MainThreadFocusPoll(Ui& ui, std::function<void()> start);
    MainThreadFocusPoll(const MainThreadFocusPoll&) = delete;
    MainThreadFocusPoll& operator=(const MainThreadFocusPoll&) = delete;
    ~MainThreadFocusPoll() override;

    void StartFocusPoll() override;
    void Close();

private:
    struct Link;
    Ui& ui_;
    std::shared_ptr<Link> link_;  // shared with the queued starts, which may outlive this
};

}  // namespace kiosk
