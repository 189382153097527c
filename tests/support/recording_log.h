#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "util/log_writer.h"

namespace kiosk::testing {

// A log that keeps its entries: "E message" for errors, "I message" for information.
class RecordingLog : public LogWriter {
public:
    void WriteLog(LogLevel level, std::string_view message) override {
        if (message.empty()) return;
        std::lock_guard lock(mutex_);
        entries_.push_back((level == LogLevel::Error ? "E " : "I ") + std::string(message));
    }
    std::vector<std::string> Entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    // The messages of the error entries alone.
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const std::string& entry : Entries()) {
            if (entry.starts_with("E ")) errors.push_back(entry.substr(2));
        }
        return errors;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

}  // namespace kiosk::testing
