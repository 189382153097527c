#include <gtest/gtest.h>

#include <thread>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST_F(FocusTest, WithoutAFieldThePollClosesEvenAUserOpenedKeyboardAtItsFourthTick) {
    Start();
    ClickKeys();
    form->StartFocusPoll();
    for (int tick = 1; tick <= 3; ++tick) {
        PollTimer().Fire();
        EXPECT_EQ(PollTimer().Tag, tick);
        EXPECT_TRUE(PollTimer().Enabled());
        EXPECT_TRUE(KeyboardOpen());
    }
    PollTimer().Fire();
    EXPECT_FALSE(PollTimer().Enabled());
    EXPECT_EQ(PollTimer().Tag, 0);
    EXPECT_FALSE(KeyboardOpen());
    EXPECT_FALSE(form->Controls.FlowPanel1.Visible);
}

TEST_F(FocusTest, AFieldAddedBeforeTheSecondSearchIsFoundAndEndsThePoll) {
    Start();
    form->StartFocusPoll();
    PollTimer().Fire();
    browser->forms = {{Field()}};
    PollTimer().Fire();
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0"}));
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_FALSE(PollTimer().Enabled());
    EXPECT_EQ(PollTimer().Tag, 0);
}

TEST_F(FocusTest, AnUnreadableDocumentDoesNotStopThePoll) {
    Start();
    browser->forms = {{Field()}};
    browser->readFailure = "busy";
    form->StartFocusPoll();
    PollTimer().Fire();
    EXPECT_TRUE(PollTimer().Enabled());
    EXPECT_EQ(PollTimer().Tag, 1);
    browser->readFailure.clear();
    PollTimer().Fire();
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_FALSE(PollTimer().Enabled());
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

// The proxy's answer for a document that a script without steps marks for the poll.
class FocusPollStartTest : public FocusTest {
protected:
    void StartWithMarkedDocument() {
        Start();
        auto script = std::make_unique<DocumentScript>();
        script->pattern = "h/a";
        form->DocumentScripts->push_back(std::move(script));
        ui.queueCalls = true;
    }
    void AnswerOnProxyThread() {
        std::thread proxyThread([this] {
            TIdHTTPProxyServerContext context;
            context.LastRequestHost = "h";
            context.Document = "/a";
            context.Headers.Add("HTTP/1.1 200 OK");
            context.Headers.Add("Content-Type: text/html");
            std::string body = "<html></html>";
            form->IdHTTPProxyServer1HTTPDocument(context, body);
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
    form.reset();
    ui.timers.clear();  // freed with the window
    ui.RunQueued();     // must not reach the freed window
}

}  // namespace
}  // namespace kiosk::testing
