#include "log/mail_queue.h"

namespace kiosk {

void MailQueue::Append(std::string text) {
    std::lock_guard lock(mutex_);
    texts_.push_back(std::move(text));
}

bool MailQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return texts_.empty();
}

size_t MailQueue::Size() const {
    std::lock_guard lock(mutex_);
    return texts_.size();
}

std::vector<std::string> MailQueue::Texts() const {
    std::lock_guard lock(mutex_);
    return {texts_.begin(), texts_.end()};
}

}  // namespace kiosk
