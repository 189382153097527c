#include "app/main_window_browser_events.h"

#include <gtest/gtest.h>

#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

// A failure that escapes a handler is an error entry (so the operators hear of it) and a box.
TEST_F(RunningWindowTest, AFailedStyleWriteIsLoggedShownAndEndsTheHandlerBeforeItsLogLine) {
    Start();
    browser->styleFailure = "страница не ответила за 3 с";
    browser->CompleteDocument("http://a/");
    EXPECT_EQ(record.Starting("ErrorBox"),
              (Events{std::string("ErrorBox ") + kApplicationTitle + ": страница не ответила за 3 с"}));
    EXPECT_EQ(LogMessages(".err"), (Events{"страница не ответила за 3 с"}));
    EXPECT_EQ(window->DocumentCounter, 0);
    EXPECT_FALSE(Busy());
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы"}));
}

// Web pages and the kiosk's own local pages load; anything else is refused with one information entry
// and no error (so no mail).
TEST_F(RunningWindowTest, NavigationsOutsideTheKiosksPagesAreRefusedQuietly) {
    Start();
    EXPECT_FALSE(browser->AskToNavigate("https://example.com/"));
    EXPECT_FALSE(browser->AskToNavigate("file://" + (dir / "net.html").string()));
    EXPECT_TRUE(browser->AskToNavigate("file:///etc/passwd"));
    EXPECT_TRUE(browser->AskToNavigate("mailto:desk@example.com"));
    EXPECT_TRUE(browser->AskToNavigate("mailto:desk@example.com"));
    EXPECT_EQ(LogMessages(".log"), (Events{"Начало работы", "Переход запрещён: file:///etc/passwd",
                                           "Переход запрещён: mailto:desk@example.com"}));
    EXPECT_EQ(LogMessages(".err"), Events{});
}

TEST_F(RunningWindowTest, TheBrowsersEventsReachTheWindow) {
    WriteFile(dir / "net.html", "<html>offline</html>");
    Start("", "net\nnet.html\n");
    browser->CompleteDocument("http://a/");
    EXPECT_EQ(window->DocumentCounter, 0);
    browser->FailNavigation("http://example.invalid/", -2);
    EXPECT_EQ(LogMessages(".err"), (Events{"http://example.invalid/ > net.html"}));
    browser->forms = {{FakeElement{}}};
    browser->ReportProgress(0, 0);
    EXPECT_TRUE(window->Controls.KeysButton.Down);
}

TEST_F(RunningWindowTest, NewWindowsAreRefused) {
    Start();
    EXPECT_TRUE(browser->AskForNewWindow());
}

}  // namespace
}  // namespace kiosk::testing
