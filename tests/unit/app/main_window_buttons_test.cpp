#include <gtest/gtest.h>

#include "tests/unit/app/main_window_fixture.h"

namespace kiosk::testing {
namespace {

TEST_F(RunningWindowTest, OutOfOrderHomeStillShowsAVisibleBrowserAtTheStartPage) {
    Create();  // no configuration file
    ASSERT_TRUE(window->OutOfOrder);
    ASSERT_FALSE(window->Controls.Browser.Visible);
    At(5);
    window->OnHomePressed();
    EXPECT_TRUE(window->Controls.Browser.Visible);
    EXPECT_TRUE(record.Contains("BrowserVisible 1"));
    EXPECT_TRUE(record.Contains("Navigate " + LocalPageUrl(ProgramDir(), "")));
}

// Home's new browser asks pages for the same languages as the first: the option, else the locale.
TEST_F(RunningWindowTest, EveryVisitorsBrowserAsksForTheConfiguredLanguages) {
    Start("language\nde-DE, de\n");
    At(5);
    window->OnHomePressed();
    EXPECT_TRUE(record.Contains("Languages de-DE,de"));
}

}  // namespace
}  // namespace kiosk::testing
