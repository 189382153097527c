#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "log/notification_sink.h"

namespace kiosk {

// The oldest waiting texts, taken for one message.
struct NotificationDigest {
    std::vector<std::string> texts;
    size_t more = 0;  // how many more wait behind them
};

// The notification texts waiting to be mailed, oldest first, together with the text last taken for
// sending, both under one lock. The event log hands texts in from any thread; the mail worker sleeps
// here while nothing waits; the queue pump takes the oldest texts as one digest and removes them once
// it was sent. The lock is never held while a digest is being sent.
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

    // The oldest texts, at most most of them; the last of them from now on counts as the last one
    // taken for sending. They stay at the head until RemoveOldest, so texts queued meanwhile stay
    // behind them, and a digest that could not be sent is taken again with the next one.
    NotificationDigest TakeDigest(size_t most);
    // Removes the count oldest texts (those of a digest that was sent).
    void RemoveOldest(size_t count);

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
