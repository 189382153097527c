#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace kiosk::testing {

// A send that records the texts and fails with the configured message.
class FakeSend {
public:
    std::string operator()(const std::string& text) {
        std::lock_guard lock(mutex_);
        sent_.push_back(text);
        return failure;
    }
    std::vector<std::string> Sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    std::string failure;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> sent_;
};

}  // namespace kiosk::testing
