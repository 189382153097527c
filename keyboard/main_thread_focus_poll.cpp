#include "keyboard/main_thread_focus_poll.h"

#include <mutex>

namespace kiosk {

struct MainThreadFocusPoll::Link {
    std::mutex mutex;
    std::function<void()> start;  // empty once closed

    void Run() {
        std::lock_guard lock(mutex);
        if (start) start();
    }
    void Close() {
        std::lock_guard lock(mutex);
        start = nullptr;
    }
};

MainThreadFocusPoll::MainThreadFocusPoll(Ui& ui, std::function<void()> start)
    : ui_(ui), link_(std::make_shared<Link>()) {
    link_->start = std::move(start);
}

MainThreadFocusPoll::~MainThreadFocusPoll() {
    Close();
}

// Never waits: the main thread may itself be waiting for the calling proxy thread to end.
void MainThreadFocusPoll::StartFocusPoll() {
    ui_.RunOnMainThread([link = link_] { link->Run(); }, false);
}

void MainThreadFocusPoll::Close() {
    link_->Close();
}

}  // namespace kiosk
