#include "mail/mail_thread.h"

namespace kiosk {

MailThread::MailThread(std::shared_ptr<NotificationQueue> queue, MailPump pump,
                       std::chrono::milliseconds pause)
    : queue_(std::move(queue)),
      pump_(std::move(pump)),
      pause_(pause),
      thread_([this](std::stop_token stop) { Execute(stop); }) {}

MailThread::~MailThread() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

bool MailThread::Suspended() const {
    std::lock_guard lock(stateMutex_);
    return suspended_;
}

void MailThread::Suspend() {
    std::lock_guard lock(stateMutex_);
    suspended_ = true;
    thread_.request_stop();
}

bool MailThread::Terminated() const {
    return terminated_;
}

void MailThread::Terminate() {
    terminated_ = true;
    thread_.request_stop();
}

void MailThread::Execute(std::stop_token stop) {
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
bool MailThread::Resume(const std::stop_token& stop) {
    std::lock_guard lock(stateMutex_);
    if (stop.stop_requested()) return false;
    suspended_ = false;
    return true;
}

bool MailThread::Rest(const std::stop_token& stop) {
    std::unique_lock lock(stateMutex_);
    return !rest_.wait_for(lock, stop, pause_, [&stop] { return stop.stop_requested(); });
}

}  // namespace kiosk
