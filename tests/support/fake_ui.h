#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/ui.h"
#include "tests/support/event_record.h"

namespace kiosk::testing {

// A timer that fires only when the test says so.
class FakeTimer : public Timer {
public:
    void SetInterval(long long milliseconds) override { interval_ = milliseconds; }
    long long Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override {
        if (enabled && !enabled_) ++periodsStarted;
        enabled_ = enabled;
    }
    bool Enabled() const override { return enabled_; }
    void SetOnTimer(std::function<void()> handler) override { onTimer_ = std::move(handler); }
    void Fire() {
        if (enabled_ && interval_ > 0 && onTimer_) onTimer_();
    }

    int periodsStarted = 0;  // how often the timer went from disabled to enabled

private:
    long long interval_ = 1000;
    bool enabled_ = false;
    std::function<void()> onTimer_;
};

// Records the calls the logic makes on the main thread's services; runs cross-thread calls at once.
class FakeUi : public Ui {
public:
    explicit FakeUi(EventRecord& record) : record_(record) {}

    bool CloseRequested() const override { return closeRequested; }
    void ProcessMessages() override {
        record_.Add("ProcessMessages");
        if (onProcessMessages) onProcessMessages();
    }
    void RunOnMainThread(std::function<void()> fn, bool wait) override {
        if (!queueCalls || wait) return fn();
        std::lock_guard lock(queueMutex_);
        queued_.push_back(std::move(fn));
    }
    // Runs the calls queued so far, as the main thread's loop would.
    void RunQueued() {
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard lock(queueMutex_);
            calls.swap(queued_);
        }
        for (auto& call : calls) call();
    }
    std::unique_ptr<Timer> CreateTimer() override {
        auto timer = std::make_unique<FakeTimer>();
        timers.push_back(timer.get());
        return timer;
    }
    void ShowErrorBox(const std::string& title, const std::string& message) override {
        record_.Add("ErrorBox " + title + ": " + message);
    }
    void ClearClipboard() override { record_.Add("ClearClipboard"); }
    void CloseErrorBoxes() override { record_.Add("CloseErrorBoxes"); }
    bool CtrlKeyDown() const override { return ctrlKeyDown; }
    void RunMessageLoop() override { record_.Add("RunMessageLoop"); }
    void CloseMainWindow() override {}

    std::vector<FakeTimer*> timers;
    bool ctrlKeyDown = false;
    bool closeRequested = false;
    std::function<void()> onProcessMessages;  // events that arrive while messages are processed
    bool queueCalls = false;                  // calls that do not wait are queued until RunQueued

private:
    EventRecord& record_;
    std::mutex queueMutex_;
    std::vector<std::function<void()>> queued_;
};

}  // namespace kiosk::testing
