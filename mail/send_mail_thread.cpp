#include "mail/send_mail_thread.h"

namespace kiosk {

tsendmailthread::tsendmailthread(std::shared_ptr<NotificationQueue> queue, MailPump pump,
                                 std::chrono::milliseconds pause)
    : queue_(std::move(queue)),
      pump_(std::move(pump)),
      pause_(pause),
      thread_([this](std::stop_token stop) { Execute(stop); }) {}

tsendmailthread::~tsendmailthread() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

bool tsendmailthread::Suspended() const {
    std::lock_guard lock(stateMutex_);
    return suspended_;
}

void tsendmailthread::Suspend() {
    std::lock_guard lock(stateMutex_);
    suspended_ = true;
    thread_.request_stop();
}

bool tsendmailthread::Terminated() const {
    return terminated_;
}

void tsendmailthread::Terminate() {
    terminated_ = true;
    thread_.request_stop();
}

void tsendmailthread::Execute(std::stop_token stop) {
    try {
        while (queue_->WaitForText(stop) && Resume(stop)) {
            pump_(stop);
            if (!Rest(stop)) return;
        }
    } catch (...) {
        // Nothing leaves the thread; without it no more mail goes out, which is all that is lost.
    }
}

// Leaves the suspended state for the next pass, unless the worker was stopped meanwhile.
bool tsendmailthread::Resume(const std::stop_token& stop) {
    std::lock_guard lock(stateMutex_);
    if (stop.stop_requested()) return false;
    suspended_ = false;
    return true;
}

bool tsendmailthread::Rest(const std::stop_token& stop) {
    std::unique_lock lock(stateMutex_);
    return !rest_.wait_for(lock, stop, pause_, [&stop] { return stop.stop_requested(); });
}

}  // namespace kiosk
