#include "platform/linux/glib_ui.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <cstdio>
#include <future>

#include "platform/linux/main_loop_queue.h"

namespace kiosk {

namespace {

// Events handled by one ProcessMessages at most, so that a source that is always ready (a timer of
// 1 ms, say) cannot keep the caller inside it.
constexpr int kMostEventsPerPass = 1000;

class GlibTimer : public Timer {
public:
    ~GlibTimer() override { Stop(); }

    void SetInterval(long long milliseconds) override {
        interval_ = milliseconds < 0 ? 0 : milliseconds;
        Restart();
    }
    long long Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        Restart();
    }
    bool Enabled() const override { return enabled_; }
    void SetOnTimer(std::function<void()> handler) override { onTimer_ = std::move(handler); }

private:
    static gboolean Fire(gpointer self) {
        // The handler may stop, restart or even destroy this timer; nothing of it is used afterwards.
        auto handler = static_cast<GlibTimer*>(self)->onTimer_;
        if (handler) handler();
        return G_SOURCE_CONTINUE;
    }

    void Stop() {
        if (source_ != 0) g_source_remove(source_);
        source_ = 0;
    }

    void Restart() {
        Stop();
        if (!enabled_ || interval_ == 0) return;
        const auto interval = static_cast<guint>(std::min<long long>(interval_, G_MAXUINT));
        source_ = g_timeout_add(interval, &GlibTimer::Fire, this);
    }

    long long interval_ = 1000;
    bool enabled_ = false;
    guint source_ = 0;
    std::function<void()> onTimer_;
};

}  // namespace

struct GlibUi::Loop {
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    bool closeRequested = false;
    guint signalSources[3] = {0, 0, 0};
    ~Loop() {
        for (const guint source : signalSources) {
            if (source != 0) g_source_remove(source);
        }
        g_main_loop_unref(loop);
    }
};

namespace {

gboolean OnTerminationSignal(gpointer ui) {
    static_cast<GlibUi*>(ui)->CloseMainWindow();
    return G_SOURCE_CONTINUE;
}

}  // namespace

GlibUi::GlibUi() : loop_(std::make_unique<Loop>()), mainThread_(std::this_thread::get_id()) {
    const int signals[3] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 3; ++i)
        loop_->signalSources[i] = g_unix_signal_add(signals[i], &OnTerminationSignal, this);
}

GlibUi::~GlibUi() = default;

void GlibUi::ProcessMessages() {
    for (int i = 0; i < kMostEventsPerPass && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

void GlibUi::RunOnMainThread(std::function<void()> fn, bool wait) {
    if (std::this_thread::get_id() == mainThread_) {
        fn();
        return;
    }
    if (!wait) {
        QueueOnMainLoop(std::move(fn));
        return;
    }
    std::promise<void> done;
    auto finished = done.get_future();
    QueueOnMainLoop([&] {
        fn();
        done.set_value();
    });
    finished.wait();
}

std::unique_ptr<Timer> GlibUi::CreateTimer() {
    return std::make_unique<GlibTimer>();
}

void GlibUi::ShowErrorBox(const std::string& title, const std::string& message) {
    // Without a window system the box is written to standard error.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
}

void GlibUi::CloseErrorBoxes() {
    // Without a window system a box is a line on standard error: nothing stays open.
}

void GlibUi::ClearClipboard() {
    // Without a window system there is no clipboard.
}

bool GlibUi::CtrlKeyDown() const {
    // Without a window system no key is ever seen held.
    return false;
}

void GlibUi::RunMessageLoop() {
    if (!loop_->closeRequested) g_main_loop_run(loop_->loop);
    loop_->closeRequested = false;
}

bool GlibUi::CloseRequested() const {
    return loop_->closeRequested;
}

void GlibUi::CloseMainWindow() {
    loop_->closeRequested = true;
    g_main_loop_quit(loop_->loop);
}

}  // namespace kiosk
