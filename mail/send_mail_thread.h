#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "mail/mail_worker.h"
#include "mail/notification_queue.h"
#include "os/ui.h"

namespace kiosk {

// The mail worker: paces the notification mail. It sleeps while the queue is empty; for every
// waiting text it has the main thread run one pass of the queue pump and waits for it. It counts as
// suspended until the first text wakes it. Suspend and Terminate both end its loop at once, a wait
// for the main thread included, so that shutdown never hangs on a pass the main loop will not run;
// a pass still queued then does nothing. Freeing joins the thread.
class tsendmailthread : public MailWorker {
public:
    // pump: one pass of the queue pump, run on the main thread; must not throw.
    tsendmailthread(Ui& ui, std::shared_ptr<NotificationQueue> queue, std::function<void()> pump);
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

    Ui& ui_;
    const std::shared_ptr<NotificationQueue> queue_;
    const std::function<void()> pump_;
    mutable std::mutex stateMutex_;
    bool suspended_ = true;
    std::atomic<bool> terminated_{false};
    std::jthread thread_;  // last: it starts once everything it uses exists
};

}  // namespace kiosk
