#include <gtest/gtest.h>

#include "tests/unit/app/form_fixture.h"

namespace kiosk::testing {
namespace {

TEST_F(RunningFormTest, OutOfOrderHomeStillShowsAVisibleBrowserAtTheStartPage) {
    Create();  // no configuration file
    ASSERT_TRUE(form->OutOfOrder);
    ASSERT_FALSE(form->Controls.WebBrowser1.Visible);
    At(5);
    form->RxSpeedButton4Click();
    EXPECT_TRUE(form->Controls.WebBrowser1.Visible);
    EXPECT_TRUE(record.Contains("BrowserVisible 1"));
    EXPECT_TRUE(record.Contains("Navigate " + LocalPageUrl(ProgramDir(), "")));
}

// Home's new browser asks pages for the same languages as the first: the option, else the locale.
TEST_F(RunningFormTest, EveryVisitorsBrowserAsksForTheConfiguredLanguages) {
    Start("language\nde-DE, de\n");
    At(5);
    form->RxSpeedButton4Click();
    EXPECT_TRUE(record.Contains("Languages de-DE,de"));
}

}  // namespace
}  // namespace kiosk::testing
