#include "keyboard/text_field_poll.h"

#include <gtest/gtest.h>

#include "tests/unit/keyboard/focus_test.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

// The poll's timer runs the poll's tick with the text-field search, as the window attaches it.
class TextFieldPollTest : public FocusTest {
protected:
    TextFieldPollTest() {
        pollTimer.SetInterval(3000);
        pollTimer.SetOnTimer([this] {
            TextFieldPollTick(
                pollTimer, [this] { return Search(); }, Keys());
        });
    }
    FakeTimer pollTimer;
};

TEST_F(TextFieldPollTest, WithoutAFieldThePollClosesEvenAUserOpenedKeyboardAtItsFourthTick) {
    ClickKeys();
    StartTextFieldPoll(pollTimer);
    for (int tick = 1; tick <= 3; ++tick) {
        pollTimer.Fire();
        EXPECT_EQ(pollTimer.Tag, tick);
        EXPECT_TRUE(pollTimer.Enabled());
        EXPECT_TRUE(KeyboardOpen());
    }
    pollTimer.Fire();
    EXPECT_FALSE(pollTimer.Enabled());
    EXPECT_EQ(pollTimer.Tag, 0);
    EXPECT_FALSE(KeyboardOpen());
    EXPECT_FALSE(controls.KeyboardPlace.Visible);
}

TEST_F(TextFieldPollTest, AFieldAddedBeforeTheSecondSearchIsFoundAndEndsThePoll) {
    StartTextFieldPoll(pollTimer);
    pollTimer.Fire();
    browser.forms = {{Field()}};
    pollTimer.Fire();
    EXPECT_EQ(record.Starting("Focus"), (Events{"Focus 0 0"}));
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_FALSE(pollTimer.Enabled());
    EXPECT_EQ(pollTimer.Tag, 0);
}

TEST_F(TextFieldPollTest, AnUnreadableDocumentDoesNotStopThePoll) {
    browser.forms = {{Field()}};
    browser.readFailure = "busy";
    StartTextFieldPoll(pollTimer);
    pollTimer.Fire();
    EXPECT_TRUE(pollTimer.Enabled());
    EXPECT_EQ(pollTimer.Tag, 1);
    browser.readFailure.clear();
    pollTimer.Fire();
    EXPECT_TRUE(KeyboardOpen());
    EXPECT_FALSE(pollTimer.Enabled());
    EXPECT_EQ(record.Starting("ErrorBox"), Events{});
}

TEST_F(TextFieldPollTest, ARunningPollKeepsItsCountWhenStartedAgain) {
    StartTextFieldPoll(pollTimer);
    pollTimer.Fire();
    StartTextFieldPoll(pollTimer);
    EXPECT_EQ(pollTimer.Tag, 1);
    EXPECT_EQ(pollTimer.periodsStarted, 1);
}

}  // namespace
}  // namespace kiosk::testing
