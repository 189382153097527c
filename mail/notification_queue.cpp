#include "mail/notification_queue.h"

#include <algorithm>
#include <utility>

namespace kiosk {

void NotificationQueue::QueueNotification(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || text == (texts_.empty() ? lastNotification_ : texts_.back())) return;
        if (texts_.size() >= kMostTexts) {
            ++dropped_;
            return;
        }
        texts_.push_back(text);
    }
    wakeUp_.notify_all();
}

NotificationDigest NotificationQueue::TakeDigest(size_t most) {
    std::lock_guard lock(mutex_);
    const size_t count = std::min(most, texts_.size());
    NotificationDigest digest{{texts_.begin(), texts_.begin() + static_cast<std::ptrdiff_t>(count)},
                              texts_.size() - count};
    if (count > 0) lastNotification_ = digest.texts.back();
    return digest;
}

void NotificationQueue::RemoveOldest(size_t count) {
    std::lock_guard lock(mutex_);
    // Close may have emptied the queue while the digest was being sent.
    texts_.erase(texts_.begin(),
                 texts_.begin() + static_cast<std::ptrdiff_t>(std::min(count, texts_.size())));
}

void NotificationQueue::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    texts_.clear();
}

bool NotificationQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return texts_.empty();
}

std::vector<std::string> NotificationQueue::Texts() const {
    std::lock_guard lock(mutex_);
    return {texts_.begin(), texts_.end()};
}

std::string NotificationQueue::LastNotification() const {
    std::lock_guard lock(mutex_);
    return lastNotification_;
}

void NotificationQueue::ResetLastNotification() {
    std::lock_guard lock(mutex_);
    lastNotification_.clear();
}

bool NotificationQueue::WaitForText(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    // The emptiness test and the sleep are one step under the lock: a text appended while the worker
    // decides to sleep is seen, never missed.
    return wakeUp_.wait(lock, stop, [this] { return !held_ && !texts_.empty(); });
}

void NotificationQueue::Hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
}

void NotificationQueue::Release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    wakeUp_.notify_all();
}

size_t NotificationQueue::TakeDroppedCount() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

}  // namespace kiosk
