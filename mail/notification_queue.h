#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "log/notification_sink.h"

namespace kiosk {

// The notification texts waiting to be mailed, oldest first, together with the text last taken for
// sending, both under one lock. The event log hands texts in from any thread; the mail worker sleeps
// here while nothing waits; the queue pump takes and removes texts on the main thread. The lock is
// never held while a text is being sent.
class NotificationQueue : public NotificationSink {
public:
    // Texts beyond this many are dropped (and counted) while the server cannot be reached: a long
    // outage must not grow the queue without bound.
    static constexpr size_t kMostTexts = 1000;

    // Drops a text that repeats the one just before it: the newest waiting text, or when none waits
    // the one last taken for sending. Otherwise appends it and wakes the worker. Once the queue is
    // closed every text is dropped.
    // Comparing with the last taken text alone would depend on timing: in "a", "b", "a" the second
    // "a" was lost whenever "b" had not been taken yet, though it follows a different text.
    void QueueNotification(const std::string& text) override;

    // The oldest text, which from now on counts as the last one taken for sending; nothing when none
    // waits. It stays at the head until RemoveFirst, so texts queued meanwhile stay behind it.
    std::optional<std::string> TakeFirst();
    void RemoveFirst();

    // Shutdown: the texts still waiting are dropped without being sent, and so is every later one.
    void Close();

    // While held, texts wait in the queue and the worker is not woken for them: start-up holds the
    // queue until it has finished, so that no mail is sent in the middle of it.
    void Hold();
    void Release();

    // How many texts were dropped since the last call because the queue was full; the count starts
    // again from 0.
    size_t TakeDroppedCount();

    bool Empty() const;
    std::vector<std::string> Texts() const;
    std::string LastNotification() const;
    void ResetLastNotification();

    // Sleeps until a text waits (and the queue is not held) or stop is requested; returns whether a
    // text waits.
    bool WaitForText(std::stop_token stop);

private:
    mutable std::mutex mutex_;
    std::condition_variable_any wakeUp_;
    std::deque<std::string> texts_;
    std::string lastNotification_;
    bool closed_ = false;
    bool held_ = false;
    size_t dropped_ = 0;
};

}  // namespace kiosk
