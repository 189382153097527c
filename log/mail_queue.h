#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace kiosk {

// The notification texts waiting to be mailed, oldest first. Safe to use from several threads.
class MailQueue {
public:
    void Append(std::string text);
    bool Empty() const;
    size_t Size() const;
    std::vector<std::string> Texts() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::string> texts_;
};

}  // namespace kiosk
