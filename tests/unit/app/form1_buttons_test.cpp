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

}  // namespace
}  // namespace kiosk::testing
