#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "mail/mail_worker.h"
#include "mail/notification_queue.h"
#include "os/ui.h"

namespace kiosk {

// How long the mail worker rests after each pass: at most one message goes out in this time.
inline constexpr std::chrono::milliseconds kMailPause = std::chrono::seconds(60);

// The mail worker: paces the notification mail. It sleeps while the queue is empty; when texts wait
// it has the main thread run one pass of the queue pump (which sends them as one digest) and waits
// for it, then rests for the pause, so that the texts queued meanwhile go in the next digest. It
// counts as suspended until the first text wakes it. Suspend and Terminate both end its loop at once,
// a wait for the main thread or the rest included, so that shutdown never hangs on a pass the main
// loop will not run; a pass still queued then does nothing. Freeing joins the thread.
class tsendmailthread : public MailWorker {
public:
    // pump: one pass of the queue pump, run on the main thread; must not throw.
    tsendmailthread(Ui& ui, std::shared_ptr<NotificationQueue> queue, std::function<void()> pump,
                    std::chrono::milliseconds pause = kMailPause);
    tsendmailthread(const tsendmailthread&) = delete;
    tsendmailthread& operator=(const tsendmailthread&) = delete;
    ~tsendmailthread() override;

    bool Suspended() const override;
    void Suspend() override;
    bool Terminated() const override;
    void Terminate() override;

private:
    void Execute(std::stop_token stop);
    bool Resume(const std::stop_token& stop);
    // Rests for the pause; returns false when stopped meanwhile.
    bool Rest(const std::stop_token& stop);

    Ui& ui_;
    const std::shared_ptr<NotificationQueue> queue_;
    const std::function<void()> pump_;
    const std::chrono::milliseconds pause_;
    mutable std::mutex stateMutex_;
    std::condition_variable_any rest_;  // never notified: only a stop ends the rest early
    bool suspended_ = true;
    std::atomic<bool> terminated_{false};
    std::jthread thread_;  // last: it starts once everything it uses exists
};

}  // namespace kiosk
