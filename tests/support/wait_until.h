#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace kiosk::testing {

// The pause between two polls of a condition.
inline void PollPause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// Polls condition every 50 ms until it holds or timeout passes; returns whether it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        PollPause();
    }
    return true;
}

// Polls condition every 50 ms for the whole of duration; returns false as soon as it fails. For
// checking that something does not happen within a time.
template <typename Condition>
bool HoldsFor(Condition condition, std::chrono::milliseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (condition()) {
        if (std::chrono::steady_clock::now() > deadline) return true;
        PollPause();
    }
    return false;
}

// Waits up to 20 s until one of the lines that readLines gives (read again at every poll) starts with
// prefix: a request a server has logged, say.
template <typename ReadLines>
bool WaitForLineStarting(ReadLines readLines, const std::string& prefix) {
    return WaitUntil(
        [&] {
            const std::vector<std::string> lines = readLines();
            return std::any_of(lines.begin(), lines.end(),
                               [&](const std::string& line) { return line.starts_with(prefix); });
        },
        std::chrono::seconds(20));
}

}  // namespace kiosk::testing
