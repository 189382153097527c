#include "shell/browser_operations.h"

#include <gtest/gtest.h>

#include "tests/support/event_record.h"
#include "tests/support/fake_parts.h"
#include "tests/support/fake_ui.h"

namespace kiosk::testing {
namespace {

using Events = std::vector<std::string>;

TEST(BrowserOperations, OnlyAnHtmlDocumentIsStoppedOrReloaded) {
    EventRecord record;
    FakeUi ui{record};
    EXPECT_FALSE(DocumentReady(nullptr));
    StopIfReady(nullptr);
    RefreshDocument(nullptr, ui);
    FakeBrowser browser{record};
    browser.htmlDocument = false;
    EXPECT_FALSE(DocumentReady(&browser));
    StopIfReady(&browser);
    RefreshDocument(&browser, ui);
    EXPECT_EQ(record.Events(), Events{});
}

TEST(BrowserOperations, FailuresOfTheControlLeaveThePageAsItIs) {
    EventRecord record;
    FakeUi ui{record};
    FakeBrowser browser{record};
    browser.callFailure = "gone";
    EXPECT_NO_THROW(StopIfReady(&browser));
    EXPECT_NO_THROW(RefreshDocument(&browser, ui));
    ui.ctrlKeyDown = true;
    EXPECT_NO_THROW(RefreshDocument(&browser, ui));
}

}  // namespace
}  // namespace kiosk::testing
