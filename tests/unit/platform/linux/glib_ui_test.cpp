#include "platform/linux/glib_ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace kiosk {
namespace {

using Clock = std::chrono::steady_clock;

// Runs the loop's pending events until done holds or five seconds pass.
template <typename Done>
bool ProcessUntil(GlibUi& ui, Done done) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!done() && Clock::now() < deadline) {
        ui.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

TEST(GlibUi, TimerFiresWhileEnabledOnly) {
    GlibUi ui;
    auto timer = ui.CreateTimer();
    int ticks = 0;
    timer->SetOnTimer([&] { ++ticks; });
    timer->SetInterval(5);
    ui.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ui.ProcessMessages();
    EXPECT_EQ(ticks, 0) << "a timer starts disabled";

    timer->SetEnabled(true);
    ASSERT_TRUE(ProcessUntil(ui, [&] { return ticks >= 3; }));
    timer->SetEnabled(false);
    const int stoppedAt = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ui.ProcessMessages();
    EXPECT_EQ(ticks, stoppedAt);
}

TEST(GlibUi, ATimerMayStopItselfAndAZeroIntervalNeverFires) {
    GlibUi ui;
    auto once = ui.CreateTimer();
    auto never = ui.CreateTimer();
    int onceTicks = 0;
    int neverTicks = 0;
    once->SetOnTimer([&] {
        ++onceTicks;
        once->SetEnabled(false);
    });
    never->SetOnTimer([&] { ++neverTicks; });
    once->SetInterval(2);
    never->SetInterval(0);
    once->SetEnabled(true);
    never->SetEnabled(true);
    ASSERT_TRUE(ProcessUntil(ui, [&] { return onceTicks == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ui.ProcessMessages();
    EXPECT_EQ(onceTicks, 1);
    EXPECT_EQ(neverTicks, 0);
}

TEST(GlibUi, WorkThreadsRunCodeOnTheMainThread) {
    GlibUi ui;
    const auto mainThread = std::this_thread::get_id();
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        ui.RunOnMainThread([&] { ranOnMain = std::this_thread::get_id() == mainThread; }, true);
        returned = true;  // only after the function has run
        ui.RunOnMainThread([&] { ui.CloseMainWindow(); }, false);
    });
    ui.RunMessageLoop();
    worker.join();
    EXPECT_TRUE(ranOnMain);
    EXPECT_TRUE(returned);
}

TEST(GlibUi, ACloseBeforeTheLoopRunsEndsItAtOnce) {
    GlibUi ui;
    ui.CloseMainWindow();
    ui.RunMessageLoop();  // returns instead of waiting for ever
    SUCCEED();
}

TEST(GlibUi, TerminationSignalsCloseTheMainWindow) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        GlibUi ui;
        std::raise(signal);
        ui.RunMessageLoop();  // would hang if the signal were not turned into a close
    }
    SUCCEED();
}

}  // namespace
}  // namespace kiosk
