#include <gtest/gtest.h>

#include <thread>

#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

// The proxy's answer for a document that a script without steps marks for the poll.
class FocusPollStartTest : public RunningWindowTest {
protected:
    void StartWithMarkedDocument() {
        Start();
        auto script = std::make_unique<DocumentScript>();
        script->pattern = "h/a";
        window->DocumentScripts->push_back(std::move(script));
        ui.queueCalls = true;
    }
    void AnswerOnProxyThread() {
        std::thread proxyThread([this] {
            ProxyConnection context;
            context.LastRequestHost = "h";
            context.Document = "/a";
            context.Headers.Add("HTTP/1.1 200 OK");
            context.Headers.Add("Content-Type: text/html");
            std::string body = "<html></html>";
            window->OnProxyDocument(context, body);
        });
        proxyThread.join();
    }
};

TEST_F(FocusPollStartTest, AMarkedDocumentStartsThePollOnTheMainThreadAndARunningPollGoesOn) {
    StartWithMarkedDocument();
    AnswerOnProxyThread();
    EXPECT_FALSE(PollTimer().Enabled());  // nothing runs before the main thread takes it
    ui.RunQueued();
    EXPECT_TRUE(PollTimer().Enabled());
    EXPECT_EQ(PollTimer().Tag, 0);
    EXPECT_EQ(PollTimer().Interval(), 3000);

    PollTimer().Fire();
    AnswerOnProxyThread();
    ui.RunQueued();
    EXPECT_EQ(PollTimer().Tag, 1);
    EXPECT_EQ(PollTimer().periodsStarted, 1);
}

TEST_F(FocusPollStartTest, AStartStillQueuedAtShutdownDoesNothing) {
    StartWithMarkedDocument();
    AnswerOnProxyThread();
    Destroy();
    ui.RunQueued();
    EXPECT_FALSE(PollTimer().Enabled());
}

TEST_F(FocusPollStartTest, AStartQueuedForAWindowThatIsGoneDoesNothing) {
    StartWithMarkedDocument();
    AnswerOnProxyThread();
    Destroy();
    window.reset();
    ui.timers.clear();  // freed with the window
    ui.RunQueued();     // must not reach the freed window
}

}  // namespace
}  // namespace kiosk::testing
