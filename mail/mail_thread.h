#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include "mail/mail_worker.h"
#include "mail/notification_queue.h"

namespace kiosk {

// How long the mail worker rests after each pass: at most one message goes out in this time.
inline constexpr std::chrono::milliseconds kMailPause = std::chrono::seconds(60);

// The mail worker: sends the notification mail on its own thread, so that no socket wait ever holds
// the main thread. It sleeps while the queue is empty; when texts wait it runs one pass of the queue
// pump (which sends them as one digest), then rests for the pause, so that the texts queued meanwhile
// go in the next digest. It counts as suspended until the first text wakes it. Suspend and Terminate
// both stop it from the calling thread: a send in progress ends at once (its socket is shut down), as
// does the rest. Freeing joins the thread.
class MailThread : public MailWorker {
public:
    MailThread(std::shared_ptr<NotificationQueue> queue, MailPump pump,
               std::chrono::milliseconds pause = kMailPause);
    MailThread(const MailThread&) = delete;
    MailThread& operator=(const MailThread&) = delete;
    ~MailThread() override;

    bool Suspended() const override;
    void Suspend() override;
    bool Terminated() const override;
    void Terminate() override;

private:
    void Execute(std::stop_token stop);
    bool Resume(const std::stop_token& stop);
    // Rests for the pause; returns false when stopped meanwhile.
    bool Rest(const std::stop_token& stop);

    const std::shared_ptr<NotificationQueue> queue_;
    const MailPump pump_;
    const std::chrono::milliseconds pause_;
    mutable std::mutex stateMutex_;
    std::condition_variable_any rest_;  // never notified: only a stop ends the rest early
    bool suspended_ = true;
    std::atomic<bool> terminated_{false};
    std::jthread thread_;  // last: it starts once everything it uses exists
};

}  // namespace kiosk
