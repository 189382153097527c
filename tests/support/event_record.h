#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace kiosk::testing {

// The calls that fakes saw, in order, as short texts.
class EventRecord {
public:
    void Add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    bool Contains(const std::string& event) const {
        const auto events = Events();
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    int Count(const std::string& event) const {
        const auto events = Events();
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    // The events that start with prefix, in order.
    std::vector<std::string> Starting(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& event : Events()) {
            if (event.starts_with(prefix)) found.push_back(event);
        }
        return found;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

}  // namespace kiosk::testing
